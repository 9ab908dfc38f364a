// Owning reference to a COM interface: released when it goes, copied with
// AddRef. Only what the OLE hosts need.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

#include "InterfaceId.h"

namespace velfw {

// The id and the out parameter of a ComPtr, for the calls that take both
// (QueryInterface, CoCreateInstance...): the id always matches the pointer.
#define VELFW_IID_PPV_ARGS(ptr) (ptr).Iid(), (ptr).OutVoid()

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes over a reference somebody already counted for us.
    static ComPtr Attach(T* p) {
        ComPtr r;
        r.p_ = p;
        return r;
    }
    // Adds a reference of its own.
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out parameters: releases what it held first.
    T** Out() {
        Reset();
        return &p_;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    static const IID& Iid() { return IidOf<T>(); }
    // Queries another interface of the same object; empty when it has none.
    template <typename U>
    ComPtr<U> As() const {
        ComPtr<U> r;
        if (p_) p_->QueryInterface(VELFW_IID_PPV_ARGS(r));
        return r;
    }

private:
    T* p_ = nullptr;
};

// A VARIANT cleared when it goes.
class OleVariant {
public:
    OleVariant() { ::VariantInit(&v_); }
    OleVariant(const OleVariant&) = delete;
    OleVariant& operator=(const OleVariant&) = delete;
    ~OleVariant() { ::VariantClear(&v_); }
    VARIANT* operator&() { return &v_; }
    VARIANT& Get() { return v_; }
    const VARIANT& Get() const { return v_; }
    VARIANT* operator->() { return &v_; }

private:
    VARIANT v_;
};

}  // namespace velfw

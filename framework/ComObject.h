// The base of every COM object we implement: its reference count and its
// interface table. TComObject<I1, I2...> answers IUnknown (with I1) and each
// listed interface together with those it extends; TComObjectWith<Base,
// More...> adds interfaces to a class already built on it, with the same
// count. The creator holds the first reference.
#pragma once

#include "InterfaceId.h"

namespace velfw {

// The pointer `object` offers for `iid` through one of Is, or null.
template <typename... Is, typename Object>
void* FindListedInterface(Object* object, REFIID iid) {
    void* found = nullptr;
    ((found = found ? found : InterfaceAnswers<Is>(iid) ? static_cast<void*>(static_cast<Is*>(object)) : nullptr),
     ...);
    return found;
}

template <typename First, typename... Rest>
class TComObject : public First, public Rest... {
public:
    TComObject(const TComObject&) = delete;
    TComObject& operator=(const TComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        try {
            *object = FindInterface(iid);
        } catch (...) {
            *object = nullptr;  // nothing raised here goes back into the caller's code
        }
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = ::InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

protected:
    TComObject() = default;
    virtual ~TComObject() = default;

    // The interface table: derived objects answer further ids (one decided
    // at run time, say) and then ask this.
    virtual void* FindInterface(REFIID iid) {
        if (IsEqualIID(iid, IidOf<IUnknown>())) return static_cast<IUnknown*>(static_cast<First*>(this));
        return FindListedInterface<First, Rest...>(this, iid);
    }

private:
    LONG refs_ = 1;
};

template <typename Base, typename... More>
class TComObjectWith : public Base, public More... {
public:
    using Base::Base;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return Base::QueryInterface(iid, object); }
    STDMETHODIMP_(ULONG) AddRef() override { return Base::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return Base::Release(); }

protected:
    void* FindInterface(REFIID iid) override {
        if (void* found = FindListedInterface<More...>(this, iid)) return found;
        return Base::FindInterface(iid);
    }
};

}  // namespace velfw

// The scripted control's COM objects, written against the C form of the
// platform's interfaces (CINTERFACE is set for this whole library). An
// object is a C++ class with one face per interface: a face is the vtable
// pointer the caller holds, followed by the object it belongs to.
//
// The document-model interfaces have hundreds of methods, of which the
// browser host calls a handful. A vtable made here answers those; every slot
// left out ends the process with a log line ("unanswered call to
// IHTMLDocument2"), so a host that starts calling one shows at once instead
// of reading a made-up answer.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <cstring>
#include <string>
#include <type_traits>
#include <utility>

namespace scripted {

// The exit status of a process that called a slot nobody answers.
constexpr UINT kUnansweredCallExit = 97;

// Objects of this module still alive (DllCanUnloadNow).
long LiveObjects();

// The base of every object: its count and its interface table.
class TScriptedObject {
public:
    TScriptedObject();
    TScriptedObject(const TScriptedObject&) = delete;
    TScriptedObject& operator=(const TScriptedObject&) = delete;

    HRESULT QueryInterface(REFIID iid, void** out);
    ULONG AddRef();
    ULONG Release();

    // Late-bound calls; by default the object knows no names.
    virtual HRESULT IdsOfNames(LPOLESTR* names, UINT count, DISPID* ids);
    virtual HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result);

protected:
    virtual ~TScriptedObject();
    // The face that answers `iid` (IUnknown included), or null.
    virtual void* Find(REFIID iid) = 0;

private:
    LONG refs_ = 1;
};

template <typename Interface>
struct Face {
    Interface iface;  // first: its address is the interface pointer
    TScriptedObject* owner;
};

template <typename Interface>
using VtblOf = std::remove_cv_t<std::remove_pointer_t<decltype(Interface::lpVtbl)>>;

template <typename Interface>
Face<Interface> MakeFace(const VtblOf<Interface>& vtbl, TScriptedObject* owner) {
    return Face<Interface>{Interface{&vtbl}, owner};
}

// The object behind an interface pointer of one of its faces.
template <typename Owner, typename Interface>
Owner& OwnerOf(Interface* self) {
    return static_cast<Owner&>(*reinterpret_cast<Face<Interface>*>(self)->owner);
}

// Nothing raised in here travels into the caller's code.
template <typename F>
HRESULT Guarded(F call) {
    try {
        return call();
    } catch (...) {
        return E_FAIL;
    }
}

// ---- the IUnknown and IDispatch slots every face shares

template <typename I>
HRESULT STDMETHODCALLTYPE FaceQueryInterface(I* self, REFIID iid, void** out) {
    return OwnerOf<TScriptedObject>(self).QueryInterface(iid, out);
}
template <typename I>
ULONG STDMETHODCALLTYPE FaceAddRef(I* self) {
    return OwnerOf<TScriptedObject>(self).AddRef();
}
template <typename I>
ULONG STDMETHODCALLTYPE FaceRelease(I* self) {
    return OwnerOf<TScriptedObject>(self).Release();
}
template <typename I>
HRESULT STDMETHODCALLTYPE FaceGetTypeInfoCount(I*, UINT* count) {
    if (count) *count = 0;
    return S_OK;
}
template <typename I>
HRESULT STDMETHODCALLTYPE FaceGetTypeInfo(I*, UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}
template <typename I>
HRESULT STDMETHODCALLTYPE FaceGetIDsOfNames(I* self, REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return Guarded([&] { return OwnerOf<TScriptedObject>(self).IdsOfNames(names, count, ids); });
}
template <typename I>
HRESULT STDMETHODCALLTYPE FaceInvoke(I* self, DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) {
    return Guarded([&] { return OwnerOf<TScriptedObject>(self).Invoke(id, flags, params, result); });
}

template <typename I>
void SetUnknownSlots(VtblOf<I>& v) {
    v.QueryInterface = FaceQueryInterface<I>;
    v.AddRef = FaceAddRef<I>;
    v.Release = FaceRelease<I>;
}
template <typename I>
void SetDispatchSlots(VtblOf<I>& v) {
    SetUnknownSlots<I>(v);
    v.GetTypeInfoCount = FaceGetTypeInfoCount<I>;
    v.GetTypeInfo = FaceGetTypeInfo<I>;
    v.GetIDsOfNames = FaceGetIDsOfNames<I>;
    v.Invoke = FaceInvoke<I>;
}

// ---- slots left out

[[noreturn]] void EndOnUnansweredCall(const char* interfaceName);

template <const char* Name>
[[noreturn]] void UnansweredSlot() {
    EndOnUnansweredCall(Name);
}

// `v` with every empty slot ending the process. The slot never returns, so
// it needs neither the arguments nor the calling convention of the method.
template <const char* Name, typename Vtbl>
Vtbl Completed(Vtbl v) {
    using Slot = void (*)();
    static_assert(sizeof(Vtbl) % sizeof(Slot) == 0, "a vtable holds nothing but slots");
    const Slot trap = &UnansweredSlot<Name>;
    auto* bytes = reinterpret_cast<unsigned char*>(&v);
    for (size_t at = 0; at < sizeof v; at += sizeof(Slot)) {
        Slot slot = nullptr;
        std::memcpy(&slot, bytes + at, sizeof slot);
        if (!slot) std::memcpy(bytes + at, &trap, sizeof trap);
    }
    return v;
}

// The vtable of a face of I: the IUnknown slots, then those `fill` sets.
// Made once for each place that asks.
template <typename I, typename Fill>
const VtblOf<I>& UnknownVtable(Fill fill) {
    static const VtblOf<I> vtbl = [&] {
        VtblOf<I> v{};
        SetUnknownSlots<I>(v);
        fill(v);
        return v;
    }();
    return vtbl;
}

// The same for a late-bound interface, whose slots `fill` leaves empty end
// the process.
template <typename I, const char* Name, typename Fill>
const VtblOf<I>& DispatchVtable(Fill fill) {
    static const VtblOf<I> vtbl = [&] {
        VtblOf<I> v{};
        SetDispatchSlots<I>(v);
        fill(v);
        return Completed<Name>(v);
    }();
    return vtbl;
}

// ---- using interfaces of others

// An owned reference to a C-form interface.
template <typename I>
class Ref {
public:
    Ref() = default;
    explicit Ref(I* p) : p_(p) {
        if (p_) Unknown()->lpVtbl->AddRef(Unknown());
    }
    static Ref Attach(I* p) {
        Ref r;
        r.p_ = p;
        return r;
    }
    Ref(const Ref& o) : Ref(o.p_) {}
    Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Ref& operator=(Ref o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~Ref() { Reset(); }

    void Reset() {
        if (p_) {
            IUnknown* u = Unknown();
            p_ = nullptr;
            u->lpVtbl->Release(u);
        }
    }
    I* Get() const { return p_; }
    // For an out parameter: the pointer with a reference of the caller's.
    I* NewReference() const {
        if (p_) Unknown()->lpVtbl->AddRef(Unknown());
        return p_;
    }
    explicit operator bool() const { return p_ != nullptr; }
    I** Out() {
        Reset();
        return &p_;
    }
    // Another interface of the same object; empty when it has none.
    template <typename U>
    Ref<U> As(REFIID iid) const {
        Ref<U> r;
        if (p_) Unknown()->lpVtbl->QueryInterface(Unknown(), iid, reinterpret_cast<void**>(r.Out()));
        return r;
    }

private:
    IUnknown* Unknown() const { return reinterpret_cast<IUnknown*>(p_); }
    I* p_ = nullptr;
};

// ---- texts and variants

// A BSTR the caller frees.
BSTR NewBstr(const std::string& text);

}  // namespace scripted

// The id of each COM interface the code uses, and the interface it extends,
// named once for the whole code base: queries and COM objects take the id
// from the type. An interface without its line here (or beside its header's
// include elsewhere) does not compile.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <unknwn.h>

#include <type_traits>

namespace velfw {

template <typename I>
struct InterfaceTraits;

// Used inside namespace velfw: the interface, the one it extends (IUnknown
// ends the chain), and its id (the import library's or a literal).
#define VELFW_INTERFACE(Interface, Extends, ...)          \
    template <>                                          \
    struct InterfaceTraits<Interface> {                  \
        using Base = Extends;                            \
        static const IID& Id() {                         \
            static const IID id = __VA_ARGS__;           \
            return id;                                   \
        }                                                \
    }

template <typename I>
const IID& IidOf() {
    return InterfaceTraits<I>::Id();
}

// True when `iid` names I or an interface I extends; IUnknown is left to the
// object, which answers it with one pointer only.
template <typename I>
bool InterfaceAnswers(REFIID iid) {
    if constexpr (std::is_same_v<I, IUnknown>) {
        return false;
    } else {
        return IsEqualIID(iid, IidOf<I>()) || InterfaceAnswers<typename InterfaceTraits<I>::Base>(iid);
    }
}

template <>
struct InterfaceTraits<IUnknown> {
    static const IID& Id() { return IID_IUnknown; }
};

VELFW_INTERFACE(IDispatch, IUnknown, IID_IDispatch);
VELFW_INTERFACE(IOleWindow, IUnknown, IID_IOleWindow);
VELFW_INTERFACE(IOleInPlaceUIWindow, IOleWindow, IID_IOleInPlaceUIWindow);
VELFW_INTERFACE(IOleInPlaceFrame, IOleInPlaceUIWindow, IID_IOleInPlaceFrame);
VELFW_INTERFACE(IOleInPlaceSite, IOleWindow, IID_IOleInPlaceSite);
VELFW_INTERFACE(IOleInPlaceObject, IOleWindow, IID_IOleInPlaceObject);
VELFW_INTERFACE(IOleInPlaceActiveObject, IOleWindow, IID_IOleInPlaceActiveObject);
VELFW_INTERFACE(IOleClientSite, IUnknown, IID_IOleClientSite);
VELFW_INTERFACE(IOleObject, IUnknown, IID_IOleObject);
VELFW_INTERFACE(IOleControl, IUnknown, IID_IOleControl);
VELFW_INTERFACE(IPersist, IUnknown, IID_IPersist);
VELFW_INTERFACE(IPersistStreamInit, IPersist, IID_IPersistStreamInit);
VELFW_INTERFACE(IConnectionPointContainer, IUnknown, IID_IConnectionPointContainer);

}  // namespace velfw

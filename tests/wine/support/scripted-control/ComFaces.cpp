#include "ComFaces.h"

#include "ControlLog.h"
#include "WideText.h"

namespace scripted {

namespace {
LONG g_liveObjects = 0;
}

long LiveObjects() { return ::InterlockedCompareExchange(&g_liveObjects, 0, 0); }

TScriptedObject::TScriptedObject() { ::InterlockedIncrement(&g_liveObjects); }
TScriptedObject::~TScriptedObject() { ::InterlockedDecrement(&g_liveObjects); }

HRESULT TScriptedObject::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        *out = Find(iid);
    } catch (...) {
        *out = nullptr;  // an interface that cannot be had is not offered
    }
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG TScriptedObject::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }

ULONG TScriptedObject::Release() {
    const LONG n = ::InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

HRESULT TScriptedObject::IdsOfNames(LPOLESTR*, UINT, DISPID*) { return DISP_E_UNKNOWNNAME; }

HRESULT TScriptedObject::Invoke(DISPID, WORD, DISPPARAMS*, VARIANT*) { return DISP_E_MEMBERNOTFOUND; }

void EndOnUnansweredCall(const char* interfaceName) {
    try {
        Log(0, std::string("unanswered call to ") + interfaceName);
    } catch (...) {
        // Ending is what matters.
    }
    ::TerminateProcess(::GetCurrentProcess(), kUnansweredCallExit);
    for (;;) ::Sleep(INFINITE);  // termination is on its way
}

BSTR NewBstr(const std::string& text) { return velfw::OleString(text).Release(); }

}  // namespace scripted

#include "ComFaces.h"

#include "ControlLog.h"

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

std::string Narrow(const wchar_t* text) {
    if (!text || !*text) return {};
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string s(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, s.data(), n, nullptr, nullptr);
    s.resize(static_cast<size_t>(n - 1));
    return s;
}

std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), w.data(), n);
    return w;
}

BSTR NewBstr(const std::string& text) { return ::SysAllocString(Widen(text).c_str()); }

}  // namespace scripted

// The in-process server of the scripted browser control: its class object,
// and its registration in place of the system's web-browser control (the
// server that was registered is kept and given back at unregistration).
#include <windows.h>
#include <ole2.h>
#include <exdisp.h>

#include <string>

#include "ControlLog.h"
#include "RegistryKey.h"
#include "WideText.h"
#include "ScriptedBrowser.h"

namespace scripted {

namespace {

HINSTANCE g_module = nullptr;
LONG g_serverLocks = 0;

// Beside the server path: the one registered before ours.
const char kSavedServerValue[] = "VelunorScriptedSavedServer";

class TClassFactory final : public TScriptedObject {
public:
    TClassFactory() : factory_(MakeFace<IClassFactory>(Vtbl(), this)) {}
    IClassFactory* Factory() { return &factory_.iface; }

    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        const int number = NextBrowserNumber();
        if (Script().CreationFails(number)) {
            Log(number, "create fails");
            return E_FAIL;
        }
        auto* browser = new TScriptedBrowser(number);
        const HRESULT hr = browser->QueryInterface(iid, object);
        browser->Release();
        return hr;
    }

protected:
    void* Find(REFIID iid) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) return &factory_.iface;
        return nullptr;
    }

private:
    static HRESULT STDMETHODCALLTYPE CreateInstanceSlot(IClassFactory* self, IUnknown* outer, REFIID iid, void** object) {
        return Guarded([&] { return OwnerOf<TClassFactory>(self).CreateInstance(outer, iid, object); });
    }
    static HRESULT STDMETHODCALLTYPE LockServerSlot(IClassFactory*, WINBOOL lock) {
        if (lock) ::InterlockedIncrement(&g_serverLocks);
        else ::InterlockedDecrement(&g_serverLocks);
        return S_OK;
    }
    static const IClassFactoryVtbl& Vtbl() {
        return UnknownVtable<IClassFactory>([](IClassFactoryVtbl& v) {
            v.CreateInstance = CreateInstanceSlot;
            v.LockServer = LockServerSlot;
        });
    }

    Face<IClassFactory> factory_;
};

std::string ServerKeyName() {
    wchar_t clsid[40] = {};
    ::StringFromGUID2(CLSID_WebBrowser, clsid, 40);
    return "CLSID\\" + velfw::WideToAnsi(clsid) + "\\InprocServer32";
}

bool ReadText(const velfw::RegistryKey& key, const char* name, std::string& text) {
    return key.ReadString(name, text) == velfw::RegistryRead::Text;
}

}  // namespace

HINSTANCE ModuleInstance() { return g_module; }

}  // namespace scripted

using namespace scripted;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Unloaded while the process goes on: a class left behind would point
        // at window procedures that are gone.
        UnregisterWindowClasses();
    }
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_WebBrowser)) return CLASS_E_CLASSNOTAVAILABLE;
    return Guarded([&] {
        auto* factory = new TClassFactory();
        const HRESULT hr = factory->QueryInterface(iid, object);
        factory->Release();
        return hr;
    });
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    const bool busy = LiveObjects() > 0 || OpenPopups() > 0 || ::InterlockedCompareExchange(&g_serverLocks, 0, 0) > 0;
    return busy ? S_FALSE : S_OK;
}

// Registers this file as the in-process server of the web-browser control.
extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    return Guarded([] {
        char path[MAX_PATH] = {};
        const DWORD n = ::GetModuleFileNameA(g_module, path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return E_FAIL;
        velfw::RegistryKey key;
        if (key.Create(HKEY_CLASSES_ROOT, ServerKeyName(), KEY_ALL_ACCESS) != ERROR_SUCCESS) return SELFREG_E_CLASS;
        std::string current, saved;
        bool ok = true;
        // Registered twice, the first save stays: it holds the system's server.
        if (!ReadText(key, kSavedServerValue, saved) && ReadText(key, "", current) &&
            lstrcmpiA(current.c_str(), path) != 0)
            ok = key.WriteString(kSavedServerValue, current);
        ok = ok && key.WriteString("", path) && key.WriteString("ThreadingModel", "Apartment");
        return ok ? S_OK : SELFREG_E_CLASS;
    });
}

// Gives the web-browser control its own server back.
extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return Guarded([] {
        velfw::RegistryKey key;
        if (key.Open(HKEY_CLASSES_ROOT, ServerKeyName(), KEY_ALL_ACCESS) != ERROR_SUCCESS)
            return S_OK;  // nothing registered
        std::string saved;
        bool ok = true;
        if (ReadText(key, kSavedServerValue, saved))
            ok = key.WriteString("", saved) && key.DeleteValue(kSavedServerValue);
        return ok ? S_OK : SELFREG_E_CLASS;
    });
}

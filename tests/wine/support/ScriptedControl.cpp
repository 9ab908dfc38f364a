#include "ScriptedControl.h"

namespace testing_support {

namespace {

using RegistrationEntry = HRESULT(STDAPICALLTYPE*)();

// The control registers itself, as regsvr32 would have it do.
HRESULT CallEntry(HMODULE module, const char* name) {
    auto entry = reinterpret_cast<RegistrationEntry>(::GetProcAddress(module, name));
    return entry ? entry() : E_NOTIMPL;
}

}  // namespace

ScriptedControlRegistration::ScriptedControlRegistration(const std::string& dll)
    : module_(::LoadLibraryA(dll.c_str())) {
    registered_ = module_ && SUCCEEDED(CallEntry(module_, "DllRegisterServer"));
}

ScriptedControlRegistration::~ScriptedControlRegistration() {
    if (!module_) return;
    if (registered_) CallEntry(module_, "DllUnregisterServer");
    ::FreeLibrary(module_);
}

}  // namespace testing_support

#include "KvSrMgr.h"

#include "KvConst.h"

namespace kv {

namespace {

TKvStringResource* g_resourceManagerStrings = nullptr;
TKvStringResource* g_libraryStrings = nullptr;

constexpr size_t kMaxResourceName = 255;

[[noreturn]] void RaiseReaderError(TKvReaderMessage id, const std::string& name) {
    throw ETpsStringResourceError(FillPlaceholder(ReaderMessage(id), name));
}

}  // namespace

TKvStringResource::TKvStringResource(HINSTANCE instance, const std::string& resourceName) {
    SelectResource(instance, resourceName);
}

void TKvStringResource::SelectResource(HINSTANCE instance, const std::string& resourceName) {
    ReleaseResource();
    if (!resourceName.empty()) OpenAndCheck(instance, resourceName);
}

void TKvStringResource::OpenAndCheck(HINSTANCE instance, const std::string& resourceName) {
    const std::string name = resourceName.substr(0, kMaxResourceName);
    HMODULE program = ::GetModuleHandleA(nullptr);
    HMODULE module = instance ? instance : program;
    HRSRC found = ::FindResourceA(module, name.c_str(), RT_RCDATA);
    if (!found && module != program) {
        module = program;
        found = ::FindResourceA(module, name.c_str(), RT_RCDATA);
    }
    if (!found) RaiseReaderError(srmResourceNotFound, name);
    // A loaded resource lives as long as its module: there is nothing to free.
    HGLOBAL loaded = ::LoadResource(module, found);
    if (!loaded) RaiseReaderError(srmCannotOpen, name);
    const void* data = ::LockResource(loaded);
    if (!data) throw ETpsStringResourceError(ReaderMessage(srmCannotLock));
    table_.Open(static_cast<const uint8_t*>(data), ::SizeofResource(module, found));
}

void InitKvSrMgrUnit() {
    if (g_resourceManagerStrings) return;
    g_resourceManagerStrings = new TKvStringResource(nullptr, "KVSRMGR_STRINGS");
    SetResourceManagerStrings(&g_resourceManagerStrings->Table());
}

void DoneKvSrMgrUnit() {
    SetResourceManagerStrings(nullptr);
    delete g_resourceManagerStrings;
    g_resourceManagerStrings = nullptr;
}

void InitKvConstUnit() {
    if (g_libraryStrings) return;
    g_libraryStrings = new TKvStringResource(nullptr, "KVLIB3_STRINGS_ENGLISH");
    SetLibraryStrings(&g_libraryStrings->Table());
}

void DoneKvConstUnit() {
    SetLibraryStrings(nullptr);
    delete g_libraryStrings;
    g_libraryStrings = nullptr;
}

}  // namespace kv

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

using TPublishTable = void (*)(const TKvStringTable*);

void OpenGlobalTable(TKvStringResource*& slot, const char* name, TPublishTable publish) {
    if (slot) return;
    slot = new TKvStringResource(nullptr, name);
    publish(&slot->Table());
}

void CloseGlobalTable(TKvStringResource*& slot, TPublishTable publish) {
    publish(nullptr);
    delete slot;
    slot = nullptr;
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

void InitKvSrMgrUnit() { OpenGlobalTable(g_resourceManagerStrings, "KVSRMGR_STRINGS", SetResourceManagerStrings); }
void DoneKvSrMgrUnit() { CloseGlobalTable(g_resourceManagerStrings, SetResourceManagerStrings); }
void InitKvConstUnit() { OpenGlobalTable(g_libraryStrings, "KVLIB3_STRINGS_ENGLISH", SetLibraryStrings); }
void DoneKvConstUnit() { CloseGlobalTable(g_libraryStrings, SetLibraryStrings); }

}  // namespace kv

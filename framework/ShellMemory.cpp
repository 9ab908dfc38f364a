#include "ShellMemory.h"

namespace velfw {

ComPtr<IMalloc> ShellAllocator() {
    ComPtr<IMalloc> allocator;
    if (FAILED(::SHGetMalloc(allocator.Out()))) return nullptr;
    return allocator;
}

bool FreeShellMemory(void* block) {
    if (!block) return true;
    const ComPtr<IMalloc> allocator = ShellAllocator();
    if (!allocator) return false;
    allocator->Free(block);
    return true;
}

void ItemIdListDeleter::operator()(ITEMIDLIST* list) const noexcept {
    // Without the shell's allocator the list cannot be given back: it stays
    // allocated, which is all that can be done at the end of its scope.
    FreeShellMemory(list);
}

}  // namespace velfw

// The shell's memory allocator, and the item-ID lists the shell hands out
// in its memory: one way to give them back.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <memory>

#include "ComPtr.h"

namespace velfw {

// The shell's allocator; empty when the system gives none.
ComPtr<IMalloc> ShellAllocator();
// Gives a block (none: nothing) back to the shell's allocator; false when
// there is no allocator to give it to.
bool FreeShellMemory(void* block);

// An item-ID list in the shell's memory, given back when it goes.
struct ItemIdListDeleter {
    void operator()(ITEMIDLIST* list) const noexcept;
};
using UniqueItemIdList = std::unique_ptr<ITEMIDLIST, ItemIdListDeleter>;

}  // namespace velfw

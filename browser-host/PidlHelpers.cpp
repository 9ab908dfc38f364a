#include "PidlHelpers.h"

#include <cstring>

#include "Classes.h"
#include "PidlRules.h"
#include "ShellMemory.h"

namespace browser {

void FreePidl(LPITEMIDLIST list) {
    if (!velfw::FreeShellMemory(list)) throw velfw::Exception("The shell's memory allocator is not available");
}

LPITEMIDLIST NextPidl(LPCITEMIDLIST item) {
    auto* p = reinterpret_cast<const BYTE*>(item);
    return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(p + PidlItemSize(p, 0)));
}

size_t ReadableBytesAt(const void* p) {
    MEMORY_BASIC_INFORMATION info;
    if (!p || ::VirtualQuery(p, &info, sizeof info) != sizeof info) return 0;
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                           PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    if (info.State != MEM_COMMIT || !(info.Protect & readable) || (info.Protect & PAGE_GUARD)) return 0;
    auto end = reinterpret_cast<const BYTE*>(info.BaseAddress) + info.RegionSize;
    return static_cast<size_t>(end - static_cast<const BYTE*>(p));
}

UINT GetPidlSize(LPCITEMIDLIST list) {
    if (!list) return 0;
    auto size = PidlSizeInBuffer(reinterpret_cast<const uint8_t*>(list), ReadableBytesAt(list));
    return size ? static_cast<UINT>(*size) : 0;
}

LPITEMIDLIST CreatePidl(UINT size) {
    const velfw::ComPtr<IMalloc> allocator = velfw::ShellAllocator();
    if (!allocator) return nullptr;
    void* p = allocator->Alloc(size);
    if (!p) return nullptr;
    std::memset(p, 0, size);
    return static_cast<LPITEMIDLIST>(p);
}

LPITEMIDLIST CopyPidl(LPCITEMIDLIST list) {
    UINT size = GetPidlSize(list);
    if (size == 0) return nullptr;
    LPITEMIDLIST copy = CreatePidl(size);
    if (copy) std::memcpy(copy, list, size);
    return copy;
}

}  // namespace browser

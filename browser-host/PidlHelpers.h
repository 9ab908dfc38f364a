// The shell's item-ID lists in memory of the shell's allocator.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstddef>

namespace browser {

// Frees a list (none: nothing). Raises velfw::Exception when the shell's
// allocator is not available.
void FreePidl(LPITEMIDLIST list);
// The item after `item`.
LPITEMIDLIST NextPidl(LPCITEMIDLIST item);
// Bytes of the list, terminator included; 0 for none, and for a list that
// does not end inside the readable memory it starts in.
UINT GetPidlSize(LPCITEMIDLIST list);
// A zero-filled block of the shell's allocator; none when that fails.
LPITEMIDLIST CreatePidl(UINT size);
// A copy made with CreatePidl; none when that fails or the list is bad.
LPITEMIDLIST CopyPidl(LPCITEMIDLIST list);

// Bytes readable from `p` to the end of the memory region it lies in; 0 when
// it is not readable.
size_t ReadableBytesAt(const void* p);

}  // namespace browser

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "FpuControl.h"
#include "PidlHelpers.h"
#include "ShellEntries.h"

using namespace browser;

namespace {

std::vector<BYTE> ListBytes(std::initializer_list<WORD> sizes) {
    std::vector<BYTE> b;
    for (WORD s : sizes) {
        b.push_back(LOBYTE(s));
        b.push_back(HIBYTE(s));
        b.insert(b.end(), s - 2u, static_cast<BYTE>(s));
    }
    b.insert(b.end(), {0, 0});
    return b;
}

// The shell's allocation of a shared block (ordinal 520), which the product
// itself never needs: only the DDE client side makes these.
HANDLE AllocShared(const void* data, DWORD size, DWORD process) {
    using Fn = HANDLE(WINAPI*)(const void*, DWORD, DWORD);
    auto fn = reinterpret_cast<Fn>(::GetProcAddress(::GetModuleHandleA("shell32.dll"), MAKEINTRESOURCEA(520)));
    return fn ? fn(data, size, process) : nullptr;
}

}  // namespace

TEST(ShellEntries, SharedBlocksRoundTrip) {
    auto bytes = ListBytes({20, 14});
    ::LoadLibraryA("shell32.dll");
    HANDLE h = AllocShared(bytes.data(), static_cast<DWORD>(bytes.size()), ::GetCurrentProcessId());
    ASSERT_TRUE(h);
    void* p = LockSharedBlock(h, ::GetCurrentProcessId());
    ASSERT_TRUE(p);
    EXPECT_EQ(std::memcmp(p, bytes.data(), bytes.size()), 0);
    LPITEMIDLIST copy = CopyPidl(static_cast<LPCITEMIDLIST>(p));
    EXPECT_TRUE(UnlockSharedBlock(p));
    EXPECT_TRUE(FreeSharedBlock(h, ::GetCurrentProcessId()));
    ASSERT_TRUE(copy);
    EXPECT_EQ(GetPidlSize(copy), 36u);
    EXPECT_EQ(std::memcmp(copy, bytes.data(), bytes.size()), 0);
    FreePidl(copy);
    // A block that was freed cannot be locked again.
    EXPECT_EQ(LockSharedBlock(h, ::GetCurrentProcessId()), nullptr);
}

TEST(ShellEntries, LoadingKeepsTheErrorModeAndTheControlWord) {
    // The help library is not loaded by anything else in this program, so
    // the call below really loads it.
    DoneShellEntriesUnit();
    ASSERT_EQ(::GetModuleHandleA("hhctrl.ocx"), nullptr);
    const uint16_t before = Get8087CW();
    Set8087CW(kAllExceptionsMasked);
    const uint16_t masked = Get8087CW();  // as the processor reports it
    const UINT mode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    constexpr UINT kCloseAllHelpWindows = 0x12;  // HH_CLOSE_ALL; its header renames HtmlHelp
    HtmlHelp(nullptr, "", kCloseAllHelpWindows, 0);
    EXPECT_NE(::GetModuleHandleA("hhctrl.ocx"), nullptr);
    EXPECT_EQ(::SetErrorMode(mode), static_cast<UINT>(SEM_FAILCRITICALERRORS));
    EXPECT_EQ(Get8087CW(), masked);
    Set8087CW(before);
    DoneShellEntriesUnit();
    EXPECT_EQ(::GetModuleHandleA("hhctrl.ocx"), nullptr);
}

TEST(PidlHelpers, SizeCopyCreateAndWalk) {
    auto bytes = ListBytes({20, 14});
    auto list = reinterpret_cast<LPCITEMIDLIST>(bytes.data());
    EXPECT_EQ(GetPidlSize(list), 36u);
    EXPECT_EQ(GetPidlSize(nullptr), 0u);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(NextPidl(list)), bytes.data() + 20);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(NextPidl(NextPidl(list))), bytes.data() + 34);

    LPITEMIDLIST copy = CopyPidl(list);
    ASSERT_TRUE(copy);
    EXPECT_NE(static_cast<const void*>(copy), static_cast<const void*>(bytes.data()));
    EXPECT_EQ(std::memcmp(copy, bytes.data(), 36), 0);
    FreePidl(copy);
    FreePidl(nullptr);

    LPITEMIDLIST fresh = CreatePidl(10);
    ASSERT_TRUE(fresh);
    auto* b = reinterpret_cast<const BYTE*>(fresh);
    EXPECT_TRUE(std::all_of(b, b + 10, [](BYTE x) { return x == 0; }));
    EXPECT_EQ(GetPidlSize(fresh), 2u);  // all zero: just a terminator
    FreePidl(fresh);
}

TEST(PidlHelpers, AListRunningOffItsMemoryHasNoSize) {
    // One page; the last item ends exactly at the page end, so the
    // terminator would lie in memory that is not there.
    SYSTEM_INFO si;
    ::GetSystemInfo(&si);
    auto* page = static_cast<BYTE*>(::VirtualAlloc(nullptr, si.dwPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_TRUE(page);
    BYTE* item = page + si.dwPageSize - 16;
    item[0] = 16;
    item[1] = 0;
    EXPECT_EQ(GetPidlSize(reinterpret_cast<LPCITEMIDLIST>(item)), 0u);
    EXPECT_EQ(CopyPidl(reinterpret_cast<LPCITEMIDLIST>(item)), nullptr);
    EXPECT_EQ(ReadableBytesAt(item), 16u);
    ::VirtualFree(page, 0, MEM_RELEASE);
    EXPECT_EQ(ReadableBytesAt(page), 0u);
}

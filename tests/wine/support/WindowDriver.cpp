#include "WindowDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cwchar>

#include "MessageBoxes.h"
#include "RealInput.h"
#include "WideText.h"
#include "WinHandles.h"

namespace testing_support {

namespace {

constexpr DWORD kAnswerMs = 5000;  // a live program answers at once; a hung one fails the test

// A message the system marshals, sent with a bounded wait.
bool Send(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutA(wnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs, &answer)) return false;
    result = static_cast<LRESULT>(answer);
    return true;
}

// Texts are asked for in UTF-16: between processes some systems hand back
// wide text to an ANSI request, which would overrun an ANSI-sized buffer.
// `length` is in characters, as the length messages answer.
std::string SendForText(HWND wnd, UINT msg, WPARAM wParam, LRESULT length) {
    if (length <= 0) return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR got = 0;
    const LPARAM buffer = reinterpret_cast<LPARAM>(text.data());
    if (!::SendMessageTimeoutW(wnd, msg, msg == WM_GETTEXT ? text.size() : wParam, buffer, SMTO_ABORTIFHUNG,
                               kAnswerMs, &got))
        return std::string();
    return velfw::WideToAnsi(text.c_str(), ::wcsnlen(text.c_str(), text.size()));
}

LRESULT SendWide(HWND wnd, UINT msg, WPARAM wParam) {
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(wnd, msg, wParam, 0, SMTO_ABORTIFHUNG, kAnswerMs, &answer)) return -1;
    return static_cast<LRESULT>(answer);
}

LRESULT SendOr(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT fallback) {
    LRESULT result = 0;
    return Send(wnd, msg, wParam, lParam, result) ? result : fallback;
}

// Posted input is handled in the target's own loop, after any message sent
// to it: a sent message comes back once the loop asks for its next message,
// which takes the next posted one. One round trip per posted message, and
// one more, leave them all dispatched (or inside a box they opened).
bool Settle(HWND wnd, int posted) {
    LRESULT ignored = 0;
    for (int i = 0; i <= posted; ++i)
        if (!Send(wnd, WM_NULL, 0, 0, ignored)) return false;
    return true;
}

struct TopSearch {
    DWORD processId;
    std::string title;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND wnd, LPARAM param) {
    auto* search = reinterpret_cast<TopSearch*>(param);
    DWORD process = 0;
    ::GetWindowThreadProcessId(wnd, &process);
    if (process == search->processId && WindowText(wnd) == search->title) search->found.push_back(wnd);
    return TRUE;
}

BOOL CALLBACK CollectWithButton(HWND wnd, LPARAM param) {
    auto* search = reinterpret_cast<TopSearch*>(param);
    DWORD process = 0;
    ::GetWindowThreadProcessId(wnd, &process);
    if (process == search->processId && HasTaskbarButton(wnd)) search->found.push_back(wnd);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND wnd, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(wnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopWindowsTitled(DWORD processId, const std::string& title) {
    TopSearch search{processId, title, {}};
    ::EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForTopWindow(DWORD processId, const std::string& title, DWORD ms) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        const std::vector<HWND> found = TopWindowsTitled(processId, title);
        if (!found.empty()) return found.front();
        if (::GetTickCount() - start >= ms) return nullptr;
        ::Sleep(20);
    }
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    ::EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND FindChild(HWND parent, const std::string& text, const std::string& className) {
    for (HWND child : ChildWindows(parent))
        if (WindowText(child) == text && (className.empty() || ClassOf(child) == className)) return child;
    return nullptr;
}

HWND FindChildOfClass(HWND parent, const std::string& className, size_t index) {
    for (HWND child : ChildWindows(parent))
        if (ClassOf(child) == className && index-- == 0) return child;
    return nullptr;
}

std::string WindowText(HWND wnd) { return SendForText(wnd, WM_GETTEXT, 0, SendWide(wnd, WM_GETTEXTLENGTH, 0)); }

std::string ClassOf(HWND wnd) {
    char name[256] = {};
    const int n = ::GetClassNameA(wnd, name, sizeof name);
    return std::string(name, n > 0 ? static_cast<size_t>(n) : 0);
}

std::vector<std::string> ListItems(HWND listBox) {
    std::vector<std::string> items;
    const LRESULT count = SendOr(listBox, LB_GETCOUNT, 0, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto index = static_cast<WPARAM>(i);
        items.push_back(SendForText(listBox, LB_GETTEXT, index, SendWide(listBox, LB_GETTEXTLEN, index)));
    }
    return items;
}

std::vector<bool> ListSelection(HWND listBox) {
    std::vector<bool> selected;
    const LRESULT count = SendOr(listBox, LB_GETCOUNT, 0, 0, 0);
    for (LRESULT i = 0; i < count; ++i) selected.push_back(SendOr(listBox, LB_GETSEL, static_cast<WPARAM>(i), 0, 0) > 0);
    return selected;
}

bool IsChecked(HWND button) { return SendOr(button, BM_GETCHECK, 0, 0, BST_UNCHECKED) == BST_CHECKED; }
int CurrentTab(HWND tabs) { return static_cast<int>(SendOr(tabs, TCM_GETCURSEL, 0, 0, -1)); }
int TabCount(HWND tabs) { return static_cast<int>(SendOr(tabs, TCM_GETITEMCOUNT, 0, 0, 0)); }
bool IsShown(HWND wnd) { return ::IsWindowVisible(wnd) != FALSE; }

int ScreenPixelsOf(HWND wnd, COLORREF colour) {
    RECT r = {};
    if (!::GetWindowRect(wnd, &r) || r.right <= r.left || r.bottom <= r.top) return 0;
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const velfw::WindowDc screen(nullptr);
    void* bits = nullptr;
    HBITMAP made = ::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const velfw::BitmapDc shot = velfw::TakeBitmap(made, screen.get());
    if (!shot || !bits) return 0;
    ::BitBlt(shot.dc(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY);
    ::GdiFlush();
    // A 32-bit DIB holds blue, green, red and an unused byte.
    const DWORD wanted = GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
    const auto* pixel = static_cast<const DWORD*>(bits);
    int n = 0;
    for (int i = 0; i < w * h; ++i) n += (pixel[i] & 0xFFFFFF) == wanted;
    return n;
}

bool HasTaskbarButton(HWND wnd) {
    if (!::IsWindowVisible(wnd)) return false;
    const LONG_PTR ex = ::GetWindowLongPtrA(wnd, GWL_EXSTYLE);
    if (ex & WS_EX_APPWINDOW) return true;
    return ::GetWindow(wnd, GW_OWNER) == nullptr && !(ex & WS_EX_TOOLWINDOW);
}

std::vector<HWND> TaskbarWindows(DWORD processId) {
    TopSearch search{processId, {}, {}};
    ::EnumWindows(CollectWithButton, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<std::string> TabCaptions(HWND tabs) {
    // The tab control writes the text into memory of its own process.
    std::vector<std::string> captions;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(tabs, &processId);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return captions;
    constexpr size_t kTextSize = 256;
    auto* remote = static_cast<char*>(
        ::VirtualAllocEx(process, nullptr, sizeof(TCITEMA) + kTextSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (remote) {
        const int count = TabCount(tabs);
        for (int i = 0; i < count; ++i) {
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = remote + sizeof(TCITEMA);
            item.cchTextMax = kTextSize;
            char text[kTextSize] = {};
            LRESULT got = 0;
            if (!::WriteProcessMemory(process, remote, &item, sizeof item, nullptr) ||
                !Send(tabs, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote), got) || !got ||
                !::ReadProcessMemory(process, remote + sizeof(TCITEMA), text, kTextSize - 1, nullptr))
                break;
            captions.push_back(text);
        }
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(process);
    return captions;
}

// Sent, not posted: the program handles a sent message before any posted
// one, so a message sent after a posted click could be answered before the
// click ran. A click that opens a modal box keeps the send waiting; it then
// times out while the box is up, which is what the caller wants.
bool ClickButton(HWND button) {
    DWORD_PTR ignored = 0;
    if (::SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, 1000, &ignored)) return true;
    return ::GetLastError() == ERROR_TIMEOUT || ::GetLastError() == 0;
}

bool ClickWithMouse(HWND wnd, MouseButton button) {
    RECT r = {};
    if (!::GetWindowRect(wnd, &r)) return false;
    if (!::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2)) return false;
    return SendButton(button == MouseButton::Right ? kRightButton : kLeftButton);
}

bool SetWindowTextOf(HWND wnd, const std::string& text) {
    LRESULT result = 0;
    return Send(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), result) && result;
}

bool SelectListItem(HWND listBox, int index, bool selected) {
    LRESULT result = 0;
    return Send(listBox, LB_SETSEL, selected ? TRUE : FALSE, index, result) && result != LB_ERR;
}

bool PressKey(HWND wnd, WORD key) {
    const UINT scan = ::MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | static_cast<LPARAM>(scan) << 16;
    const LPARAM up = down | static_cast<LPARAM>(0xC0000000u);
    return ::PostMessageA(wnd, WM_KEYDOWN, key, down) && ::PostMessageA(wnd, WM_KEYUP, key, up) && Settle(wnd, 2);
}

bool StepToTab(HWND tabs, int index) {
    for (int guard = 0; guard < 64; ++guard) {
        const int current = CurrentTab(tabs);
        if (current == index) return true;
        if (current < 0 || !PressKey(tabs, current < index ? VK_RIGHT : VK_LEFT)) return false;
        // Posted keys run after any message sent meanwhile: wait for the
        // change, and take none within the bound as a refusal.
        const DWORD start = ::GetTickCount();
        while (CurrentTab(tabs) == current && ::GetTickCount() - start < 1500) ::Sleep(20);
        if (CurrentTab(tabs) == current) return false;  // refused
    }
    return false;
}

std::string AnswerMessageBox(DWORD processId, int answer, DWORD ms) {
    const BoxOwner owner = BoxOwner::Process(processId);
    const DWORD start = ::GetTickCount();
    HWND box = nullptr;
    while (!(box = FindMessageBox(owner))) {
        if (::GetTickCount() - start >= ms) {
            ADD_FAILURE() << "no message box came within " << ms << " ms";
            return std::string();
        }
        ::Sleep(20);
    }
    // The box's text may be set just after it shows.
    std::string text;
    for (int tries = 0; tries < 50 && (text = MessageBoxText(box)).empty(); ++tries) ::Sleep(20);
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    for (int tries = 0; tries < 250 && ::IsWindow(box); ++tries) ::Sleep(20);
    if (::IsWindow(box)) ADD_FAILURE() << "the message box \"" << text << "\" would not go";
    return text;
}

}  // namespace testing_support

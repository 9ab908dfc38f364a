// step_tab <window title>: steps the page control of the top-level window
// with that title to its next tab, as the Right key does. Exit code 0 when
// the key was posted, 1 when there is no such window or page control.
#include <windows.h>

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    HWND form = ::FindWindowA(nullptr, argv[1]);
    HWND tabs = form ? ::FindWindowExA(form, nullptr, "TVelunorPageControl", nullptr) : nullptr;
    if (!tabs) return 1;
    const LPARAM down = 1 | (static_cast<LPARAM>(::MapVirtualKeyA(VK_RIGHT, 0)) << 16);
    const bool posted = ::PostMessageA(tabs, WM_KEYDOWN, VK_RIGHT, down) &&
                        ::PostMessageA(tabs, WM_KEYUP, VK_RIGHT, down | (3LL << 30));
    return posted ? 0 : 1;
}

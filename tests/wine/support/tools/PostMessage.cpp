// post_message <window class> <message> [wParam [lParam]]: posts the message to the
// first top-level window of that class. The message is a number or
// "end-saver" (the saver form's end request). Exit code 0 when it was
// posted, 1 when there is no such window, 2 on bad arguments.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "SaverMessages.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    unsigned long msg = saver::kEndSaverMessage;
    if (std::string(argv[2]) != "end-saver") {
        char* end = nullptr;
        msg = std::strtoul(argv[2], &end, 0);
        if (!end || *end) return 2;
    }
    WPARAM wParam = 0;
    if (argc > 3) wParam = static_cast<WPARAM>(std::strtoul(argv[3], nullptr, 0));
    LPARAM lParam = 0;
    if (argc > 4) lParam = static_cast<LPARAM>(std::strtol(argv[4], nullptr, 0));
    HWND window = ::FindWindowA(argv[1], nullptr);
    if (!window) return 1;
    return ::PostMessageA(window, static_cast<UINT>(msg), wParam, lParam) ? 0 : 1;
}

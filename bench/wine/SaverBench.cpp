// The Windows side of the saver's cost benchmarks, run inside a throwaway
// Wine prefix by bench/saver_cost.sh and bench/saver_memory.sh:
//   saver_bench setup <pages folder> <panes> <page seconds>
//       the install the saver reads: settings, install folder, page lists
//   saver_bench reference <seconds>
//       the least a slideshow tick must do, for the CPU comparison: a 30 ms
//       window timer that lists the top-level windows and reads the title of
//       each visible unowned one
//   saver_bench end
//       asks the running saver to end, as a request message would
//   saver_bench controls <count>
//       the real browser control made, navigated and freed <count> times as
//       a pane does it; prints what the process holds after 50 and at the end
#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "Forms.h"
#include "MyWebBrowser.h"
#include "ProcessHoldings.h"
#include "ProductKey.h"
#include "RegistryKey.h"
#include "SaverMessages.h"

namespace {

constexpr UINT kTickMs = 30;               // the slideshow's tick

bool SetValue(const std::string& key, const std::string& name, const std::string& value) {
    velfw::RegistryKey k;
    return k.Create(HKEY_LOCAL_MACHINE, key, KEY_ALL_ACCESS) == ERROR_SUCCESS && k.WriteString(name, value);
}

bool WriteText(const std::string& path, const std::string& text) {
    HANDLE f = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    ::CloseHandle(f);
    return ok;
}

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    ::SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
    return path;
}

// Three local pages per pane (no name look-ups), each tall enough to scroll.
int Setup(const std::string& pages, int panes, int pageSeconds) {
    const std::string install = "C:\\velunor-bench\\";
    ::CreateDirectoryA(install.c_str(), nullptr);
    for (const char* file : {"reg.bin", "blank1.htm", "blank2.htm"})
        if (!::CopyFileA((pages + "\\" + file).c_str(), (install + file).c_str(), FALSE)) {
            std::fprintf(stderr, "cannot copy %s\n", file);
            return 1;
        }
    bool ok = SetValue(std::string(globals::kProductKey) + "\\" + globals::kInstallSection, "Base", install);
    const std::pair<const char*, std::string> settings[] = {
        {"DType", std::to_string(panes)}, {"InterScreenT", std::to_string(pageSeconds)},
        {"DurationUse", "n"},             {"Scroll", "y"}};
    for (const auto& [name, value] : settings) ok = SetValue(globals::kProductKey, name, value) && ok;
    std::string body;
    for (int i = 0; i < 400; ++i) body += "<p>line " + std::to_string(i) + "</p>";
    const std::string data = SpecialFolder(CSIDL_FAVORITES) + "\\Velunor";
    for (int w = 1; w <= 3; ++w) {
        const std::string folder = data + "\\Window" + std::to_string(w);
        ::SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
        for (char c = 'a'; c <= 'c'; ++c) {
            const std::string page = install + "page" + std::to_string(w) + c + ".htm";
            ok = WriteText(page, "<html><body>" + body + "</body></html>") && ok;
            ok = WriteText(folder + "\\" + c + ".url", "[InternetShortcut]\r\nurl=" + page + "\r\n") && ok;
        }
    }
    ::SHCreateDirectoryExA(nullptr, (data + "\\Recommended").c_str(), nullptr);
    if (!ok) std::fprintf(stderr, "setup failed\n");
    return ok ? 0 : 1;
}

int g_titles = 0;

BOOL CALLBACK ReadTitle(HWND window, LPARAM) {
    if (::IsWindowVisible(window) && ::GetWindow(window, GW_OWNER) == nullptr) {
        char title[512];
        if (::GetWindowTextA(window, title, sizeof title) > 0) ++g_titles;
    }
    return TRUE;
}

LRESULT CALLBACK ReferenceProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_TIMER) {
        ::EnumWindows(ReadTitle, 0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wp, lp);
}

int Reference(int seconds) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ReferenceProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "SaverBenchReference";
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    ::RegisterClassA(&wc);
    // Untitled, visible, over the whole screen, as the slideshow form is.
    HWND window = ::CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                    ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
                                    nullptr, wc.hInstance, nullptr);
    if (!window) return 1;
    ::SetTimer(window, 1, kTickMs, nullptr);
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < static_cast<DWORD>(seconds) * 1000 && ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    ::DestroyWindow(window);
    std::printf("reference read %d titles\n", g_titles);
    return 0;
}

int End() {
    HWND form = ::FindWindowA("TForm1", nullptr);
    if (!form) return 1;
    ::PostMessageA(form, saver::kEndSaverMessage, 0, 0);
    return 0;
}

void Print(int count) {
    std::printf("controls %d %s\n", count, testing_support::CurrentHoldings().Text().c_str());
    std::fflush(stdout);
}

void Pump(DWORD ms) {
    const DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(1);
    } while (::GetTickCount() - start < ms);
}

int Controls(const std::string& page, int count) {
    ::OleInitialize(nullptr);
    velfw::InitFormsUnit();
    int result = 0;
    {
        velfw::TForm form(nullptr);
        form.BorderStyle = velfw::TFormBorderStyle::bsNone;
        form.SetBounds(0, 0, 640, 480);
        auto* panel = new velfw::TWinControl(&form);
        panel->SetParent(&form);
        panel->SetAlign(velfw::TAlign::alClient);
        form.Show();
        // As a pane does it: made, parented, navigated, then taken off the
        // pane and freed once the program is idle.
        auto once = [&] {
            std::unique_ptr<browser::IPaneBrowser> b = browser::MakeHostedPaneBrowser();
            b->Control().SetParent(panel);
            b->Control().SetAlign(velfw::TAlign::alClient);
            b->Control().Show();
            b->Navigate(page);
            Pump(20);
            b->Detach();
            Pump(1);
            b.reset();
        };
        // The first ones load the control's libraries and shared windows.
        for (int i = 0; i < 5; ++i) once();
        Pump(500);
        Print(0);
        for (int i = 1; i <= count; ++i) {
            once();
            if (i == 50 || i == count) {
                Pump(500);
                Print(i);
            }
        }
    }
    ::OleUninitialize();
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "setup" && argc == 5) return Setup(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (command == "reference" && argc == 3) return Reference(std::atoi(argv[2]));
    if (command == "end") return End();
    if (command == "controls" && argc == 4) return Controls(argv[2], std::atoi(argv[3]));
    std::fprintf(stderr, "usage: saver_bench setup <pages> <panes> <seconds> | reference <seconds> | end | "
                         "controls <page> <count>\n");
    return 2;
}

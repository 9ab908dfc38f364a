// The settings program at scale, timed in one run inside a throwaway Wine
// prefix (bench/settings_scale.sh) against references measured in the same
// run:
//   settings_bench run <KAVIsu.exe> [small] [large] [huge]
//       opens the program on `small` and `large` pages of Window1 (default
//       200, 2,000) and times each from its start until its lists are filled
//       and the form answers; saves the large list with one page removed;
//       then opens and saves `huge` pages (default 5,000) and reports the
//       longest time the form kept the driver's WM_NULL waiting
//   settings_bench fill
//       the reference of an open: reads the shortcut files of Window1 and
//       fills a list box with them, then waits to be ended
// The reference of a save writes, moves and deletes as many small files in
// the driver itself.
#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "SaverProcess.h"
#include "WinePaths.h"
#include "WindowDriver.h"

using namespace testing_support;

namespace {

constexpr char kFormTitle[] = "Velunor Setup - tmp";
constexpr char kFillTitle[] = "Velunor fill reference";
constexpr char kActivePrompt[] = "These pages are included in this window's active Page List";
constexpr char kRemoveCaption[] = "Click here to &remove\rhighlighted entry from  page\rlist";
constexpr char kSaveCaption[] = "&Save Changes and Exit";
constexpr DWORD kHungMs = 5000;       // the system's hung-window threshold
constexpr DWORD kGiveUpMs = 600000;   // a run that takes longer has failed anyway

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string DataFolder() {
    char path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_FAVORITES, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return std::string(path) + "\\Velunor";
}

std::string PageUrl(int i) { return "http://www.example" + std::to_string(i) + ".com/page/" + std::to_string(i); }

std::string Shortcut(const std::string& url) { return "[InternetShortcut]\r\nurl=" + url + "\r\n"; }

// Window1 with `count` pages and an empty Recommended, as a user's install
// holds them; the other windows' folders empty.
bool LayOutPages(int count) {
    const std::string data = DataFolder();
    if (data.empty()) return false;
    RemoveTree(data);
    for (const char* sub : {"", "\\Window1", "\\Window2", "\\Window3", "\\Recommended"})
        ::CreateDirectoryA((data + sub).c_str(), nullptr);
    for (int i = 0; i < count; ++i)
        if (!WriteFileBytes(data + "\\Window1\\www.example" + std::to_string(i) + ".com-page-" + std::to_string(i) +
                                ".url",
                            Shortcut(PageUrl(i))))
            return false;
    return true;
}

int FileCount(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE find = ::FindFirstFileA((folder + "\\*.url").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do ++n;
    while (::FindNextFileA(find, &entry));
    ::FindClose(find);
    return n;
}

// How long the window kept one WM_NULL waiting, in seconds; kHungMs when it
// did not answer within the hung-window threshold. A window that went away
// while asked (the program ends after its save) kept nobody waiting.
double AnswerTime(HWND wnd) {
    const double start = Now();
    DWORD_PTR result = 0;
    ::SetLastError(ERROR_SUCCESS);
    if (!::SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_NORMAL, kHungMs, &result) &&
        (::GetLastError() == ERROR_TIMEOUT || ::IsWindow(wnd)))
        return kHungMs / 1000.0;
    return Now() - start;
}

struct Watch {
    double longestWait = 0;  // the longest WM_NULL wait seen, seconds
    void Ask(HWND wnd) { longestWait = std::max(longestWait, AnswerTime(wnd)); }
};

int ListCount(HWND list) {
    DWORD_PTR n = 0;
    if (!::SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kHungMs, &n)) return -1;
    return static_cast<int>(n);
}

// Seconds from the start of `process` until its window titled `title` shows
// a list box (the first in the panel that `prompt` heads, or the window's
// first) holding `count` items and the window answers. 0 on failure.
double TimeOpen(const SaverProcess& process, double started, const char* title, const char* prompt, int count,
                Watch& watch, HWND* formOut, HWND* listOut) {
    HWND form = nullptr, list = nullptr;
    while (Now() - started < kGiveUpMs / 1000.0) {
        if (!form) form = TopWindowsTitled(process.Id(), title).empty() ? nullptr
                                                                        : TopWindowsTitled(process.Id(), title)[0];
        if (form) {
            watch.Ask(form);
            if (!list) {
                HWND label = prompt ? FindChild(form, prompt) : nullptr;
                list = prompt ? (label ? FindChildOfClass(::GetParent(label), "TVelunorListBox") : nullptr)
                              : ::GetWindow(form, GW_CHILD);
            }
            if (list && ListCount(list) == count) {
                watch.Ask(form);
                *formOut = form;
                *listOut = list;
                return Now() - started;
            }
        }
        ::Sleep(10);
    }
    return 0;
}

struct Open {
    double seconds = 0;
    double longestWait = 0;
};

Open OpenSettings(const std::string& program, int count, std::unique_ptr<SaverProcess>& process, HWND* form,
                  HWND* list) {
    Watch watch;
    const double started = Now();
    process = std::make_unique<SaverProcess>(program, "");
    if (!process->Started()) return {};
    const double seconds = TimeOpen(*process, started, kFormTitle, kActivePrompt, count, watch, form, list);
    return {seconds, watch.longestWait};
}

// Removes the list's first page as the user does, saves, and times the save
// from the click until the program has ended; 0 on failure.
Open SaveOneRemoved(SaverProcess& process, HWND form, HWND list, int count) {
    HWND remove = FindChild(::GetParent(list), kRemoveCaption);
    if (!remove || ::SendMessageA(list, LB_SETSEL, TRUE, 0) == LB_ERR || !::PostMessageA(remove, BM_CLICK, 0, 0))
        return {};
    Watch watch;
    for (const double clicked = Now(); ListCount(list) != count - 1; ::Sleep(10))
        if (Now() - clicked > kHungMs / 1000.0) return {};
    HWND save = nullptr;
    for (HWND child : ChildWindows(form))
        if (WindowText(child) == kSaveCaption && IsShown(child)) save = child;
    if (!save) return {};
    const double started = Now();
    if (!::PostMessageA(save, BM_CLICK, 0, 0)) return {};
    while (process.Running()) {
        if (Now() - started > kGiveUpMs / 1000.0) return {};
        if (::IsWindow(form)) watch.Ask(form);
        ::Sleep(50);
    }
    const double seconds = Now() - started;
    if (FileCount(DataFolder() + "\\Window1") != count - 1) {
        std::printf("the save left %d pages, not %d\n", FileCount(DataFolder() + "\\Window1"), count - 1);
        return {};
    }
    return {seconds, watch.longestWait};
}

double ReferenceFill(const std::string& self, int count) {
    Watch watch;
    const double started = Now();
    SaverProcess process(self, "fill");
    if (!process.Started()) return 0;
    HWND form = nullptr, list = nullptr;
    return TimeOpen(process, started, kFillTitle, nullptr, count, watch, &form, &list);
}

// What a save of `count` pages must do at the least: write as many small
// files, delete as many old ones and move the new ones in their place.
double ReferenceFileWork(int count) {
    const std::string root = DataFolder() + "\\reference";
    RemoveTree(root);
    const std::string staging = root + "\\staging", target = root + "\\target";
    ::CreateDirectoryA(root.c_str(), nullptr);
    ::CreateDirectoryA(staging.c_str(), nullptr);
    ::CreateDirectoryA(target.c_str(), nullptr);
    for (int i = 0; i < count; ++i) WriteFileBytes(target + "\\old" + std::to_string(i) + ".url", Shortcut(PageUrl(i)));
    const double started = Now();
    for (int i = 0; i < count; ++i)
        WriteFileBytes(staging + "\\new" + std::to_string(i) + ".url", Shortcut(PageUrl(i)));
    for (int i = 0; i < count; ++i) ::DeleteFileA((target + "\\old" + std::to_string(i) + ".url").c_str());
    for (int i = 0; i < count; ++i) {
        const std::string name = "\\new" + std::to_string(i) + ".url";
        ::MoveFileA((staging + name).c_str(), (target + name).c_str());
    }
    const double seconds = Now() - started;
    const bool done = FileCount(target) == count;
    RemoveTree(root);
    return done ? seconds : 0;
}

std::string SelfPath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

double Ratio(double a, double b) { return b > 0 ? a / b : 0; }

int Run(const std::string& program, int small, int large, int huge) {
    const std::string self = SelfPath();
    std::unique_ptr<SaverProcess> process;
    HWND form = nullptr, list = nullptr;

    if (!LayOutPages(small)) return 2;
    const Open openSmall = OpenSettings(program, small, process, &form, &list);
    process.reset();
    if (!LayOutPages(large)) return 2;
    const double fillLarge = ReferenceFill(self, large);
    const Open openLarge = OpenSettings(program, large, process, &form, &list);
    const Open saveLarge = openLarge.seconds > 0 ? SaveOneRemoved(*process, form, list, large) : Open{};
    process.reset();
    const double filesLarge = ReferenceFileWork(large);

    std::printf("open %d pages: %.2f s\n", small, openSmall.seconds);
    std::printf("open %d pages: %.2f s (reference fill %.2f s)\n", large, openLarge.seconds, fillLarge);
    std::printf("save %d pages, one removed: %.2f s (reference file work %.2f s)\n", large, saveLarge.seconds,
                filesLarge);
    std::printf("open %d / open %d: %.2f (goal at most 15)\n", large, small,
                Ratio(openLarge.seconds, openSmall.seconds));
    std::printf("open %d / reference fill: %.2f (goal at most 2)\n", large, Ratio(openLarge.seconds, fillLarge));
    std::printf("save %d / reference file work: %.2f (goal at most 2)\n", large, Ratio(saveLarge.seconds, filesLarge));
    std::fflush(stdout);

    if (huge > 0) {
        if (!LayOutPages(huge)) return 2;
        const Open openHuge = OpenSettings(program, huge, process, &form, &list);
        const Open saveHuge = openHuge.seconds > 0 ? SaveOneRemoved(*process, form, list, huge) : Open{};
        process.reset();
        std::printf("open %d pages: %.2f s, longest WM_NULL wait %.2f s\n", huge, openHuge.seconds,
                    openHuge.longestWait);
        std::printf("save %d pages, one removed: %.2f s, longest WM_NULL wait %.2f s (goal below %.0f s throughout)\n",
                    huge, saveHuge.seconds, saveHuge.longestWait, kHungMs / 1000.0);
        if (openHuge.seconds == 0 || saveHuge.seconds == 0) return 1;
    }
    RemoveTree(DataFolder());
    return openSmall.seconds > 0 && openLarge.seconds > 0 && saveLarge.seconds > 0 && fillLarge > 0 && filesLarge > 0
               ? 0
               : 1;
}

// The reference fill: a plain window with a list box, filled with the url
// of every shortcut file of Window1 read as the system reads an INI file.
int Fill() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "VelunorFillReference";
    if (!::RegisterClassA(&wc)) return 2;
    HWND form = ::CreateWindowExA(0, wc.lpszClassName, kFillTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 300,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    HWND list = ::CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_EXTENDEDSEL,
                                  8, 8, 600, 240, form, nullptr, wc.hInstance, nullptr);
    if (!form || !list) return 2;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    const std::string folder = DataFolder() + "\\Window1\\";
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    WIN32_FIND_DATAA entry;
    HANDLE find = ::FindFirstFileA((folder + "*.*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            char url[2048] = {};
            ::GetPrivateProfileStringA("InternetShortcut", "url", "", url, sizeof url,
                                       (folder + entry.cFileName).c_str());
            ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(url));
        } while (::FindNextFileA(find, &entry));
        ::FindClose(find);
    }
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "run" && argc > 2)
        return Run(argv[2], argc > 3 ? std::atoi(argv[3]) : 200, argc > 4 ? std::atoi(argv[4]) : 2000,
                   argc > 5 ? std::atoi(argv[5]) : 5000);
    if (mode == "fill") return Fill();
    std::fprintf(stderr, "usage: settings_bench run <KAVIsu.exe> [small] [large] [huge] | fill\n");
    return 2;
}

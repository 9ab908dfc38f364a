#include "SaverEntry.h"

#include <shellapi.h>

#include "Forms.h"
#include "Globals.h"
#include "KaviSSm.h"
#include "PreviewMotion.h"
#include "SaverCommandLine.h"
#include "SysUtils.h"
#include "WinHandles.h"

namespace saver {

ProgramStartFunction StartProgram = ShellStartProgram;

void ShellStartProgram(const std::string& file) {
    ::ShellExecuteA(nullptr, nullptr, file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void RunConfigure() {
    globals::InitGlobals(nullptr);
    StartProgram(velfw::IncludeTrailingBackslash(globals::BaseDir) + "KAVIsu.exe");
}

PasswordChangeFunction ChangePassword = SystemChangePassword;

void SystemChangePassword(const char* provider, HWND parent) {
    char system[MAX_PATH] = {};
    UINT n = ::GetSystemDirectoryA(system, MAX_PATH);
    std::string path(system, n < MAX_PATH ? n : 0);
    if (!path.empty()) path = velfw::IncludeTrailingBackslash(path);
    path += "MPR.DLL";
    velfw::UniqueModule mpr(::LoadLibraryA(path.c_str()));
    if (!mpr) return;
    using PwdChangePassword = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
    auto change = reinterpret_cast<PwdChangePassword>(::GetProcAddress(mpr.get(), "PwdChangePasswordA"));
    if (change) change(provider, parent, 0, nullptr);
}

HWND WindowFromArgument(uint32_t handle) {
    return static_cast<HWND>(LongToHandle(static_cast<LONG>(handle)));
}

void RunPassword(const std::string& windowArgument) {
    auto handle = WindowHandleArgument(windowArgument);
    if (!handle) return;  // nothing to be the dialog's parent: end quietly
    ChangePassword("SCRSAVE", WindowFromArgument(*handle));
}

namespace {

void PumpMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

}  // namespace

void RunPreview(const std::string& windowArgument) {
    auto handle = WindowHandleArgument(windowArgument);
    if (!handle) return;
    HWND target = WindowFromArgument(*handle);
    // A handle that names no window would otherwise be waited for for ever.
    while (::IsWindow(target) && !::IsWindowVisible(target)) {
        PumpMessages();
        ::Sleep(10);
    }
    if (!::IsWindow(target)) return;

    RECT wr;
    if (!::GetWindowRect(target, &wr)) return;
    const int w = wr.right - wr.left + 1;
    const int h = wr.bottom - wr.top + 1;
    const RECT r{0, 0, w - 1, h - 1};

    velfw::WindowDc windowDc(target);
    if (!windowDc) return;
    velfw::TCanvas canvas(windowDc.get());
    velfw::TBitmap background(w, h), frame(w, h);
    if (!background.Width() || !frame.Width()) return;
    background.Canvas().FillRect(r, velfw::clWhite);
    velfw::UniqueIcon icon(static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));

    PreviewMotion motion = PreviewMotion::Start(w, h);
    while (::IsWindowVisible(target)) {
        frame.Canvas().CopyRect(r, background.Canvas(), r);
        if (icon) frame.Canvas().DrawIcon(motion.X, motion.Y, icon.get());
        canvas.CopyRect(r, frame.Canvas(), r);
        ::Sleep(10);
        PumpMessages();
        motion.Step();
    }
}

void RunFullScreen() {
    velfw::Application->SetTitle("Velunor");
    // The slideshow covers the whole screen and has no taskbar button.
    velfw::Application->ShowTaskbarButton = false;
    velfw::Application->CreateForm<TForm1>();
    velfw::Application->Run();
}

int RunSaver(const std::vector<std::string>& args) {
    const std::string first = args.size() > 1 ? velfw::UpperCase(args[1]) : std::string();
    const std::string second = args.size() > 2 ? velfw::UpperCase(args[2]) : std::string();
    SaverMode = SaverModeOf(first);
    if (SaverMode == smConfigure) {
        RunConfigure();
        return 0;
    }
    if (SaverMode == smPassword) {
        RunPassword(second);
        return 0;
    }

    // Preview and full screen run once at a time; the semaphore only marks that.
    velfw::UniqueKernelHandle semaphore(::CreateSemaphoreA(nullptr, 0, 1, "KAVIss"));
    if (semaphore && ::GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    velfw::Application->Initialize();
    if (SaverMode == smPreview) RunPreview(second);
    else RunFullScreen();
    return 0;
}

}  // namespace saver

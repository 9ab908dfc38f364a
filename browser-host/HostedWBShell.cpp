#include "HostedWBShell.h"

#include <dde.h>
#include <oleauto.h>

#include <algorithm>
#include <cstring>

#include "ComPtr.h"
#include "HostedWBRules.h"
#include "PidlHelpers.h"
#include "RegistryKey.h"
#include "ScopeGuards.h"
#include "ShellEntries.h"

namespace browser {

HKEY ShellClassesRoot = HKEY_CLASSES_ROOT;

std::function<BOOL(SHELLEXECUTEINFOA&)> ShellExecuteFunction = [](SHELLEXECUTEINFOA& info) {
    return ::ShellExecuteExA(&info);
};

std::function<HRESULT(IOleInPlaceActiveObject&, MSG&)> TranslateBrowserAccelerator =
    [](IOleInPlaceActiveObject& object, MSG& msg) { return object.TranslateAccelerator(&msg); };

TShellDdeState& ShellDde() {
    static TShellDdeState state;
    return state;
}

namespace {

constexpr char kHiddenClass[] = "TVelunorShellDdeWindow";
constexpr WORD kAckCarriedOut = 0x8000;  // fAck of the DDEACK word

// The default value of a key below the classes root. Missing key or value:
// empty. False on any other failure.
bool ReadDefaultValue(const char* subKey, std::string& out) {
    out.clear();
    velfw::RegistryKey key;
    const LONG rc = key.Open(ShellClassesRoot, subKey, KEY_READ);
    if (rc == ERROR_FILE_NOT_FOUND) return true;
    if (rc != ERROR_SUCCESS) return false;
    switch (key.ReadString("", out)) {
        case velfw::RegistryRead::Text:
        case velfw::RegistryRead::Missing: return true;
        default: return false;
    }
}

std::string AtomName(ATOM atom) {
    char buf[257] = {};
    UINT n = atom ? ::GlobalGetAtomNameA(atom, buf, 256) : 0;
    return std::string(buf, n);
}

// A global atom of the name, given back when it goes; none for no name.
velfw::UniqueGlobalAtom AddedAtom(const std::string& name) {
    return velfw::UniqueGlobalAtom(name.empty() ? ATOM{0} : ::GlobalAddAtomA(name.c_str()));
}

// The command text of an execute request, never read past its memory block.
std::string CommandText(const velfw::LockedGlobal& command) {
    const auto* text = static_cast<const char*>(command.get());
    return std::string(text, strnlen(text, command.size()));
}

HICON ApplicationIcon() {
    HWND app = velfw::Application ? velfw::Application->Handle() : nullptr;
    if (HICON icon = app ? reinterpret_cast<HICON>(::GetClassLongPtrA(app, GCLP_HICON)) : nullptr) return icon;
    return ::LoadIconA(::GetModuleHandleA(nullptr), "MAINICON");
}

std::string WindowText(HWND wnd) {
    int n = ::GetWindowTextLengthA(wnd);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = ::GetWindowTextA(wnd, s.data(), n + 1);
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return s;
}

}  // namespace

bool ReadShellDdeNames() {
    TShellDdeState& s = ShellDde();
    struct Name {
        const char* key;
        std::string* target;
        bool command;  // a command text, of which only the name is kept
    } names[] = {
        {"htmlfile\\shell\\open\\ddeexec\\application", &s.HtmlApplication, false},
        {"htmlfile\\shell\\open\\ddeexec\\topic", &s.HtmlTopic, false},
        {"Folder\\shell\\open\\ddeexec\\application", &s.FolderApplication, false},
        {"Folder\\shell\\open\\ddeexec\\topic", &s.FolderTopic, false},
        {"Folder\\shell\\open\\ddeexec", &s.Commands.Open, true},
        {"Folder\\shell\\explore\\ddeexec", &s.Commands.Explore, true},
        {"Directory\\shell\\find\\ddeexec", &s.Commands.Find, true},
    };
    for (const Name& n : names) {
        std::string text;
        if (!ReadDefaultValue(n.key, text)) return false;
        *n.target = n.command ? DdeCommandName(text) : text;
    }
    return true;
}

TFolderRequest ParseFolderCommand(const std::string& commandText) {
    TFolderCommand cmd = ParseFolderCommandText(commandText, ShellDde().Commands);
    TFolderRequest request;
    request.Kind = cmd.Kind;
    if (cmd.Kind == TFolderCommandKind::None) return request;
    request.Path = cmd.Path;
    request.ShowCommand = cmd.ShowCommand;
    if (cmd.HasSharedList) {
        // The shell writes the handle's 32 bits; a 64-bit program sign-extends them.
        HANDLE handle = LongToHandle(static_cast<LONG>(cmd.Handle));
        if (void* p = LockSharedBlock(handle, cmd.ProcessId)) {
            request.List.reset(CopyPidl(static_cast<LPCITEMIDLIST>(p)));
            UnlockSharedBlock(p);
        }
        FreeSharedBlock(handle, cmd.ProcessId);
    }
    return request;
}

bool TranslateKeyWithApplication(IDispatch* application, MSG& msg) {
    auto inPlace = velfw::ComPtr<IDispatch>(application).As<IOleInPlaceActiveObject>();
    return inPlace && TranslateBrowserAccelerator(*inPlace.Get(), msg) == S_OK;
}

// ---- THostedWBShell

THostedWBShell::THostedWBShell(IShellHookHost& host)
    : host_(host),
      controlHook_([this](velfw::TMessage& m) { ControlWindowProc(m); }),
      ownerHook_([this](velfw::TMessage& m) { OwnerWindowProc(m); }),
      hidden_(kHiddenClass, velfw::TUtilityWindowKind::HiddenTopLevel,
              [this](velfw::TMessage& m) { return HiddenWindowMessage(m); }) {}

THostedWBShell::~THostedWBShell() {
    UnhookOwnerWindow();
    controlHook_.Remove();
}

bool THostedWBShell::HiddenWindowMessage(velfw::TMessage& m) {
    if (m.Msg != WM_DDE_INITIATE || !host_.AnswersDde()) return false;
    DdeInitiate(reinterpret_cast<HWND>(m.WParam), m.LParam);
    return true;
}

void THostedWBShell::InstallControlHook() {
    controlHook_.Install(host_.BrowserControl());
}

void THostedWBShell::HookOwnerWindow() {
    if (Designing()) return;
    auto* owner = dynamic_cast<velfw::TWinControl*>(host_.BrowserControl().Owner());
    if (owner && owner->HandleAllocated()) ownerHook_.Install(*owner);
}

void THostedWBShell::UnhookOwnerWindow() {
    if (Designing()) return;
    // The hook sits on the owner object, so it comes off whether or not the
    // owner's window is still there (a hook left behind would call into a
    // freed browser); an owner that is gone has dropped it already.
    ownerHook_.Remove();
}

void THostedWBShell::ControlWindowProc(velfw::TMessage& m) {
    switch (m.Msg) {
        case velfw::CN_KEYDOWN:
        case velfw::CN_KEYUP:
        case velfw::CN_CHAR:
        case velfw::CN_DEADCHAR: {
            // Result 0 lets the key be dispatched to the browser's window.
            m.Result = 0;
            if (!OfferKeyToBrowser(static_cast<unsigned>(m.WParam), static_cast<uint32_t>(m.LParam))) return;
            MSG msg = {};
            msg.hwnd = host_.BrowserControl().HandleOrNull();
            msg.message = m.Msg - velfw::CN_BASE;
            msg.wParam = m.WParam;
            msg.lParam = m.LParam;
            msg.time = static_cast<DWORD>(::GetMessageTime());
            m.Result = host_.TranslateBrowserKey(msg) ? 1 : 0;
            return;
        }
        case WM_CLOSE: {
            bool canClose = true;
            host_.CloseQuery(canClose);
            if (canClose) controlHook_.CallSaved(m);
            return;
        }
        case WM_DDE_TERMINATE:
            DdeTerminate(reinterpret_cast<HWND>(m.WParam));
            return;
        case WM_DDE_EXECUTE:
            DdeExecute(reinterpret_cast<HWND>(m.WParam), m.LParam);
            return;
        default:
            controlHook_.CallSaved(m);
    }
}

void THostedWBShell::OwnerWindowProc(velfw::TMessage& m) {
    if (m.Msg == WM_ACTIVATE && LOWORD(m.WParam) == WA_INACTIVE) {
        // The owner's own message goes on below whatever happens here.
        try {
            HWND taker = reinterpret_cast<HWND>(m.LParam);
            char cls[81] = {};
            if (taker && host_.ReplacesCaption() && ::GetClassNameA(taker, cls, sizeof cls) > 0 &&
                std::strcmp(cls, "#32770") == 0) {
                ::SendMessageA(taker, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ApplicationIcon()));
                std::string title = velfw::Application ? velfw::Application->Title() : std::string();
                ::SetWindowTextA(taker, ReplaceBrowserCaption(WindowText(taker), title).c_str());
            }
            if (taker) host_.ShowDialog(taker);
        } catch (...) {
            velfw::ReportCurrentException();
        }
    }
    ownerHook_.CallSaved(m);
}

void THostedWBShell::DdeInitiate(HWND client, LPARAM atoms) {
    TShellDdeState& s = ShellDde();
    if (s.Busy) return;
    DWORD process = 0;
    DWORD thread = ::GetWindowThreadProcessId(client, &process);
    if (!thread || thread != ::GetCurrentThreadId() || process != ::GetCurrentProcessId()) return;
    const ATOM appAtom = LOWORD(atoms), topicAtom = HIWORD(atoms);
    const std::string application = AtomName(appAtom);
    s.HtmlMode = application == s.HtmlApplication;
    const std::string& offerApp = s.HtmlMode ? s.HtmlApplication : s.FolderApplication;
    const std::string& offerTopic = s.HtmlMode ? s.HtmlTopic : s.FolderTopic;
    const velfw::UniqueGlobalAtom app = AddedAtom(offerApp), topic = AddedAtom(offerTopic);
    if (app.get() && topic.get() && app.get() == appAtom && topic.get() == topicAtom) {
        if (!IsPartner(client)) partners_.push_back(client);
        ::SendMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(host_.BrowserControl().Handle()),
                       MAKELPARAM(app.get(), topic.get()));
    }
}

bool THostedWBShell::IsPartner(HWND client) const {
    return std::find(partners_.begin(), partners_.end(), client) != partners_.end();
}

void THostedWBShell::DdeExecute(HWND client, LPARAM packed) {
    // A window we never acknowledged has no conversation with us; its
    // memory stays its own.
    if (!IsPartner(client)) return;
    UINT_PTR low = 0, high = 0;
    if (!::UnpackDDElParam(WM_DDE_EXECUTE, packed, &low, &high)) return;
    auto memory = reinterpret_cast<HGLOBAL>(high);
    bool carriedOut = false;
    {
        const velfw::LockedGlobal command(memory);
        if (!command) return;
        try {
            carriedOut = CarryOut(CommandText(command));
        } catch (...) {
            // A request that fails half-way counts as not carried out; the
            // client still gets its answer.
            carriedOut = false;
        }
    }
    LPARAM ack = ::ReuseDDElParam(packed, WM_DDE_EXECUTE, WM_DDE_ACK, carriedOut ? kAckCarriedOut : 0,
                                  reinterpret_cast<UINT_PTR>(memory));
    if (!::PostMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(host_.BrowserControl().Handle()), ack))
        ::FreeDDElParam(WM_DDE_ACK, ack);
}

bool THostedWBShell::CarryOut(const std::string& command) {
    if (ShellDde().HtmlMode) {
        host_.NavigateUrl(HtmlExecuteAddress(command));
        return true;
    }
    TFolderRequest request = ParseFolderCommand(command);
    switch (request.Kind) {
        case TFolderCommandKind::Open:
            if (!request.Path.empty()) host_.NavigateUrl(request.Path);
            else if (request.List) host_.NavigatePidl(request.List.get());
            return true;
        case TFolderCommandKind::Explore:
        case TFolderCommandKind::Find:
            // Without a path or a list there is nothing to hand on.
            if (request.Path.empty() && !request.List) return false;
            ShellExecuteRequest(request, request.Kind == TFolderCommandKind::Explore);
            return true;
        case TFolderCommandKind::None:
            break;
    }
    return false;
}

void THostedWBShell::ShellExecuteRequest(const TFolderRequest& request, bool explore) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.lpVerb = explore ? "explore" : "find";
    info.nShow = request.ShowCommand;
    info.fMask = explore ? SEE_MASK_CLASSNAME : 0;
    if (explore) info.lpClass = "folder";
    if (!request.Path.empty()) {
        info.lpFile = request.Path.c_str();
    } else {
        info.fMask |= SEE_MASK_IDLIST;
        info.lpIDList = request.List.get();
    }
    // Requests the shell sends meanwhile go to the real shell.
    const velfw::ScopedValue busy(ShellDde().Busy, true);
    ShellExecuteFunction(info);
}

void THostedWBShell::DdeTerminate(HWND client) {
    if (!IsPartner(client)) return;
    partners_.erase(std::find(partners_.begin(), partners_.end(), client));
    ::PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(host_.BrowserControl().Handle()), 0);
}

}  // namespace browser

// The hosted browser's window hooks and its answers to the shell's DDE
// requests. Only a browser read from a form description installs the hooks
// (its Loaded step); one made in code keeps plain window procedures, and its
// hidden window passes every message to the default procedure.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Forms.h"
#include "ShellMemory.h"
#include "ShellRules.h"
#include "UtilityWindow.h"
#include "WindowHooks.h"

namespace browser {

// What the hooks and the DDE server need of the browser component.
class IShellHookHost {
public:
    virtual ~IShellHookHost() = default;
    // The component; its window is the control window that the hook sits on
    // and that answers DDE conversations, its owner gets the owner hook.
    virtual velfw::TWinControl& BrowserControl() = 0;
    // Offers a key message to the browser; True when the browser consumed it.
    virtual bool TranslateBrowserKey(MSG& msg) = 0;
    virtual void NavigateUrl(const std::string& url) = 0;
    virtual void NavigatePidl(LPCITEMIDLIST list) = 0;
    // The component's switches and events, read at every message.
    virtual bool ReplacesCaption() = 0;  // its dialogs get the application's icon and title
    virtual bool AnswersDde() = 0;       // it answers the browser's own DDE requests
    virtual void CloseQuery(bool& canClose) = 0;
    virtual void ShowDialog(HWND h) = 0;  // a window took the activation from the owner
};

// The shell's DDE names and the state of the conversations, shared by every
// browser. The last answered initiate decides the mode of all of them.
struct TShellDdeState {
    std::string HtmlApplication, HtmlTopic;
    std::string FolderApplication, FolderTopic;
    TFolderCommandNames Commands;  // open, explore and find command names
    bool HtmlMode = false;         // the conversation is for HTML files, not folders
    bool Busy = false;             // an explore or find request is with the shell
};
TShellDdeState& ShellDde();

// Where the shell's DDE names are read (HKEY_CLASSES_ROOT; tests use a key of their own).
extern HKEY ShellClassesRoot;
// Hands explore and find requests to the shell (ShellExecuteExA).
extern std::function<BOOL(SHELLEXECUTEINFOA& info)> ShellExecuteFunction;
// Lets the browser's in-place object translate a key (its TranslateAccelerator).
extern std::function<HRESULT(IOleInPlaceActiveObject& object, MSG& msg)> TranslateBrowserAccelerator;

// Reads the DDE names into ShellDde(); a missing key or value reads as empty.
// False when a read failed otherwise (the names read so far stay).
bool ReadShellDdeNames();

struct TFolderRequest {
    TFolderCommandKind Kind = TFolderCommandKind::None;
    std::string Path;
    velfw::UniqueItemIdList List;  // none when the command carried no usable list
    int ShowCommand = 1;
};

// A folder command with its item-ID list taken out of the shell's shared
// memory (the block is freed). Kind None when the command is not recognised.
TFolderRequest ParseFolderCommand(const std::string& commandText);

// Offers a key to the browser's automation object (its Application) as an
// in-place object; True when it consumed the key.
bool TranslateKeyWithApplication(IDispatch* application, MSG& msg);

class THostedWBShell {
public:
    // Makes the hidden top-level window that receives broadcast DDE requests.
    explicit THostedWBShell(IShellHookHost& host);
    THostedWBShell(const THostedWBShell&) = delete;
    THostedWBShell& operator=(const THostedWBShell&) = delete;
    ~THostedWBShell();

    // From the component's Loaded step: the hook on its own window procedure,
    // and the one on its owner's (only when the owner's window exists).
    void InstallControlHook();
    void HookOwnerWindow();
    // From the component's destruction.
    void UnhookOwnerWindow();

    HWND HiddenWindow() const { return hidden_.Handle(); }
    velfw::TWinControl* HookedOwner() const { return ownerHook_.Control(); }
    bool ControlHooked() const { return controlHook_.Installed(); }

private:
    bool HiddenWindowMessage(velfw::TMessage& m);
    void ControlWindowProc(velfw::TMessage& m);
    void OwnerWindowProc(velfw::TMessage& m);
    void DdeInitiate(HWND client, LPARAM atoms);
    bool IsPartner(HWND client) const;
    void DdeExecute(HWND client, LPARAM packed);
    void DdeTerminate(HWND client);
    bool CarryOut(const std::string& command);
    void ShellExecuteRequest(const TFolderRequest& request, bool explore);
    bool Designing() { return (host_.BrowserControl().ComponentState() & velfw::csDesigning) != 0; }

    IShellHookHost& host_;
    velfw::TWindowHook controlHook_;
    velfw::TWindowHook ownerHook_;
    // The clients whose initiate we acknowledged: only they are served.
    std::vector<HWND> partners_;
    velfw::TUtilityWindow hidden_;  // top-level, so that broadcast initiates reach it
};

}  // namespace browser

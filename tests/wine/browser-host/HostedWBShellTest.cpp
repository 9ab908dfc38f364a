#include <gtest/gtest.h>

#include <windows.h>
#include <dde.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "DdeClient.h"
#include "Forms.h"
#include "HostedWBShell.h"
#include "PidlHelpers.h"
#include "RegistryKey.h"
#include "ScopedSeam.h"

using namespace browser;
using testing_support::DdeClient;

namespace {

// The browser side as the hooks see it: a plain control that notes what it
// is asked to translate and where it is sent.
class FakeHost : public IShellHookHost {
public:
    explicit FakeHost(velfw::TWinControl& control) : control_(control) {}
    velfw::TWinControl& BrowserControl() override { return control_; }
    bool TranslateBrowserKey(MSG& msg) override {
        Offered.push_back(msg);
        return Consume;
    }
    void NavigateUrl(const std::string& url) override { Urls.push_back(url); }
    void NavigatePidl(LPCITEMIDLIST list) override {
        auto* b = reinterpret_cast<const BYTE*>(list);
        Pidls.emplace_back(b, b + GetPidlSize(list));
    }
    bool ReplacesCaption() override { return ReplaceCaption; }
    bool AnswersDde() override { return EnableDDE; }
    void CloseQuery(bool& canClose) override {
        if (OnCloseQuery) OnCloseQuery(&control_, canClose);
    }
    void ShowDialog(HWND h) override {
        if (OnShowDialog) OnShowDialog(&control_, h);
    }

    bool ReplaceCaption = false;
    bool EnableDDE = false;
    std::function<void(velfw::TObject*, bool&)> OnCloseQuery;
    std::function<void(velfw::TObject*, HWND)> OnShowDialog;

    std::vector<MSG> Offered;
    bool Consume = false;
    std::vector<std::string> Urls;
    std::vector<std::vector<BYTE>> Pidls;

private:
    velfw::TWinControl& control_;
};

// A control that notes the keys dispatched to its window.
class TKeyControl : public velfw::TWinControl {
public:
    using TWinControl::TWinControl;
    std::vector<WPARAM> Dispatched;

protected:
    void WndProc(velfw::TMessage& m) override {
        if (m.Msg == WM_KEYDOWN) Dispatched.push_back(m.WParam);
        TWinControl::WndProc(m);
    }
};

void Pump() {
    for (int i = 0; i < 3; ++i) velfw::Application->ProcessMessages();
}

class ShellHooks : public ::testing::Test {
protected:
    void SetUp() override {
        velfw::InitFormsUnit();
        velfw::Application->Initialize();
        velfw::Application->SetTitle("Velunor Test");
        form = new velfw::TForm(nullptr);
        form->SetBounds(20, 20, 400, 300);
        control = velfw::PlaceControl<TKeyControl>(form, form, 0, 0, 200, 200);
        form->HandleNeeded();
        host = std::make_unique<FakeHost>(*control);
        shell = std::make_unique<THostedWBShell>(*host);
        // As the component's Loaded step does.
        shell->HookOwnerWindow();
        shell->InstallControlHook();
        ShellDde() = TShellDdeState{};
        ShellDde().HtmlApplication = "IExplore";
        ShellDde().HtmlTopic = "WWW_OpenURL";
        ShellDde().FolderApplication = "Folders";
        ShellDde().FolderTopic = "AppProperties";
        ShellDde().Commands = {"ViewFolder", "ExploreFolder", "FindFolder"};
    }
    void TearDown() override {
        shell.reset();
        host.reset();
        form->Free();
        velfw::DoneFormsUnit();
    }

    velfw::TForm* form = nullptr;
    TKeyControl* control = nullptr;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<THostedWBShell> shell;
    testing_support::ScopedSeam<TShellDdeState> dde{ShellDde()};
};

}  // namespace

// (The filter table itself runs against the real control.)
TEST_F(ShellHooks, AKeyTheBrowserConsumesIsNotDispatched) {
    for (bool consume : {false, true}) {
        host->Consume = consume;
        host->Offered.clear();
        control->Dispatched.clear();
        ::PostMessageA(control->Handle(), WM_KEYDOWN, VK_F5, 1);
        Pump();
        ASSERT_EQ(host->Offered.size(), 1u);
        EXPECT_EQ(host->Offered[0].message, static_cast<UINT>(WM_KEYDOWN));
        EXPECT_EQ(control->Dispatched, consume ? std::vector<WPARAM>{} : std::vector<WPARAM>{VK_F5});
    }
    // Keys that are never offered are dispatched as they are.
    host->Offered.clear();
    control->Dispatched.clear();
    ::PostMessageA(control->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    EXPECT_TRUE(host->Offered.empty());
    EXPECT_EQ(control->Dispatched, std::vector<WPARAM>{VK_RETURN});
}

TEST_F(ShellHooks, CloseQueryKeepsTheWindowOrLetsItGo) {
    bool asked = false;
    host->OnCloseQuery = [&](velfw::TObject* sender, bool& canClose) {
        asked = true;
        EXPECT_EQ(sender, control);
        canClose = false;
    };
    HWND wnd = control->Handle();
    ::SendMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(::IsWindow(wnd));
    host->OnCloseQuery = nullptr;
    ::SendMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(wnd));
}

TEST_F(ShellHooks, TheOwnerHookComesOff) {
    std::vector<HWND> shown;
    host->OnShowDialog = [&](velfw::TObject*, HWND h) { shown.push_back(h); };
    form->Show();
    ::SetActiveWindow(form->Handle());
    Pump();
    HWND other = ::CreateWindowExA(0, "STATIC", "x", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                   nullptr);
    ::SetActiveWindow(other);
    Pump();
    EXPECT_EQ(shown, std::vector<HWND>{other});

    shell->UnhookOwnerWindow();
    EXPECT_EQ(shell->HookedOwner(), nullptr);
    shown.clear();
    ::SetActiveWindow(form->Handle());
    Pump();
    EXPECT_TRUE(form->Active()) << "the form's own procedure is back";
    ::SetActiveWindow(other);
    Pump();
    EXPECT_TRUE(shown.empty());
    ::SetActiveWindow(form->Handle());
    ::DestroyWindow(other);
}

// (DDE off, another thread and the busy flag run against the real control.)
TEST_F(ShellHooks, InitiateChoosesTheConversationByTheApplicationName) {
    host->EnableDDE = true;
    DdeClient client;
    // The application name must match with its letter case; the topic is
    // compared as an atom, which ignores it.
    client.Initiate(shell->HiddenWindow(), "iexplore", "WWW_OpenURL");
    EXPECT_TRUE(client.Acks.empty());
    client.Initiate(shell->HiddenWindow(), "IExplore", "www_openurl");
    ASSERT_EQ(client.Acks.size(), 1u);
    EXPECT_EQ(client.Acks[0].server, control->Handle()) << "the control's window serves, not the hidden one";
    EXPECT_TRUE(ShellDde().HtmlMode);

    client.Acks.clear();
    client.Initiate(shell->HiddenWindow(), "Folders", "AppProperties");
    ASSERT_EQ(client.Acks.size(), 1u);
    EXPECT_FALSE(ShellDde().HtmlMode);

    client.Acks.clear();
    client.Initiate(shell->HiddenWindow(), "Folders", "OtherTopic");
    client.Initiate(shell->HiddenWindow(), "Nobody", "WWW_OpenURL");
    EXPECT_TRUE(client.Acks.empty()) << "other names";

    // The broadcast that the browser sends reaches the hidden window.
    client.Initiate(HWND_BROADCAST, "IExplore", "WWW_OpenURL");
    EXPECT_EQ(client.Acks.size(), 1u);
}

TEST_F(ShellHooks, ExecuteAnswersAndNavigatesInPlace) {
    host->EnableDDE = true;
    DdeClient client;
    auto execute = [&](const std::string& command) {
        client.Acks.clear();
        HGLOBAL mem = client.Execute(control->Handle(), command);
        Pump();
        UINT_PTR status = 0xFFFF, memory = 0;
        if (client.Acks.size() == 1) {
            EXPECT_EQ(client.Acks[0].server, control->Handle());
            DdeClient::UnpackExecuteAck(client.Acks[0].lParam, status, memory);
            EXPECT_EQ(memory, reinterpret_cast<UINT_PTR>(mem));
        } else {
            ADD_FAILURE() << "no single answer to " << command;
        }
        ::GlobalFree(mem);
        return status;
    };

    client.Initiate(shell->HiddenWindow(), "IExplore", "WWW_OpenURL");
    EXPECT_EQ(execute("\"file:///C:/pages/a.htm\",,-1,0,,,,"), 0x8000u);
    EXPECT_EQ(host->Urls, std::vector<std::string>{"file:///C:/pages/a.htm"});

    host->Urls.clear();
    client.Initiate(shell->HiddenWindow(), "Folders", "AppProperties");
    EXPECT_EQ(execute("[ViewFolder(\"C:\\Data\", :1:2, 1)]"), 0x8000u);
    EXPECT_EQ(host->Urls, std::vector<std::string>{"C:\\Data"});

    // The list the shell put in shared memory is navigated to.
    const BYTE bytes[] = {6, 0, 'a', 'b', 'c', 'd', 4, 0, 'e', 'f', 0, 0};
    using AllocFn = HANDLE(WINAPI*)(const void*, DWORD, DWORD);
    auto alloc = reinterpret_cast<AllocFn>(
        ::GetProcAddress(::LoadLibraryA("shell32.dll"), MAKEINTRESOURCEA(520)));
    ASSERT_TRUE(alloc);
    HANDLE block = alloc(bytes, sizeof bytes, ::GetCurrentProcessId());
    ASSERT_TRUE(block);
    host->Urls.clear();
    EXPECT_EQ(execute("[ViewFolder(\"\", :" + std::to_string(HandleToULong(block)) + ":" +
                      std::to_string(::GetCurrentProcessId()) + ", 1)]"),
              0x8000u);
    ASSERT_EQ(host->Pidls.size(), 1u);
    EXPECT_EQ(host->Pidls[0], std::vector<BYTE>(bytes, bytes + sizeof bytes));
    EXPECT_TRUE(host->Urls.empty());

    // A bare number would be an address in this process: never used.
    host->Pidls.clear();
    std::vector<BYTE> local(bytes, bytes + sizeof bytes);
    EXPECT_EQ(execute("[ViewFolder(\"\", " + std::to_string(reinterpret_cast<UINT_PTR>(local.data())) + ", 1)]"),
              0x8000u);
    EXPECT_TRUE(host->Pidls.empty());

    // Not recognised: unknown names and numbers that do not convert.
    EXPECT_EQ(execute("[Unknown(\"C:\\Data\", :1:2, 1)]"), 0u);
    EXPECT_EQ(execute("[ViewFolder(\"C:\\Data\", :1-:2, 1)]"), 0u);
    EXPECT_EQ(execute("[ViewFolder(\"C:\\Data\", :1:2, -)]"), 0u);
    EXPECT_TRUE(host->Urls.empty());

    // Explore and find go to the shell, with the busy flag up meanwhile.
    struct Request {
        std::string verb, cls, file;
        ULONG mask;
        int show;
        bool busy;
    };
    std::vector<Request> requests;
    {
        testing_support::ScopedSeam shellExecute(ShellExecuteFunction, [&](SHELLEXECUTEINFOA& info) {
            EXPECT_EQ(info.cbSize, sizeof(SHELLEXECUTEINFOA));
            requests.push_back({info.lpVerb ? info.lpVerb : "", info.lpClass ? info.lpClass : "",
                                info.lpFile ? info.lpFile : "", info.fMask, info.nShow, ShellDde().Busy});
            return TRUE;
        });
        EXPECT_EQ(execute("[ExploreFolder(\"C:\\Data\", :1:2, 3)]"), 0x8000u);
        EXPECT_EQ(execute("[FindFolder(\"C:\\Data\", :1:2, 5)]"), 0x8000u);
    }
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].verb, "explore");
    EXPECT_EQ(requests[0].cls, "folder");
    EXPECT_EQ(requests[0].file, "C:\\Data");
    EXPECT_EQ(requests[0].mask, static_cast<ULONG>(SEE_MASK_CLASSNAME));
    EXPECT_EQ(requests[0].show, 3);
    EXPECT_TRUE(requests[0].busy);
    EXPECT_EQ(requests[1].verb, "find");
    EXPECT_EQ(requests[1].cls, "");
    EXPECT_EQ(requests[1].mask, 0u);
    EXPECT_EQ(requests[1].show, 5);
    EXPECT_FALSE(ShellDde().Busy);

    // Terminate is answered by the control's window.
    ::PostMessageA(control->Handle(), WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(client.Handle()), 0);
    Pump();
    EXPECT_EQ(client.Terminates, std::vector<HWND>{control->Handle()});
}

// Only the window whose initiate was acknowledged has a conversation: an
// execute or terminate from any other window is left alone.
TEST_F(ShellHooks, OnlyTheAcknowledgedClientIsServed) {
    host->EnableDDE = true;
    const std::string command = "\"file:///C:/pages/a.htm\",,-1,0,,,,";
    DdeClient partner, stranger, refused;
    partner.Initiate(shell->HiddenWindow(), "IExplore", "WWW_OpenURL");
    ASSERT_EQ(partner.Acks.size(), 1u);
    partner.Acks.clear();
    refused.Initiate(shell->HiddenWindow(), "IExplore", "OtherTopic");
    ASSERT_TRUE(refused.Acks.empty());

    // Executes and terminates from `client`; the answers it got.
    auto talk = [&](DdeClient& client) {
        client.Acks.clear();
        client.Terminates.clear();
        HGLOBAL mem = client.Execute(control->Handle(), command);
        Pump();
        ::PostMessageA(control->Handle(), WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(client.Handle()), 0);
        Pump();
        size_t acks = client.Acks.size();
        for (const DdeClient::Ack& ack : client.Acks) {
            UINT_PTR status = 0, memory = 0;
            DdeClient::UnpackExecuteAck(ack.lParam, status, memory);
        }
        ::GlobalFree(mem);
        return std::make_pair(acks, client.Terminates.size());
    };
    for (DdeClient* other : {&stranger, &refused}) {
        EXPECT_EQ(talk(*other), std::make_pair(size_t{0}, size_t{0}));
        EXPECT_TRUE(host->Urls.empty());
    }
    EXPECT_EQ(talk(partner), std::make_pair(size_t{1}, size_t{1}));
    EXPECT_EQ(host->Urls, std::vector<std::string>{"file:///C:/pages/a.htm"});
    // Its terminate ended the conversation.
    host->Urls.clear();
    EXPECT_EQ(talk(partner), std::make_pair(size_t{0}, size_t{0}));
    EXPECT_TRUE(host->Urls.empty());
}

TEST(ShellDdeNames, ReadFromTheShellsRegistryEntries) {
    const char* base = "Software\\VelunorTest\\ShellClasses";
    velfw::RegistryKey root;
    ASSERT_EQ(root.Create(HKEY_CURRENT_USER, base, KEY_ALL_ACCESS, REG_OPTION_VOLATILE), ERROR_SUCCESS);
    auto set = [&](const char* sub, const char* value) {
        velfw::RegistryKey k;
        ASSERT_EQ(k.Create(root.Get(), sub, KEY_ALL_ACCESS, REG_OPTION_VOLATILE), ERROR_SUCCESS);
        k.WriteString("", value);
    };
    set("htmlfile\\shell\\open\\ddeexec\\application", "IExplore");
    set("htmlfile\\shell\\open\\ddeexec\\topic", "WWW_OpenURL");
    set("Folder\\shell\\open\\ddeexec", "[ViewFolder(\"%l\", %I, %S)]");
    set("Folder\\shell\\explore\\ddeexec", "[ExploreFolder(\"%l\", %I, %S)]");
    set("Directory\\shell\\find\\ddeexec", "[FindFolder(\"%l\", %I)]");
    // Folder application and topic are missing: they read as empty.

    TShellDdeState got;
    {
        testing_support::ScopedSeam dde(ShellDde());
        testing_support::ScopedSeam classesRoot(ShellClassesRoot, root.Get());
        ShellDde().FolderApplication = "stale";
        EXPECT_TRUE(ReadShellDdeNames());
        got = ShellDde();
    }

    EXPECT_EQ(got.HtmlApplication, "IExplore");
    EXPECT_EQ(got.HtmlTopic, "WWW_OpenURL");
    EXPECT_EQ(got.FolderApplication, "");
    EXPECT_EQ(got.FolderTopic, "");
    EXPECT_EQ(got.Commands.Open, "ViewFolder");
    EXPECT_EQ(got.Commands.Explore, "ExploreFolder");
    EXPECT_EQ(got.Commands.Find, "FindFolder");

    root.Close();
    ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\VelunorTest");
}

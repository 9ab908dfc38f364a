// Forms, the application object and the screen.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Controls.h"

namespace velfw {

class TUtilityWindow;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TFormStyle { fsNormal, fsStayOnTop };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TPosition { poDesigned, poScreenCenter };
// The buttons of a form's caption bar.
enum TBorderIconFlag : unsigned { biSystemMenu = 1u << 0, biMinimize = 1u << 1, biMaximize = 1u << 2, biHelp = 1u << 3 };
using TBorderIcons = unsigned;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

constexpr int mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    TFormBorderStyle BorderStyle = TFormBorderStyle::bsSizeable;
    // The caption's buttons, as far as the border style allows them: none
    // without a caption, no minimize or maximize box on a dialog or
    // tool-window frame, the help button only where neither box is. Without
    // the system menu the caption shows no button at all.
    TBorderIcons BorderIcons = biSystemMenu | biMinimize | biMaximize;
    TWindowState WindowState = TWindowState::wsNormal;
    TFormStyle FormStyle = TFormStyle::fsNormal;
    TPosition Position = TPosition::poDesigned;
    int ModalResult = mrNone;

    // Runs after the constructor (the form description) has finished: OnCreate.
    virtual void AfterConstruction();
    void SetVisible(bool visible) override;

    void Close();
    int ShowModal();
    // Moves the focus to the next tab stop of the form in tab order (the
    // previous one backwards), round from the last to the first.
    void SelectNext(bool forward);
    // The framework control with the focus, when it is on this form.
    TWinControl* FocusedControl() const;
    // Offers `msg` to every visible, enabled control of the form in tab
    // order; true when one answered non-zero.
    bool Broadcast(UINT msg, WPARAM wParam, LPARAM lParam);
    bool Active() const { return active_; }
    TCanvas& Canvas() { return canvas_; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnShow;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void Paint(TCanvas& canvas) override;
    void BeforeDestruction() override;
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void Activate();
    virtual void Deactivate();
    virtual bool CloseQuery();
    // Tab and Shift+Tab move the focus; Enter and Esc go to the buttons
    // (the default and cancel buttons answer them). True when acted on.
    virtual bool DialogKey(WORD key, TShiftState shift);
    virtual void DoClose(TCloseAction& action);

private:
    bool active_ = false;
    bool shownOnce_ = false;
    TCanvas canvas_;
};

// The form a control is on (the control itself when it is one), or nullptr.
TForm* GetParentForm(TControl* control);

using TMessageEvent = std::function<void(MSG& msg, bool& handled)>;
using TExceptionEvent = std::function<void(TObject* sender, const std::exception& e)>;
// Shows a message box; tests replace it so that nothing waits for a person.
using TMessageBoxFunction = std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT flags)>;
// Asks the help viewer for a command of the help file; tests replace it so that no viewer starts.
using THelpFunction = std::function<bool(HWND owner, const std::string& helpFile, UINT command, ULONG_PTR data)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Makes the hidden application window; raises when it cannot.
    void Initialize();
    HWND Handle() const;
    std::string Title() const { return title_; }
    void SetTitle(const std::string& title);
    // The running program's file; static for the code that runs before (or
    // without) the application object.
    static std::string ExeName();
    std::string HelpFile;
    // The hint of what the mouse is over (a menu item, say); OnHint fires on a change.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    TNotifyEvent OnHint;

    TForm* MainForm() const { return mainForm_; }
    // Run shows the main form first unless this is cleared (a program that
    // lives in the notification area keeps it hidden).
    bool ShowMainForm = true;
    // While the main form is shown, the application window stands for the
    // program on the taskbar and in the task switcher; a program that should
    // not be there (a full-screen one) clears this before it shows its form.
    bool ShowTaskbarButton = true;
    template <typename T>
    T* CreateForm() {
        T* form = new T(this);
        if (!mainForm_) mainForm_ = form;
        form->AfterConstruction();
        return form;
    }
    void Run();
    // Frees every form, last created first.
    void DestroyForms();
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();
    void HandleMessage();
    // Reports the exception in flight (call from a catch block) or `e`.
    void HandleException(const std::exception* e = nullptr);
    void ShowException(const std::exception& e);
    int MessageBox(const std::string& text, const std::string& caption, UINT flags = MB_OK);
    // A help command (HELP_CONTEXT, HELP_CONTEXTPOPUP, ...) for HelpFile, on
    // behalf of the main form; false without a help file or when refused.
    bool HelpCommand(UINT command, ULONG_PTR data);
    bool HelpContext(int context) { return HelpCommand(HELP_CONTEXT, static_cast<ULONG_PTR>(context)); }

    TMessageEvent OnMessage;
    // Runs when Run's own loop finds the queue empty: no handler of any
    // message is on the stack then.
    TNotifyEvent OnIdle;
    TExceptionEvent OnException;
    TMessageBoxFunction MessageBoxFunction;
    THelpFunction HelpFunction;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TForm;
    // The main form shown or hidden: the taskbar button with it.
    void ShowButton(bool shown);
    bool ProcessMessage(MSG& msg);
    bool IsKeyMsg(const MSG& msg);
    bool IsDialogKey(const MSG& msg);
    std::unique_ptr<TUtilityWindow> window_;
    std::string title_;
    std::string hint_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
};

// The screen's cursors by number: the system's under their negative numbers,
// and those a program registers under its own. The table does not own them:
// cursors loaded from a module live as long as the module.
class TCursorTable {
public:
    // The registered cursor, a system one, or the arrow for an unknown number.
    HCURSOR operator[](TCursor id) const;
    void Set(TCursor id, HCURSOR cursor);

private:
    std::map<TCursor, HCURSOR> cursors_;
};

class TScreen : public TComponent {
public:
    TScreen() : TComponent(nullptr) {}
    int Width() const { return ::GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return ::GetSystemMetrics(SM_CYSCREEN); }
    TCursorTable Cursors;
    // The cursor shown over every window of the program; crDefault leaves
    // each window its own.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);
    // The form activated last that is still there: the one with the focus,
    // or the one that gets it back when the program is active again; null
    // before any form was activated.
    TForm* ActiveForm() const { return activeForm_; }

private:
    friend class TForm;
    TCursor cursor_ = crDefault;
    TForm* activeForm_ = nullptr;
};

extern TApplication* Application;
extern TScreen* Screen;

// Unit start-up and shutdown, from each program's table of units.
void InitFormsUnit();
void DoneFormsUnit();
// Frees the application's forms; a program's table finishes it first, so
// that the forms go before the units their components use.
void DoneApplicationForms();

}  // namespace velfw

#include "KAVIstp.h"

#include <shellapi.h>

#include "Globals.h"
#include "KAVIstAbout.h"
#include "ScopeGuards.h"

namespace tray {

TForm1* Form1 = nullptr;

void ShellExecuteStart(const std::string& file, const std::string& parameters, int show) {
    ::ShellExecuteA(nullptr, nullptr, file.c_str(), parameters.empty() ? nullptr : parameters.c_str(), nullptr, show);
}

TShellStart ShellStart = ShellExecuteStart;

namespace {

void Start(const std::string& file, const std::string& parameters, int show) {
    if (ShellStart) ShellStart(file, parameters, show);
}

}  // namespace

velfw::TMenuItem* TForm1::MakeItem(velfw::TMenuItem* parent, const char* name, const char* caption,
                                   void (TForm1::*handler)(velfw::TObject*)) {
    auto* item = new velfw::TMenuItem(this);
    item->Name = name;
    item->SetCaption(caption);
    if (handler) item->OnClick = [this, handler](velfw::TObject* s) { (this->*handler)(s); };
    parent->Add(item);
    return item;
}

TForm1::TForm1(velfw::TComponent* owner) : velfw::TForm(owner) {
    BeginLoading();
    Name = "Form1";
    BorderStyle = velfw::TFormBorderStyle::bsSingle;
    BorderIcons = 0;
    SetCaption("Velunor");
    SetBounds(192, 107, 418, 264);

    auto* c = new kv::TKvController(this);
    c->Name = "KvController1";
    c->SetEpoch(2000);
    KvController1 = c;

    KxPopupMenu1 = new kx::TKxPopupMenu(this);
    KxPopupMenu1->Name = "KxPopupMenu1";
    velfw::TMenuItem* items = KxPopupMenu1->Items();
    LaunchKAVI1 = MakeItem(items, "LaunchKAVI1", "Launch Velunor", &TForm1::LaunchKAVI1Click);
    Setup1 = MakeItem(items, "Setup1", "Settings", &TForm1::Setup1Click);
    N2 = MakeItem(items, "N2", "-", nullptr);
    Help1 = MakeItem(items, "Help1", "Help", nullptr);
    Contents1 = MakeItem(Help1, "Contents1", "Contents", &TForm1::Contents1Click);
    About1 = MakeItem(Help1, "About1", "About", &TForm1::About1Click);
    Exit1 = MakeItem(items, "Exit1", "Exit", &TForm1::Exit1Click);

    KxTrayIcon1 = new kx::TKxTrayIcon(this);
    KxTrayIcon1->Name = "KxTrayIcon1";
    KxTrayIcon1->SetHint("Velunor");
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    // A program built without the tray images (a test) simply has none.
    if (::FindResourceA(instance, "MAINICON", MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */))
        KxTrayIcon1->Icon().LoadFromResourceName(instance, "MAINICON");
    // The animation's frames, read as one property: one change at the end.
    KxTrayIcon1->Icons().BeginUpdate();
    for (const char* frame : kTrayFrames)
        if (::FindResourceA(instance, frame, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */))
            KxTrayIcon1->Icons().AddFromResource(instance, frame);
    KxTrayIcon1->Icons().EndUpdate();
    KxTrayIcon1->SetInterval(3000);
    KxTrayIcon1->SetPopupMenu(KxPopupMenu1);
    KxTrayIcon1->OnDblClick = [this](velfw::TObject* s) { LaunchKAVI1Click(s); };
    KxTrayIcon1->OnMouseUp = [this](velfw::TObject* s, velfw::TMouseButton b, velfw::TShiftState sh, int x, int y) {
        KxTrayIcon1MouseUp(s, b, sh, x, y);
    };
    EndLoading();

    OnCreate = [this](velfw::TObject* s) { FormCreate(s); };
    OnClose = [this](velfw::TObject* s, velfw::TCloseAction& a) { FormClose(s, a); };
    Form1 = this;
}

TForm1::~TForm1() {
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::FormCreate(velfw::TObject*) {
    globals::InitGlobals(Handle());
    if (globals::RadonMark != 'A') {
        try {
            Start("rundll32.exe", "desk.cpl,InstallScreenSaver Velunor.scr", SW_SHOWNORMAL);
            // Start-up failed before it made the store: the hand-over stays due.
            if (!globals::SettingsStore) throw velfw::Exception("No settings store");
            kv::TKvRegistryStore& store = *globals::SettingsStore;
            store.SetKeyName(globals::kProductKey);
            store.Open();
            const velfw::ScopeExit close([&store] { store.Close(); });
            store.WriteString(globals::kInstallSection, "Ravad", "A");
        } catch (...) {
            // Not recorded: the next start hands the saver over again.
        }
    }
    ClickX = Width() + 8;
    ClickY = Height() + 8;
    Exiting = false;
    Busy = false;
    KxTrayIcon1->SetHint("Velunor");
}

void TForm1::FormClose(velfw::TObject*, velfw::TCloseAction& action) {
    if (Exiting) return;
    action = velfw::TCloseAction::caNone;
    Hide();
}

void TForm1::LaunchKAVI1Click(velfw::TObject*) { Start(globals::BaseSDir + "Velunor.scr", "/S", SW_SHOWNORMAL); }

void TForm1::Setup1Click(velfw::TObject*) { Start(globals::BaseDir + "KAVIsu.exe", "", SW_SHOWNORMAL); }

void TForm1::Contents1Click(velfw::TObject*) {
    Start(std::string("http://") + kProductSite + "/Support.htm", "", SW_SHOWNORMAL);
}

void TForm1::About1Click(velfw::TObject*) {
    if (Busy) return;
    const velfw::ScopedValue busy(Busy, true);
    // Freed here, after its modal loop has ended: an Exit chosen meanwhile
    // only ends that loop, and the box goes before this handler returns.
    std::unique_ptr<Tabout, void (*)(Tabout*)> box(new Tabout(velfw::Application),
                                                   [](Tabout* b) { b->Free(); });
    box->AfterConstruction();
    box->SetBounds(ClickX - box->Width() - 8, ClickY - box->Height() - 16, box->Width(), box->Height());
    box->ShowModal();
}

void TForm1::Exit1Click(velfw::TObject*) {
    Exiting = true;
    Close();
}

void TForm1::KxTrayIcon1MouseUp(velfw::TObject*, velfw::TMouseButton, velfw::TShiftState, int x, int y) {
    ClickX = x;
    ClickY = y;
}

void TForm1::WndProc(velfw::TMessage& m) {
    switch (m.Msg) {
        case WM_QUERYENDSESSION:
            // Closes are refused, but logging off must not be.
            m.Result = TRUE;
            return;
        case WM_ENDSESSION:
            if (m.WParam) {
                // The process may be ended as soon as this returns: take the
                // icon away now.
                Exiting = true;
                KxTrayIcon1->SetActive(false);
                Close();
            }
            m.Result = 0;
            return;
        default:
            velfw::TForm::WndProc(m);
    }
}

}  // namespace tray

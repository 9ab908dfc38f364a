#include "KAVIstAbout.h"

#include "Globals.h"
#include "KAVIstp.h"
#include "SysUtils.h"
#include "WinHandles.h"

namespace tray {

void TClickLabel::CreateParams(velfw::TCreateParams& p) {
    velfw::TLabel::CreateParams(p);
    p.Style |= SS_NOTIFY;
}

void TClickLabel::WndProc(velfw::TMessage& m) {
    if (m.Msg == velfw::CN_COMMAND && HIWORD(m.WParam) == STN_CLICKED) {
        Click();
        return;
    }
    velfw::TLabel::WndProc(m);
}

TIconImage::TIconImage(velfw::TComponent* owner) : velfw::TWinControl(owner) { SetBounds(0, 0, 32, 32); }

void TIconImage::Paint(velfw::TCanvas& canvas) {
    velfw::UniqueIcon icon(static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
    if (icon) canvas.DrawIcon(0, 0, icon.get());
}

namespace {

velfw::TLabel* MakeLabel(velfw::TLabel* label, velfw::TWinControl* parent, const char* name, const char* text,
                         int left, int top, const char* font, int points, velfw::TColor color, unsigned style) {
    label->Name = name;
    label->SetParent(parent);
    label->SetLeft(left);
    label->SetTop(top);
    label->Font().SetName(font);
    label->Font().SetSize(points);
    label->Font().SetColor(color);
    label->Font().SetStyle(style);
    label->SetCaption(text);
    return label;
}

}  // namespace

Tabout::Tabout(velfw::TComponent* owner) : velfw::TForm(owner) {
    BeginLoading();
    Name = "about";
    BorderStyle = velfw::TFormBorderStyle::bsDialog;
    BorderIcons = 0;  // closed by its button only
    Position = velfw::TPosition::poScreenCenter;
    SetCaption("About");
    SetBounds(300, 200, 281, 253);
    Font().SetName("Arial");
    Font().SetSize(9);  // 12 pixels

    Panel1 = new velfw::TPanel(this);
    Panel1->Name = "Panel1";
    Panel1->SetParent(this);
    Panel1->SetHeight(41);
    Panel1->SetAlign(velfw::TAlign::alBottom);
    Panel1->SetBevelOuter(velfw::TPanelBevel::bvNone);
    Panel1->SetColor(velfw::clWhite);

    BitBtn1 = new velfw::TButton(this);
    BitBtn1->Name = "BitBtn1";
    BitBtn1->SetParent(Panel1);
    BitBtn1->SetBounds(100, 5, 80, 30);
    BitBtn1->SetCaption("OK");
    BitBtn1->Default = true;
    BitBtn1->ModalResult = velfw::mrOk;

    Panel2 = new velfw::TPanel(this);
    Panel2->Name = "Panel2";
    Panel2->SetParent(this);
    Panel2->SetAlign(velfw::TAlign::alClient);
    Panel2->SetBevelInner(velfw::TPanelBevel::bvLowered);
    Panel2->SetColor(velfw::clWhite);

    Panel3 = new velfw::TPanel(this);
    Panel3->Name = "Panel3";
    Panel3->SetParent(Panel2);
    Panel3->SetBounds(8, 8, 185, 58);
    Panel3->SetColor(velfw::clSilver);

    Label3 = MakeLabel(new velfw::TLabel(this), Panel3, "Label3", "Velunor", 8, 6, "Times New Roman", 12,
                       velfw::clBlack, velfw::fsItalic | velfw::fsUnderline);
    Label1 = MakeLabel(new velfw::TLabel(this), Panel3, "Label1", "Version: (1.0.0.1)", 8, 32, "Times New Roman", 10,
                       velfw::clBlack, 0);
    Label5 = static_cast<TClickLabel*>(MakeLabel(new TClickLabel(this), Panel2, "Label5", "", 56, 150,
                                                 "MS Sans Serif", 8, velfw::clNavy, velfw::fsUnderline));
    Label5->OnClick = [this](velfw::TObject* s) { ClickWWW(s); };

    Image2 = new TIconImage(this);
    Image2->Name = "Image2";
    Image2->SetParent(Panel2);
    Image2->SetBounds(16, 140, 32, 32);
    Image2->OnClick = [this](velfw::TObject* s) { ClickWWW(s); };
    EndLoading();

    OnActivate = [this](velfw::TObject* s) { FormActivate(s); };
}

void Tabout::FormActivate(velfw::TObject*) {
    Label5->SetCaption(kProductSite);
    Label1->SetCaption("Version: " + GetVersion());
    if (Form1) SetCaption(Form1->KxTrayIcon1->Hint());
}

void Tabout::ClickWWW(velfw::TObject*) {
    if (ShellStart) ShellStart("http://" + velfw::Trim(Label5->Caption()), "", SW_SHOW);
}

std::string Tabout::GetVersion() {
    try {
        return globals::GetVersionText();
    } catch (...) {
        // A build without version information shows no number.
        return std::string();
    }
}

}  // namespace tray

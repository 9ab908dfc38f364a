#include "KaviSSm.h"

#include <windowsx.h>

#include <cstdlib>

namespace saver {

TForm1::TForm1(vcl::TComponent* owner) : vcl::TForm(owner) {
    BeginLoading();
    Name = "Form1";
    BorderStyle = vcl::TFormBorderStyle::bsNone;
    FormStyle = vcl::TFormStyle::fsStayOnTop;
    SetColor(vcl::clBlack);
    SetCaption("Velunor");
    EndLoading();
    OnCreate = [this](vcl::TObject* s) { FormCreate(s); };
}

void TForm1::CreateParams(vcl::TCreateParams& params) {
    vcl::TForm::CreateParams(params);
    params.WinClassName = "TForm1";
}

void TForm1::FormCreate(vcl::TObject*) {
    SetBounds(0, 0, vcl::Screen->Width(), vcl::Screen->Height());
}

void TForm1::WndProc(vcl::TMessage& m) {
    switch (m.Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_USER + 2:
            Close();
            return;
        case WM_MOUSEMOVE: {
            POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
            if (!mouseSeen_) {
                mouseSeen_ = true;
                firstMouse_ = p;
            } else if (std::abs(p.x - firstMouse_.x) > 2 && std::abs(p.y - firstMouse_.y) > 2) {
                Close();
            }
            return;
        }
        default:
            vcl::TForm::WndProc(m);
    }
}

}  // namespace saver

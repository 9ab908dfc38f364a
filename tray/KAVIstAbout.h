// The tray launcher's about box: product, version and the web site.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

namespace tray {

// A label that reports clicks (the static control tells its parent of them).
class TClickLabel : public velfw::TLabel {
public:
    using velfw::TLabel::TLabel;

protected:
    void CreateParams(velfw::TCreateParams& params) override;
    void WndProc(velfw::TMessage& message) override;
};

// The program's icon drawn at the top left; a click fires OnClick.
class TIconImage : public velfw::TWinControl {
public:
    explicit TIconImage(velfw::TComponent* owner);

protected:
    void Paint(velfw::TCanvas& canvas) override;
};

class Tabout : public velfw::TForm {
public:
    explicit Tabout(velfw::TComponent* owner);

    velfw::TPanel* Panel1 = nullptr;   // the bottom strip with the button
    velfw::TButton* BitBtn1 = nullptr;
    velfw::TPanel* Panel2 = nullptr;   // the rest
    velfw::TPanel* Panel3 = nullptr;   // the product's plate
    velfw::TLabel* Label3 = nullptr;
    velfw::TLabel* Label1 = nullptr;
    TClickLabel* Label5 = nullptr;
    TIconImage* Image2 = nullptr;

    void FormActivate(velfw::TObject* sender);
    void ClickWWW(velfw::TObject* sender);
    std::string GetVersion();
};

}  // namespace tray

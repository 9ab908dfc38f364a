// The bitmap button: a push button that draws itself, a small glyph beside
// its caption. Enter, Esc, the mnemonic and ModalResult work as for TButton.
#pragma once

#include "Graphics.h"
#include "StdCtrls.h"

namespace velfw {

class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* owner);
    // The glyph: NumGlyphs images side by side, the first for the normal
    // state and the second (when there is one) for the disabled state. Its
    // bottom-left pixel's colour is transparent.
    TBitmap& Glyph() { return glyph_; }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int value);  // 1 or 2
    int Spacing = 4;               // between glyph and caption

    // Draws the face as the system asks for it (ODS_ flags of the state);
    // tests draw it on a canvas of their own.
    void DrawButton(TCanvas& canvas, const RECT& bounds, UINT state);
    // Where the caption's lines go inside `bounds`, drawn on `canvas`'s font.
    RECT CaptionRect(TCanvas& canvas, const RECT& bounds);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    bool MultiLine();
    std::string DisplayCaption();
    UINT TextFlags();
    TBitmap glyph_;
    int numGlyphs_ = 1;
};

}  // namespace velfw

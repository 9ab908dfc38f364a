// Panels: a window with a bevel and an optional caption, whose aligned
// children fill the area inside the bevel.
#pragma once

#include "Controls.h"

namespace velfw {

enum class TPanelBevel { bvNone, bvLowered, bvRaised };
// The frame of a control that draws its own bevel.
enum class TBevelStyle { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner);

    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel bevel);
    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel bevel);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    void SetText(const std::string& text) override;

    // The area inside the bevels, in client coordinates.
    RECT InnerRect() const;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(TCanvas& canvas) override;
    void AlignControls(RECT& rect) override;
    void Resize() override { Invalidate(); }

private:
    int BevelSize() const;
    TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
    TPanelBevel bevelInner_ = TPanelBevel::bvNone;
    int bevelWidth_ = 1;
};

}  // namespace velfw

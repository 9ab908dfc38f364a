// Bases of the library's windowed controls: a control that can carry a
// caption label above it (kept at its offsets as either moves), focus and
// wheel events, and a variant that finds the form's controller.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Controls.h"
#include "KvBaseRules.h"
#include "KvController.h"
#include "StdCtrls.h"

namespace kv {

class TKvAttachedLabel;

// The attached-label settings of one control. The control sets the two
// hooks; they run when the offsets or the visibility change.
class TKvLabelInfo : public velfw::TPersistent {
public:
    int32_t OffsetX() const { return offsetX_; }
    int32_t OffsetY() const { return offsetY_; }
    bool Visible() const { return visible_; }
    TKvAttachedLabel* Label() const { return label_; }
    void SetOffsets(int32_t x, int32_t y);
    void SetVisible(bool visible);

    std::function<void()> OnPositionChange;
    std::function<void()> OnVisibleChange;

private:
    friend class TKvCustomControl;
    int32_t offsetX_ = 0, offsetY_ = 0;
    TKvAttachedLabel* label_ = nullptr;
    bool visible_ = false;
};

// A caption label that belongs to one windowed control of its form; after it
// moves or loads it tells its control where it now is.
class TKvAttachedLabel : public velfw::TLabel {
public:
    explicit TKvAttachedLabel(velfw::TComponent* owner);
    // The label of `control`, focusing it for the label's accelerator.
    TKvAttachedLabel(velfw::TComponent* owner, velfw::TWinControl* control);

    velfw::TWinControl* Control() const { return control_; }
    void SetControl(velfw::TWinControl* control);
    velfw::TWinControl* FocusControl = nullptr;

    void SetBounds(int left, int top, int width, int height) override;

protected:
    void Loaded() override;
    void Notification(velfw::TComponent* component, velfw::TOperation operation) override;

private:
    void TellControl(bool moved);
    velfw::TWinControl* control_ = nullptr;
};

// (Sender, Shift, Delta, XPos, YPos): the wheel distance and the pointer's
// screen position as the wheel message carries them.
using TKvWheelEvent = std::function<void(velfw::TObject* sender, velfw::TShiftState shift, int16_t delta, int16_t x,
                                         int16_t y)>;

class TKvCustomControl : public velfw::TWinControl {
public:
    explicit TKvCustomControl(velfw::TComponent* owner);
    ~TKvCustomControl() override;

    velfw::TNotifyEvent FocusGainedEvent;
    velfw::TNotifyEvent FocusLostEvent;
    TKvWheelEvent WheelEvent;

    TKvLabelInfo& LabelInfo() { return *labelInfo_; }
    void SetLabelVisible(bool visible) { labelInfo_->SetVisible(visible); }
    void SetLabelOffsets(int32_t x, int32_t y) { labelInfo_->SetOffsets(x, y); }
    // Raises "Label not attached" while the label is not visible.
    TKvAttachedLabel* AttachedLabel() const;
    std::string About() const { return "v3.08"; }

    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;

protected:
    void CreateParams(velfw::TCreateParams& params) override;
    void WndProc(velfw::TMessage& message) override;
    void Notification(velfw::TComponent* component, velfw::TOperation operation) override;
    void Loaded() override;
    virtual void DoMouseWheel(velfw::TShiftState shift, int16_t delta, int16_t x, int16_t y);

private:
    void LabelVisibleChanged();
    void PlaceLabel();
    void FreeLabel();
    void KeepLabelAtOffsets();
    void RecordLabelPosition();
    void AdoptLabel(LPARAM candidate);
    TKvPoint LabelOffsetsNow() const;
    void PostToSelf(UINT message);

    std::unique_ptr<TKvLabelInfo> labelInfo_;
};

// A control that works with the form's controller: it takes the first one on
// its form when its window is made, and forgets it when it goes.
class TKvCustomControlEx : public TKvCustomControl {
public:
    using TKvCustomControl::TKvCustomControl;

    TKvController* AssignedController() const { return controller_; }
    virtual void AttachController(TKvController* controller);

protected:
    // Raises ENoControllerAssigned when the form has no controller.
    void CreateWnd() override;
    void Notification(velfw::TComponent* component, velfw::TOperation operation) override;

private:
    TKvController* controller_ = nullptr;
};

}  // namespace kv

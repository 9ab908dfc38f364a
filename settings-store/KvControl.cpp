#include "KvControl.h"

#include <utility>

#include "Forms.h"
#include "KvConst.h"
#include "KvExcpt.h"

namespace kv {

namespace {

// True when `candidate` is one of the components `form` owns. A pointer that
// arrives in a message is compared, never followed, until this holds.
bool FormOwns(velfw::TComponent* form, const void* candidate) {
    if (!form || !candidate) return false;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (form->Components(i) == candidate) return true;
    return false;
}

}  // namespace

// ---- TKvLabelInfo

void TKvLabelInfo::SetOffsets(int32_t x, int32_t y) {
    if (x == offsetX_ && y == offsetY_) return;
    offsetX_ = x;
    offsetY_ = y;
    if (OnPositionChange) OnPositionChange();
}

void TKvLabelInfo::SetVisible(bool visible) {
    visible_ = visible;
    if (OnVisibleChange) OnVisibleChange();
}

// ---- TKvAttachedLabel

TKvAttachedLabel::TKvAttachedLabel(velfw::TComponent* owner) : velfw::TLabel(owner) { AutoSize = true; }

TKvAttachedLabel::TKvAttachedLabel(velfw::TComponent* owner, velfw::TWinControl* control)
    : TKvAttachedLabel(owner) {
    SetControl(control);
    FocusControl = control;
}

void TKvAttachedLabel::SetControl(velfw::TWinControl* control) {
    if (control_) RemoveFreeNotification(control_);
    control_ = control;
    if (control_) FreeNotification(control_);
}

void TKvAttachedLabel::SetBounds(int left, int top, int width, int height) {
    const bool moved = left != Left() || top != Top() || width != Width() || height != Height();
    velfw::TLabel::SetBounds(left, top, width, height);
    if (moved) TellControl(true);
}

void TKvAttachedLabel::Loaded() {
    velfw::TLabel::Loaded();
    TellControl(false);
}

void TKvAttachedLabel::Notification(velfw::TComponent* component, velfw::TOperation operation) {
    velfw::TLabel::Notification(component, operation);
    if (operation == velfw::TOperation::opRemove && component == control_) {
        control_ = nullptr;
        if (FocusControl == component) FocusControl = nullptr;
    }
}

void TKvAttachedLabel::TellControl(bool moved) {
    if (IsLoading() || IsDestroying()) return;
    velfw::TForm* form = velfw::GetParentForm(this);
    if (!FormOwns(form, control_)) return;
    control_->Perform(kvmAdoptLabel, 0, reinterpret_cast<LPARAM>(this));
    // A moved label has its place taken now: were it taken later, a move of
    // the control in between would be read into the offsets. After loading
    // the place is taken once the loading is over.
    if (moved) control_->Perform(kvmRecordLabel, 0, 0);
    else if (control_->HandleAllocated()) ::PostMessageA(control_->HandleOrNull(), kvmRecordLabel, 0, 0);
}

// ---- TKvCustomControl

TKvCustomControl::TKvCustomControl(velfw::TComponent* owner)
    : velfw::TWinControl(owner), labelInfo_(std::make_unique<TKvLabelInfo>()) {
    labelInfo_->OnPositionChange = [this] { PlaceLabel(); };
    labelInfo_->OnVisibleChange = [this] { LabelVisibleChanged(); };
}

TKvCustomControl::~TKvCustomControl() {
    FreeLabel();
    labelInfo_->visible_ = false;
}

TKvAttachedLabel* TKvCustomControl::AttachedLabel() const {
    if (!labelInfo_->visible_) throw velfw::Exception(LibraryString(SLabelNotAttached));
    return labelInfo_->label_;
}

void TKvCustomControl::CreateParams(velfw::TCreateParams& params) {
    velfw::TWinControl::CreateParams(params);
    params.WinClassName = "TVelunorKvControl";
}

void TKvCustomControl::SetBounds(int left, int top, int width, int height) {
    velfw::TWinControl::SetBounds(left, top, width, height);
    if (labelInfo_) PostToSelf(kvmControlMoved);
}

void TKvCustomControl::SetVisible(bool visible) {
    velfw::TWinControl::SetVisible(visible);
    if (labelInfo_ && labelInfo_->visible_ && labelInfo_->label_ && !IsLoading()) labelInfo_->label_->SetVisible(visible);
}

void TKvCustomControl::PostToSelf(UINT message) {
    if (HandleAllocated()) ::PostMessageA(HandleOrNull(), message, 0, 0);
}

void TKvCustomControl::WndProc(velfw::TMessage& m) {
    switch (m.Msg) {
    case WM_SETFOCUS:
        velfw::TWinControl::WndProc(m);
        PostToSelf(kvmFocusGained);
        return;
    case WM_KILLFOCUS:
        velfw::TWinControl::WndProc(m);
        PostToSelf(kvmFocusLost);
        return;
    case kvmFocusGained:
        if (FocusGainedEvent) FocusGainedEvent(this);
        return;
    case kvmFocusLost:
        if (FocusLostEvent) FocusLostEvent(this);
        return;
    case kvmControlMoved:
        KeepLabelAtOffsets();
        return;
    case kvmRecordLabel:
        RecordLabelPosition();
        return;
    case kvmAdoptLabel:
        AdoptLabel(m.LParam);
        return;
    case WM_MOUSEWHEEL:
        DoMouseWheel(velfw::KeysToShiftState(LOWORD(m.WParam)), WheelDelta(m.WParam), PointerX(m.LParam),
                     PointerY(m.LParam));
        m.Result = 0;
        return;
    default:
        velfw::TWinControl::WndProc(m);
    }
}

void TKvCustomControl::DoMouseWheel(velfw::TShiftState shift, int16_t delta, int16_t x, int16_t y) {
    if (WheelEvent) WheelEvent(this, shift, delta, x, y);
}

void TKvCustomControl::Notification(velfw::TComponent* component, velfw::TOperation operation) {
    velfw::TWinControl::Notification(component, operation);
    if (operation != velfw::TOperation::opRemove || !labelInfo_ || component != labelInfo_->label_) return;
    // Freed by other means: forget it, unless the whole form is going.
    labelInfo_->label_ = nullptr;
    velfw::TForm* form = velfw::GetParentForm(this);
    if (!form || !form->IsDestroying()) labelInfo_->visible_ = false;
}

void TKvCustomControl::Loaded() {
    velfw::TWinControl::Loaded();
    PlaceLabel();
}

void TKvCustomControl::FreeLabel() {
    if (TKvAttachedLabel* label = std::exchange(labelInfo_->label_, nullptr)) {
        RemoveFreeNotification(label);
        delete label;
    }
}

void TKvCustomControl::LabelVisibleChanged() {
    velfw::TForm* form = velfw::GetParentForm(this);
    if (!form || IsLoading()) return;
    FreeLabel();
    if (!labelInfo_->visible_) return;
    const std::string name = UniqueComponentName(form, Name + "Label");
    auto* label = new TKvAttachedLabel(form, this);
    labelInfo_->label_ = label;
    FreeNotification(label);
    label->Name = name;
    label->SetParent(Parent());
    label->SetCaption(name);
    labelInfo_->offsetX_ = labelInfo_->offsetY_ = 0;
    PlaceLabel();
    label->BringToFront();
    label->AutoSize = true;
}

void TKvCustomControl::PlaceLabel() {
    TKvAttachedLabel* label = labelInfo_->label_;
    if (!labelInfo_->visible_ || !label || !label->Parent() || IsLoading()) return;
    const TKvPoint at =
        LabelPosition({Left(), Top()}, label->Height(), {labelInfo_->offsetX_, labelInfo_->offsetY_});
    label->SetBounds(at.X, at.Y, label->Width(), label->Height());
}

TKvPoint TKvCustomControl::LabelOffsetsNow() const {
    const TKvAttachedLabel* label = labelInfo_->label_;
    return LabelOffsets({Left(), Top()}, {label->Left(), label->Top()}, label->Height());
}

void TKvCustomControl::KeepLabelAtOffsets() {
    TKvAttachedLabel* label = labelInfo_->label_;
    if (!labelInfo_->visible_ || !label || !label->Parent()) return;
    if (LabelOffsetsNow() != TKvPoint{labelInfo_->offsetX_, labelInfo_->offsetY_}) PlaceLabel();
}

void TKvCustomControl::RecordLabelPosition() {
    if (!labelInfo_->label_) return;
    labelInfo_->visible_ = true;
    const TKvPoint offsets = LabelOffsetsNow();
    labelInfo_->SetOffsets(offsets.X, offsets.Y);
}

void TKvCustomControl::AdoptLabel(LPARAM candidate) {
    velfw::TForm* form = velfw::GetParentForm(this);
    if (!FormOwns(form, reinterpret_cast<const void*>(candidate))) return;
    auto* label = dynamic_cast<TKvAttachedLabel*>(reinterpret_cast<velfw::TComponent*>(candidate));
    if (!label || label->Control() != this || label == labelInfo_->label_) return;
    labelInfo_->label_ = label;
    FreeNotification(label);
}

// ---- TKvCustomControlEx

void TKvCustomControlEx::AttachController(TKvController* controller) {
    if (controller_) RemoveFreeNotification(controller_);
    controller_ = controller;
    if (controller_) FreeNotification(controller_);
}

void TKvCustomControlEx::CreateWnd() {
    if (!controller_ && !IsLoading()) {
        velfw::TForm* form = velfw::GetParentForm(this);
        for (int i = 0; form && i < form->ComponentCount() && !controller_; ++i)
            if (auto* found = dynamic_cast<TKvController*>(form->Components(i))) AttachController(found);
        if (!controller_) throw ENoControllerAssigned();
    }
    TKvCustomControl::CreateWnd();
}

void TKvCustomControlEx::Notification(velfw::TComponent* component, velfw::TOperation operation) {
    TKvCustomControl::Notification(component, operation);
    if (operation == velfw::TOperation::opRemove && component == controller_) controller_ = nullptr;
    if (operation == velfw::TOperation::opInsert && !controller_)
        if (auto* controller = dynamic_cast<TKvController*>(component)) AttachController(controller);
}

}  // namespace kv

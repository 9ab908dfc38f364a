// The settings form: its description, the first filling, navigation, the
// page-list editors, discard and save. The decisions are the wizard rules';
// this file gathers the controls' state and carries them out.
#include "KAVIsup.h"

#include <algorithm>

#include "DisplaySettingsRegistry.h"
#include "Globals.h"
#include "SettingsSave.h"
#include "SysUtils.h"

namespace settings {

using namespace velfw;

namespace {

constexpr int kClientWidth = 855;
constexpr int kClientHeight = 455;
constexpr int kFontSize = 10;     // Arial 13 px
constexpr int kHeadingSize = 14;  // 19 px
constexpr int kBarHeight = 41;

void SetArial(TControl* control, int size = kFontSize, unsigned style = 0, TColor color = clWindowText) {
    control->Font().SetName("Arial");
    control->Font().SetSize(size);
    control->Font().SetStyle(style);
    control->Font().SetColor(color);
}

template <typename T>
T* Place(TComponent* owner, TWinControl* parent, const std::string& name, int left, int top, int width, int height,
         const std::string& caption = std::string()) {
    auto* control = PlaceControl<T>(owner, parent, left, top, width, height);
    control->Name = name;
    if (!caption.empty()) control->SetCaption(caption);
    SetArial(control);
    return control;
}

TLabel* Text(TComponent* owner, TWinControl* parent, int left, int top, const std::string& caption,
             unsigned style = 0, TColor color = clWindowText) {
    auto* label = Place<TLabel>(owner, parent, "", left, top, 0, 0, caption);
    SetArial(label, kFontSize, style, color);
    return label;
}

TKxSlider* Slider(TComponent* owner, TWinControl* parent, const char* name, int left, int top, int width, int low,
                  int high, int increment, int value) {
    auto* slider = Place<TKxSlider>(owner, parent, name, left, top, width, 33);
    slider->SetColor(clBackground);
    slider->SetMaxValue(high);
    slider->SetMinValue(low);
    slider->SetIncrement(increment);
    slider->SetValue(value);
    return slider;
}

// The buttons' glyphs, drawn at build time into the program's resources: the
// normal image and the disabled one side by side.
constexpr char kNextGlyph[] = "GLYPH_NEXT";
constexpr char kBackGlyph[] = "GLYPH_BACK";
constexpr char kSaveGlyph[] = "GLYPH_SAVE";
constexpr char kDiscardGlyph[] = "GLYPH_DISCARD";
constexpr char kAddGlyph[] = "GLYPH_ADD";
constexpr char kRemoveGlyph[] = "GLYPH_REMOVE";
constexpr char kAddOneGlyph[] = "GLYPH_ADDONE";

template <typename T>
T* Button(TComponent* owner, TWinControl* parent, const std::string& name, int left, int top, int width, int height,
          const std::string& caption, const char* glyph) {
    auto* button = Place<T>(owner, parent, name, left, top, width, height, caption);
    // A glyph missing from the resources leaves the button with its caption alone.
    if (button->Glyph().LoadFromResourceName(::GetModuleHandleA(nullptr), glyph)) button->SetNumGlyphs(2);
    return button;
}

}  // namespace

// ---- the layout pictures

TLayoutPicture::TLayoutPicture(TComponent* owner, int windows) : TCustomControl(owner), windows_(windows) {}

void TLayoutPicture::Paint(TCanvas& canvas) {
    const RECT all{0, 0, Width(), Height()};
    canvas.FillRect(all, clBtnFace);
    const RECT screen{0, 0, Width(), Height() - 4};
    canvas.FillRect(screen, clBackground);
    canvas.FrameRect(screen, clBlack);
    std::vector<RECT> boxes;
    const int w = screen.right, h = screen.bottom, mid = h / 2;
    if (windows_ == 1) boxes = {screen};
    else if (windows_ == 2) boxes = {RECT{0, 0, w, mid}, RECT{0, mid, w, h}};
    else boxes = {RECT{0, 0, w, mid}, RECT{0, mid, w / 2, h}, RECT{w / 2, mid, w, h}};
    canvas.Font().SetName("Arial");
    canvas.Font().SetSize(8);
    canvas.Font().SetStyle(fsBold);
    canvas.Brush().SetColor(clWhite);
    canvas.Pen().SetColor(clBlack);
    for (size_t i = 0; i < boxes.size(); ++i) {
        const RECT& b = boxes[i];
        canvas.FrameRect(b, clBlack);
        const int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
        canvas.Ellipse(RECT{cx - 8, cy - 8, cx + 8, cy + 8});
        const std::string n = IntToStr(static_cast<int>(i) + 1);
        const SIZE size = canvas.TextExtent(n);
        canvas.TextOut(cx - size.cx / 2, cy - size.cy / 2, n, clBlack);
    }
}

// ---- the form description

TForm1::TForm1(TComponent* owner) : TForm(owner) {
    BeginLoading();
    Name = "Form1";
    BorderStyle = TFormBorderStyle::bsSingle;
    BorderIcons = 0;  // the user leaves by the buttons
    Position = TPosition::poScreenCenter;
    SetColor(clBtnFace);
    SetArial(this);
    SetCaption(kFormCaption);
    RECT frame{0, 0, kClientWidth, kClientHeight};
    ::AdjustWindowRectEx(&frame, WS_CAPTION | WS_BORDER, FALSE, 0);
    SetBounds(0, 0, frame.right - frame.left, frame.bottom - frame.top);

    PageControl1 = Place<TPageControl>(this, this, "PageControl1", 0, 0, kClientWidth, kClientHeight);
    PageControl1->SetAlign(TAlign::alClient);
    PageControl1->TabStop = true;
    MakeBeginPage();
    for (int n = 1; n <= kMaxWindows; ++n) MakeListPage(n);
    MakeAdvancedPage();
    MakeDurationsPage();
    MakeFinishPage();
    PageControl1->SetActivePage(tsBegin);
    PageControl1->OnChanging = [this](TObject* s, bool& allow) { PageControl1Changing(s, allow); };

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    EndLoading();
}

TTabSheet* TForm1::MakePage(const char* name, const char* caption, const char* heading) {
    auto* page = new TTabSheet(this);
    page->Name = name;
    page->SetPageControl(PageControl1);
    page->SetCaption(caption);
    SetArial(page);
    auto* title = Text(this, page, 16, 8, heading);
    SetArial(title, kHeadingSize, fsBold, clNavy);
    return page;
}

TPanel* TForm1::MakeBottomBar(TTabSheet* page, int pageNumber) {
    auto* bar = Place<TPanel>(this, page, "pBar" + IntToStr(pageNumber), 0, 0, 0, kBarHeight);
    bar->SetAlign(TAlign::alBottom);
    bar->SetCaption("");
    auto* save = Button<TBitBtn>(this, bar, "bSave" + IntToStr(pageNumber), 440, 8, 190, 25, "&Save Changes and Exit",
                                 kSaveGlyph);
    save->OnClick = [this](TObject* s) { bSaveClick(s); };
    auto* discard = Button<TBitBtn>(this, bar, "bExit" + IntToStr(pageNumber), 640, 8, 190, 25,
                                    "&Discard Changes and Exit", kDiscardGlyph);
    discard->OnClick = [this](TObject* s) { bExitClick(s); };
    return bar;
}

void TForm1::MakeBeginPage() {
    tsBegin = MakePage("tsBegin", "Begin Setup", "Welcome to Velunor Setup");
    Text(this, tsBegin, 24, 48, "How many windows do you want to use?", fsItalic);
    const char* const captions[] = {"One Window", "Two Window", "Three Window"};
    TRadioButton** radios[] = {&rbWins1, &rbWins2, &rbWins3};
    for (int i = 0; i < 3; ++i) {
        *radios[i] =
            Place<TRadioButton>(this, tsBegin, "rbWins" + IntToStr(i + 1), 40 + 200 * i, 76, 150, 20, captions[i]);
        (*radios[i])->TabStop = true;
        (*radios[i])->OnClick = [this](TObject* s) { rbWins1Click(s); };
        auto* picture = new TLayoutPicture(this, i + 1);
        picture->Name = "imgWins" + IntToStr(i + 1);
        picture->SetParent(tsBegin);
        picture->SetBounds(40 + 200 * i, 100, 80, 64);
    }
    Text(this, tsBegin, 24, 190,
         "How long should each web site (page) remain on the screen before KAVI switches to the next page?  ",
         fsItalic);
    SliderInterScreen = Slider(this, tsBegin, "SliderInterScreen", 126, 220, 289, 10, 120, 10, 10);
    SliderInterScreen->OnChange = [this](TObject* s) { SliderInterScreenChange(s); };
    Text(this, tsBegin, 40, 228, "10 seconds");
    Text(this, tsBegin, 424, 228, "2 minutes");
    LInterScreen = Text(this, tsBegin, 520, 228, "10 seconds", 0, clNavy);
    LInterScreen->Name = "LInterScreen";
    auto* bar = MakeBottomBar(tsBegin, 1);
    bFw1 = Button<TBitBtn>(this, bar, "bFw1", 96, 8, 80, 25, "&Next", kNextGlyph);
    bFw1->OnClick = [this](TObject* s) { bFwClick(s); };
}

void TForm1::MakeListPage(int window) {
    const std::string n = IntToStr(window);
    const std::string heading =
        "Setting Up Your Page List for Window " + n + (window == 1 ? std::string(" ") : std::string());
    auto* page = MakePage(("tsList" + n).c_str(), ("Page List " + n).c_str(), heading.c_str());
    (window == 1 ? tsList1 : window == 2 ? tsList2 : tsList3) = page;
    const size_t i = static_cast<size_t>(window - 1);

    auto* upper = Place<TPanel>(this, page, "pActive" + n, 8, 36, 831, 150);
    upper->SetCaption("");
    Text(this, upper, 8, 4, "These pages are included in this window's active Page List", fsItalic);
    lbWTo[i] = Place<TListBox>(this, upper, "lbWTo" + n, 8, 24, 593, 118);
    lbWTo[i]->Font().SetColor(clNavy);
    lbWTo[i]->TabStop = true;
    Text(this, upper, 610, 24, "Highlight an entry to the left \r\nand");
    bRemove[i] = Button<TMultiLineBitBtn>(this, upper, "bRemove" + n, 606, 60, 220, 49,
                                          kRemoveButtonCaption, kRemoveGlyph);
    bRemove[i]->OnClick = [this](TObject* s) { bRemoveClick(s); };

    auto* middle = Place<TPanel>(this, page, "pCandidates" + n, 8, 190, 831, 120);
    middle->SetCaption("");
    middle->SetColor(clSystemColor | COLOR_INACTIVECAPTION);
    Text(this, middle, 8, 4, "These Candidate pages could be added to this window's active Page List");
    lbWFrom[i] = Place<TListBox>(this, middle, "lbWFrom" + n, 8, 24, 593, 90);
    lbWFrom[i]->TabStop = true;
    Text(this, middle, 610, 24, "Highlight an entry to the left \r\nand");
    bAdd[i] = Button<TMultiLineBitBtn>(this, middle, "bAdd" + n, 606, 60, 220, 49, kAddButtonCaption, kAddGlyph);
    bAdd[i]->OnClick = [this](TObject* s) { bAddClick(s); };

    auto* lower = Place<TPanel>(this, page, "pAddOne" + n, 8, 314, 831, 56);
    lower->SetCaption("");
    Text(this, lower, 8, 4, "Add this page to this window's active Page List");
    Text(this, lower, 8, 28, "Enter a page location to the left and");
    edAdd[i] = Place<TEdit>(this, lower, "edAdd" + n, 240, 24, 361, 21, kNewAddressText);
    edAdd[i]->TabStop = true;
    // Its caption has no line-break markers: the multi-line style wraps it.
    bAddOne[i] = Button<TMultiLineBitBtn>(this, lower, "bAddOne" + n, 606, 12, 220, 38,
                                          "Click here to a&dd it to the active page list", kAddOneGlyph);
    bAddOne[i]->OnClick = [this](TObject* s) { bAddOneClick(s); };

    auto* bar = MakeBottomBar(page, window + 1);
    const std::string step = IntToStr(window + 1);
    bBk[i] = Button<TBitBtn>(this, bar, "bBk" + step, 8, 8, 80, 25, "&Back", kBackGlyph);
    bBk[i]->OnClick = [this](TObject* s) { bBkClick(s); };
    bFw[i] = Button<TBitBtn>(this, bar, "bFw" + step, 96, 8, 80, 25, "&Next", kNextGlyph);
    bFw[i]->OnClick = [this](TObject* s) { bFwClick(s); };
}

void TForm1::MakeAdvancedPage() {
    tsAdvanced = MakePage("tsAdvanced", "Advanced Setup", "Setting Up Your Advanced Options");
    cbScroll = Place<TCheckBox>(this, tsAdvanced, "cbScroll", 40, 60, 200, 20, "Turn off scrolling ");
    cbScroll->TabStop = true;
    Text(this, tsAdvanced, 40, 110, "Vertical Scroll Rate:   ");
    Text(this, tsAdvanced, 40, 146, "Slow");
    SliderScrollVScrollY = Slider(this, tsAdvanced, "SliderScrollVScrollY", 80, 138, 317, 1, 6, 1, 1);
    SliderScrollVScrollY->OnChange = [this](TObject* s) { SliderScrollVScrollYChange(s); };
    Text(this, tsAdvanced, 404, 146, "Fast ");
    MakeBottomBar(tsAdvanced, 5);
}

void TForm1::MakeDurationsPage() {
    tsDurations = MakePage("tsDurations", "Durations", "Setting Up Your Durations");
    cbDurations = Place<TCheckBox>(this, tsDurations, "cbDurations", 40, 40, 200, 20, "Use duration settings");
    cbDurations->SetChecked(true);
    cbDurations->SetEnabled(false);
    cbDurations->SetVisible(false);
    cbDurations->OnClick = [this](TObject* s) { cbDurationsClick(s); };
    auto* panel = Place<TPanel>(this, tsDurations, "pDurations", 24, 60, 560, 190);
    panel->SetCaption("");
    panel->SetBevelOuter(TPanelBevel::bvLowered);
    Text(this, panel, 16, 12, "Maximum number of times a Page List is run:");
    Text(this, panel, 16, 48, "1");
    SliderDurationTimeS = Slider(this, panel, "SliderDurationTimeS", 40, 40, 317, 1, 15, 1, 3);
    Text(this, panel, 364, 48, "15");
    Text(this, panel, 16, 100, "Maximum number of minutes that each Window will be allowed to run: ");
    Text(this, panel, 16, 136, "10");
    SliderDurationTime = Slider(this, panel, "SliderDurationTime", 40, 128, 317, 10, 120, 5, 30);
    Text(this, panel, 364, 136, "120");
    for (auto* slider : {SliderDurationTimeS, SliderDurationTime})
        slider->OnChange = [this](TObject* s) { SliderScrollVScrollYChange(s); };
    MakeBottomBar(tsDurations, 6);
}

void TForm1::MakeFinishPage() {
    tsFinish = MakePage("tsFinish", "Finish Setup", "Finishing Setup for Velunor");
    auto* done = Text(this, tsFinish, 260, 120, "Congratulations - Setup is Complete!");
    SetArial(done, kHeadingSize, fsBold, clNavy);
    bSave = Button<TBitBtn>(this, tsFinish, "bSave", 230, 200, 190, 25, "&Save Changes and Exit", kSaveGlyph);
    bSave->OnClick = [this](TObject* s) { bSaveClick(s); };
    bExit = Button<TBitBtn>(this, tsFinish, "bExit", 436, 200, 190, 25, "&Discard Changes and Exit",
                            kDiscardGlyph);
    bExit->OnClick = [this](TObject* s) { bExitClick(s); };
}

// ---- start-up

void TForm1::FormCreate(TObject*) {
    globals::StartupFailed = false;
    globals::DisplaySettings = globals::SettingsProgramPresets();
    // A key that cannot be opened leaves the presets; this program has no
    // use for the page-time result.
    globals::ReadDisplaySettingsFromRegistry(globals::DisplaySettings, globals::SettingsProgramReadOptions());
    globals::InitPending = true;
}

void TForm1::FormActivate(TObject*) {
    // Only the first activation fills the form: later ones follow message
    // boxes and must keep the user's edits.
    if (!globals::InitPending || globals::StartupFailed) return;
    globals::InitPending = false;
    auto& settings = globals::DisplaySettings;
    TRadioButton* radio = settings.WindowCount == 3 ? rbWins3 : settings.WindowCount == 2 ? rbWins2 : rbWins1;
    radio->SetChecked(true);
    rbWins1Click(radio);
    SliderInterScreen->SetValue(settings.PageSeconds);
    SliderInterScreenChange(SliderInterScreen);
    cbScroll->SetChecked(!settings.ScrollEnabled);
    SliderScrollVScrollY->SetValue(settings.ScrollStep);

    globals::InitGlobals(Handle());
    // A save that ended half way (the program killed, the power cut) is
    // finished or undone before the lists are read. A window where that
    // cannot be done shows every page it has on disk, so that a save (which
    // tries again first) keeps all the user did not remove.
    std::vector<UnrecoveredPageList> unrecovered;
    if (!globals::DataDir.empty()) unrecovered = RecoverPageLists(globals::DataDir);
    for (size_t i = 0; i < lbWTo.size(); ++i) {
        const int window = static_cast<int>(i) + 1;
        const auto left = std::find_if(unrecovered.begin(), unrecovered.end(),
                                       [window](const UnrecoveredPageList& list) { return list.Window == window; });
        if (left != unrecovered.end()) {
            WriteListBox(*lbWTo[i], PageListBox{left->Pages, {}, std::nullopt});
            continue;
        }
        TStringList& items = lbWTo[i]->Items();
        items.BeginUpdate();  // one fill, not one per page
        globals::LoadPageList(items, globals::DataDir + "Window" + IntToStr(window));
        items.EndUpdate();
    }
    // The candidates of every window are the recommended pages its list lacks.
    TStringList recommended;
    globals::LoadPageList(recommended, globals::DataDir + "Recommended");
    for (size_t i = 0; i < lbWTo.size(); ++i) {
        std::vector<std::string> candidates = recommended.Items();
        RemoveListed(lbWTo[i]->Items().Items(), candidates);
        WriteListBox(*lbWFrom[i], PageListBox{std::move(candidates), {}, std::nullopt});
    }

    SliderDurationTimeS->SetValue(settings.MaxCycles);
    SliderDurationTime->SetValue(settings.MaxMinutes);
    for (size_t i = 0; i < bAdd.size(); ++i) {
        FixMultiLineBitBtnText(bAdd[i]);
        FixMultiLineBitBtnText(bRemove[i]);
    }
    for (const UnrecoveredPageList& list : unrecovered) ShowMessage(list.Message);
}

void TForm1::FixMultiLineBitBtnText(TMultiLineBitBtn* button) {
    button->SetCaption(MultiLineCaption(button->Caption()));
}

// ---- navigation

TTabSheet* TForm1::Page(WizardPage page) const { return PageControl1->Pages(static_cast<int>(page)); }

WizardPage TForm1::ActiveWizardPage() const {
    return static_cast<WizardPage>(PageControl1->ActivePageIndex());
}

ActiveLists TForm1::ActiveListItems() const {
    ActiveLists lists;
    for (size_t i = 0; i < lbWTo.size(); ++i) lists[i] = lbWTo[i]->Items().Items();
    return lists;
}

void TForm1::ShowMessage(const std::string& text) { Application->MessageBox(text, Application->Title(), MB_OK); }

void TForm1::rbWins1Click(TObject* sender) {
    WizardState state{globals::DisplaySettings.WindowCount, ActiveWizardPage()};
    ChooseWindowCount(state, SenderDigit(sender, 6));
    globals::DisplaySettings.WindowCount = state.WindowCount;
    for (int n = 2; n <= kMaxWindows; ++n) {
        const WizardPage page = ListPage(n);
        Page(page)->SetTabVisible(TabVisible(page, state.WindowCount));
    }
    PageControl1->SetActivePage(Page(state.ActivePage));
}

void TForm1::SliderInterScreenChange(TObject*) {
    LInterScreen->SetCaption(PageTimeLabel(SliderInterScreen->Value()));
}

void TForm1::bFwClick(TObject* sender) {
    // Next on step d stands on the page before list d (Begin for d = 1).
    const int step = SenderDigit(sender);
    const WizardPage on = step == 1 ? WizardPage::Begin : ListPage(step - 1);
    if (auto next = NextPage(on, globals::DisplaySettings.WindowCount))
        PageControl1->SetActivePage(Page(*next));
}

void TForm1::bBkClick(TObject* sender) {
    if (auto back = BackPage(ListPage(SenderDigit(sender) - 1)))
        PageControl1->SetActivePage(Page(*back));
}

void TForm1::PageControl1Changing(TObject*, bool& allowChange) {
    if (auto refusal = RefuseTabChange(ActiveWizardPage(), ActiveListItems())) {
        ShowMessage(refusal->Message);
        allowChange = false;
    }
}

// ---- editing

PageListBox ReadListBox(TListBox& box) {
    PageListBox state;
    state.Items = box.Items().Items();
    state.Selected.assign(state.Items.size(), false);
    for (int i : box.SelectedIndexes())
        if (i >= 0 && static_cast<size_t>(i) < state.Selected.size()) state.Selected[static_cast<size_t>(i)] = true;
    if (box.ItemIndex() >= 0) state.ItemIndex = static_cast<size_t>(box.ItemIndex());
    return state;
}

namespace {

// The selection and current item of `state` on the box, whose items already
// are `state`'s, with `top` as its top index. A current item among the last
// `fresh` entries (one just added) is scrolled into view.
void ShowSelection(TListBox& box, const PageListBox& state, int top, size_t fresh) {
    for (size_t i = 0; i < state.Selected.size() && i < state.Items.size(); ++i)
        if (state.Selected[i]) box.SetSelected(static_cast<int>(i), true);
    const bool showCurrent = state.ItemIndex && *state.ItemIndex + fresh >= state.Items.size();
    if (state.ItemIndex && !showCurrent) box.SetCaretIndex(static_cast<int>(*state.ItemIndex));
    if (top < box.Count()) box.SetTopIndex(top);
    if (showCurrent) box.SetCaretIndex(static_cast<int>(*state.ItemIndex));
}

}  // namespace

void WriteListBox(TListBox& box, const PageListBox& state) {
    TStringList& items = box.Items();
    items.BeginUpdate();
    items.Clear();
    for (const auto& item : state.Items) items.Add(item);
    items.EndUpdate();
    ShowSelection(box, state, 0, 0);
}

void ShowListEdit(TListBox& box, const PageListBox& after, const std::vector<size_t>& deleted, size_t appended) {
    const int top = box.TopIndex();
    TStringList& items = box.Items();
    items.BeginUpdate();
    for (size_t index : deleted) items.Delete(static_cast<int>(index));
    for (size_t i = after.Items.size() - std::min(appended, after.Items.size()); i < after.Items.size(); ++i)
        items.Add(after.Items[i]);
    items.EndUpdate();
    ShowSelection(box, after, top, appended);
}

int SenderDigit(TObject* sender, size_t position) {
    auto* component = dynamic_cast<TComponent*>(sender);
    if (!component || component->Name.empty()) return 0;
    const std::string& name = component->Name;
    const size_t at = position == std::string::npos ? name.size() - 1 : position;
    return at < name.size() && name[at] >= '0' && name[at] <= '9' ? name[at] - '0' : 0;
}

void TForm1::bAddOneClick(TObject* sender) {
    const size_t i = static_cast<size_t>(SenderDigit(sender) - 1);
    if (i >= lbWTo.size()) return;
    std::string text = edAdd[i]->GetText();
    PageListBox active = ReadListBox(*lbWTo[i]);
    const size_t before = active.Items.size();
    AddOne(text, active);
    if (active.Items.size() != before) ShowListEdit(*lbWTo[i], active, {}, active.Items.size() - before);
    edAdd[i]->SetText(text);
}

void TForm1::bAddClick(TObject* sender) { MovePages(sender, true); }

void TForm1::bRemoveClick(TObject* sender) { MovePages(sender, false); }

void TForm1::MovePages(TObject* sender, bool adding) {
    const size_t i = static_cast<size_t>(SenderDigit(sender) - 1);
    if (i >= lbWTo.size()) return;
    PageListBox active = ReadListBox(*lbWTo[i]);
    PageListBox candidates = ReadListBox(*lbWFrom[i]);
    PageListBox& from = adding ? candidates : active;
    PageListBox& to = adding ? active : candidates;
    const std::vector<size_t> moved = MoveSelected(from, to, adding);
    if (moved.empty()) return;
    ShowListEdit(*(adding ? lbWFrom[i] : lbWTo[i]), from, moved, 0);
    ShowListEdit(*(adding ? lbWTo[i] : lbWFrom[i]), to, {}, moved.size());
}

// ---- leaving

void TForm1::bExitClick(TObject*) {
    if (Application->MessageBox(kDiscardQuestion, kDiscardTitle, MB_YESNO | MB_ICONQUESTION) == IDYES)
        Application->Terminate();
}

void TForm1::bSaveClick(TObject*) {
    auto settings = globals::DisplaySettings;
    settings.ScrollEnabled = !cbScroll->Checked();
    settings.ScrollStep = SliderScrollVScrollY->Value();
    settings.PageSeconds = SliderInterScreen->Value();
    settings.UseDurations = true;
    settings.MaxCycles = SliderDurationTimeS->Value();
    settings.MaxMinutes = SliderDurationTime->Value();

    SaveRequest request;
    request.WindowCount = settings.WindowCount;
    request.Lists = ActiveListItems();
    request.DataDir = globals::DataDir;
    const SaveOutcome outcome = SaveSettingsAndPageLists(request, settings);
    if (outcome.Refusal) {
        ShowMessage(outcome.Refusal->Message);
        PageControl1->SetActivePage(Page(outcome.Refusal->Page));
        return;
    }
    globals::DisplaySettings = settings;
    for (const auto& message : outcome.Messages) ShowMessage(message);
    if (outcome.EndProgram) Application->Terminate();
}

}  // namespace settings

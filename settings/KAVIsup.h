// The settings program's form: a wizard of seven pages on PageControl1 in
// which the user picks the window count and the page time, edits the page
// list of each window in use, sets the scroll rate and the duration limits,
// and leaves by saving or by discarding.
#pragma once

#include <array>

#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "KXSlider.h"
#include "MultiLineBitBtn.h"
#include "PageListEditRules.h"
#include "StdCtrls.h"
#include "WizardRules.h"

namespace settings {

// The application title: the second start looks for it.
inline constexpr const char* kSetupTitle = "Velunor Setup";
inline constexpr const char* kFormCaption = "Velunor Setup - tmp";

// A small picture of the screen's layout for one, two or three windows.
class TLayoutPicture : public velfw::TCustomControl {
public:
    TLayoutPicture(velfw::TComponent* owner, int windows);

protected:
    void Paint(velfw::TCanvas& canvas) override;

private:
    int windows_;
};

class TForm1 : public velfw::TForm {
public:
    explicit TForm1(velfw::TComponent* owner);

    velfw::TPageControl* PageControl1;
    velfw::TTabSheet* tsBegin;
    velfw::TTabSheet* tsList1;
    velfw::TTabSheet* tsList2;
    velfw::TTabSheet* tsList3;
    velfw::TTabSheet* tsAdvanced;
    velfw::TTabSheet* tsDurations;
    velfw::TTabSheet* tsFinish;

    velfw::TRadioButton* rbWins1;
    velfw::TRadioButton* rbWins2;
    velfw::TRadioButton* rbWins3;
    TKxSlider* SliderInterScreen;
    velfw::TLabel* LInterScreen;
    velfw::TBitBtn* bFw1;

    // Index 0 to 2 for windows 1 to 3.
    std::array<velfw::TListBox*, 3> lbWTo{};
    std::array<velfw::TListBox*, 3> lbWFrom{};
    std::array<TMultiLineBitBtn*, 3> bRemove{};
    std::array<TMultiLineBitBtn*, 3> bAdd{};
    std::array<velfw::TEdit*, 3> edAdd{};
    std::array<velfw::TBitBtn*, 3> bAddOne{};
    std::array<velfw::TBitBtn*, 3> bBk{};  // bBk2 to bBk4
    std::array<velfw::TBitBtn*, 3> bFw{};  // bFw2 to bFw4

    velfw::TCheckBox* cbScroll;
    TKxSlider* SliderScrollVScrollY;
    velfw::TCheckBox* cbDurations;
    TKxSlider* SliderDurationTimeS;
    TKxSlider* SliderDurationTime;
    velfw::TBitBtn* bSave;
    velfw::TBitBtn* bExit;

    void FormCreate(velfw::TObject* sender);
    void FormActivate(velfw::TObject* sender);
    void FixMultiLineBitBtnText(TMultiLineBitBtn* button);

    void rbWins1Click(velfw::TObject* sender);
    void SliderInterScreenChange(velfw::TObject* sender);
    void SliderScrollVScrollYChange(velfw::TObject*) {}
    void bFwClick(velfw::TObject* sender);
    void bBkClick(velfw::TObject* sender);
    void PageControl1Changing(velfw::TObject* sender, bool& allowChange);
    void bAddOneClick(velfw::TObject* sender);
    void bAddClick(velfw::TObject* sender);
    void bRemoveClick(velfw::TObject* sender);
    void bExitClick(velfw::TObject* sender);
    void bSaveClick(velfw::TObject* sender);
    void cbDurationsClick(velfw::TObject*) {}

private:
    // The selected pages of the sender's window, to the active list or back.
    void MovePages(velfw::TObject* sender, bool adding);
    void MakeBeginPage();
    void MakeListPage(int window);
    void MakeAdvancedPage();
    void MakeDurationsPage();
    void MakeFinishPage();
    velfw::TTabSheet* MakePage(const char* name, const char* caption, const char* heading);
    // The bottom bar with Save and Discard; returns it for Back and Next.
    velfw::TPanel* MakeBottomBar(velfw::TTabSheet* page, int pageNumber);

    velfw::TTabSheet* Page(WizardPage page) const;
    WizardPage ActiveWizardPage() const;
    ActiveLists ActiveListItems() const;
    void ShowMessage(const std::string& text);
};

// The list box as the editing rules see it, and back: WriteListBox fills it
// anew; ShowListEdit carries out an edit (the entries at `deleted`, last
// first, gone and the last `appended` of `after` added) touching nothing
// else, and keeps the top index.
PageListBox ReadListBox(velfw::TListBox& box);
void WriteListBox(velfw::TListBox& box, const PageListBox& state);
void ShowListEdit(velfw::TListBox& box, const PageListBox& after, const std::vector<size_t>& deleted, size_t appended);

// The window or step digit of a shared handler's sender: the last character
// of its name ("bAdd2" is window 2), or the seventh ("rbWins3").
int SenderDigit(velfw::TObject* sender, size_t position = std::string::npos);

}  // namespace settings

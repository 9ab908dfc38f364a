// The page control: tab sheets on the system's tab control, one shown at a
// time, whose tabs the user picks by mouse or with Ctrl+Tab.
#pragma once

#include <functional>
#include <vector>

#include "Controls.h"

namespace velfw {

class TPageControl;

// A handler that clears `allowChange` keeps the current page.
using TTabChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;

// One page: its caption is the tab's. A page whose tab is hidden keeps its
// controls and can still be made the active page from code.
class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;

    void SetPageControl(TPageControl* pageControl);
    void SetParent(TWinControl* parent) override;
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool visible);
    int PageIndex() const;
    // The caption is the tab's, kept here: the page's window has none.
    std::string GetText() const override { return text_; }
    void SetText(const std::string& text) override;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
};

class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
    TTabSheet* ActivePage() const { return activePage_; }
    // From code: shows the page (its tab selected, if shown) without asking
    // OnChanging and without OnChange.
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }
    // As Ctrl+Tab (Ctrl+Shift+Tab backwards): the next page with a shown tab,
    // round from the last to the first, when OnChanging allows it.
    void SelectNextPage(bool forward);
    // The page of shown tab `index`, or nullptr.
    TTabSheet* TabPage(int index) const;

    // A change by the user (a tab clicked, the tab keys): OnChanging may
    // refuse it before, OnChange follows it.
    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    void AlignControls(RECT& rect) override;
    virtual bool CanChange();
    virtual void Change();

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void UpdateTabs();
    void ShowPage(TTabSheet* page);
    // A change the user asked for, to the page of shown tab `index`.
    void UserSelectsTab(int index);
    int TabIndexOf(const TTabSheet* page) const;
    RECT DisplayRect();
    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
};

}  // namespace velfw

#include "ComCtrls.h"

#include <commctrl.h>

#include <algorithm>

#include "ControlsRules.h"

namespace velfw {

// ---- TTabSheet

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) { TControl::SetVisible(false); }

TTabSheet::~TTabSheet() {
    if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* pageControl) { SetParent(pageControl); }

void TTabSheet::SetParent(TWinControl* parent) {
    if (parent == Parent()) return;
    if (pageControl_) pageControl_->RemovePage(this);
    TWinControl::SetParent(parent);
    if (auto* pages = dynamic_cast<TPageControl*>(parent)) pages->InsertPage(this);
}

void TTabSheet::SetTabVisible(bool visible) {
    if (visible == tabVisible_) return;
    tabVisible_ = visible;
    if (pageControl_) pageControl_->UpdateTabs();
}

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    const auto& pages = pageControl_->pages_;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetText(const std::string& text) {
    TControl::SetText(text);
    if (pageControl_) pageControl_->UpdateTabs();
}

void TTabSheet::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.WinClassName = "TVelunorTabSheet";
    p.Caption.clear();
}

// ---- TPageControl

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 289, 193);
    TabStop = true;
}

TPageControl::~TPageControl() {
    // The pages outlive this part of the control while the children go.
    for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
    pages_.clear();
    activePage_ = nullptr;
}

void TPageControl::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SysClassName = WC_TABCONTROLA;
    p.WinClassName = "TVelunorPageControl";
}

void TPageControl::CreateWnd() {
    TWinControl::CreateWnd();
    UpdateTabs();
    Realign();
}

void TPageControl::InsertPage(TTabSheet* page) {
    pages_.push_back(page);
    page->pageControl_ = this;
    UpdateTabs();
    if (!activePage_) ShowPage(page);
    Realign();
}

void TPageControl::RemovePage(TTabSheet* page) {
    pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
    page->pageControl_ = nullptr;
    if (activePage_ == page) {
        activePage_ = nullptr;
        if (!IsDestroying() && !pages_.empty()) ShowPage(pages_.front());
    }
    if (!IsDestroying()) UpdateTabs();
}

int TPageControl::TabIndexOf(const TTabSheet* page) const {
    int index = 0;
    for (const TTabSheet* p : pages_) {
        if (!p->tabVisible_) continue;
        if (p == page) return index;
        ++index;
    }
    return -1;
}

TTabSheet* TPageControl::TabPage(int index) const {
    if (index < 0) return nullptr;
    for (TTabSheet* p : pages_)
        if (p->tabVisible_ && index-- == 0) return p;
    return nullptr;
}

// The system's tab items are the shown tabs, made again after any change.
void TPageControl::UpdateTabs() {
    HWND wnd = HandleOrNull();
    if (!wnd) return;
    ::SendMessageA(wnd, TCM_DELETEALLITEMS, 0, 0);
    int index = 0;
    for (TTabSheet* page : pages_) {
        if (!page->tabVisible_) continue;
        std::string caption = page->Caption();
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        ::SendMessageA(wnd, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        ++index;
    }
    ::SendMessageA(wnd, TCM_SETCURSEL, static_cast<WPARAM>(TabIndexOf(activePage_)), 0);
    // The rows of tabs may have changed, and the pages' area with them.
    Realign();
}

void TPageControl::ShowPage(TTabSheet* page) {
    TTabSheet* old = activePage_;
    activePage_ = page;
    if (page) {
        const RECT r = DisplayRect();
        page->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        page->SetVisible(true);
        page->BringToFront();
    }
    if (old && old != page) old->SetVisible(false);
    if (HWND wnd = HandleOrNull()) ::SendMessageA(wnd, TCM_SETCURSEL, static_cast<WPARAM>(TabIndexOf(page)), 0);
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page == activePage_ || (page && page->pageControl_ != this)) return;
    ShowPage(page);
}

void TPageControl::UserSelectsTab(int index) {
    TTabSheet* page = TabPage(index);
    if (!page || page == activePage_ || !CanChange()) return;
    ShowPage(page);
    Change();
}

void TPageControl::SelectNextPage(bool forward) {
    const int shown = static_cast<int>(std::count_if(pages_.begin(), pages_.end(), [](const TTabSheet* p) {
        return p->tabVisible_;
    }));
    UserSelectsTab(NextTabIndex(shown, TabIndexOf(activePage_), forward));
}

bool TPageControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TPageControl::Change() { if (OnChange) OnChange(this); }

RECT TPageControl::DisplayRect() {
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    if (HWND wnd = HandleOrNull()) ::SendMessageA(wnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

void TPageControl::AlignControls(RECT& rect) {
    rect = DisplayRect();
    for (TTabSheet* page : pages_) page->SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void TPageControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CN_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(m.LParam);
            if (header->code == static_cast<UINT>(TCN_SELCHANGING)) {
                m.Result = CanChange() ? FALSE : TRUE;  // TRUE keeps the tab
                return;
            }
            if (header->code == static_cast<UINT>(TCN_SELCHANGE)) {
                const int index = static_cast<int>(::SendMessageA(HandleOrNull(), TCM_GETCURSEL, 0, 0));
                ShowPage(TabPage(index));
                Change();
                m.Result = 0;
                return;
            }
            break;
        }
        case WM_KEYDOWN:
            // The arrows step through the tabs here rather than in the
            // system's control: some versions of it move the selection even
            // when the change is refused.
            if (m.WParam == VK_LEFT || m.WParam == VK_RIGHT) {
                const int current = TabIndexOf(activePage_);
                if (current >= 0) UserSelectsTab(current + (m.WParam == VK_RIGHT ? 1 : -1));
                m.Result = 0;
                return;
            }
            break;
        case CM_DIALOGKEY:
            if (m.WParam == VK_TAB && (m.LParam & ssCtrl)) {
                SelectNextPage((m.LParam & ssShift) == 0);
                m.Result = 1;
                return;
            }
            break;
        default:
            break;
    }
    TWinControl::WndProc(m);
}

}  // namespace velfw

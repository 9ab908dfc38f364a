// Menus: items with captions, shortcuts and states, the system menu built
// from them (and rebuilt on every change), and the popup menu.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "MessageRoutes.h"

namespace velfw {

class TMenu;

// A key with its modifiers: the virtual key in the low byte.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
TShortCut ShortCut(WORD key, TShiftState shift);
// "Ctrl+Shift+F5"; empty for no shortcut or a key without a name.
std::string ShortCutToText(TShortCut shortCut);

enum class TFindItemKind { fkCommand, fkHandle, fkShortCut };

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool IsLine() const { return caption_ == "-"; }
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    bool Default() const { return default_; }
    void SetDefault(bool value);
    std::string Hint;
    int HelpContext = 0;
    // The item's picture in its menu's image list; -1 for none.
    int ImageIndex = -1;
    TNotifyEvent OnClick;

    // The id its WM_COMMAND carries, held while the item lives.
    UINT Command() const { return command_.Id(); }
    // The system menu of its sub-items; null until the menu is built, and
    // for an item without sub-items.
    HMENU Handle() const { return handle_; }

    TMenuItem* Parent() const { return parent_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const;
    void Add(TMenuItem* item) { Insert(Count(), item); }
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    int IndexOf(const TMenuItem* item) const;
    // Frees every sub-item.
    void Clear();
    // This item or a sub-item at any depth with that command id, submenu
    // handle or shortcut.
    TMenuItem* Find(UINT_PTR value, TFindItemKind kind);

    // Fires OnClick (an item chosen from the menu, or the default item).
    virtual void Click();

private:
    friend class TMenu;
    // The menu whose items this is one of; null for an item in none.
    TMenu* OwningMenu() const;
    // The system's measure and draw requests for this item, which the route
    // by command id brings here from whichever window got them: answered by
    // the menu the item is in, when that menu draws its items.
    bool MeasureItem(MEASUREITEMSTRUCT& request);
    bool DrawItem(DRAWITEMSTRUCT& request);
    void Changed();
    void RebuildHandle(bool ownerDraw);
    void ReleaseHandle();

    std::string caption_;
    TShortCut shortCut_ = 0;
    bool checked_ = false, radioItem_ = false, enabled_ = true, visible_ = true, default_ = false;
    TCommandId command_;
    HMENU handle_ = nullptr;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // set on a menu's root item only
    std::vector<TMenuItem*> items_;
};

enum class TBiDiMode { bdLeftToRight, bdRightToLeft };

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    // The root whose sub-items are the menu's items.
    TMenuItem* Items() const { return items_; }
    // The system menu, built on first use and rebuilt on every change.
    HMENU Handle();
    bool HandleAllocated() const { return items_->handle_ != nullptr; }
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool value);
    TBiDiMode BiDiMode = TBiDiMode::bdLeftToRight;
    bool ParentBiDiMode = true;

    TMenuItem* FindItem(UINT_PTR value, TFindItemKind kind) const { return items_->Find(value, kind); }
    // Clicks the item whose submenu is about to open; false when not ours.
    bool DispatchPopup(HMENU submenu);

protected:
    virtual void MenuChanged();
    // A measure or draw request for one of the menu's items: true when the
    // menu answered it (it draws its items itself), false leaves it to the
    // system. The base menu is drawn by the system.
    virtual bool WMMeasureItem(TMenuItem* item, MEASUREITEMSTRUCT& request);
    virtual bool WMDrawItem(TMenuItem* item, DRAWITEMSTRUCT& request);

private:
    friend class TMenuItem;
    TMenuItem* items_;
    bool ownerDraw_ = false;
};

enum class TPopupAlignment { paLeft, paRight, paCenter };
enum class TTrackButton { tbRightButton, tbLeftButton };

// TrackPopupMenu's flags for the alignment, mirrored for a right-to-left menu.
UINT TrackPopupFlags(TPopupAlignment alignment, bool rightToLeft, TTrackButton button);

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}

    bool AutoPopup = true;
    TPopupAlignment Alignment = TPopupAlignment::paLeft;
    TTrackButton TrackButton = TTrackButton::tbRightButton;
    // The component the menu was last shown for.
    TComponent* PopupComponent = nullptr;
    TNotifyEvent OnPopup;

    // Shows the menu at the screen point; returns when it has closed. The
    // chosen item's click follows through its command, which comes back to a
    // hidden window the application owns. Raises without an application.
    virtual void Popup(int x, int y);

protected:
    virtual void DoPopup() {
        if (OnPopup) OnPopup(this);
    }
};

}  // namespace velfw

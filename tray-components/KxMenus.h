// The popup menu of the tray components and the hidden popup-list window that
// owns every menu of this kind while it is tracked: commands, submenus,
// selection (the application's hint), help and menu characters come back
// through that window to the menu they belong to.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "ImgList.h"
#include "Menus.h"
#include "UtilityWindow.h"

namespace kx {

enum class TKxMenuStyle { msStandard, msOwnerDraw, msBtnLowered, msBtnRaised };

class TKxPopupMenu : public velfw::TPopupMenu {
public:
    explicit TKxPopupMenu(velfw::TComponent* owner);
    ~TKxPopupMenu() override;

    TKxMenuStyle Style() const { return style_; }
    void SetStyle(TKxMenuStyle value);
    bool ShowCheckMarks = true;
    uint32_t MinTextOffset = 0;
    uint32_t LeftMargin = 0;
    // Shown while an item is highlighted; 0 leaves the cursor alone.
    int16_t Cursor = 0;
    velfw::TCustomImageList* Images() const { return images_; }
    void SetImages(velfw::TCustomImageList* value);

    // Drawn by this component: another style than the standard one, or images to show.
    bool IsOwnerDrawMenu() const;
    POINT PopupPoint() const { return popupPoint_; }
    void Popup(int x, int y) override;

    // A measure or draw request the popup list got (sent, for a menu item):
    // true when it was one of this menu's owner-drawn items.
    bool MenuItemMessage(velfw::TMessage& m);

protected:
    void Loaded() override;
    void Notification(velfw::TComponent* component, velfw::TOperation operation) override;
    virtual void UpdateOwnerDraw(bool value);
    // An owner-drawn item's size and picture; the standard style has none.
    virtual void MeasureItem(velfw::TMenuItem* item, MEASUREITEMSTRUCT& request);
    virtual void DrawItem(velfw::TMenuItem* item, const DRAWITEMSTRUCT& request);

private:
    void ImageListChange(velfw::TObject* sender);

    TKxMenuStyle style_ = TKxMenuStyle::msStandard;
    velfw::TCustomImageList* images_ = nullptr;
    velfw::TChangeLink imageChangeLink_;
    POINT popupPoint_{-1, -1};
};

// Every live TKxPopupMenu in creation order, and the hidden window that owns
// their tracked menus while at least one exists.
class TPopupList {
public:
    void Add(TKxPopupMenu* menu);
    void Remove(TKxPopupMenu* menu);
    int Count() const { return static_cast<int>(menus_.size()); }
    // Null while the list is empty.
    HWND Window() const { return window_ ? window_->Handle() : nullptr; }

private:
    bool HandleMessage(velfw::TMessage& m);
    bool MenuSelect(velfw::TMessage& m);
    bool Help(const HELPINFO& info);
    bool MenuChar(velfw::TMessage& m);

    std::vector<TKxPopupMenu*> menus_;
    std::unique_ptr<velfw::TUtilityWindow> window_;
};

// The program's popup list, made by the first menu.
TPopupList& PopupList();

}  // namespace kx

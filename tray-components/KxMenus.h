// The popup menu of the tray components and the hidden popup-list window that
// owns every menu of this kind while it is tracked: submenus, selection (the
// application's hint), help and menu characters come back through that
// window to the menu they belong to. A chosen item's command, and the
// measuring and drawing of an owner-drawn item, take the framework's route by
// command id to the item, which hands the last two to its menu.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Graphics.h"
#include "ImgList.h"
#include "Menus.h"
#include "ScopeGuards.h"
#include "UtilityWindow.h"

namespace kx {

enum class TKxMenuStyle { msStandard, msOwnerDraw, msBtnLowered, msBtnRaised };

// The low byte of the system's item state, taken as a set.
using TMenuOwnerDrawState = unsigned;
constexpr TMenuOwnerDrawState odSelected = ODS_SELECTED, odGrayed = ODS_GRAYED, odDisabled = ODS_DISABLED,
                              odChecked = ODS_CHECKED, odFocused = ODS_FOCUS, odDefault = ODS_DEFAULT;

using TDrawMenuItemEvent =
    std::function<void(velfw::TObject* sender, velfw::TMenuItem* item, const RECT& rect, TMenuOwnerDrawState state)>;
using TMeasureMenuItemEvent =
    std::function<void(velfw::TObject* sender, velfw::TMenuItem* item, int& width, int& height)>;
using TDrawMarginEvent = std::function<void(velfw::TObject* sender, const RECT& rect)>;
// The graphic is not owned: it must outlive the drawing of the item.
using TItemParamsEvent =
    std::function<void(velfw::TObject* sender, velfw::TMenuItem* item, TMenuOwnerDrawState state, velfw::TFont& font,
                       velfw::TColor& color, velfw::TGraphic*& graphic, int& numGlyphs)>;
using TItemImageEvent = std::function<void(velfw::TObject* sender, velfw::TMenuItem* item,
                                           TMenuOwnerDrawState state, int& imageIndex)>;

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
    TDrawMenuItemEvent OnDrawItem;
    TMeasureMenuItemEvent OnMeasureItem;
    TDrawMarginEvent OnDrawMargin;
    TItemParamsEvent OnGetItemParams;
    TItemImageEvent OnGetImageIndex;

    // Drawn by this component: another style than the standard one, or images to show.
    bool IsOwnerDrawMenu() const;
    POINT PopupPoint() const { return popupPoint_; }
    void Popup(int x, int y) override;

    // Ends once the menu is being freed: the list reads it after running a
    // handler only while the watch says it lives.
    velfw::LifeMark::Watch Watched() const { return life_.Watched(); }

protected:
    void Loaded() override;
    void Notification(velfw::TComponent* component, velfw::TOperation operation) override;
    virtual void UpdateOwnerDraw(bool value);
    // The steps of measuring and drawing an owner-drawn item, each open to a
    // descendant; the canvas is bound to the request's device context.
    virtual void MeasureItem(velfw::TMenuItem* item, int& width, int& height);
    virtual void DrawItem(velfw::TMenuItem* item, const RECT& rect, TMenuOwnerDrawState state);
    virtual void DrawMargin(const RECT& rect);
    virtual void GetImageIndex(velfw::TMenuItem* item, TMenuOwnerDrawState state, int& imageIndex);
    virtual void GetItemParams(velfw::TMenuItem* item, TMenuOwnerDrawState state, velfw::TFont& font,
                               velfw::TColor& color, velfw::TGraphic*& graphic, int& numGlyphs);
    velfw::TCanvas& Canvas() { return canvas_; }
    // Taken only while the menu draws its items: the item's reference is
    // written into the request's item data, then measured or drawn.
    bool WMMeasureItem(velfw::TMenuItem* item, MEASUREITEMSTRUCT& request) override;
    bool WMDrawItem(velfw::TMenuItem* item, DRAWITEMSTRUCT& request) override;

private:
    void ImageListChange(velfw::TObject* sender);
    // The built-in drawing; button style 0 none, 1 lowered, 2 raised.
    void DrawMenuItem(velfw::TMenuItem* item, RECT rect, TMenuOwnerDrawState state, int buttonStyle,
                      int imageIndex, velfw::TGraphic* graphic, int numGlyphs);
    void SetMenuFont(bool bold);
    bool IsTopLevel(const velfw::TMenuItem* item) const;

    velfw::TCanvas canvas_;

    TKxMenuStyle style_ = TKxMenuStyle::msStandard;
    velfw::TCustomImageList* images_ = nullptr;
    velfw::TChangeLink imageChangeLink_;
    POINT popupPoint_{-1, -1};
    velfw::LifeMark life_;
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

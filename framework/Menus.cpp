#include "Menus.h"

#include <algorithm>
#include <memory>

#include "Forms.h"
#include "UtilityWindow.h"

namespace velfw {

// ---- shortcuts

TShortCut ShortCut(WORD key, TShiftState shift) {
    TShortCut s = key & 0xFF;
    if (shift & ssShift) s |= scShift;
    if (shift & ssCtrl) s |= scCtrl;
    if (shift & ssAlt) s |= scAlt;
    return s;
}

namespace {

std::string KeyName(unsigned key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    switch (key) {
        case VK_BACK: return "BkSp";
        case VK_TAB: return "Tab";
        case VK_RETURN: return "Enter";
        case VK_ESCAPE: return "Esc";
        case VK_SPACE: return "Space";
        case VK_PRIOR: return "PgUp";
        case VK_NEXT: return "PgDn";
        case VK_END: return "End";
        case VK_HOME: return "Home";
        case VK_LEFT: return "Left";
        case VK_UP: return "Up";
        case VK_RIGHT: return "Right";
        case VK_DOWN: return "Down";
        case VK_INSERT: return "Ins";
        case VK_DELETE: return "Del";
        default: return {};
    }
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
    std::string name = KeyName(shortCut & 0xFF);
    if (name.empty()) return {};
    std::string prefix;
    if (shortCut & scShift) prefix += "Shift+";
    if (shortCut & scCtrl) prefix += "Ctrl+";
    if (shortCut & scAlt) prefix += "Alt+";
    return prefix + name;
}

// ---- items

TMenuItem::TMenuItem(TComponent* owner)
    : TComponent(owner),
      command_(TMenuItemHandlers{[this] { Click(); }, [this](MEASUREITEMSTRUCT& r) { return MeasureItem(r); },
                                 [this](DRAWITEMSTRUCT& r) { return DrawItem(r); }}) {}

TMenuItem::~TMenuItem() {
    // The system menu destroys attached submenus with itself: detach the
    // sub-items' menus first, they free their own.
    if (handle_)
        while (::GetMenuItemCount(handle_) > 0) ::RemoveMenu(handle_, 0, MF_BYPOSITION);
    while (!items_.empty()) delete items_.back();
    if (parent_) parent_->Remove(this);
    ReleaseHandle();
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count()) throw EListError(index);
    return items_[static_cast<size_t>(index)];
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    if (item->parent_) throw Exception("Menu inserted twice");
    if (index < 0 || index > Count()) throw EListError(index);
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
    if (handle_) {
        // Its submenu must not go down with ours.
        while (::GetMenuItemCount(handle_) > 0) ::RemoveMenu(handle_, 0, MF_BYPOSITION);
    }
    if (!IsDestroying()) Changed();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Clear() {
    while (!items_.empty()) delete items_.back();
}

TMenuItem* TMenuItem::Find(UINT_PTR value, TFindItemKind kind) {
    switch (kind) {
        case TFindItemKind::fkCommand:
            if (parent_ && Command() == value) return this;
            break;
        case TFindItemKind::fkHandle:
            if (handle_ && reinterpret_cast<UINT_PTR>(handle_) == value) return this;
            break;
        case TFindItemKind::fkShortCut:
            if (shortCut_ && shortCut_ == value) return this;
            break;
    }
    for (TMenuItem* item : items_)
        if (TMenuItem* found = item->Find(value, kind)) return found;
    return nullptr;
}

void TMenuItem::Click() {
    if (OnClick) OnClick(this);
}

#define VELFW_MENU_SETTER(Name, field)        \
    void TMenuItem::Set##Name(bool value) {   \
        if (field == value) return;           \
        field = value;                        \
        Changed();                            \
    }
VELFW_MENU_SETTER(Checked, checked_)
VELFW_MENU_SETTER(RadioItem, radioItem_)
VELFW_MENU_SETTER(Enabled, enabled_)
VELFW_MENU_SETTER(Visible, visible_)
VELFW_MENU_SETTER(Default, default_)
#undef VELFW_MENU_SETTER

void TMenuItem::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
    if (shortCut == shortCut_) return;
    shortCut_ = shortCut;
    Changed();
}

TMenu* TMenuItem::OwningMenu() const {
    const TMenuItem* root = this;
    while (root->parent_) root = root->parent_;
    return root->menu_;
}

// A menu's root item is no item of the system's menu: a request with its id is none of ours.
bool TMenuItem::MeasureItem(MEASUREITEMSTRUCT& request) {
    TMenu* menu = parent_ ? OwningMenu() : nullptr;
    return menu && menu->WMMeasureItem(this, request);
}

bool TMenuItem::DrawItem(DRAWITEMSTRUCT& request) {
    TMenu* menu = parent_ ? OwningMenu() : nullptr;
    return menu && menu->WMDrawItem(this, request);
}

void TMenuItem::Changed() {
    if (TMenu* menu = OwningMenu()) menu->MenuChanged();
}

void TMenuItem::ReleaseHandle() {
    if (HMENU h = std::exchange(handle_, nullptr)) ::DestroyMenu(h);
}

void TMenuItem::RebuildHandle(bool ownerDraw) {
    if (!handle_) {
        handle_ = ::CreatePopupMenu();
        if (!handle_) throw Exception("Cannot create a menu");
    }
    while (::GetMenuItemCount(handle_) > 0) ::RemoveMenu(handle_, 0, MF_BYPOSITION);
    UINT position = 0;
    for (TMenuItem* item : items_) {
        if (!item->visible_) continue;
        if (item->items_.empty()) item->ReleaseHandle();
        else item->RebuildHandle(ownerDraw);
        std::string text = item->caption_;
        const std::string keys = ShortCutToText(item->shortCut_);
        if (!keys.empty()) text += "\t" + keys;
        MENUITEMINFOA mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_TYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
        // An owner-drawn menu draws its separators too.
        mi.fType = (item->IsLine() ? MFT_SEPARATOR : MFT_STRING) | (ownerDraw ? MFT_OWNERDRAW : 0u);
        if (item->radioItem_) mi.fType |= MFT_RADIOCHECK;
        mi.fState = (item->checked_ ? MFS_CHECKED : 0u) | (item->enabled_ ? 0u : MFS_GRAYED) |
                    (item->default_ ? MFS_DEFAULT : 0u);
        mi.wID = item->Command();
        mi.hSubMenu = item->handle_;
        mi.dwItemData = reinterpret_cast<ULONG_PTR>(item);
        mi.dwTypeData = text.data();
        mi.cch = static_cast<UINT>(text.size());
        if (!::InsertMenuItemA(handle_, position++, TRUE, &mi)) throw Exception("Cannot build the menu");
    }
}

// ---- menus

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu() { delete items_; }

HMENU TMenu::Handle() {
    if (!items_->handle_) items_->RebuildHandle(ownerDraw_);
    return items_->handle_;
}

void TMenu::SetOwnerDraw(bool value) {
    if (value == ownerDraw_) return;
    ownerDraw_ = value;
    MenuChanged();
}

void TMenu::MenuChanged() {
    if (items_->handle_ && !IsDestroying()) items_->RebuildHandle(ownerDraw_);
}

bool TMenu::WMMeasureItem(TMenuItem*, MEASUREITEMSTRUCT&) { return false; }

bool TMenu::WMDrawItem(TMenuItem*, DRAWITEMSTRUCT&) { return false; }

bool TMenu::DispatchPopup(HMENU submenu) {
    TMenuItem* item = FindItem(reinterpret_cast<UINT_PTR>(submenu), TFindItemKind::fkHandle);
    if (!item) return false;
    if (item != items_) item->Click();
    return true;
}

// ---- popup menus

UINT TrackPopupFlags(TPopupAlignment alignment, bool rightToLeft, TTrackButton button) {
    UINT flags = TPM_LEFTALIGN;
    switch (alignment) {
        case TPopupAlignment::paLeft: flags = rightToLeft ? TPM_RIGHTALIGN : TPM_LEFTALIGN; break;
        case TPopupAlignment::paRight: flags = rightToLeft ? TPM_LEFTALIGN : TPM_RIGHTALIGN; break;
        case TPopupAlignment::paCenter: flags = TPM_CENTERALIGN; break;
    }
    return flags | (button == TTrackButton::tbRightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON);
}

namespace {

// The owner of the menus the plain popup menu shows: their commands come back
// to its window and take the framework's route by command id. One per
// application, a component of it, so the window goes with the application.
class TPopupMenuOwner final : public TComponent {
public:
    explicit TPopupMenuOwner(TComponent* owner)
        : TComponent(owner), window_("TPopupMenuOwner", TUtilityWindowKind::HiddenTopLevel) {}
    HWND Handle() const { return window_.Handle(); }

private:
    TUtilityWindow window_;
};

HWND PopupOwnerWindow() {
    if (!Application) throw Exception("No application to own the popup menu");
    for (int i = 0; i < Application->ComponentCount(); ++i)
        if (auto* owner = dynamic_cast<TPopupMenuOwner*>(Application->Components(i))) return owner->Handle();
    return (new TPopupMenuOwner(Application))->Handle();
}

}  // namespace

void TPopupMenu::Popup(int x, int y) {
    DoPopup();
    ::TrackPopupMenu(Handle(), TrackPopupFlags(Alignment, BiDiMode == TBiDiMode::bdRightToLeft, TrackButton), x, y,
                     0, PopupOwnerWindow(), nullptr);
}

}  // namespace velfw

#include "KxMenus.h"

#include <algorithm>

#include "Forms.h"
#include "SysUtils.h"

namespace kx {

using velfw::TFindItemKind;
using velfw::TMenuItem;

namespace {

const char kPopupListWindowClass[] = "TKxPopupListWindow";

// The screen cursors a menu may name, by the class library's identifiers.
LPCSTR CursorResource(int16_t cursor) {
    switch (cursor) {
        case -3: return IDC_CROSS;
        case -4: return IDC_IBEAM;
        case -11: return IDC_WAIT;
        case -21: return IDC_HAND;
        default: return IDC_ARROW;
    }
}

// Right-to-left for a window laid out or read that way.
velfw::TBiDiMode BiDiModeAt(POINT p) {
    HWND wnd = ::WindowFromPoint(p);
    if (!wnd) wnd = velfw::Application ? velfw::Application->Handle() : nullptr;
    const LONG ex = wnd ? ::GetWindowLongA(wnd, GWL_EXSTYLE) : 0;
    return ex & (WS_EX_LAYOUTRTL | WS_EX_RTLREADING) ? velfw::TBiDiMode::bdRightToLeft
                                                      : velfw::TBiDiMode::bdLeftToRight;
}

}  // namespace

// ---- popup menu

TKxPopupMenu::TKxPopupMenu(velfw::TComponent* owner) : TPopupMenu(owner) {
    PopupList().Add(this);
    imageChangeLink_.OnChange = [this](velfw::TObject* sender) { ImageListChange(sender); };
}

TKxPopupMenu::~TKxPopupMenu() {
    if (images_) images_->UnRegisterChanges(&imageChangeLink_);
    SetStyle(TKxMenuStyle::msStandard);
    PopupList().Remove(this);
}

void TKxPopupMenu::SetStyle(TKxMenuStyle value) {
    if (value == style_) return;
    style_ = value;
    UpdateOwnerDraw(IsOwnerDrawMenu());
}

void TKxPopupMenu::SetImages(velfw::TCustomImageList* value) {
    const bool was = IsOwnerDrawMenu();
    if (images_) images_->UnRegisterChanges(&imageChangeLink_);
    images_ = value;
    if (value) {
        value->RegisterChanges(&imageChangeLink_);
        FreeNotification(value);
    }
    if (IsOwnerDrawMenu() != was) UpdateOwnerDraw(IsOwnerDrawMenu());
}

bool TKxPopupMenu::IsOwnerDrawMenu() const {
    return style_ != TKxMenuStyle::msStandard || (images_ && images_->Count() > 0);
}

void TKxPopupMenu::ImageListChange(velfw::TObject* sender) {
    if (sender == images_) UpdateOwnerDraw(IsOwnerDrawMenu());
}

void TKxPopupMenu::UpdateOwnerDraw(bool value) {
    SetOwnerDraw((ComponentState() & velfw::csDesigning) ? false : value);
}

void TKxPopupMenu::Loaded() {
    TPopupMenu::Loaded();
    if (IsOwnerDrawMenu()) UpdateOwnerDraw(true);
}

void TKxPopupMenu::Notification(velfw::TComponent* component, velfw::TOperation operation) {
    TPopupMenu::Notification(component, operation);
    // The list is half gone already: its links are let go, not unregistered.
    if (operation == velfw::TOperation::opRemove && component == images_) {
        images_ = nullptr;
        imageChangeLink_.Sender = nullptr;
        UpdateOwnerDraw(IsOwnerDrawMenu());
    }
}

void TKxPopupMenu::Popup(int x, int y) {
    popupPoint_ = {x, y};
    const bool savedParentBiDi = ParentBiDiMode;
    const bool rtlLocale = ::GetSystemMetrics(SM_MIDEASTENABLED) != 0;
    struct Restore {
        TKxPopupMenu* menu;
        bool flag;
        ~Restore() { menu->ParentBiDiMode = flag; }
    } restore{this, savedParentBiDi};
    if (rtlLocale && ParentBiDiMode) {
        BiDiMode = BiDiModeAt(popupPoint_);
        ParentBiDiMode = false;
    }
    DoPopup();
    if (IsOwnerDrawMenu()) UpdateOwnerDraw(true);
    const bool rightToLeft = rtlLocale && BiDiMode == velfw::TBiDiMode::bdRightToLeft;
    // The chosen command arrives at the popup list's window afterwards.
    ::TrackPopupMenu(Handle(), velfw::TrackPopupFlags(Alignment, rightToLeft, TrackButton), x, y, 0,
                     PopupList().Window(), nullptr);
}

bool TKxPopupMenu::MenuItemMessage(velfw::TMessage& m) {
    if (!IsOwnerDrawMenu()) return false;
    if (m.Msg == WM_MEASUREITEM) {
        auto& request = *reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
        TMenuItem* item = request.CtlType == ODT_MENU ? FindItem(request.itemID, TFindItemKind::fkCommand) : nullptr;
        if (!item) return false;
        request.itemData = reinterpret_cast<ULONG_PTR>(item);
        MeasureItem(item, request);
    } else {
        auto& request = *reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        TMenuItem* item = request.CtlType == ODT_MENU ? FindItem(request.itemID, TFindItemKind::fkCommand) : nullptr;
        if (!item) return false;
        request.itemData = reinterpret_cast<ULONG_PTR>(item);
        DrawItem(item, request);
    }
    m.Result = 1;
    return true;
}

void TKxPopupMenu::MeasureItem(TMenuItem*, MEASUREITEMSTRUCT&) {}

void TKxPopupMenu::DrawItem(TMenuItem*, const DRAWITEMSTRUCT&) {}

// ---- popup list

TPopupList& PopupList() {
    static TPopupList list;
    return list;
}

void TPopupList::Add(TKxPopupMenu* menu) {
    if (!window_)
        window_ = std::make_unique<velfw::TUtilityWindow>(kPopupListWindowClass, velfw::TUtilityWindowKind::HiddenTopLevel,
                                                          [this](velfw::TMessage& m) { return HandleMessage(m); });
    menus_.push_back(menu);
}

void TPopupList::Remove(TKxPopupMenu* menu) {
    menus_.erase(std::remove(menus_.begin(), menus_.end(), menu), menus_.end());
    if (menus_.empty()) window_.reset();
}

bool TPopupList::HandleMessage(velfw::TMessage& m) {
    // A copy: a click may free a menu, and with it its entry.
    const std::vector<TKxPopupMenu*> menus = menus_;
    switch (m.Msg) {
        case WM_MEASUREITEM:
        case WM_DRAWITEM:
            // Posted ones never get here: the application's loop drops them.
            if (!m.LParam) return false;
            for (TKxPopupMenu* menu : menus)
                if (menu->MenuItemMessage(m)) return true;
            return false;
        case WM_COMMAND:
            for (TKxPopupMenu* menu : menus)
                if (menu->DispatchCommand(LOWORD(m.WParam))) {
                    m.Result = 0;
                    return true;
                }
            return false;
        case WM_INITMENUPOPUP:
            for (TKxPopupMenu* menu : menus)
                if (menu->DispatchPopup(reinterpret_cast<HMENU>(m.WParam))) {
                    m.Result = 0;
                    return true;
                }
            return false;
        case WM_MENUSELECT:
            return MenuSelect(m);
        case WM_HELP: {
            if (!m.LParam) return false;
            const auto& info = *reinterpret_cast<const HELPINFO*>(m.LParam);
            if (info.cbSize != sizeof(HELPINFO)) return false;
            m.Result = TRUE;
            return Help(info);
        }
        case WM_MENUCHAR:
            return MenuChar(m);
        default:
            return false;
    }
}

bool TPopupList::MenuSelect(velfw::TMessage& m) {
    const UINT flags = HIWORD(m.WParam);
    const auto menuHandle = reinterpret_cast<HMENU>(m.LParam);
    // The menu has closed: nothing to look up.
    if (flags == 0xFFFF && !menuHandle) {
        if (velfw::Application) velfw::Application->SetHint("");
        return false;
    }
    for (TKxPopupMenu* menu : menus_) {
        TMenuItem* item = nullptr;
        if (flags & MF_POPUP) {
            HMENU sub = menuHandle ? ::GetSubMenu(menuHandle, LOWORD(m.WParam)) : nullptr;
            if (sub) item = menu->FindItem(reinterpret_cast<UINT_PTR>(sub), TFindItemKind::fkHandle);
        } else {
            item = menu->FindItem(LOWORD(m.WParam), TFindItemKind::fkCommand);
        }
        if (!item) continue;
        if (velfw::Application) velfw::Application->SetHint(item->Hint);
        if (menu->Cursor != 0)
            ::SetCursor(::LoadCursorA(nullptr, flags & MF_HILITE ? CursorResource(menu->Cursor) : IDC_ARROW));
        m.Result = 0;
        return true;
    }
    if (velfw::Application) velfw::Application->SetHint("");
    return false;
}

bool TPopupList::Help(const HELPINFO& info) {
    for (TKxPopupMenu* menu : menus_) {
        if (!menu->HandleAllocated() || reinterpret_cast<HANDLE>(menu->Handle()) != info.hItemHandle) continue;
        TMenuItem* item = menu->FindItem(static_cast<UINT>(info.iCtrlId), TFindItemKind::fkCommand);
        if (!item) item = menu->FindItem(reinterpret_cast<UINT_PTR>(info.hItemHandle), TFindItemKind::fkHandle);
        const int context = item ? item->HelpContext : 0;
        if (context != 0 && velfw::Application && !velfw::Application->HelpFile.empty()) {
            velfw::TForm* form = velfw::Application->MainForm();
            ::WinHelpA(form && form->HandleAllocated() ? form->HandleOrNull() : velfw::Application->Handle(),
                       velfw::Application->HelpFile.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(context));
        }
        return true;
    }
    return false;
}

bool TPopupList::MenuChar(velfw::TMessage& m) {
    const auto handle = static_cast<UINT_PTR>(m.LParam);
    for (TKxPopupMenu* menu : menus_) {
        TMenuItem* parent = menu->HandleAllocated() && reinterpret_cast<UINT_PTR>(menu->Handle()) == handle
                                ? menu->Items()
                                : menu->FindItem(handle, TFindItemKind::fkHandle);
        if (!parent) continue;
        // The visible item whose caption marks the character, by its place in the menu.
        const std::string key = velfw::UpperCase(std::string(1, static_cast<char>(LOWORD(m.WParam))));
        int position = 0;
        m.Result = MAKELRESULT(0, MNC_IGNORE);
        for (int i = 0; i < parent->Count(); ++i) {
            TMenuItem* item = parent->Items(i);
            if (!item->Visible()) continue;
            const std::string& caption = item->Caption();
            const size_t amp = caption.find('&');
            if (amp != std::string::npos && amp + 1 < caption.size() &&
                velfw::UpperCase(caption.substr(amp + 1, 1)) == key) {
                m.Result = MAKELRESULT(position, MNC_EXECUTE);
                break;
            }
            ++position;
        }
        return true;
    }
    return false;
}

}  // namespace kx

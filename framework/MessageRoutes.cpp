#include "MessageRoutes.h"

#include <algorithm>
#include <map>
#include <vector>

#include "ControlsRules.h"

namespace velfw {

namespace {

// ---- reflection: which child a parent's message is about

HWND FromLParam(HWND, WPARAM, LPARAM lParam) { return reinterpret_cast<HWND>(lParam); }

HWND NotifySender(HWND, WPARAM, LPARAM lParam) {
    auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    return hdr ? hdr->hwndFrom : nullptr;
}

HWND DrawItemControl(HWND, WPARAM, LPARAM lParam) {
    auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
}

// The measure request names no window, only the control's id.
HWND MeasureItemControl(HWND parent, WPARAM, LPARAM lParam) {
    auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
    return item && item->CtlType != ODT_MENU ? ::GetDlgItem(parent, static_cast<int>(item->CtlID)) : nullptr;
}

// The item structures of lists and combo boxes name their control.
template <typename ItemStruct>
HWND ItemControl(HWND, WPARAM, LPARAM lParam) {
    auto* item = reinterpret_cast<const ItemStruct*>(lParam);
    return item ? item->hwndItem : nullptr;
}

struct TReflection {
    UINT msg;
    HWND (*child)(HWND parent, WPARAM wParam, LPARAM lParam);
    bool sendOnly;  // carries a pointer in lParam
};

// lParam 0 on WM_COMMAND is a menu or an accelerator, on a scroll message
// the window's own scroll bar: not a child's, left to the routes below.
const TReflection kReflections[] = {
    {WM_COMMAND, FromLParam, false},
    {WM_NOTIFY, NotifySender, true},
    {WM_HSCROLL, FromLParam, false},
    {WM_VSCROLL, FromLParam, false},
    {WM_DRAWITEM, DrawItemControl, true},
    {WM_MEASUREITEM, MeasureItemControl, true},
    {WM_COMPAREITEM, ItemControl<COMPAREITEMSTRUCT>, true},
    {WM_DELETEITEM, ItemControl<DELETEITEMSTRUCT>, true},
    {WM_CTLCOLOREDIT, FromLParam, false},
    {WM_CTLCOLORLISTBOX, FromLParam, false},
    {WM_CTLCOLORBTN, FromLParam, false},
    {WM_CTLCOLORSCROLLBAR, FromLParam, false},
    {WM_CTLCOLORSTATIC, FromLParam, false},
};

const TReflection* FindReflection(UINT msg) {
    for (const TReflection& r : kReflections)
        if (r.msg == msg) return &r;
    return nullptr;
}

bool ReflectToChild(HWND wnd, TMessage& m) {
    const TReflection* route = FindReflection(m.Msg);
    if (!route || !m.LParam) return false;
    HWND childWnd = route->child(wnd, m.WParam, m.LParam);
    TWinControl* child = childWnd && childWnd != wnd ? TWinControl::FromHandle(childWnd) : nullptr;
    if (!child) return false;
    m.Result = child->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
    return true;
}

// ---- menu commands and owner-drawn menu items by command id

// Below the system's own commands (SC_ from 0xF000); WM_COMMAND carries 16 bits.
constexpr unsigned kFirstCommand = 0x0100, kLastCommand = 0xEFFF;

struct TCommandTable {
    TIdPool ids{kFirstCommand, kLastCommand};
    std::map<UINT, TMenuItemHandlers> handlers;
};

TCommandTable& Commands() {
    static TCommandTable table;
    return table;
}

// A copy: the handler may free the item, and with it this entry.
TMenuItemHandlers HandlersOf(UINT id) {
    auto& table = Commands().handlers;
    auto it = table.find(id);
    return it == table.end() ? TMenuItemHandlers{} : it->second;
}

bool RouteMenuMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_COMMAND: {
            // From a menu (high word 0) or an accelerator (1), never a control.
            if (m.LParam || HIWORD(m.WParam) > 1) return false;
            auto h = HandlersOf(LOWORD(m.WParam));
            if (!h.OnClick) return false;
            h.OnClick();
            m.Result = 0;
            return true;
        }
        case WM_MEASUREITEM: {
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
            if (!item || item->CtlType != ODT_MENU) return false;
            auto h = HandlersOf(item->itemID);
            if (!h.OnMeasureItem || !h.OnMeasureItem(*item)) return false;
            m.Result = TRUE;
            return true;
        }
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
            if (!item || item->CtlType != ODT_MENU) return false;
            auto h = HandlersOf(item->itemID);
            if (!h.OnDrawItem || !h.OnDrawItem(*item)) return false;
            m.Result = TRUE;
            return true;
        }
        default:
            return false;
    }
}

// ---- registered window messages

std::vector<TRegisteredMessage*>& Subscribers() {
    static std::vector<TRegisteredMessage*> subscribers;
    return subscribers;
}

}  // namespace

TCommandId::TCommandId(TMenuItemHandlers handlers) {
    auto& table = Commands();
    id_ = table.ids.Allocate();
    if (!id_) throw Exception("Out of menu command ids");
    table.handlers[id_] = std::move(handlers);
}

TCommandId& TCommandId::operator=(TCommandId&& other) noexcept {
    if (this != &other) {
        Release();
        id_ = std::exchange(other.id_, 0u);
    }
    return *this;
}

TMenuItemHandlers& TCommandId::Handlers() {
    if (!id_) throw Exception("No menu command id");
    return Commands().handlers[id_];
}

void TCommandId::Release() {
    if (!id_) return;
    auto& table = Commands();
    table.handlers.erase(id_);
    table.ids.Release(id_);
    id_ = 0;
}

TRegisteredMessage::TRegisteredMessage(const void* target, const std::string& name, TWndMethod handler)
    : target_(target), msg_(::RegisterWindowMessageA(name.c_str())), handler_(std::move(handler)) {
    if (!msg_) throw Exception("Cannot register window message " + name);
    Subscribers().push_back(this);
}

TRegisteredMessage::~TRegisteredMessage() {
    auto& s = Subscribers();
    s.erase(std::remove(s.begin(), s.end(), this), s.end());
}

bool IsSendOnlyMessage(UINT msg) {
    if (msg == WM_HELP) return true;  // its HELPINFO lives in the sender's memory
    const TReflection* route = FindReflection(msg);
    return route && route->sendOnly;
}

bool RouteMessage(HWND wnd, const void* target, TMessage& m) {
    if (ReflectToChild(wnd, m)) return true;
    if (RouteMenuMessage(m)) return true;
    // Registered messages are numbered from 0xC000 up.
    if (m.Msg < 0xC000 || m.Msg > 0xFFFF) return false;
    std::vector<TWndMethod> handlers;
    for (TRegisteredMessage* s : Subscribers())
        if (s->target_ == target && s->msg_ == m.Msg) handlers.push_back(s->handler_);
    for (auto& handler : handlers) handler(m);
    return !handlers.empty();
}

}  // namespace velfw

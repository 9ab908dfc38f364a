// Where a window's messages go besides its own handlers: the messages a parent
// gets on behalf of a child control reflected to the child, menu commands and
// owner-drawn menu items routed by command id, and registered window messages
// (the taskbar's "TaskbarCreated") delivered to their subscribers.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "Controls.h"

namespace velfw {

// Routes `m` arriving at `wnd` (whose object is `target`): true when a route
// took it and m.Result holds the answer. Every window of the framework
// (controls, forms, utility windows) comes here first thing in the base
// TWinControl::WndProc: a class's own WndProc override, a hook in its
// WindowProc and a utility window's owner see the message before the routes
// and keep it from them when they answer it themselves.
bool RouteMessage(HWND wnd, const void* target, TMessage& m);

// Messages that carry pointers into the sender's memory: the system only
// sends them, so a posted one is forged and is dropped unread.
bool IsSendOnlyMessage(UINT msg);

// What a menu item does: its click, and for an owner-drawn item its size and
// its drawing (the structures arrive as the system sent them). The measure
// and draw handlers answer whether they took the request: an item of a menu
// the system draws leaves it to the default procedure.
struct TMenuItemHandlers {
    std::function<void()> OnClick;
    std::function<bool(MEASUREITEMSTRUCT& item)> OnMeasureItem;
    std::function<bool(DRAWITEMSTRUCT& item)> OnDrawItem;
};

// A command id allocated by the framework for a menu item, and given back
// when this goes (it is a member of the item, so the id goes with its owner).
// A menu shown with any framework window as its owner routes the item's
// WM_COMMAND, WM_MEASUREITEM and WM_DRAWITEM to the handlers by this id.
class TCommandId {
public:
    TCommandId() = default;
    // Raises when every command id is in use.
    explicit TCommandId(TMenuItemHandlers handlers);
    TCommandId(TCommandId&& other) noexcept : id_(std::exchange(other.id_, 0u)) {}
    TCommandId& operator=(TCommandId&& other) noexcept;
    TCommandId(const TCommandId&) = delete;
    TCommandId& operator=(const TCommandId&) = delete;
    ~TCommandId() { Release(); }

    UINT Id() const { return id_; }
    // The handlers may be changed while the id is held.
    TMenuItemHandlers& Handlers();

private:
    void Release();
    UINT id_ = 0;
};

// Delivers the registered window message `name` arriving at the window of
// `target` (a control) to `handler`, while this subscription lasts.
class TRegisteredMessage {
public:
    TRegisteredMessage(const void* target, const std::string& name, TWndMethod handler);
    TRegisteredMessage(const TRegisteredMessage&) = delete;
    TRegisteredMessage& operator=(const TRegisteredMessage&) = delete;
    ~TRegisteredMessage();
    UINT Msg() const { return msg_; }

private:
    friend bool RouteMessage(HWND, const void*, TMessage&);
    const void* target_;
    UINT msg_;
    TWndMethod handler_;
};

}  // namespace velfw

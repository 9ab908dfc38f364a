// What the tray icon decides without Windows: the tip it shows, and which
// events a notification-area callback fires in what order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kx {

// The tip room of the version-1 notify record, the terminating zero included.
constexpr size_t kTrayTipSize = 64;

// The text before the first "|" (all of it when there is none), cut to what
// the tip holds.
std::string TrayTip(const std::string& hint);

// The mouse messages the shell reports in the callback's lParam.
enum : uint32_t {
    kMouseMove = 0x0200,
    kLButtonDown = 0x0201,
    kLButtonUp = 0x0202,
    kLButtonDblClk = 0x0203,
    kRButtonDown = 0x0204,
    kRButtonUp = 0x0205,
    kRButtonDblClk = 0x0206,
    kMButtonDown = 0x0207,
    kMButtonUp = 0x0208,
    kMButtonDblClk = 0x0209,
};

enum class TrayButton { Left, Right, Middle };
enum class TrayEventKind { MouseMove, MouseDown, Click, MouseUp, DblClick };

struct TrayEvent {
    TrayEventKind kind;
    TrayButton button = TrayButton::Left;  // unused by MouseMove and DblClick
    bool doubleClick = false;              // the shift state carries ssDouble instead of the button
    bool operator==(const TrayEvent&) const = default;
};

// Buttons pressed on the icon whose release is still awaited.
struct TrayClicked {
    bool left = false, right = false;
    bool operator==(const TrayClicked&) const = default;
};

// The events `mouseMessage` fires, in order, updating `clicked`: a release
// clicks only a button whose press reached the icon; only a left double click
// fires DblClick; the middle button never clicks.
std::vector<TrayEvent> TrayCallbackEvents(uint32_t mouseMessage, TrayClicked& clicked);

}  // namespace kx

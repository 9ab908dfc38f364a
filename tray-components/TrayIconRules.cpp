#include "TrayIconRules.h"

namespace kx {

std::string TrayTip(const std::string& hint) {
    std::string tip = hint.substr(0, hint.find('|'));
    if (tip.size() > kTrayTipSize - 1) tip.resize(kTrayTipSize - 1);
    return tip;
}

namespace {

std::vector<TrayEvent> Release(TrayButton button, bool& pressed) {
    std::vector<TrayEvent> out;
    if (pressed) {
        pressed = false;
        out.push_back({TrayEventKind::Click, button});
    }
    out.push_back({TrayEventKind::MouseUp, button});
    return out;
}

}  // namespace

std::vector<TrayEvent> TrayCallbackEvents(uint32_t mouseMessage, TrayClicked& clicked) {
    using K = TrayEventKind;
    using B = TrayButton;
    switch (mouseMessage) {
        case kMouseMove: return {{K::MouseMove}};
        case kLButtonDown: clicked.left = true; return {{K::MouseDown, B::Left}};
        case kLButtonUp: return Release(B::Left, clicked.left);
        case kLButtonDblClk: return {{K::DblClick}, {K::MouseDown, B::Left, true}};
        case kRButtonDown: clicked.right = true; return {{K::MouseDown, B::Right}};
        case kRButtonUp: return Release(B::Right, clicked.right);
        case kRButtonDblClk: return {{K::MouseDown, B::Right, true}};
        case kMButtonDown: return {{K::MouseDown, B::Middle}};
        case kMButtonUp: return {{K::MouseUp, B::Middle}};
        case kMButtonDblClk: return {{K::MouseDown, B::Middle, true}};
        default: return {};
    }
}

}  // namespace kx

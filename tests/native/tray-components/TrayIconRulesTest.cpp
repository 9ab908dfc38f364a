#include <gtest/gtest.h>

#include "TrayIconRules.h"

namespace {

using namespace kx;

TEST(TrayTip, ShortHintCutToTheTipRoom) {
    const std::string seventy(70, 'x');
    struct Case {
        std::string hint, tip;
    } cases[] = {
        {"", ""},
        {"Velunor", "Velunor"},
        {seventy, std::string(63, 'x')},
        {std::string(63, 'y'), std::string(63, 'y')},
        {"Short|" + seventy, "Short"},
        {"|long part", ""},
        {"a|b|c", "a"},
        {seventy + "|b", std::string(63, 'x')},
    };
    for (const Case& c : cases) EXPECT_EQ(TrayTip(c.hint), c.tip) << c.hint;
}

std::string Describe(const std::vector<TrayEvent>& events) {
    std::string out;
    for (const TrayEvent& e : events) {
        static const char* kinds[] = {"Move", "Down", "Click", "Up", "Dbl"};
        static const char* buttons[] = {"L", "R", "M"};
        out += kinds[static_cast<int>(e.kind)];
        if (e.kind != TrayEventKind::MouseMove && e.kind != TrayEventKind::DblClick)
            out += buttons[static_cast<int>(e.button)];
        if (e.doubleClick) out += "2";
        out += " ";
    }
    return out;
}

// A sequence of callbacks from a fresh icon and the events each one fires.
TEST(TrayCallbackEvents, ClicksFollowThePressesThatReachedTheIcon) {
    struct Case {
        const char* what;
        std::vector<uint32_t> messages;
        std::string events;
    } cases[] = {
        {"left click", {kLButtonDown, kLButtonUp}, "DownL ClickL UpL "},
        {"left double click",
         {kLButtonDown, kLButtonUp, kLButtonDblClk, kLButtonUp},
         "DownL ClickL UpL Dbl DownL2 UpL "},
        {"right click", {kRButtonDown, kRButtonUp}, "DownR ClickR UpR "},
        {"right double click", {kRButtonDown, kRButtonUp, kRButtonDblClk, kRButtonUp},
         "DownR ClickR UpR DownR2 UpR "},
        {"middle click never clicks", {kMButtonDown, kMButtonUp, kMButtonDblClk}, "DownM UpM DownM2 "},
        {"release without a press", {kLButtonUp, kRButtonUp}, "UpL UpR "},
        {"presses are per button", {kLButtonDown, kRButtonUp, kLButtonUp}, "DownL UpR ClickL UpL "},
        {"move and unknown", {kMouseMove, 0x020A, 0}, "Move "},
    };
    for (const Case& c : cases) {
        TrayClicked clicked;
        std::vector<TrayEvent> all;
        for (uint32_t m : c.messages) {
            auto events = TrayCallbackEvents(m, clicked);
            all.insert(all.end(), events.begin(), events.end());
        }
        EXPECT_EQ(Describe(all), c.events) << c.what;
    }
}

}  // namespace

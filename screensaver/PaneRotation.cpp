#include "PaneRotation.h"

#include <exception>

#include "ScopeGuards.h"
#include "SysUtils.h"

namespace saver {

namespace {

std::string FailureText() {
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown exception";
    }
}

}  // namespace

void PaneRotation::Tick(int n, PaneRecord& p, const velfw::TStringList& list) {
    if (!p.InUse || p.PaneBusy) return;
    const velfw::ScopedValue busy(p.PaneBusy, true);
    try {
        CheckScroll(n, p);
    } catch (...) {
        // A scroll that fails is tried again at the next tick.
    }
    try {
        CheckChangeUrl(n, p, list);
    } catch (...) {
        // The page stays; its time is checked again at the next tick.
    }
}

std::string PaneRotation::MsText() {
    return velfw::IntToStr(TicksSince(startTicks_, host_.TickCount()));
}

void PaneRotation::CheckScroll(int n, PaneRecord& p) {
    if (host_.ReadyState(n) != kReadyStateComplete) return;
    try {
        const uint32_t now = host_.TickCount();
        if (!(TicksSince(p.LastScrollTick, now) > static_cast<uint32_t>(settings_.ScrollInterval))) return;
        p.CurrentStep = settings_.ScrollStep;
        if (p.CurrentStep > 0 || (p.CurrentStep < 0 && settings_.ScrollUpAllowed)) {
            std::string failure;
            const BodyState body = host_.FetchBody(n, failure);
            if (body == BodyState::Scrollable) {
                p.urlsReady = true;
            } else if (body == BodyState::NoScrollInfo) {
                host_.Log(n, "In Scroll No Body2 @ " + MsText());
            } else {
                host_.Log(n, "In Scroll Exception " + failure + " @ " + MsText());
            }
            // With scrolling turned off the body is still fetched (it tells
            // that the page is ready), but the position is left alone.
            if (body == BodyState::Scrollable && settings_.ScrollEnabled) {
                try {
                    host_.ScrollBodyBy(n, p.CurrentStep);
                } catch (...) {
                    std::string failureText = FailureText();
                    std::string address;
                    try {
                        address = host_.LocationURL(n);
                    } catch (...) {
                        // The line goes out without the address: the failure is what it reports.
                    }
                    host_.Log(n, failureText + ". Set ScrollTop @ (" + MsText() + " in " + address + ")");
                }
            }
        }
        p.LastScrollTick = host_.TickCount();
    } catch (...) {
        // A failed step leaves the pane as it was; the next tick tries again.
    }
}

void PaneRotation::CheckChangeUrl(int n, PaneRecord& p, const velfw::TStringList& list) {
    const uint32_t now = host_.TickCount();
    if (settings_.UseDurations && p.HasBeenBlanked) {
        if (TicksSince(p.urlsTime, now) > static_cast<uint32_t>(settings_.PageMs())) DoHasBeenBlanked(n, p);
        return;
    }
    if (settings_.UseDurations && p.FinishedOneCycle &&
        TicksSince(startTicks_, now) >= static_cast<uint32_t>(settings_.MaxMinutes) * kMinuteMs) {
        p.urlsIndex = 1;
        p.HasBeenBlanked = true;
        DoHasBeenBlanked(n, p);
        return;
    }
    if (!p.urlsReady && !p.WaitForURLTimeOut) return;
    const bool shownLongEnough =
        p.urlsReady && TicksSince(p.urlsTime, now) > static_cast<uint32_t>(settings_.PageMs());
    const bool givenUp = p.WaitForURLTimeOut && TicksSince(p.WaitForURL, now) > kNavigationLimitMs;
    if (!shownLongEnough && !givenUp) return;

    ++p.urlsIndex;
    if (p.urlsIndex >= list.Count()) {
        p.FinishedOneCycle = true;
        if (settings_.UseDurations) {
            --p.CyclesLeft;
            if (p.CyclesLeft == 0) {
                p.urlsIndex = 1;
                p.HasBeenBlanked = true;
                DoHasBeenBlanked(n, p);
                return;
            }
        }
        if (n == 1) {
            p.urlsIndex = -1;
            const std::string address = host_.StatsPage();
            if (!address.empty()) SetNewURL(1, p, address);
            return;
        }
        p.urlsIndex = 0;
    }
    if (p.urlsIndex < 0 || p.urlsIndex >= list.Count()) return;  // an empty list: nothing to show
    SetNewURL(n, p, list[p.urlsIndex]);
}

void PaneRotation::DoHasBeenBlanked(int n, PaneRecord& p) {
    try {
        if (!p.StatsShown) {
            p.StatsShown = true;
            const std::string address = host_.StatsPage();
            if (!address.empty()) {
                SetNewURL(n, p, address);
                return;
            }
        }
        if (p.urlsIndex == 1) {
            SetNewURL(n, p, baseDir_ + "blank1.htm");
            p.urlsIndex = 2;
        } else {
            SetNewURL(n, p, baseDir_ + "blank2.htm");
            p.urlsIndex = 1;
        }
    } catch (...) {
        // The pane keeps its page and its times: the next tick moves it on
        // again (to the blank pages, once the statistics page has had its turn).
    }
}

void PaneRotation::SetNewURL(int n, PaneRecord& p, const std::string& address) {
    try {
        if (host_.CreateBrowser(n)) host_.Navigate(n, address);
        if (n == 1) host_.SaveLastSeen(address);
        p.urlsReady = false;
        p.WaitForURLTimeOut = true;
        p.urlsTime = host_.TickCount();
        p.WaitForURL = p.urlsTime;
    } catch (...) {
        // A failed navigation leaves the times as they were: the next tick
        // judges the previous page again.
    }
}

void PaneRotation::SetupBrowser(int n, PaneRecord& p) {
    host_.Log(n, "Doc Complete");
    std::string failure;
    const BodyState body = host_.FetchBody(n, failure);
    if (body == BodyState::Failed) return;  // keeps waiting; the 20-second limit replaces the page
    if (body == BodyState::Scrollable) {
        try {
            if (host_.BodyTallerThanPane(n)) p.LastScrollTick = host_.TickCount();
        } catch (...) {
            // Sizes that cannot be read only leave the scroll's clock as it
            // was; the page is complete all the same.
        }
    }
    p.WaitForURLTimeOut = false;
    p.urlsReady = true;
    p.urlsTime = host_.TickCount();
}

}  // namespace saver

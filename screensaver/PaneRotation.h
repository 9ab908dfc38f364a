// What a pane of the slideshow does at a tick and at a document completion:
// scrolling, moving on to the next page, the statistics page and blanking.
// No Windows here: the pane's browser, the pages the saver writes and the
// debug log are behind IPaneHost, so the rules run against a fake clock.
#pragma once

#include <cstdint>
#include <string>

#include "Classes.h"
#include "DisplaySettings.h"
#include "ReadyState.h"

namespace saver {

constexpr uint32_t kNavigationLimitMs = 20000;  // a page that never completes is given up
constexpr uint32_t kMinuteMs = 60000;
using browser::kReadyStateComplete;

// Tick counts wrap after 49.7 days; an unsigned difference stays right.
inline uint32_t TicksSince(uint32_t then, uint32_t now) { return now - then; }

// The rotation's part of a pane's record.
struct PaneRecord {
    bool InUse = false;
    int32_t CurrentStep = 0;
    uint32_t LastScrollTick = 0;
    bool urlsReady = false;
    bool WaitForURLTimeOut = false;
    int32_t urlsIndex = 0;  // -1: pane 1's statistics page; blanked: the blank page to show next
    uint32_t urlsTime = 0;
    uint32_t WaitForURL = 0;
    int32_t CyclesLeft = -1;
    bool HasBeenBlanked = false;
    bool FinishedOneCycle = false;
    bool StatsShown = false;
    bool PaneBusy = false;
};

enum class BodyState {
    Scrollable,    // the body offers its scroll sizes and position
    NoScrollInfo,  // a body, but without them
    Failed,        // no document, not a web page, or no body
};

// What the rules ask of the form. Methods marked "raises" report a refusal
// with an exception; the rules catch it where the saver's design says.
class IPaneHost {
public:
    virtual ~IPaneHost() = default;
    virtual uint32_t TickCount() = 0;
    virtual long ReadyState(int pane) = 0;  // raises
    // Drops the pane's body and fetches it anew; `failure` gets the reason.
    virtual BodyState FetchBody(int pane, std::string& failure) = 0;
    virtual bool BodyTallerThanPane(int pane) = 0;                // raises
    virtual void ScrollBodyBy(int pane, int32_t step) = 0;        // raises
    virtual std::string LocationURL(int pane) = 0;                // raises
    // Takes the old browser off the pane and gives it a fresh one; false when
    // none could be made.
    virtual bool CreateBrowser(int pane) = 0;
    virtual void Navigate(int pane, const std::string& address) = 0;  // raises
    virtual void SaveLastSeen(const std::string& address) = 0;        // raises
    virtual std::string StatsPage() = 0;                              // raises
    virtual void Log(int pane, const std::string& line) = 0;
};

class PaneRotation {
public:
    // Reads the settings, the saver's start tick and the install folder (with
    // the blank pages, ending with a backslash) where their owner keeps them.
    PaneRotation(IPaneHost& host, const globals::TDisplaySettings& settings, const uint32_t& startTicks,
                 const std::string& baseDir)
        : host_(host), settings_(settings), startTicks_(startTicks), baseDir_(baseDir) {}

    // A tick for one pane: its scroll check, then its page check, each on its
    // own (a failure of one never stops the other or the slideshow). A pane
    // not in use or still inside its previous tick is left alone.
    void Tick(int pane, PaneRecord& p, const velfw::TStringList& list);

    // One scroll step when it is due.
    void CheckScroll(int pane, PaneRecord& p);
    // Moves the pane on when its page time is over.
    void CheckChangeUrl(int pane, PaneRecord& p, const velfw::TStringList& list);
    // The next page of a blanked pane: the statistics page once, then the two blank pages in turn.
    void DoHasBeenBlanked(int pane, PaneRecord& p);
    // Shows the address in a fresh browser.
    void SetNewURL(int pane, PaneRecord& p, const std::string& address);
    // Bookkeeping when the pane's document (or one of its frames) completes.
    void SetupBrowser(int pane, PaneRecord& p);

    // Milliseconds since the saver started, as the log lines show them.
    std::string MsText();

private:
    IPaneHost& host_;
    const globals::TDisplaySettings& settings_;
    const uint32_t& startTicks_;
    const std::string& baseDir_;
};

}  // namespace saver

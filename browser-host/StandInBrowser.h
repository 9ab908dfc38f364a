// A scripted stand-in for the pane browser, for test builds of the saver and
// for tests: a real child window that paints the address it shows, doing for
// each address what its script says (see StandInScript.h for the format).
// Its events come later through posted and timer messages of its own, as the
// real control's do, never from inside Navigate; every call is logged with
// its tick count.
//
// The script comes from the file named by the environment variable
// VELUNOR_STANDIN_SCRIPT (read at the first use), or from SetStandInScript.
// With VELUNOR_STANDIN_LOG set, every log line is also appended to that file:
//   <tick> #<browser> <call> [<details>]
// for example "10531 #2 navigate http://a/", "11032 #2 event DocumentComplete".
// Browsers are numbered from 1 in the order of their creation.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "PaneBrowser.h"
#include "StandInScript.h"
#include "UtilityWindow.h"

namespace browser {

struct TStandInLogEntry {
    unsigned long Tick;
    int Browser;
    std::string Text;
};

// The log of every stand-in browser of the process.
class TStandInLog {
public:
    void Add(int browser, const std::string& text);
    const std::vector<TStandInLogEntry>& Entries() const { return entries_; }
    // The texts of one browser's entries, in order.
    std::vector<std::string> TextsOf(int browser) const;
    void Clear() { entries_.clear(); }

private:
    std::vector<TStandInLogEntry> entries_;
};

TStandInLog& StandInLog();
const TStandInScript& StandInScriptInUse();
// Replaces the script (and the creation count starts again at 0).
void SetStandInScript(const std::string& text);

class TStandInBrowser : public velfw::TWinControl, public IPaneBrowser {
public:
    explicit TStandInBrowser(int number);
    ~TStandInBrowser() override;

    int Number() const { return number_; }
    velfw::TWinControl& Control() override { return *this; }
    void Navigate(const std::string& url) override;
    long ReadyState() override;
    std::string LocationURL() override;
    std::unique_ptr<IPaneBody> Body() override;
    void Detach() override;

    struct Document;  // what the current address shows

protected:
    void CreateParams(velfw::TCreateParams& params) override;
    void Paint(velfw::TCanvas& canvas) override;

private:
    void HandleEvent(UINT msg, WPARAM wParam);
    void Log(const std::string& text);
    void StopEvents();

    int number_;
    velfw::TUtilityWindow events_;  // carries the events; those still queued go with it
    unsigned generation_ = 0;
    TStandInRule rule_;
    std::shared_ptr<Document> document_;
    std::string location_;
    long readyState_ = 0;
    int framesLeft_ = 0;
};

// The factory of the saver's test build: numbers the browsers and fails the
// creations the script names (velfw::Exception).
std::unique_ptr<IPaneBrowser> MakeStandInPaneBrowser();

}  // namespace browser

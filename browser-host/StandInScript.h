// What the stand-in browser of the saver's test build, and the scripted
// browser control the tests register in place of the system's, do for each
// address: the script of a test. Needs no Windows.
//
// Text form, one line each ('#' starts a comment, blank lines are skipped):
//
//   <address> key=value ...     what happens when the browser goes to <address>;
//                               an address ending in '*' matches every address
//                               that begins with the part before it
//   default key=value ...       the rule for addresses no other line names
//   create fail=<n>[,<n>...]    these creations (1 = the process's first
//                               browser) fail; "fail=all" fails all
//
// Keys of a rule (unnamed keys keep the value in brackets):
//   complete=<ms>|never   the document completes this long after Navigate [100]
//   frames=<n>            frame completions that follow the page's [0]
//   framegap=<ms>         time between two completions [50]
//   scroll=<px>           the body's scroll height [the client height]
//   client=<px>           the body's client height [600]
//   document=none         there is no document: Body() fails
//   body=none|noscroll    a document without a body (Body() fails), or a body
//                         without scroll information
//   navigate=fail         Navigate fails for this address
//   scripterror=<ms>      a script error this long after Navigate [none]
//   popup=<ms>            the page opens a pop-up window this long after
//                         Navigate [none] (the scripted control only)
//   error=<status>        the server answers with this status (404, say): a
//                         navigation error, then the control's own error
//                         page [none] (the scripted control only)
//
// Example:
//   http://a/ complete=500 frames=2 scroll=2000 client=600
//   http://slow/* complete=never
//   default complete=200
#pragma once

#include <string>
#include <vector>

namespace browser {

enum class TStandInBodyKind { Normal, None, NoScroll };

struct TStandInRule {
    std::string Address;      // empty for the default rule
    bool Prefix = false;      // Address matches as a prefix
    long CompleteMs = 100;    // -1: never
    int Frames = 0;
    long FrameGapMs = 50;
    long ScrollHeight = -1;   // -1: the client height
    long ClientHeight = 600;
    bool NoDocument = false;
    TStandInBodyKind Body = TStandInBodyKind::Normal;
    bool FailNavigate = false;
    long ScriptErrorMs = -1;  // -1: none
    long PopupMs = -1;        // -1: none
    long ErrorStatus = 0;     // 0: the page loads
};

class TStandInScript {
public:
    // Parses the text form; a line it cannot read is skipped and described
    // in Errors ("line 3: unknown key 'x'").
    static TStandInScript Parse(const std::string& text);
    // The script in a file; one that cannot be read gives the built-in
    // defaults and says so in Errors.
    static TStandInScript ReadFile(const std::string& path);

    // The rule for `address`: its own line, else the longest matching prefix
    // line, else the default line, else the built-in defaults.
    TStandInRule Find(const std::string& address) const;
    // Whether creation number `n` (from 1) fails.
    bool CreationFails(int n) const;

    std::vector<TStandInRule> Rules;
    TStandInRule Default;
    std::vector<int> FailingCreations;
    bool AllCreationsFail = false;
    std::vector<std::string> Errors;
};

// Appends "<tick> #<browser> <text>" to the log file the tests read
// (browser 0: the script and the process, not one browser).
void AppendStandInLog(const std::string& file, unsigned long tick, int browser, const std::string& text);

}  // namespace browser

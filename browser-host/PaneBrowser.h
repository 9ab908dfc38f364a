// A pane's browser as the slideshow drives it. The shipped saver uses the
// hosted web-browser control; the saver's test build uses a scripted
// stand-in. Both are windows the pane's panel can parent and align.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Controls.h"
#include "ReadyState.h"

namespace browser {

// The body of the document a browser shows, fetched at one moment.
class IPaneBody {
public:
    virtual ~IPaneBody() = default;
    // False when the body offers no scroll sizes or position (no IHTMLElement2).
    virtual bool HasScrollInfo() const = 0;
    // These raise velfw::Exception when the browser refuses.
    virtual long ScrollTop() = 0;
    virtual void SetScrollTop(long value) = 0;
    virtual long ScrollHeight() = 0;
    virtual long ClientHeight() = 0;
};

class IPaneBrowser {
public:
    virtual ~IPaneBrowser() = default;

    // The window to parent to a panel, align, show and hide.
    virtual velfw::TWinControl& Control() = 0;

    int Index = 0;  // pane 1 to 3 that owns the browser

    // Each raises velfw::Exception when the browser refuses.
    virtual void Navigate(const std::string& url) = 0;
    virtual long ReadyState() = 0;
    virtual std::string LocationURL() = 0;
    // The current document's body, fetched anew. Raises when there is no
    // document, it is not a web page, or it has no body.
    virtual std::unique_ptr<IPaneBody> Body() = 0;

    // Stops all events and takes the browser off the screen at once, so that
    // it can be freed later, once none of its callbacks is running.
    virtual void Detach() = 0;

    std::function<void(IPaneBrowser& sender)> OnDocumentComplete;
    std::function<void(IPaneBrowser& sender)> OnNavigateComplete2;
    std::function<void(IPaneBrowser& sender, bool& continueScript, bool& showDialog)> OnScriptError;
};

// Makes a fresh browser without an owner; the saver sets the factory at
// start-up (the hosted control, or the stand-in in the test build).
using PaneBrowserFactory = std::function<std::unique_ptr<IPaneBrowser>()>;

}  // namespace browser

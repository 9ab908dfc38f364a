// The pane browser of the shipped screen saver: the hosted control plus the
// pane number, driven through the pane-browser interface.
#pragma once

#include "HostedWB.h"
#include "PaneBrowser.h"

namespace browser {

class TMyWebBrowser : public THostedWB, public IPaneBrowser {
public:
    TMyWebBrowser();

    velfw::TWinControl& Control() override { return *this; }
    // Showing the pane's window also sets the control's own Visible property.
    void SetVisible(bool visible) override;
    void Navigate(const std::string& url) override;
    long ReadyState() override;
    std::string LocationURL() override;
    std::unique_ptr<IPaneBody> Body() override;
    void Detach() override;
};

// The factory of the shipped saver.
std::unique_ptr<IPaneBrowser> MakeHostedPaneBrowser();

}  // namespace browser

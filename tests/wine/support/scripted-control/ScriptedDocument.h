// The document a scripted browser shows, as the browser host reads it: the
// document (IHTMLDocument2) with its body (IHTMLElement, and IHTMLElement2
// for the scroll sizes and position) and its window (IHTMLWindow2), whose
// event object answers the properties of a script error while one is being
// reported.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <mshtml.h>

#include <memory>
#include <string>

#include "ComFaces.h"
#include "StandInScript.h"

namespace scripted {

// One page: what the script says of its address, and where it is scrolled
// to. Shared by the browser that paints it and the objects the host may
// keep after the browser went on to the next page.
struct TPage {
    int Browser = 0;
    std::string Address;
    browser::TStandInRule Rule;
    bool ErrorPage = false;  // the control's own page for a failed navigation
    long ScrollTop = 0;
    HWND Painter = nullptr;  // the window that shows the page, while it does

    long ScrollHeight() const { return Rule.ScrollHeight < 0 ? Rule.ClientHeight : Rule.ScrollHeight; }
    // The document stops the position here: its end at the bottom of the view.
    long LastScrollTop() const { return ScrollHeight() > Rule.ClientHeight ? ScrollHeight() - Rule.ClientHeight : 0; }
};

class TScriptedWindow;

class TScriptedDocument final : public TScriptedObject {
public:
    explicit TScriptedDocument(std::shared_ptr<TPage> page);

    // This object's document interface, without a reference of its own.
    IHTMLDocument2* Document() { return &document_.iface; }
    const std::shared_ptr<TPage>& Page() const { return page_; }

    // While a script error is being reported, the document's window has an
    // event object that answers the error's properties.
    void BeginScriptError();
    void EndScriptError();

    HRESULT GetBody(IHTMLElement** body);
    HRESULT GetParentWindow(IHTMLWindow2** window);

protected:
    ~TScriptedDocument() override;
    void* Find(REFIID iid) override;

private:
    Face<IHTMLDocument2> document_;
    std::shared_ptr<TPage> page_;
    TScriptedWindow* window_;
    Ref<IHTMLElement> body_;  // made at the first request; a page keeps its body
};

}  // namespace scripted

#include "ScriptedDocument.h"

#include <algorithm>
#include <cwchar>

#include "ControlLog.h"
#include "WideText.h"

namespace scripted {

namespace {

inline constexpr char kDocumentName[] = "IHTMLDocument2";
inline constexpr char kWindowName[] = "IHTMLWindow2";
inline constexpr char kEventName[] = "IHTMLEventObj";
inline constexpr char kElementName[] = "IHTMLElement";
inline constexpr char kElement2Name[] = "IHTMLElement2";

// ---- the event object of a script error

// The five properties a host reads, by name as the page's script would
// (the names' letter case does not matter there).
struct ErrorProperty {
    const wchar_t* Name;
    DISPID Id;
};
constexpr ErrorProperty kErrorProperties[] = {
    {L"errorLine", 1}, {L"errorCharacter", 2}, {L"errorCode", 3}, {L"errorMessage", 4}, {L"errorUrl", 5}};

class TScriptErrorEvent final : public TScriptedObject {
public:
    explicit TScriptErrorEvent(std::shared_ptr<TPage> page)
        : event_(MakeFace<IHTMLEventObj>(Vtbl(), this)), page_(std::move(page)) {}

    IHTMLEventObj* Event() { return &event_.iface; }

    HRESULT IdsOfNames(LPOLESTR* names, UINT count, DISPID* ids) override {
        if (!names || !ids || count != 1 || !names[0]) return E_INVALIDARG;
        Log(page_->Browser, "event property " + velfw::WideToAnsi(names[0]));
        for (const ErrorProperty& p : kErrorProperties)
            if (_wcsicmp(p.Name, names[0]) == 0) {
                ids[0] = p.Id;
                return S_OK;
            }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }

    HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS*, VARIANT* result) override {
        if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
        ::VariantInit(result);
        switch (id) {
            case 1:  // errorLine
            case 2:  // errorCharacter
            case 3:  // errorCode
                result->vt = VT_I4;
                result->lVal = id == 1 ? 12 : id == 2 ? 5 : 0;
                return S_OK;
            case 4:
                result->vt = VT_BSTR;
                result->bstrVal = NewBstr("'scripted' is undefined");
                return S_OK;
            case 5:
                result->vt = VT_BSTR;
                result->bstrVal = NewBstr(page_->Address);
                return S_OK;
            default:
                return DISP_E_MEMBERNOTFOUND;
        }
    }

protected:
    void* Find(REFIID iid) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IHTMLEventObj))
            return &event_.iface;
        return nullptr;
    }

private:
    static const IHTMLEventObjVtbl& Vtbl() {
        return DispatchVtable<IHTMLEventObj, kEventName>([](IHTMLEventObjVtbl&) {});
    }

    Face<IHTMLEventObj> event_;
    std::shared_ptr<TPage> page_;
};

}  // namespace

// ---- the window

class TScriptedWindow final : public TScriptedObject {
public:
    explicit TScriptedWindow(std::shared_ptr<TPage> page) : window_(MakeFace<IHTMLWindow2>(Vtbl(), this)), page_(std::move(page)) {}

    IHTMLWindow2* Window() { return &window_.iface; }
    void SetEvent(Ref<IHTMLEventObj> event) { event_ = std::move(event); }

    // Outside a script error's report there is no event: S_OK and none.
    HRESULT GetEvent(IHTMLEventObj** event) {
        if (!event) return E_POINTER;
        Log(page_->Browser, event_ ? "window event" : "window event none");
        *event = event_.NewReference();
        return S_OK;
    }

protected:
    void* Find(REFIID iid) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, IID_IHTMLFramesCollection2) || IsEqualIID(iid, IID_IHTMLWindow2))
            return &window_.iface;
        return nullptr;
    }

private:
    static HRESULT STDMETHODCALLTYPE GetEventSlot(IHTMLWindow2* self, IHTMLEventObj** event) {
        return Guarded([&] { return OwnerOf<TScriptedWindow>(self).GetEvent(event); });
    }
    static const IHTMLWindow2Vtbl& Vtbl() {
        return DispatchVtable<IHTMLWindow2, kWindowName>([](IHTMLWindow2Vtbl& v) {
            v.get_event = GetEventSlot;
        });
    }

    Face<IHTMLWindow2> window_;
    std::shared_ptr<TPage> page_;
    Ref<IHTMLEventObj> event_;
};

// ---- the body

namespace {

class TScriptedBody final : public TScriptedObject {
public:
    explicit TScriptedBody(std::shared_ptr<TPage> page)
        : element_(MakeFace<IHTMLElement>(ElementVtbl(), this)),
          element2_(MakeFace<IHTMLElement2>(Element2Vtbl(), this)),
          page_(std::move(page)) {}

    IHTMLElement* Element() { return &element_.iface; }

    long Read(const char* what, long value) {
        Log(page_->Browser, std::string("body ") + what + " " + std::to_string(value));
        return value;
    }
    void SetScrollTop(long asked) {
        page_->ScrollTop = std::clamp(asked, 0L, page_->LastScrollTop());
        Log(page_->Browser, "body setScrollTop " + std::to_string(asked) + " -> " + std::to_string(page_->ScrollTop));
        if (page_->Painter) ::InvalidateRect(page_->Painter, nullptr, TRUE);
    }

protected:
    void* Find(REFIID iid) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IHTMLElement))
            return &element_.iface;
        // A body without scroll information (another kind of document) has
        // no second element interface.
        if (IsEqualIID(iid, IID_IHTMLElement2) && page_->Rule.Body != browser::TStandInBodyKind::NoScroll)
            return &element2_.iface;
        return nullptr;
    }

private:
    static TScriptedBody& Of(IHTMLElement2* self) { return OwnerOf<TScriptedBody>(self); }
    static HRESULT STDMETHODCALLTYPE GetScrollTop(IHTMLElement2* self, LONG* p) {
        if (!p) return E_POINTER;
        return Guarded([&] {
            TScriptedBody& b = Of(self);
            *p = b.Read("scrollTop", b.page_->ScrollTop);
            return S_OK;
        });
    }
    static HRESULT STDMETHODCALLTYPE PutScrollTop(IHTMLElement2* self, LONG v) {
        return Guarded([&] {
            Of(self).SetScrollTop(v);
            return S_OK;
        });
    }
    static HRESULT STDMETHODCALLTYPE GetScrollHeight(IHTMLElement2* self, LONG* p) {
        if (!p) return E_POINTER;
        return Guarded([&] {
            TScriptedBody& b = Of(self);
            *p = b.Read("scrollHeight", b.page_->ScrollHeight());
            return S_OK;
        });
    }
    static HRESULT STDMETHODCALLTYPE GetClientHeight(IHTMLElement2* self, LONG* p) {
        if (!p) return E_POINTER;
        return Guarded([&] {
            TScriptedBody& b = Of(self);
            *p = b.Read("clientHeight", b.page_->Rule.ClientHeight);
            return S_OK;
        });
    }
    static const IHTMLElementVtbl& ElementVtbl() {
        return DispatchVtable<IHTMLElement, kElementName>([](IHTMLElementVtbl&) {});
    }
    static const IHTMLElement2Vtbl& Element2Vtbl() {
        return DispatchVtable<IHTMLElement2, kElement2Name>([](IHTMLElement2Vtbl& v) {
            v.get_scrollTop = GetScrollTop;
            v.put_scrollTop = PutScrollTop;
            v.get_scrollHeight = GetScrollHeight;
            v.get_clientHeight = GetClientHeight;
        });
    }

    Face<IHTMLElement> element_;
    Face<IHTMLElement2> element2_;
    std::shared_ptr<TPage> page_;
};

HRESULT STDMETHODCALLTYPE DocumentGetBody(IHTMLDocument2* self, IHTMLElement** body) {
    return Guarded([&] { return OwnerOf<TScriptedDocument>(self).GetBody(body); });
}

HRESULT STDMETHODCALLTYPE DocumentGetParentWindow(IHTMLDocument2* self, IHTMLWindow2** window) {
    return Guarded([&] { return OwnerOf<TScriptedDocument>(self).GetParentWindow(window); });
}

const IHTMLDocument2Vtbl& DocumentVtbl() {
    return DispatchVtable<IHTMLDocument2, kDocumentName>([](IHTMLDocument2Vtbl& v) {
        v.get_body = DocumentGetBody;
        v.get_parentWindow = DocumentGetParentWindow;
    });
}

}  // namespace

// ---- the document

TScriptedDocument::TScriptedDocument(std::shared_ptr<TPage> page)
    : document_(MakeFace<IHTMLDocument2>(DocumentVtbl(), this)), page_(std::move(page)), window_(new TScriptedWindow(page_)) {}

TScriptedDocument::~TScriptedDocument() { window_->Release(); }

void* TScriptedDocument::Find(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IHTMLDocument) ||
        IsEqualIID(iid, IID_IHTMLDocument2))
        return &document_.iface;
    return nullptr;
}

void TScriptedDocument::BeginScriptError() {
    auto* event = new TScriptErrorEvent(page_);
    window_->SetEvent(Ref<IHTMLEventObj>::Attach(event->Event()));
}

void TScriptedDocument::EndScriptError() { window_->SetEvent({}); }

HRESULT TScriptedDocument::GetBody(IHTMLElement** body) {
    if (!body) return E_POINTER;
    *body = nullptr;
    if (page_->Rule.Body == browser::TStandInBodyKind::None) {
        Log(page_->Browser, "document body none");
        return S_OK;
    }
    Log(page_->Browser, "document body");
    if (!body_) body_ = Ref<IHTMLElement>::Attach((new TScriptedBody(page_))->Element());
    *body = body_.NewReference();
    return S_OK;
}

HRESULT TScriptedDocument::GetParentWindow(IHTMLWindow2** window) {
    if (!window) return E_POINTER;
    *window = window_->Window();
    window_->AddRef();
    return S_OK;
}

}  // namespace scripted

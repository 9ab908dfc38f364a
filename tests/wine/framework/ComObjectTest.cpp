#include <gtest/gtest.h>

#include <windows.h>

#include "ComObject.h"
#include "ComPtr.h"
#include "OleCtrls.h"

using namespace velfw;

namespace {

// A site with one interface more, as the browser host builds its own; it
// says when it is freed, and can be told to fail its look-ups.
class TExtendedSite final : public TComObjectWith<TOleClientSite, IOleControl> {
public:
    explicit TExtendedSite(bool& freed) : freed_(freed) {}
    bool FailLookUps = false;

    STDMETHODIMP GetControlInfo(CONTROLINFO*) override { return E_NOTIMPL; }
    STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnAmbientPropertyChange(DISPID) override { return S_OK; }
    STDMETHODIMP FreezeEvents(BOOL) override { return S_OK; }

protected:
    void* FindInterface(REFIID iid) override {
        if (FailLookUps) throw Exception("look-up failed");
        return TComObjectWith::FindInterface(iid);
    }

private:
    ~TExtendedSite() override { freed_ = true; }
    bool& freed_;
};

IUnknown* Identity(IUnknown* p) {
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(p->QueryInterface(VELFW_IID_PPV_ARGS(unknown)), S_OK);
    return unknown.Get();
}

}  // namespace

TEST(ComObject, AnswersItsInterfacesAndThoseTheyExtendWithOneIdentity) {
    bool freed = false;
    auto site = ComPtr<IOleClientSite>::Attach(new TExtendedSite(freed));
    IUnknown* identity = Identity(site.Get());
    struct Case {
        const char* name;
        const IID& iid;
        bool answered;
    } cases[] = {
        {"IUnknown", IidOf<IUnknown>(), true},
        {"IOleClientSite", IidOf<IOleClientSite>(), true},
        {"IOleInPlaceSite", IidOf<IOleInPlaceSite>(), true},
        {"IOleWindow (extended by IOleInPlaceSite)", IidOf<IOleWindow>(), true},
        {"IDispatch", IidOf<IDispatch>(), true},
        {"IOleControl (added)", IidOf<IOleControl>(), true},
        {"IOleInPlaceFrame", IidOf<IOleInPlaceFrame>(), false},
        {"IOleObject", IidOf<IOleObject>(), false},
    };
    for (const Case& c : cases) {
        void* p = reinterpret_cast<void*>(1);
        HRESULT hr = site->QueryInterface(c.iid, &p);
        EXPECT_EQ(hr, c.answered ? S_OK : E_NOINTERFACE) << c.name;
        if (!c.answered) {
            EXPECT_EQ(p, nullptr) << c.name;
            continue;
        }
        auto* unknown = static_cast<IUnknown*>(p);
        EXPECT_EQ(Identity(unknown), identity) << c.name;
        unknown->Release();
    }
    EXPECT_EQ(site->QueryInterface(IidOf<IUnknown>(), nullptr), E_POINTER);
    EXPECT_FALSE(freed);
}

TEST(ComObject, TheLastReleaseThroughAnyInterfaceFreesTheObject) {
    bool freed = false;
    auto* site = new TExtendedSite(freed);
    ComPtr<IOleControl> added;
    ASSERT_EQ(site->QueryInterface(VELFW_IID_PPV_ARGS(added)), S_OK);
    site->Release();  // the creator's reference
    EXPECT_FALSE(freed);
    added.Reset();
    EXPECT_TRUE(freed);
}

TEST(ComObject, AFailingLookUpAnswersNoInterface) {
    bool freed = false;
    auto* site = new TExtendedSite(freed);
    site->FailLookUps = true;
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(site->QueryInterface(IidOf<IDispatch>(), &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    site->Release();
    EXPECT_TRUE(freed);
}

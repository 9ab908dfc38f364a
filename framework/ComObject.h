// Reference counting and interface query of a small COM object of ours that
// offers one interface `I` (and the ids it answers for through Answers).
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace velfw {

template <typename I>
class TComObject : public I {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || Answers(iid)) {
            *object = static_cast<I*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = ::InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

protected:
    TComObject() = default;
    virtual ~TComObject() = default;
    // Interface ids besides IUnknown that this object answers with `I`.
    virtual bool Answers(REFIID iid) const = 0;

private:
    LONG refs_ = 1;  // the creator's reference
};

}  // namespace velfw

// The per-form controller of the library's controls: entry options, the
// two-digit-year epoch, the events its controls raise, and the keystroke
// command processor and timer pool it owns.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Controls.h"
#include "KvBase.h"
#include "KvCmd.h"
#include "KvTimer.h"

namespace kv {

enum TKvBaseEFOption : unsigned {
    efoAutoAdvanceChar,
    efoAutoAdvanceLeftRight,
    efoAutoAdvanceUpDown,
    efoAutoSelect,
    efoBeepOnError,
    efoInsertPushes,
};
using TKvBaseEFOptions = unsigned;  // one bit per option
constexpr TKvBaseEFOptions EFOption(TKvBaseEFOption option) { return 1u << option; }

using TDataErrorEvent = std::function<void(velfw::TObject* sender, uint16_t errorCode, const std::string& errorMsg)>;
using TGetEpochEvent = std::function<void(velfw::TObject* sender, int32_t& epoch)>;
using TDelayNotifyEvent = std::function<void(velfw::TObject* sender, uint16_t notifyCode)>;
using TIsSpecialControlEvent = std::function<void(velfw::TObject* sender, velfw::TWinControl* control, bool& special)>;
using TPostEditEvent = std::function<void(velfw::TObject* sender, velfw::TWinControl* gainingControl)>;
using TPreEditEvent = std::function<void(velfw::TObject* sender, velfw::TWinControl* losingControl)>;

class TKvController : public TKvComponent {
public:
    explicit TKvController(velfw::TComponent* owner);
    ~TKvController() override;

    TKvCommandProcessor& EntryCommands() { return *entryCommands_; }
    TKvBaseEFOptions EntryOptions =
        EFOption(efoAutoSelect) | EFOption(efoBeepOnError) | EFOption(efoInsertPushes);
    // The stored epoch, as OnGetEpoch may adjust it for this read.
    int32_t Epoch() const;
    // Years outside 1600..3999 are ignored.
    void SetEpoch(int32_t epoch);
    TKvTimerPool& TimerPool() { return *timerPool_; }

    // False unless OnIsSpecialControl answers for the control of `wnd` (none
    // when the window belongs to no control of the program).
    bool IsSpecialControl(HWND wnd);

    TDataErrorEvent OnError;
    TGetEpochEvent OnGetEpoch;
    TDelayNotifyEvent OnDelayNotify;
    TIsSpecialControlEvent OnIsSpecialControl;
    TPostEditEvent OnPostEdit;
    TPreEditEvent OnPreEdit;
    TTriggerEvent OnTimerTrigger;

protected:
    // Passes each firing of the pool's triggers on unchanged.
    virtual void DoTimerTrigger(velfw::TObject* sender, int32_t handle, uint32_t interval, int32_t elapsedTime);

private:
    std::unique_ptr<TKvCommandProcessor> entryCommands_;
    int32_t epoch_;
    TKvTimerPool* timerPool_;  // owned as a component
};

// The year of today: the local clock's, unless a test sets a source (null
// goes back to the clock).
void SetCurrentYearSource(std::function<int32_t()> source);
// Today's year with its last two digits set to zero.
int32_t CenturyOfToday();

// A bitmap resource of the program by name; null when it has none.
HBITMAP LoadModuleBitmap(const std::string& name);

// Base + "1", Base + "2", ...: the first name no component of `form` carries.
// Raises EComponentError when Base is not an identifier.
std::string UniqueComponentName(velfw::TComponent* form, const std::string& base);

}  // namespace kv

// Arithmetic of the component base: component names, the two-digit-year
// epoch, attached-label placement and the signed words of mouse messages.
// No Windows here: message parameters arrive as pointer-sized integers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "Classes.h"

namespace kv {

class EComponentError : public velfw::Exception {
public:
    using Exception::Exception;
};

// Private messages of the library's control bases.
enum TKvControlMessage : unsigned {
    kvmFocusGained = 32520,   // posted after the control gains focus
    kvmFocusLost = 32521,     // posted after it loses focus
    kvmControlMoved = 32523,  // posted after its bounds change: keep the label at its offsets
    kvmRecordLabel = 32524,   // posted by the label: take its position as the new offsets
    kvmAdoptLabel = 32525,    // sent by the label, itself as the second parameter
};

// A letter or underscore, then letters, digits or underscores (ASCII).
bool IsValidIdent(const std::string& name);
// Base + "1", Base + "2", ...: the first that `taken` refuses. Raises
// EComponentError when Base is not an identifier.
std::string UniqueComponentName(const std::string& base, const std::function<bool(const std::string&)>& taken);

// The year with its last two digits set to zero.
constexpr int32_t CenturyOf(int32_t year) { return year / 100 * 100; }
constexpr int32_t kMinEpoch = 1600, kMaxEpoch = 3999;
// The stored epoch after a write of `requested`: out-of-range values are ignored.
constexpr int32_t EpochAfterWrite(int32_t stored, int32_t requested) {
    return requested >= kMinEpoch && requested <= kMaxEpoch ? requested : stored;
}

// An attached label sits above its control: offsets (0, 0) put its
// bottom-left corner on the control's top-left corner.
struct TKvPoint {
    int32_t X = 0, Y = 0;
    bool operator==(const TKvPoint&) const = default;
};
TKvPoint LabelPosition(TKvPoint control, int32_t labelHeight, TKvPoint offsets);
TKvPoint LabelOffsets(TKvPoint control, TKvPoint label, int32_t labelHeight);

// The words of mouse-message parameters, read as signed 16-bit values: wheel
// deltas and coordinates left of or above the origin are negative.
int16_t WheelDelta(uintptr_t wParam);
int16_t PointerX(intptr_t lParam);
int16_t PointerY(intptr_t lParam);

}  // namespace kv

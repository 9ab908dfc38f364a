#include "KvBaseRules.h"

#include "KvSrMgrFormat.h"

namespace kv {

namespace {
bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
int16_t LowWord(uintptr_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF)); }
int16_t HighWord(uintptr_t v) { return static_cast<int16_t>(static_cast<uint16_t>((v >> 16) & 0xFFFF)); }
}  // namespace

bool IsValidIdent(const std::string& name) {
    if (name.empty() || !IsIdentStart(name[0])) return false;
    for (char c : name)
        if (!IsIdentChar(c)) return false;
    return true;
}

std::string UniqueComponentName(const std::string& base, const std::function<bool(const std::string&)>& taken) {
    if (!IsValidIdent(base)) throw EComponentError(FillPlaceholder("''%s'' is not a valid component name", base));
    for (unsigned long long n = 1;; ++n) {
        std::string candidate = base + std::to_string(n);
        if (!taken(candidate)) return candidate;
    }
}

TKvPoint LabelPosition(TKvPoint control, int32_t labelHeight, TKvPoint offsets) {
    return {control.X + offsets.X, control.Y - labelHeight + offsets.Y};
}

TKvPoint LabelOffsets(TKvPoint control, TKvPoint label, int32_t labelHeight) {
    return {label.X - control.X, label.Y + labelHeight - control.Y};
}

int16_t WheelDelta(uintptr_t wParam) { return HighWord(wParam); }
int16_t PointerX(intptr_t lParam) { return LowWord(static_cast<uintptr_t>(lParam)); }
int16_t PointerY(intptr_t lParam) { return HighWord(static_cast<uintptr_t>(lParam)); }

}  // namespace kv

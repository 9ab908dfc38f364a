#include "WindowGuardRules.h"

#include <cstdlib>

#include "SysUtils.h"

namespace saver {

bool TTopWindowList::Add(void* window) {
    if (Count >= kCapacity) return false;
    Handles[Count++] = window;
    return true;
}

bool TTopWindowList::Contains(void* window) const {
    for (int32_t i = 0; i < Count; ++i)
        if (Handles[i] == window) return true;
    return false;
}

std::vector<void*> NewWindows(const TTopWindowList& initial, const TTopWindowList& current) {
    std::vector<void*> fresh;
    if (current.Count <= initial.Count) return fresh;
    for (int32_t i = 0; i < current.Count; ++i)
        if (!initial.Contains(current.Handles[i])) fresh.push_back(current.Handles[i]);
    return fresh;
}

NewWindowAction ActionForNewWindow(const WindowProcessFacts& facts, std::optional<uint64_t> saverCreated) {
    if (facts.OwnProcess || !facts.CreationKnown || !saverCreated) return NewWindowAction::Close;
    return facts.ProcessCreated > *saverCreated ? NewWindowAction::QuitAndTerminate : NewWindowAction::Close;
}

bool IsErrorWindowTitle(const std::string& title) {
    const std::string upper = velfw::UpperCase(title);
    return upper.find("ERROR") != std::string::npos || upper.find("EXCEPTION") != std::string::npos;
}

bool MouseMoveEndsSaver(MouseReference& ref, int32_t x, int32_t y) {
    if (ref.X == -1 && ref.Y == -1) {
        ref.X = x;
        ref.Y = y;
        return false;
    }
    if (std::abs(x - ref.X) > 2 && std::abs(y - ref.Y) > 2) {
        ref.X = x;
        ref.Y = y;
        return true;
    }
    return false;
}

}  // namespace saver

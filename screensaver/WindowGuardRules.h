// The window guard's and the ending's decisions, free of Windows: the list of
// top-level windows, which windows are new, what a new window gets, the
// titles of error windows, and the mouse movement that ends the saver.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace saver {

// Top-level windows in the order the system listed them; fixed capacity, so
// the scan at every tick allocates nothing.
class TTopWindowList {
public:
    static constexpr int kCapacity = 513;
    void* Handles[kCapacity] = {};
    int32_t Count = 0;

    // Stores the window while there is room; false when the list is full.
    bool Add(void* window);
    bool Contains(void* window) const;
};

// Windows of `current` that `initial` does not hold, in order; none at all
// unless the list has grown (a window replaced by another is left alone).
std::vector<void*> NewWindows(const TTopWindowList& initial, const TTopWindowList& current);

enum class NewWindowAction {
    Close,             // WM_CLOSE only: the process is left alone
    QuitAndTerminate,  // WM_QUIT to the window, then the process is terminated
};

struct WindowProcessFacts {
    bool OwnProcess = false;      // the saver's own process (the browser control opens windows in it)
    bool CreationKnown = false;   // the process's creation time could be read
    uint64_t ProcessCreated = 0;  // in 100 ns units, as the system gives it
};

// Only a process started after the saver is ended; the saver's own windows
// and those of programs that were running before are asked to close. When
// the saver's own creation time is not known, no process counts as started
// after it.
NewWindowAction ActionForNewWindow(const WindowProcessFacts& facts, std::optional<uint64_t> saverCreated);

// A window whose title speaks of an error or an exception, in any case.
bool IsErrorWindowTitle(const std::string& title);

// The first position seen becomes the reference (-1, -1: none yet).
struct MouseReference {
    int32_t X = -1;
    int32_t Y = -1;
};
// True when the move ends the saver: more than 2 pixels from the reference on
// both axes (the reference then takes the new position).
bool MouseMoveEndsSaver(MouseReference& reference, int32_t x, int32_t y);

}  // namespace saver

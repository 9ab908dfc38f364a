// Where the one, two or three panes go on a screen of a given size.
#pragma once

#include <array>
#include <cstdint>

namespace saver {

struct PaneBounds {
    bool Shown = false;
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};

// Panes 1, 2, 3 at indices 0, 1, 2. Any count other than 1 or 2 lays out three.
std::array<PaneBounds, 3> LayOutPanes(int32_t windowCount, int32_t width, int32_t height);

}  // namespace saver

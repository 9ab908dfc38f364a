#include "PaneLayout.h"

namespace saver {

std::array<PaneBounds, 3> LayOutPanes(int32_t windowCount, int32_t w, int32_t h) {
    std::array<PaneBounds, 3> panes{};
    const int32_t h1 = (2 * h) / 3;
    const int32_t w2 = w / 2;
    if (windowCount == 1) {
        panes[0] = {true, 0, 0, w, h};
    } else if (windowCount == 2) {
        panes[0] = {true, 0, 0, w, h1};
        panes[1] = {true, 0, h1, w, h - h1};
    } else {
        panes[0] = {true, 0, 0, w, h1};
        panes[1] = {true, 0, h1, w2, h - h1};
        // Pane 3 takes the odd pixel of an odd width.
        panes[2] = {true, w2, h1, w - w2, h - h1};
    }
    return panes;
}

}  // namespace saver

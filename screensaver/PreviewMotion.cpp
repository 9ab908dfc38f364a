#include "PreviewMotion.h"

namespace saver {

PreviewMotion PreviewMotion::Start(int width, int height, int iconSize) {
    PreviewMotion m;
    m.Width = width;
    m.Height = height;
    m.IconSize = iconSize;
    m.X = width / 2 - iconSize / 2;
    m.Y = height / 2 - iconSize / 2;
    m.Dx = 1;
    m.Dy = 1;
    return m;
}

void PreviewMotion::Step() {
    if (X <= 0) Dx = 1;
    else if (X >= Width - IconSize) Dx = -1;
    if (Y <= 0) Dy = 1;
    else if (Y >= Height - IconSize) Dy = -1;
    X += Dx;
    Y += Dy;
}

}  // namespace saver

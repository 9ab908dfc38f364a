// Movement of the preview's bouncing icon; no Windows here.
#pragma once

namespace saver {

struct PreviewMotion {
    int Width = 0, Height = 0;  // drawing area
    int IconSize = 32;
    int X = 0, Y = 0, Dx = 1, Dy = 1;

    // Icon starts 16 pixels up and left of the centre, moving down-right.
    static PreviewMotion Start(int width, int height, int iconSize = 32);
    // One frame on: turn at the edges (also when already past them, so a
    // tiny window cannot send the icon off for ever), then move one pixel.
    void Step();
};

}  // namespace saver

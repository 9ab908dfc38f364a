// The program's two hand cursors in the screen's cursor table: the pointing
// hand over a slider's thumb and the grabbing hand.
#pragma once

#include <windows.h>

#include "Controls.h"

namespace kx {

constexpr velfw::TCursor crHandCursor = 14000;  // resource "KX_HANDCUR"
constexpr velfw::TCursor crDragCursor = 14001;  // resource "KX_DRAGCUR"

// Loads both cursors from `module` into Screen->Cursors; a program calls it
// at start-up, after the forms unit. One missing resource leaves its number
// showing the arrow.
void RegisterKxCursors(HMODULE module);

}  // namespace kx

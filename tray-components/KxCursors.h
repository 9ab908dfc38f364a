// The program's two hand cursors in the screen's cursor table: the pointing
// hand over a slider's thumb and the grabbing hand.
#pragma once

#include "Controls.h"

namespace kx {

constexpr velfw::TCursor crHandCursor = 14000;  // resource "KX_HANDCUR"
constexpr velfw::TCursor crDragCursor = 14001;  // resource "KX_DRAGCUR"

// Start-up (after the forms unit): loads both cursors from the program's
// module into Screen->Cursors; a missing resource leaves its number showing
// the arrow. Shutdown takes them out of the table again.
void InitKxCursorsUnit();
void DoneKxCursorsUnit();

}  // namespace kx

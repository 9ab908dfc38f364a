#include "KxCursors.h"

#include "Forms.h"

namespace kx {

void RegisterKxCursors(HMODULE module) {
    if (!velfw::Screen) return;
    velfw::Screen->Cursors.Set(crHandCursor, ::LoadCursorA(module, "KX_HANDCUR"));
    velfw::Screen->Cursors.Set(crDragCursor, ::LoadCursorA(module, "KX_DRAGCUR"));
}

}  // namespace kx

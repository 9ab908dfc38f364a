#include "KxCursors.h"

#include "Forms.h"

namespace kx {

void InitKxCursorsUnit() {
    if (!velfw::Screen) return;
    HMODULE program = ::GetModuleHandleA(nullptr);
    velfw::Screen->Cursors.Set(crHandCursor, ::LoadCursorA(program, "KX_HANDCUR"));
    velfw::Screen->Cursors.Set(crDragCursor, ::LoadCursorA(program, "KX_DRAGCUR"));
}

void DoneKxCursorsUnit() {
    if (!velfw::Screen) return;
    // Cursors loaded from a module live as long as it: nothing to destroy.
    velfw::Screen->Cursors.Set(crHandCursor, nullptr);
    velfw::Screen->Cursors.Set(crDragCursor, nullptr);
}

}  // namespace kx

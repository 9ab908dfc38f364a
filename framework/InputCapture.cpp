#include "InputCapture.h"

namespace velfw {

void CursorHider::Hide() {
    if (hidden_) return;
    ::ShowCursor(FALSE);
    hidden_ = true;
}

void CursorHider::ShowAgain() {
    if (!hidden_) return;
    ::ShowCursor(TRUE);
    hidden_ = false;
}

void MouseCapture::Take(HWND window) {
    ::SetCapture(window);
    window_ = window;
}

void MouseCapture::Release() {
    if (!window_) return;
    if (::GetCapture() == window_) ::ReleaseCapture();
    window_ = nullptr;
}

}  // namespace velfw

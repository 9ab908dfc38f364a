// Owning wrappers for Win32 handles: one template, a close function and the
// value that means "none". Copy is deleted, move hands the handle over.
// Beside them the guards of a scope's DC, paint, selection, locked memory and
// clipboard; the guards that need no Windows are in ScopeGuards.h.
#pragma once

#include <windows.h>

#include <utility>

namespace velfw {

template <typename H, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::invalid(); }
    H release() { return std::exchange(h_, Traits::invalid()); }
    void reset(H h = Traits::invalid()) {
        if (h_ != Traits::invalid()) Traits::close(h_);
        h_ = h;
    }

private:
    H h_ = Traits::invalid();
};

struct KernelHandleTraits {
    static HANDLE invalid() { return nullptr; }
    static void close(HANDLE h) { ::CloseHandle(h); }
};
struct FileHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::FindClose(h); }
};
struct RegKeyTraits {
    static HKEY invalid() { return nullptr; }
    static void close(HKEY h) { ::RegCloseKey(h); }
};
struct ModuleTraits {
    static HMODULE invalid() { return nullptr; }
    static void close(HMODULE h) { ::FreeLibrary(h); }
};
struct GdiObjectTraits {
    static HGDIOBJ invalid() { return nullptr; }
    static void close(HGDIOBJ h) { ::DeleteObject(h); }
};
struct MemoryDcTraits {
    static HDC invalid() { return nullptr; }
    static void close(HDC h) { ::DeleteDC(h); }
};
struct IconTraits {
    static HICON invalid() { return nullptr; }
    static void close(HICON h) { ::DestroyIcon(h); }
};
struct GlobalMemoryTraits {
    static HGLOBAL invalid() { return nullptr; }
    static void close(HGLOBAL h) { ::GlobalFree(h); }
};
struct GlobalAtomTraits {
    static ATOM invalid() { return 0; }
    static void close(ATOM a) { ::GlobalDeleteAtom(a); }
};

using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<HANDLE, FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<HANDLE, FindHandleTraits>;
using UniqueRegKey = UniqueHandle<HKEY, RegKeyTraits>;
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;
using UniqueGdiObject = UniqueHandle<HGDIOBJ, GdiObjectTraits>;
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueGlobalAtom = UniqueHandle<ATOM, GlobalAtomTraits>;
using UniqueGlobalMemory = UniqueHandle<HGLOBAL, GlobalMemoryTraits>;

// A device context got with GetDC, released with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND wnd) : wnd_(wnd), dc_(::GetDC(wnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ::ReleaseDC(wnd_, dc_);
    }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND wnd_;
    HDC dc_;
};

// The paint of a window: BeginPaint when made, EndPaint when the scope ends
// (or at End, to validate the region sooner).
class PaintDc {
public:
    explicit PaintDc(HWND wnd) : wnd_(wnd), dc_(::BeginPaint(wnd, &paint_)) {}
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { End(); }
    HDC get() const { return dc_; }
    void End() {
        if (wnd_) ::EndPaint(std::exchange(wnd_, nullptr), &paint_);
    }

private:
    HWND wnd_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a DC for the scope and puts the old one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (old_) ::SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A palette selected and realized in a DC for the scope.
class RealizedPalette {
public:
    RealizedPalette(HDC dc, HPALETTE palette, bool background) : dc_(dc) {
        if (!palette) return;
        old_ = ::SelectPalette(dc, palette, background ? TRUE : FALSE);
        ::RealizePalette(dc);
    }
    RealizedPalette(const RealizedPalette&) = delete;
    RealizedPalette& operator=(const RealizedPalette&) = delete;
    ~RealizedPalette() {
        if (old_) ::SelectPalette(dc_, old_, TRUE);
    }

private:
    HDC dc_;
    HPALETTE old_ = nullptr;
};

// The state of a DC (objects, colours, modes, clipping) saved for the scope.
class SavedDc {
public:
    explicit SavedDc(HDC dc) : dc_(dc), saved_(::SaveDC(dc)) {}
    SavedDc(const SavedDc&) = delete;
    SavedDc& operator=(const SavedDc&) = delete;
    ~SavedDc() {
        if (saved_) ::RestoreDC(dc_, saved_);
    }

private:
    HDC dc_;
    int saved_;
};

// A memory DC with a bitmap of its own selected into it: the DC's first
// bitmap goes back in before both are deleted. It takes the bitmap only when
// it could make the DC and select the bitmap; otherwise it is empty and the
// bitmap stays the caller's.
class BitmapDc {
public:
    BitmapDc() = default;
    // A DC compatible with `compatible` (the screen when null).
    explicit BitmapDc(HBITMAP bitmap, HDC compatible = nullptr) {
        if (!bitmap) return;
        UniqueMemoryDc dc(::CreateCompatibleDC(compatible));
        if (!dc) return;
        old_ = ::SelectObject(dc.get(), bitmap);
        if (!old_) return;
        dc_ = std::move(dc);
        bitmap_.reset(bitmap);
    }
    BitmapDc(BitmapDc&& other) noexcept
        : dc_(std::move(other.dc_)), bitmap_(std::move(other.bitmap_)), old_(std::exchange(other.old_, nullptr)) {}
    BitmapDc& operator=(BitmapDc&& other) noexcept {
        if (this != &other) {
            reset();
            dc_ = std::move(other.dc_);
            bitmap_ = std::move(other.bitmap_);
            old_ = std::exchange(other.old_, nullptr);
        }
        return *this;
    }
    ~BitmapDc() { reset(); }

    HDC dc() const { return dc_.get(); }
    HBITMAP bitmap() const { return static_cast<HBITMAP>(bitmap_.get()); }
    explicit operator bool() const { return static_cast<bool>(bitmap_); }
    void reset() {
        if (old_) ::SelectObject(dc_.get(), std::exchange(old_, nullptr));
        bitmap_.reset();
        dc_.reset();
    }
    // The bitmap out of the DC for the scope of the result: GetDIBits wants
    // it selected into none.
    [[nodiscard]] SelectedObject Deselected() const { return SelectedObject(dc_.get(), old_); }

private:
    UniqueMemoryDc dc_;
    UniqueGdiObject bitmap_;
    HGDIOBJ old_ = nullptr;
};

// A BitmapDc that takes the bitmap in every case: a bitmap no DC could take
// is deleted at once.
inline BitmapDc TakeBitmap(HBITMAP bitmap, HDC compatible = nullptr) {
    BitmapDc taken(bitmap, compatible);
    if (!taken && bitmap) ::DeleteObject(bitmap);
    return taken;
}

// A global memory block locked for the scope (none for a null block).
class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL block) : block_(block), at_(block ? ::GlobalLock(block) : nullptr) {}
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    ~LockedGlobal() {
        if (at_) ::GlobalUnlock(block_);
    }
    void* get() const { return at_; }
    // The block's size, which may be rounded up past what was asked for.
    SIZE_T size() const { return at_ ? ::GlobalSize(block_) : 0; }
    explicit operator bool() const { return at_ != nullptr; }

private:
    HGLOBAL block_;
    void* at_;
};

// The clipboard opened for the scope, closed at its end when it opened.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard() {
        if (open_) ::CloseClipboard();
    }
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

}  // namespace velfw

#include "Graphics.h"

namespace velfw {

COLORREF ColorToRGB(TColor color) {
    if (color & 0x80000000) return ::GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFF;
}

TFont::TFont() = default;

void TFont::SetName(const std::string& name) { name_ = name; Changed(); }
void TFont::SetSize(int size) { size_ = size; Changed(); }
void TFont::SetColor(TColor color) { color_ = color; Changed(); }
void TFont::SetStyle(unsigned style) { style_ = style; Changed(); }

void TFont::Changed() {
    handle_.reset();
    if (OnChange) OnChange();
}

HFONT TFont::Handle() {
    if (!handle_) {
        HDC screen = ::GetDC(nullptr);
        int height = -MulDiv(size_, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
        ::ReleaseDC(nullptr, screen);
        handle_.reset(::CreateFontA(height, 0, 0, 0, (style_ & fsBold) ? FW_BOLD : FW_NORMAL,
                                    (style_ & fsItalic) ? TRUE : FALSE, (style_ & fsUnderline) ? TRUE : FALSE,
                                    FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, name_.c_str()));
    }
    return static_cast<HFONT>(handle_.get());
}

void TFont::Assign(const TPersistent& source) {
    if (auto* f = dynamic_cast<const TFont*>(&source)) {
        name_ = f->name_;
        size_ = f->size_;
        color_ = f->color_;
        style_ = f->style_;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TCanvas::FillRect(const RECT& r, TColor color) {
    UniqueGdiObject brush(::CreateSolidBrush(ColorToRGB(color)));
    ::FillRect(dc_, &r, static_cast<HBRUSH>(brush.get()));
}

void TCanvas::FrameRect(const RECT& r, TColor color) {
    UniqueGdiObject brush(::CreateSolidBrush(ColorToRGB(color)));
    ::FrameRect(dc_, &r, static_cast<HBRUSH>(brush.get()));
}

void TCanvas::TextOut(int x, int y, const std::string& text, TColor color) {
    ::SetBkMode(dc_, TRANSPARENT);
    ::SetTextColor(dc_, ColorToRGB(color));
    ::TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

void TCanvas::DrawIcon(int x, int y, HICON icon) {
    ::DrawIconEx(dc_, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

void TCanvas::CopyRect(const RECT& dest, const TCanvas& from, const RECT& src) {
    ::StretchBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, from.dc_, src.left,
                 src.top, src.right - src.left, src.bottom - src.top, SRCCOPY);
}

TBitmap::~TBitmap() { Release(); }

void TBitmap::Release() {
    if (dc_ && oldBitmap_) ::SelectObject(dc_.get(), oldBitmap_);
    oldBitmap_ = nullptr;
    bitmap_.reset();
    dc_.reset();
    canvas_.SetHandle(nullptr);
    width_ = height_ = 0;
}

bool TBitmap::SetSize(int width, int height) {
    Release();
    if (width <= 0 || height <= 0) return false;
    HDC screen = ::GetDC(nullptr);
    dc_.reset(::CreateCompatibleDC(screen));
    bitmap_.reset(::CreateCompatibleBitmap(screen, width, height));
    ::ReleaseDC(nullptr, screen);
    if (!dc_ || !bitmap_) {
        Release();
        return false;
    }
    oldBitmap_ = ::SelectObject(dc_.get(), bitmap_.get());
    width_ = width;
    height_ = height;
    canvas_.SetHandle(dc_.get());
    return true;
}

}  // namespace velfw

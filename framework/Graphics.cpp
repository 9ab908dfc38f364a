#include "Graphics.h"

#include <vector>

#include "GraphicsRules.h"
#include "SysUtils.h"

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

void TPen::SetColor(TColor color) { color_ = color; Changed(); }
void TPen::SetWidth(int width) { width_ = width < 1 ? 1 : width; Changed(); }
void TPen::SetStyle(TPenStyle style) { style_ = style; Changed(); }

void TPen::Changed() {
    handle_.reset();
    if (OnChange) OnChange();
}

HPEN TPen::Handle() {
    if (!handle_) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        handle_.reset(::CreatePen(styles[static_cast<int>(style_)], width_, ColorToRGB(color_)));
    }
    return static_cast<HPEN>(handle_.get());
}

void TPen::Assign(const TPersistent& source) {
    if (auto* p = dynamic_cast<const TPen*>(&source)) {
        color_ = p->color_;
        width_ = p->width_;
        style_ = p->style_;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TBrush::SetColor(TColor color) { color_ = color; Changed(); }
void TBrush::SetStyle(TBrushStyle style) { style_ = style; Changed(); }

void TBrush::Changed() {
    handle_.reset();
    if (OnChange) OnChange();
}

HBRUSH TBrush::Handle() {
    if (style_ == TBrushStyle::bsClear) return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    if (!handle_) {
        static const int hatches[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS,
                                      HS_DIAGCROSS};
        const COLORREF rgb = ColorToRGB(color_);
        handle_.reset(style_ == TBrushStyle::bsSolid ? ::CreateSolidBrush(rgb)
                                                     : ::CreateHatchBrush(hatches[static_cast<int>(style_)], rgb));
    }
    return static_cast<HBRUSH>(handle_.get());
}

void TBrush::Assign(const TPersistent& source) {
    if (auto* b = dynamic_cast<const TBrush*>(&source)) {
        color_ = b->color_;
        style_ = b->style_;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TCanvas::FillRect(const RECT& r) { ::FillRect(dc_, &r, brush_.Handle()); }

void TCanvas::FillRect(const RECT& r, TColor color) {
    UniqueGdiObject brush(::CreateSolidBrush(ColorToRGB(color)));
    ::FillRect(dc_, &r, static_cast<HBRUSH>(brush.get()));
}

void TCanvas::FrameRect(const RECT& r, TColor color) {
    UniqueGdiObject brush(::CreateSolidBrush(ColorToRGB(color)));
    ::FrameRect(dc_, &r, static_cast<HBRUSH>(brush.get()));
}

void TCanvas::MoveTo(int x, int y) { ::MoveToEx(dc_, x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
    SelectedObject pen(dc_, pen_.Handle());
    ::LineTo(dc_, x, y);
}

void TCanvas::Rectangle(const RECT& r) {
    SelectedObject pen(dc_, pen_.Handle());
    SelectedObject brush(dc_, brush_.Handle());
    ::Rectangle(dc_, r.left, r.top, r.right, r.bottom);
}

void TCanvas::Ellipse(const RECT& r) {
    SelectedObject pen(dc_, pen_.Handle());
    SelectedObject brush(dc_, brush_.Handle());
    ::Ellipse(dc_, r.left, r.top, r.right, r.bottom);
}

TColor TCanvas::Pixel(int x, int y) const { return ::GetPixel(dc_, x, y); }
void TCanvas::SetPixel(int x, int y, TColor color) { ::SetPixelV(dc_, x, y, ColorToRGB(color)); }

void TCanvas::PrepareText(bool transparent, TColor color) {
    ::SetTextColor(dc_, ColorToRGB(color));
    if (transparent) {
        ::SetBkMode(dc_, TRANSPARENT);
    } else {
        ::SetBkMode(dc_, OPAQUE);
        ::SetBkColor(dc_, ColorToRGB(brush_.Color()));
    }
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    SelectedObject font(dc_, font_.Handle());
    PrepareText(brush_.Style() == TBrushStyle::bsClear, font_.Color());
    ::TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

void TCanvas::TextOut(int x, int y, const std::string& text, TColor color) {
    SelectedObject font(dc_, font_.Handle());
    PrepareText(true, color);
    ::TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

void TCanvas::TextRect(const RECT& r, int x, int y, const std::string& text) {
    SelectedObject font(dc_, font_.Handle());
    const bool transparent = brush_.Style() == TBrushStyle::bsClear;
    PrepareText(transparent, font_.Color());
    ::ExtTextOutA(dc_, x, y, ETO_CLIPPED | (transparent ? 0u : static_cast<UINT>(ETO_OPAQUE)), &r, text.c_str(),
                  static_cast<UINT>(text.size()), nullptr);
}

SIZE TCanvas::TextExtent(const std::string& text) {
    SelectedObject font(dc_, font_.Handle());
    SIZE size{};
    ::GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

int TCanvas::DrawText(const std::string& text, RECT& r, UINT flags) {
    SelectedObject font(dc_, font_.Handle());
    PrepareText(brush_.Style() == TBrushStyle::bsClear, font_.Color());
    return ::DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &r, flags);
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

TDibBitmap::~TDibBitmap() { Release(); }

void TDibBitmap::Release() {
    canvas_.SetHandle(nullptr);
    if (dc_ && oldBitmap_) ::SelectObject(dc_.get(), oldBitmap_);
    oldBitmap_ = nullptr;
    bitmap_.reset();
    dc_.reset();
    bits_ = nullptr;
    width_ = height_ = bitsPerPixel_ = 0;
    stride_ = 0;
}

bool TDibBitmap::Create(int width, int height, int bitsPerPixel) {
    Release();
    if (DibImageSize(width, height, bitsPerPixel) == 0) return false;
    const int colors = DibPaletteSize(bitsPerPixel);
    // BITMAPINFO holds one colour; the table follows it in the same block.
    std::vector<uint8_t> block(sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * static_cast<size_t>(colors));
    auto* info = reinterpret_cast<BITMAPINFO*>(block.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = -height;  // rows top first
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
    info->bmiHeader.biCompression = BI_RGB;
    info->bmiHeader.biClrUsed = static_cast<DWORD>(colors);
    void* bits = nullptr;
    dc_.reset(::CreateCompatibleDC(nullptr));
    if (dc_) bitmap_.reset(::CreateDIBSection(dc_.get(), info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc_ || !bitmap_ || !bits) {
        Release();
        return false;
    }
    oldBitmap_ = ::SelectObject(dc_.get(), bitmap_.get());
    bits_ = static_cast<uint8_t*>(bits);
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    stride_ = DibStride(width, bitsPerPixel);
    canvas_.SetHandle(dc_.get());
    return true;
}

uint8_t* TDibBitmap::Bits() {
    // GDI may still hold drawing queued for the section.
    if (bits_) ::GdiFlush();
    return bits_;
}

uint8_t* TDibBitmap::ScanLine(int y) {
    if (!bits_ || y < 0 || y >= height_) throw Exception("Scan line index out of range (" + IntToStr(y) + ")");
    return Bits() + static_cast<size_t>(y) * stride_;
}

int TDibBitmap::PaletteSize() const { return bits_ ? DibPaletteSize(bitsPerPixel_) : 0; }

bool TDibBitmap::SetPalette(const RGBQUAD* colors, int count) {
    if (!colors || count <= 0 || count > PaletteSize()) return false;
    return ::SetDIBColorTable(dc_.get(), 0, static_cast<UINT>(count), colors) == static_cast<UINT>(count);
}

RGBQUAD TDibBitmap::PaletteEntry(int index) const {
    RGBQUAD entry{};
    if (index >= 0 && index < PaletteSize()) ::GetDIBColorTable(dc_.get(), static_cast<UINT>(index), 1, &entry);
    return entry;
}

}  // namespace velfw

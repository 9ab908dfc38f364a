#include "Graphics.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "BmpFormat.h"
#include "LibraryErrors.h"
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
        const WindowDc screen(nullptr);
        int height = -MulDiv(size_, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
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
                 src.top, src.right - src.left, src.bottom - src.top, copyMode_);
}

void TCanvas::Draw(int x, int y, TGraphic& graphic) {
    if (!graphic.Empty()) graphic.Draw(*this, RECT{x, y, x + graphic.Width(), y + graphic.Height()});
}

void TCanvas::StretchDraw(const RECT& r, TGraphic& graphic) {
    if (!graphic.Empty()) graphic.Draw(*this, r);
}

// ---- TGraphic

void TGraphic::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Changed();
}

void TGraphic::Changed() {
    if (OnChange) OnChange();
}

// ---- picture file formats

namespace {

struct FileFormat {
    std::string Extension;  // lower case, no dot
    std::string Description;
    TGraphicFactory Factory;
};

std::vector<FileFormat>& FileFormats() {
    static std::vector<FileFormat> formats;
    return formats;
}

std::string ExtensionKey(const std::string& extension) {
    std::string key = !extension.empty() && extension[0] == '.' ? extension.substr(1) : extension;
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

const FileFormat* FindFileFormat(const std::string& extension) {
    const std::string key = ExtensionKey(extension);
    for (const FileFormat& f : FileFormats())
        if (f.Extension == key) return &f;
    return nullptr;
}

}  // namespace

void RegisterFileFormat(const std::string& extension, const std::string& description, TGraphicFactory factory) {
    UnregisterFileFormat(extension);
    FileFormats().push_back({ExtensionKey(extension), description, std::move(factory)});
}

void UnregisterFileFormat(const std::string& extension) {
    const std::string key = ExtensionKey(extension);
    std::erase_if(FileFormats(), [&key](const FileFormat& f) { return f.Extension == key; });
}

std::unique_ptr<TGraphic> NewGraphicForExtension(const std::string& extension) {
    const FileFormat* f = FindFileFormat(extension);
    return f && f->Factory ? f->Factory() : nullptr;
}

std::string FileFormatDescription(const std::string& extension) {
    const FileFormat* f = FindFileFormat(extension);
    return f ? f->Description : std::string();
}

// ---- picture clipboard formats

namespace {

struct ClipboardGraphic {
    UINT Format;
    std::type_index Kind;
    TGraphicFactory Factory;
};

std::vector<ClipboardGraphic>& ClipboardGraphics() {
    static std::vector<ClipboardGraphic> formats;
    return formats;
}

const ClipboardGraphic* FindClipboardGraphic(UINT format) {
    for (const ClipboardGraphic& g : ClipboardGraphics())
        if (g.Format == format) return &g;
    return nullptr;
}

}  // namespace

void RegisterGraphicClipboardFormat(UINT format, std::type_index kind, TGraphicFactory factory) {
    UnregisterGraphicClipboardFormat(format);
    ClipboardGraphics().push_back({format, kind, std::move(factory)});
}

void UnregisterGraphicClipboardFormat(UINT format) {
    std::erase_if(ClipboardGraphics(), [format](const ClipboardGraphic& g) { return g.Format == format; });
}

std::optional<std::type_index> GraphicKindOfClipboardFormat(UINT format) {
    const ClipboardGraphic* g = FindClipboardGraphic(format);
    if (!g) return std::nullopt;
    return g->Kind;
}

std::unique_ptr<TGraphic> NewGraphicForClipboardFormat(UINT format) {
    const ClipboardGraphic* g = FindClipboardGraphic(format);
    return g && g->Factory ? g->Factory() : nullptr;
}

// ---- DIB sections

namespace {

// The colour table a new DIB of 8 bits or fewer starts with: black and white,
// the 16 VGA colours, or those followed by a colour cube and greys.
std::vector<RGBQUAD> DefaultColorTable(int bitsPerPixel) {
    std::vector<RGBQUAD> table;
    auto add = [&table](int r, int g, int b) {
        table.push_back(RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0});
    };
    if (bitsPerPixel == 1) {
        add(0, 0, 0);
        add(255, 255, 255);
        return table;
    }
    if (bitsPerPixel != 4 && bitsPerPixel != 8) return table;
    static const int vga[16][3] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                   {0, 0, 128},   {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                   {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
                                   {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (const auto& c : vga) add(c[0], c[1], c[2]);
    if (bitsPerPixel == 8) {
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b) add(r * 51, g * 51, b * 51);
        for (int i = 1; i <= 24; ++i) add(i * 10, i * 10, i * 10);
    }
    return table;
}

std::vector<uint8_t> BitmapInfoBlock(int width, int height, int bitsPerPixel, std::span<const RGBQUAD> colors) {
    // BITMAPINFO holds one colour; the table follows it in the same block.
    std::vector<uint8_t> block(sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * colors.size());
    auto* info = reinterpret_cast<BITMAPINFO*>(block.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
    info->bmiHeader.biCompression = BI_RGB;
    info->bmiHeader.biClrUsed = static_cast<DWORD>(colors.size());
    if (!colors.empty()) std::memcpy(info->bmiColors, colors.data(), colors.size() * sizeof(RGBQUAD));
    return block;
}

}  // namespace

HBITMAP CreateDibSection(int width, int height, int bitsPerPixel, std::span<const RGBQUAD> colors, void** bits) {
    *bits = nullptr;
    if (DibImageSize(width, height, bitsPerPixel) == 0) return nullptr;
    const size_t entries = static_cast<size_t>(DibPaletteSize(bitsPerPixel));
    if (colors.size() > entries) return nullptr;
    std::vector<RGBQUAD> table;
    if (entries != 0 && colors.empty()) table = DefaultColorTable(bitsPerPixel);
    else table.assign(colors.begin(), colors.end());
    auto block = BitmapInfoBlock(width, -height, bitsPerPixel, table);  // rows top first
    UniqueGdiObject bitmap(
        ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(block.data()), DIB_RGB_COLORS, bits, nullptr, 0));
    if (!bitmap || !*bits) return nullptr;
    return static_cast<HBITMAP>(bitmap.release());
}

// ---- TBitmap

namespace {

int ScreenBitsPerPixel() {
    WindowDc screen(nullptr);
    return screen ? ::GetDeviceCaps(screen.get(), BITSPIXEL) * ::GetDeviceCaps(screen.get(), PLANES) : 32;
}

}  // namespace

int BitsOfFormat(TPixelFormat format) {
    switch (format) {
        case TPixelFormat::pf1bit: return 1;
        case TPixelFormat::pf4bit: return 4;
        case TPixelFormat::pf8bit: return 8;
        case TPixelFormat::pf24bit: return 24;
        case TPixelFormat::pf32bit: return 32;
        case TPixelFormat::pfDevice: break;
    }
    return 0;
}

TBitmap::~TBitmap() { Release(); }

void TBitmap::Release() {
    canvas_.SetHandle(nullptr);
    image_.reset();
    palette_.reset();
    width_ = height_ = 0;
}

void TBitmap::Adopt(BitmapDc image) {
    Release();
    image_ = std::move(image);
    DIBSECTION section{};
    BITMAP info{};
    dib_ = ::GetObjectA(image_.bitmap(), sizeof section, &section) == sizeof section;
    if (dib_) info = section.dsBm;
    else ::GetObjectA(image_.bitmap(), sizeof info, &info);
    width_ = info.bmWidth;
    height_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    bitsPerPixel_ = info.bmBitsPixel * info.bmPlanes;
    canvas_.SetHandle(image_.dc());
}

bool TBitmap::Remake(int width, int height, int bitsPerPixel, bool dib) {
    if (width <= 0 || height <= 0) {
        const bool had = !Empty();
        Release();
        if (had) Changed();
        return width == 0 && height == 0;
    }
    HBITMAP made = nullptr;
    if (dib) {
        // A DIB keeps its own colour table across a resize.
        std::vector<RGBQUAD> table;
        if (dib_ && bitsPerPixel == bitsPerPixel_ && DibPaletteSize(bitsPerPixel) > 0) {
            table.resize(static_cast<size_t>(DibPaletteSize(bitsPerPixel)));
            table.resize(::GetDIBColorTable(image_.dc(), 0, static_cast<UINT>(table.size()), table.data()));
        }
        void* bits = nullptr;
        made = CreateDibSection(width, height, bitsPerPixel, table, &bits);
    } else if (bitsPerPixel == 1) {
        made = ::CreateBitmap(width, height, 1, 1, nullptr);
    } else {
        WindowDc screen(nullptr);
        if (screen) made = ::CreateCompatibleBitmap(screen.get(), width, height);
    }
    if (!made) return false;
    BitmapDc remade = TakeBitmap(made);
    if (!remade) return false;
    RECT all{0, 0, width, height};
    ::FillRect(remade.dc(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    if (!Empty()) {
        // Colour to monochrome sets the pixels of the source's background
        // colour; monochrome to colour paints clear bits in the text colour
        // and set ones in the background colour.
        const COLORREF brush = ColorToRGB(canvas_.Brush().Color());
        ::SetBkColor(image_.dc(), brush);
        ::SetTextColor(remade.dc(), ColorToRGB(canvas_.Font().Color()));
        ::SetBkColor(remade.dc(), brush);
        ::BitBlt(remade.dc(), 0, 0, width, height, image_.dc(), 0, 0, SRCCOPY);
    }
    Adopt(std::move(remade));
    Changed();
    return true;
}

bool TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_ && !Empty()) return true;
    // An empty bitmap keeps the format asked of it before it had a size.
    int bits = bitsPerPixel_;
    if (Empty() && bits == 0) bits = dib_ ? 24 : ScreenBitsPerPixel();
    return Remake(width, height, bits, dib_);
}

bool TBitmap::SetHandle(HBITMAP bitmap) {
    if (!bitmap) {
        Release();
        Changed();
        return true;
    }
    BitmapDc image = TakeBitmap(bitmap);
    if (!image) return false;
    Adopt(std::move(image));
    Changed();
    return true;
}

bool TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
    HANDLE image = ::LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    return image && SetHandle(static_cast<HBITMAP>(image));
}

TPixelFormat TBitmap::PixelFormat() const {
    if (!dib_) return bitsPerPixel_ == 1 ? TPixelFormat::pf1bit : TPixelFormat::pfDevice;
    switch (bitsPerPixel_) {
        case 1: return TPixelFormat::pf1bit;
        case 4: return TPixelFormat::pf4bit;
        case 8: return TPixelFormat::pf8bit;
        case 24: return TPixelFormat::pf24bit;
        default: return TPixelFormat::pf32bit;
    }
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == PixelFormat() && (format != TPixelFormat::pf1bit || dib_)) return;
    if (format == TPixelFormat::pfDevice) {
        if (Empty()) dib_ = false, bitsPerPixel_ = 0;
        else Remake(width_, height_, ScreenBitsPerPixel(), false);
        return;
    }
    if (Empty()) {
        dib_ = true;
        bitsPerPixel_ = BitsOfFormat(format);
        return;
    }
    Remake(width_, height_, BitsOfFormat(format), true);
}

void TBitmap::SetHandleType(TBitmapHandleType type) {
    if (type == HandleType()) return;
    if (type == TBitmapHandleType::bmDIB) SetPixelFormat(Monochrome() ? TPixelFormat::pf1bit : TPixelFormat::pf24bit);
    else if (Empty()) dib_ = false;
    else Remake(width_, height_, Monochrome() ? 1 : ScreenBitsPerPixel(), false);
}

void TBitmap::SetMonochrome(bool value) {
    if (value == Monochrome() && !dib_) return;
    if (Empty()) {
        dib_ = false;
        bitsPerPixel_ = value ? 1 : 0;
        return;
    }
    Remake(width_, height_, value ? 1 : ScreenBitsPerPixel(), false);
}

HPALETTE TBitmap::Palette() {
    if (!dib_ || !image_ || DibPaletteSize(bitsPerPixel_) == 0) return nullptr;
    if (!palette_) {
        RGBQUAD table[256];
        const UINT n = ::GetDIBColorTable(image_.dc(), 0, 256, table);
        if (n == 0) return nullptr;
        std::vector<uint8_t> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * n);
        auto* log = reinterpret_cast<LOGPALETTE*>(block.data());
        log->palVersion = 0x300;
        log->palNumEntries = static_cast<WORD>(n);
        for (UINT i = 0; i < n; ++i)
            log->palPalEntry[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
        palette_.reset(::CreatePalette(log));
    }
    return static_cast<HPALETTE>(palette_.get());
}

TColor TBitmap::TransparentColor() {
    if (transparentColor_ != clDefault) return transparentColor_;
    if (Monochrome()) return clWhite;
    if (Empty()) return clWhite;
    return canvas_.Pixel(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
    if (color == transparentColor_) return;
    transparentColor_ = color;
    Changed();
}

void TBitmap::Draw(TCanvas& canvas, const RECT& r) {
    if (Empty()) return;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (Transparent()) {
        ::TransparentBlt(canvas.Handle(), r.left, r.top, w, h, image_.dc(), 0, 0, width_, height_,
                         ColorToRGB(TransparentColor()));
        return;
    }
    ::SetStretchBltMode(canvas.Handle(), COLORONCOLOR);
    ::StretchBlt(canvas.Handle(), r.left, r.top, w, h, image_.dc(), 0, 0, width_, height_, canvas.CopyMode());
}

bool TBitmap::LoadFromStream(std::span<const uint8_t> data) {
    BmpFileLayout layout;
    if (ReadBmpFileLayout(data, layout) != BmpFault::None) return false;
    std::vector<RGBQUAD> table(layout.PaletteEntries);
    if (!table.empty())
        std::memcpy(table.data(), data.data() + kBmpFileHeaderSize + layout.InfoHeaderSize,
                    table.size() * sizeof(RGBQUAD));
    void* bits = nullptr;
    HBITMAP made = CreateDibSection(layout.Width, layout.Height, layout.BitsPerPixel, table, &bits);
    if (!made) return false;
    // The section's rows run top first; a bottom-up file is turned over.
    const size_t stride = DibStride(layout.Width, layout.BitsPerPixel);
    const uint8_t* rows = data.data() + layout.BitsOffset;
    for (int y = 0; y < layout.Height; ++y) {
        const int from = layout.TopDown ? y : layout.Height - 1 - y;
        std::memcpy(static_cast<uint8_t*>(bits) + stride * static_cast<size_t>(y),
                    rows + stride * static_cast<size_t>(from), stride);
    }
    BitmapDc image = TakeBitmap(made);
    if (!image) return false;
    Adopt(std::move(image));
    Changed();
    return true;
}

void TBitmap::SaveToStream(std::vector<uint8_t>& out) {
    if (Empty()) return;
    const int bits = dib_ || bitsPerPixel_ == 1 ? bitsPerPixel_ : 24;
    std::vector<RGBQUAD> table(static_cast<size_t>(DibPaletteSize(bits)));
    auto block = BitmapInfoBlock(width_, height_, bits, table);
    auto* info = reinterpret_cast<BITMAPINFO*>(block.data());
    const size_t size = DibImageSize(width_, height_, bits);
    std::vector<uint8_t> rows(size);
    int got = 0;
    {
        const SelectedObject out = image_.Deselected();
        got = ::GetDIBits(image_.dc(), Handle(), 0, static_cast<UINT>(height_), rows.data(), info, DIB_RGB_COLORS);
    }
    if (got != height_) throw Exception("Cannot read the bitmap's pixels");
    info->bmiHeader.biSizeImage = static_cast<DWORD>(size);
    info->bmiHeader.biClrUsed = static_cast<DWORD>(table.size());
    const size_t start = kBmpFileHeaderSize + block.size();
    const size_t total = start + size;
    const size_t at = out.size();
    out.resize(at + kBmpFileHeaderSize);
    WriteBmpFileHeader(&out[at], static_cast<uint32_t>(total), static_cast<uint32_t>(start));
    out.insert(out.end(), block.begin(), block.end());
    out.insert(out.end(), rows.begin(), rows.end());
}

void TBitmap::Assign(const TPersistent& source) {
    if (auto* b = dynamic_cast<const TBitmap*>(&source)) {
        if (b == this) return;
        if (b->Empty()) {
            Release();
        } else {
            HBITMAP copy = static_cast<HBITMAP>(::CopyImage(b->Handle(), IMAGE_BITMAP, 0, 0,
                                                            b->dib_ ? LR_CREATEDIBSECTION : 0));
            BitmapDc image = TakeBitmap(copy);
            if (!image) throw EOutOfResources();
            Adopt(std::move(image));
        }
        transparentColor_ = b->transparentColor_;
        SetTransparent(b->Transparent());
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

TDibBitmap::~TDibBitmap() { Release(); }

void TDibBitmap::Release() {
    canvas_.SetHandle(nullptr);
    image_.reset();
    bits_ = nullptr;
    width_ = height_ = bitsPerPixel_ = 0;
    stride_ = 0;
}

bool TDibBitmap::Create(int width, int height, int bitsPerPixel) {
    Release();
    if (DibImageSize(width, height, bitsPerPixel) == 0) return false;
    const std::vector<RGBQUAD> black(static_cast<size_t>(DibPaletteSize(bitsPerPixel)), RGBQUAD{0, 0, 0, 0});
    void* bits = nullptr;
    HBITMAP made = CreateDibSection(width, height, bitsPerPixel, black, &bits);
    BitmapDc image = TakeBitmap(made);
    if (!image || !bits) return false;
    image_ = std::move(image);
    bits_ = static_cast<uint8_t*>(bits);
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    stride_ = DibStride(width, bitsPerPixel);
    canvas_.SetHandle(image_.dc());
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
    return ::SetDIBColorTable(image_.dc(), 0, static_cast<UINT>(count), colors) == static_cast<UINT>(count);
}

RGBQUAD TDibBitmap::PaletteEntry(int index) const {
    RGBQUAD entry{};
    if (index >= 0 && index < PaletteSize()) ::GetDIBColorTable(image_.dc(), static_cast<UINT>(index), 1, &entry);
    return entry;
}

}  // namespace velfw

// Colours, fonts, a canvas over a device context and an off-screen bitmap.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <typeindex>
#include <vector>

#include "Classes.h"
#include "WinHandles.h"

namespace velfw {

// 0x00BBGGRR; with the top bit set the low byte names a system colour.
using TColor = uint32_t;
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clRed = 0x0000FF, clNavy = 0x800000,
                 clSilver = 0xC0C0C0, clGray = 0x808080, clYellow = 0x00FFFF, clBlue = 0xFF0000;
constexpr TColor clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080, clPurple = 0x800080,
                 clTeal = 0x808000, clLime = 0x00FF00, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                 clLtGray = clSilver, clDkGray = clGray;
constexpr TColor clSystemColor = 0x80000000;
constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;  // the desktop
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clNone = 0x1FFFFFFF;
// As a bitmap's transparent colour: its bottom-left pixel.
constexpr TColor clDefault = 0x20000000;

// A system colour's current RGB value; any other colour less its flag byte.
COLORREF ColorToRGB(TColor color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4 };

class TFont : public TPersistent {
public:
    TFont();
    std::string Name() const { return name_; }
    void SetName(const std::string& name);
    int Size() const { return size_; }  // points
    void SetSize(int size);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    unsigned Style() const { return style_; }
    void SetStyle(unsigned style);
    HFONT Handle();  // created on first use, remade after a change
    void Assign(const TPersistent& source) override;
    std::function<void()> OnChange;

private:
    void Changed();
    std::string name_ = "MS Sans Serif";
    int size_ = 8;
    TColor color_ = clWindowText;
    unsigned style_ = 0;
    UniqueGdiObject handle_;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen : public TPersistent {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);  // below 1 counts as 1
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    HPEN Handle();  // created on first use, remade after a change
    void Assign(const TPersistent& source) override;
    std::function<void()> OnChange;

private:
    void Changed();
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = TPenStyle::psSolid;
    UniqueGdiObject handle_;
};

enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TPersistent {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);
    HBRUSH Handle();  // the null brush for bsClear
    void Assign(const TPersistent& source) override;
    std::function<void()> OnChange;

private:
    void Changed();
    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::bsSolid;
    UniqueGdiObject handle_;
};

class TGraphic;

// Non-owning: draws on a device context that somebody else keeps. Its font,
// pen and brush are selected into the DC only for the call that draws with
// them, so the DC is left as it was found.
class TCanvas {
public:
    TCanvas() = default;
    explicit TCanvas(HDC dc) : dc_(dc) {}
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    HDC Handle() const { return dc_; }
    void SetHandle(HDC dc) { dc_ = dc; }

    TFont& Font() { return font_; }
    TPen& Pen() { return pen_; }
    TBrush& Brush() { return brush_; }

    void FillRect(const RECT& r);  // with the brush
    void FillRect(const RECT& r, TColor color);
    void FrameRect(const RECT& r, TColor color);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);  // with the pen, from the pen position
    void Rectangle(const RECT& r);  // outlined with the pen, filled with the brush
    void Ellipse(const RECT& r);
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Text in the font; on the brush's colour unless the brush is bsClear.
    void TextOut(int x, int y, const std::string& text);
    // Text in the font but in `color`, on a transparent background.
    void TextOut(int x, int y, const std::string& text, TColor color);
    // TextOut at (x, y) clipped to `r`, whose background the brush fills.
    void TextRect(const RECT& r, int x, int y, const std::string& text);
    SIZE TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    // DrawText with DT_ flags; with DT_CALCRECT `r` receives the size. Returns the text's height.
    int DrawText(const std::string& text, RECT& r, UINT flags);

    void DrawIcon(int x, int y, HICON icon);
    // The raster operation of CopyRect and of plain bitmap draws.
    DWORD CopyMode() const { return copyMode_; }
    void SetCopyMode(DWORD mode) { copyMode_ = mode; }
    // Copies `src` of `from` onto `dest` of this canvas, stretched, in the copy mode.
    void CopyRect(const RECT& dest, const TCanvas& from, const RECT& src);
    // A graphic at its own size, or stretched into `r`.
    void Draw(int x, int y, TGraphic& graphic);
    void StretchDraw(const RECT& r, TGraphic& graphic);

private:
    void PrepareText(bool transparent, TColor color);
    HDC dc_ = nullptr;
    DWORD copyMode_ = SRCCOPY;
    TFont font_;
    TPen pen_;
    TBrush brush_;
};

// A picture that draws itself on a canvas. OnChange fires after its size,
// format or content were replaced (not after drawing on its canvas).
class TGraphic : public TPersistent {
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const = 0;
    // Drawn stretched into `r` of `canvas`.
    virtual void Draw(TCanvas& canvas, const RECT& r) = 0;
    // False or the format's error, leaving the graphic as it was, for data
    // that is not one.
    virtual bool LoadFromStream(std::span<const uint8_t> data) = 0;
    virtual void SaveToStream(std::vector<uint8_t>& out) = 0;
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    std::function<void()> OnChange;

protected:
    void Changed();

private:
    bool transparent_ = false;
};

// The picture classes a file extension names ("gif"), registered at
// start-up by the unit that implements one. Extensions match in any case.
using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;
void RegisterFileFormat(const std::string& extension, const std::string& description, TGraphicFactory factory);
void UnregisterFileFormat(const std::string& extension);
// A new empty picture of the class registered for `extension` (with or
// without its dot); nullptr when none is.
std::unique_ptr<TGraphic> NewGraphicForExtension(const std::string& extension);
// The description registered with `extension`; empty when none is.
std::string FileFormatDescription(const std::string& extension);

// The picture classes a clipboard format carries ("GIF Image"), registered at
// start-up by the unit that implements one. The kind is the picture's class;
// a class that is no TGraphic is registered without a factory.
void RegisterGraphicClipboardFormat(UINT format, std::type_index kind, TGraphicFactory factory);
template <typename T>
void RegisterGraphicClipboardFormat(UINT format) {
    TGraphicFactory factory;
    if constexpr (std::is_base_of_v<TGraphic, T>) factory = [] { return std::make_unique<T>(); };
    RegisterGraphicClipboardFormat(format, std::type_index(typeid(T)), std::move(factory));
}
void UnregisterGraphicClipboardFormat(UINT format);
// The class registered for `format`; none when no class is.
std::optional<std::type_index> GraphicKindOfClipboardFormat(UINT format);
// A new empty picture of that class; nullptr when none is or it is no TGraphic.
std::unique_ptr<TGraphic> NewGraphicForClipboardFormat(UINT format);

enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };
// 1, 4, 8, 24 or 32; 0 for pfDevice.
int BitsOfFormat(TPixelFormat format);

enum class TBitmapHandleType { bmDIB, bmDDB };

// An off-screen bitmap with its own memory DC: device-dependent (compatible
// with the screen, or monochrome) or a DIB section of a fixed depth. A new
// bitmap is device-dependent; a resize keeps the format and the top-left part.
class TBitmap : public TGraphic {
public:
    TBitmap() = default;
    TBitmap(int width, int height) { SetSize(width, height); }
    ~TBitmap() override;
    bool SetSize(int width, int height);
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    bool Empty() const override { return !image_; }
    TCanvas& Canvas() { return canvas_; }
    HBITMAP Handle() const { return image_.bitmap(); }
    // Takes over `bitmap` (a DDB or a DIB section), which this then deletes;
    // one it cannot use (selected into another DC, say) is deleted at once and
    // the result is false.
    bool SetHandle(HBITMAP bitmap);
    // A bitmap resource of `instance`, kept as a DIB section.
    bool LoadFromResourceName(HINSTANCE instance, const std::string& name);

    TPixelFormat PixelFormat() const;
    // Converts the pixels; pfDevice makes the bitmap device-dependent.
    void SetPixelFormat(TPixelFormat format);
    TBitmapHandleType HandleType() const { return dib_ ? TBitmapHandleType::bmDIB : TBitmapHandleType::bmDDB; }
    void SetHandleType(TBitmapHandleType type);
    // One bit per pixel. Turning a colour bitmap monochrome sets the pixels
    // of the canvas's brush colour and clears all others; turning a
    // monochrome one into colour gives clear pixels the font colour and set
    // ones the brush colour. Both are device-dependent afterwards.
    bool Monochrome() const { return bitsPerPixel_ == 1; }
    void SetMonochrome(bool value);
    // The colour table of a DIB of 8 bits or fewer as a palette; else none.
    HPALETTE Palette();

    // The colour left showing the background when drawn transparently:
    // clDefault reads the bottom-left pixel (white for a monochrome bitmap).
    TColor TransparentColor();
    void SetTransparentColor(TColor color);

    void Draw(TCanvas& canvas, const RECT& r) override;
    // A BMP file: DIBs of 1, 4, 8, 24 or 32 bits without compression.
    bool LoadFromStream(std::span<const uint8_t> data) override;
    // Written as a BMP file at the bitmap's depth (24 bits for a device one).
    void SaveToStream(std::vector<uint8_t>& out) override;
    void Assign(const TPersistent& source) override;

private:
    // Makes a bitmap of the size in the given form, the old content copied in.
    bool Remake(int width, int height, int bitsPerPixel, bool dib);
    void Adopt(BitmapDc image);
    void Release();
    int width_ = 0, height_ = 0;
    int bitsPerPixel_ = 0;  // of the bitmap as made; a DDB's is the screen's or 1
    bool dib_ = false;
    BitmapDc image_;
    UniqueGdiObject palette_;
    TColor transparentColor_ = clDefault;
    TCanvas canvas_;
};

// A DIB section with the given colour table (or the default one of its
// depth when `colors` is empty); its bits in `bits`. None for a bad size.
HBITMAP CreateDibSection(int width, int height, int bitsPerPixel, std::span<const RGBQUAD> colors, void** bits);

// A device-independent bitmap whose pixels the program reads and writes
// directly: rows top first, each Stride() bytes apart, in 1, 4, 8, 24 or 32
// bits per pixel; a colour table for the first three. Its canvas draws on
// the same pixels.
class TDibBitmap {
public:
    TDibBitmap() = default;
    TDibBitmap(const TDibBitmap&) = delete;
    TDibBitmap& operator=(const TDibBitmap&) = delete;
    ~TDibBitmap();
    // False, leaving the bitmap empty, for a size or depth it cannot have.
    // A new colour table is black throughout.
    bool Create(int width, int height, int bitsPerPixel);
    bool Empty() const { return !image_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int BitsPerPixel() const { return bitsPerPixel_; }
    size_t Stride() const { return stride_; }
    // The pixels, after the drawing queued on the canvas has been done.
    uint8_t* Bits();
    // Row y, top first; raises for a row outside the bitmap.
    uint8_t* ScanLine(int y);
    // Sets the colour table from its first entry; false without one or for
    // more entries than the depth has.
    bool SetPalette(const RGBQUAD* colors, int count);
    int PaletteSize() const;
    RGBQUAD PaletteEntry(int index) const;
    TCanvas& Canvas() { return canvas_; }
    HBITMAP Handle() const { return image_.bitmap(); }

private:
    void Release();
    int width_ = 0, height_ = 0, bitsPerPixel_ = 0;
    size_t stride_ = 0;
    uint8_t* bits_ = nullptr;
    BitmapDc image_;
    TCanvas canvas_;
};

}  // namespace velfw

// Colours, fonts, a canvas over a device context and an off-screen bitmap.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "Classes.h"
#include "WinHandles.h"

namespace velfw {

// 0x00BBGGRR; with the top bit set the low byte names a system colour.
using TColor = uint32_t;
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clRed = 0x0000FF, clNavy = 0x800000,
                 clSilver = 0xC0C0C0, clGray = 0x808080, clYellow = 0x00FFFF, clBlue = 0xFF0000;
constexpr TColor clBtnFace = 0x80000000 | COLOR_BTNFACE;
constexpr TColor clWindow = 0x80000000 | COLOR_WINDOW;
constexpr TColor clWindowText = 0x80000000 | COLOR_WINDOWTEXT;
constexpr TColor clNone = 0x1FFFFFFF;

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
    // Copies `src` of `from` onto `dest` of this canvas.
    void CopyRect(const RECT& dest, const TCanvas& from, const RECT& src);

private:
    void PrepareText(bool transparent, TColor color);
    HDC dc_ = nullptr;
    TFont font_;
    TPen pen_;
    TBrush brush_;
};

// Off-screen bitmap compatible with the screen, with its own memory DC.
class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int width, int height) { SetSize(width, height); }
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    ~TBitmap();
    bool SetSize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    TCanvas& Canvas() { return canvas_; }
    HBITMAP Handle() const { return static_cast<HBITMAP>(bitmap_.get()); }

private:
    void Release();
    int width_ = 0, height_ = 0;
    UniqueMemoryDc dc_;
    UniqueGdiObject bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
    TCanvas canvas_;
};

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
    bool Empty() const { return !bitmap_; }
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
    HBITMAP Handle() const { return static_cast<HBITMAP>(bitmap_.get()); }

private:
    void Release();
    int width_ = 0, height_ = 0, bitsPerPixel_ = 0;
    size_t stride_ = 0;
    uint8_t* bits_ = nullptr;
    UniqueMemoryDc dc_;
    UniqueGdiObject bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
    TCanvas canvas_;
};

}  // namespace velfw

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

// Non-owning: draws on a device context that somebody else keeps.
class TCanvas {
public:
    TCanvas() = default;
    explicit TCanvas(HDC dc) : dc_(dc) {}
    HDC Handle() const { return dc_; }
    void SetHandle(HDC dc) { dc_ = dc; }
    void FillRect(const RECT& r, TColor color);
    void FrameRect(const RECT& r, TColor color);
    void TextOut(int x, int y, const std::string& text, TColor color = clWindowText);
    void DrawIcon(int x, int y, HICON icon);
    // Copies `src` of `from` onto `dest` of this canvas.
    void CopyRect(const RECT& dest, const TCanvas& from, const RECT& src);

private:
    HDC dc_ = nullptr;
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

}  // namespace velfw

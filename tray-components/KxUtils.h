// Low-level drawing helpers the tray components and the slider share:
// bitmaps drawn with one colour left transparent (stretched or not), one cell
// cut out of an image strip, embossed (disabled-looking) images, colour
// bands, bringing a window forward, the report of an unsupported operation,
// and the memory routines of the picture units. The decisions are in
// KxUtilsRules; every DC, bitmap and brush made here is gone on return.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>

#include "Graphics.h"
#include "KxUtilsRules.h"

namespace kx {

inline int32_t RectWidth(const RECT& r) { return r.right - r.left; }
inline int32_t RectHeight(const RECT& r) { return r.bottom - r.top; }

// The resolved colour flagged to be matched against the realized palette.
COLORREF PaletteRelativeColor(velfw::TColor color);

// Copies the source rectangle of `src` stretched onto the destination
// rectangle of `dst`, leaving the destination showing where the source has
// `transparentColor` (an RGB value). `palette` may be none.
void MaskedStretchCopy(HDC dst, int dstX, int dstY, int dstW, int dstH, HDC src, int srcX, int srcY, int srcW,
                       int srcH, HPALETTE palette, COLORREF transparentColor);

// Part of `bitmap`, stretched, with a transparent colour: clNone copies
// plainly, clDefault takes the bottom-left pixel, and a monochrome bitmap
// always leaves white transparent. A destination size of 0 or less is the
// bitmap's, a source of no size the whole bitmap.
void PaintBitmapTransparentRect(velfw::TCanvas& canvas, velfw::TBitmap& bitmap, velfw::TColor transparentColor,
                                int dstX, int dstY, int dstW, int dstH, int srcX, int srcY, int srcW, int srcH);
// The whole bitmap at (x, y) in its own size.
void PaintBitmapTransparent(velfw::TCanvas& canvas, int x, int y, velfw::TBitmap& bitmap,
                            velfw::TColor transparentColor);
void PaintBitmapRegionTransparent(velfw::TCanvas& canvas, int dstX, int dstY, int dstW, int dstH, const RECT& source,
                                  velfw::TBitmap& bitmap, velfw::TColor transparentColor);

// `dest` becomes cell `index` of `source`, cut into cols x rows cells.
void CopyImageCell(velfw::TGraphic* source, velfw::TBitmap* dest, int cols, int rows, int index);

// The image embossed: the pixels of `outlineColor` (a monochrome image's
// black ones) in the shadow colour, with a highlight one pixel down and
// right, on `backColor`. The caller owns the result.
std::unique_ptr<velfw::TBitmap> BuildDisabledImage(velfw::TBitmap& image, velfw::TColor outlineColor,
                                                   velfw::TColor backColor, velfw::TColor highlightColor,
                                                   velfw::TColor shadowColor, bool drawHighlight);

// Image `index` of the list drawn embossed at (x, y).
void PaintDisabledListImage(HIMAGELIST images, velfw::TCanvas& canvas, int x, int y, int index,
                            velfw::TColor highlightColor, velfw::TColor grayColor, bool drawHighlight);

// Fills `r` with `colors` bands from the start to the end colour.
void PaintGradientBands(velfw::TCanvas& canvas, const RECT& r, velfw::TColor startColor, velfw::TColor endColor,
                        GradientDirection direction, uint8_t colors);

// Brings an enabled window to the foreground; with `restore`, a visible one
// is also restored (unless maximized) and given the focus.
void SwitchForegroundWindow(HWND window, bool restore);

// "Function not yet implemented", then a silent abort: never returns.
[[noreturn]] void ReportUnsupported();

// A zero-filled, locked block of the global heap; none for a size of 0 or
// less. Raises out-of-memory when the heap has no such block.
void* AllocZeroedBlock(int64_t size);
// Unlocks and frees a block of AllocZeroedBlock and sets `p` to none.
void ReleaseBlock(void*& p);
inline void* OffsetPointer(void* p, intptr_t n) { return static_cast<uint8_t*>(p) + n; }

}  // namespace kx

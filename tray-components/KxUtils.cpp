#include "KxUtils.h"

#include "Forms.h"
#include "LibraryErrors.h"
#include "ScopeGuards.h"
#include "WinHandles.h"

namespace kx {

using velfw::BitmapDc;
using velfw::RealizedPalette;
using velfw::SelectedObject;
using velfw::TakeBitmap;
using velfw::TBitmap;
using velfw::TCanvas;
using velfw::TColor;

namespace {

// Paints the brush where the (colour-expanded) source is all ones and keeps
// the destination where it is zero.
constexpr DWORD kRopBrushWhereSourceSet = 0x00E20746;

// The global-allocation flags the application asks for on top of zeroing.
constexpr UINT kBlockFlags = GMEM_MOVEABLE;

RECT ToRECT(const Rect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }


// Paints the brush of `color` through a monochrome mask.
void BlitMaskInColor(TCanvas& canvas, int x, int y, int w, int h, HDC mask, TColor color, COLORREF text,
                     COLORREF back) {
    canvas.Brush().SetColor(color);
    SelectedObject brush(canvas.Handle(), canvas.Brush().Handle());
    ::SetTextColor(canvas.Handle(), text);
    ::SetBkColor(canvas.Handle(), back);
    ::BitBlt(canvas.Handle(), x, y, w, h, mask, 0, 0, kRopBrushWhereSourceSet);
}

}  // namespace

COLORREF PaletteRelativeColor(TColor color) { return velfw::ColorToRGB(color) | kPaletteRelative; }

void MaskedStretchCopy(HDC dst, int dstX, int dstY, int dstW, int dstH, HDC src, int srcX, int srcY, int srcW,
                       int srcH, HPALETTE palette, COLORREF transparentColor) {
    if (dstW <= 0 || dstH <= 0 || srcW <= 0 || srcH <= 0) return;
    const BitmapDc inverse = TakeBitmap(::CreateBitmap(srcW, srcH, 1, 1, nullptr), dst);
    const BitmapDc mask = TakeBitmap(::CreateBitmap(srcW, srcH, 1, 1, nullptr), dst);
    const BitmapDc work = TakeBitmap(::CreateCompatibleBitmap(dst, dstW, dstH), dst);
    const BitmapDc source = TakeBitmap(::CreateCompatibleBitmap(dst, srcW, srcH), dst);
    if (!inverse || !mask || !work || !source) return;
    RealizedPalette dstPalette(dst, palette, true);
    RealizedPalette sourcePalette(source.dc(), palette, false);
    RealizedPalette maskPalette(mask.dc(), palette, false);
    RealizedPalette workPalette(work.dc(), palette, true);
    ::SetMapMode(src, ::GetMapMode(dst));
    ::SetMapMode(source.dc(), ::GetMapMode(dst));
    ::BitBlt(source.dc(), 0, 0, srcW, srcH, src, srcX, srcY, SRCCOPY);
    // Colour to monochrome: pixels of the background colour become 1.
    const COLORREF back = ::SetBkColor(source.dc(), transparentColor | (palette ? kPaletteRelative : 0));
    ::BitBlt(mask.dc(), 0, 0, srcW, srcH, source.dc(), 0, 0, SRCCOPY);
    ::SetBkColor(source.dc(), back);
    ::BitBlt(inverse.dc(), 0, 0, srcW, srcH, mask.dc(), 0, 0, NOTSRCCOPY);
    ::BitBlt(work.dc(), 0, 0, dstW, dstH, dst, dstX, dstY, SRCCOPY);
    // Work's default colours expand the masks: 0 to black, 1 to white.
    ::SetStretchBltMode(work.dc(), COLORONCOLOR);
    ::StretchBlt(work.dc(), 0, 0, dstW, dstH, mask.dc(), 0, 0, srcW, srcH, SRCAND);
    ::BitBlt(source.dc(), 0, 0, srcW, srcH, inverse.dc(), 0, 0, SRCAND);
    ::StretchBlt(work.dc(), 0, 0, dstW, dstH, source.dc(), 0, 0, srcW, srcH, SRCPAINT);
    ::BitBlt(dst, dstX, dstY, dstW, dstH, work.dc(), 0, 0, SRCCOPY);
}

void PaintBitmapTransparentRect(TCanvas& canvas, TBitmap& bitmap, TColor transparentColor, int dstX, int dstY,
                                int dstW, int dstH, int srcX, int srcY, int srcW, int srcH) {
    if (bitmap.Empty()) return;
    const StretchRects r =
        FillDefaultSizes({dstX, dstY, dstW, dstH, srcX, srcY, srcW, srcH}, bitmap.Width(), bitmap.Height());
    if (!bitmap.Monochrome()) ::SetStretchBltMode(canvas.Handle(), COLORONCOLOR);
    const TransparentCopy copy = ChooseTransparentCopy(transparentColor, bitmap.Monochrome(), [&bitmap] {
        return bitmap.Canvas().Pixel(0, bitmap.Height() - 1);
    });
    if (!copy.Masked) {
        ::StretchBlt(canvas.Handle(), r.DstX, r.DstY, r.DstW, r.DstH, bitmap.Canvas().Handle(), r.SrcX, r.SrcY,
                     r.SrcW, r.SrcH, canvas.CopyMode());
        return;
    }
    MaskedStretchCopy(canvas.Handle(), r.DstX, r.DstY, r.DstW, r.DstH, bitmap.Canvas().Handle(), r.SrcX, r.SrcY,
                      r.SrcW, r.SrcH, bitmap.Palette(), velfw::ColorToRGB(copy.Color));
}

void PaintBitmapTransparent(TCanvas& canvas, int x, int y, TBitmap& bitmap, TColor transparentColor) {
    PaintBitmapTransparentRect(canvas, bitmap, transparentColor, x, y, bitmap.Width(), bitmap.Height(), 0, 0,
                               bitmap.Width(), bitmap.Height());
}

void PaintBitmapRegionTransparent(TCanvas& canvas, int dstX, int dstY, int dstW, int dstH, const RECT& source,
                                  TBitmap& bitmap, TColor transparentColor) {
    PaintBitmapTransparentRect(canvas, bitmap, transparentColor, dstX, dstY, dstW, dstH, source.left, source.top,
                               RectWidth(source), RectHeight(source));
}

void CopyImageCell(velfw::TGraphic* source, TBitmap* dest, int cols, int rows, int index) {
    if (!source || !dest) return;
    const ImageCell cell = ImageCellOf(source->Width(), source->Height(), cols, rows, index);
    dest->SetSize(cell.Width, cell.Height);
    if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
        dest->Canvas().CopyRect(RECT{0, 0, cell.Width, cell.Height}, bitmap->Canvas(),
                                RECT{cell.X, cell.Y, cell.X + cell.Width, cell.Y + cell.Height});
        dest->SetTransparentColor(bitmap->TransparentColor());
    } else {
        dest->Canvas().Brush().SetColor(kColorSilver);
        dest->Canvas().FillRect(RECT{0, 0, cell.Width, cell.Height});
        dest->Canvas().Draw(-cell.X, -cell.Y, *source);
    }
    dest->SetTransparent(source->Transparent());
}

std::unique_ptr<TBitmap> BuildDisabledImage(TBitmap& image, TColor outlineColor, TColor backColor,
                                            TColor highlightColor, TColor shadowColor, bool drawHighlight) {
    const RECT r{0, 0, image.Width(), image.Height()};
    auto result = std::make_unique<TBitmap>(image.Width(), image.Height());
    // The copy in the image's own form: a monochrome one is made colour below, its black
    // pixels white, so that the mask marks them.
    TBitmap work;
    if (image.Monochrome()) work.SetMonochrome(true);
    work.SetSize(image.Width(), image.Height());
    work.Canvas().CopyRect(r, image.Canvas(), r);
    work.SetHandleType(velfw::TBitmapHandleType::bmDDB);
    work.Canvas().Brush().SetColor(outlineColor);
    if (work.Monochrome()) {
        work.Canvas().Font().SetColor(velfw::clWhite);
        work.SetMonochrome(false);
        work.Canvas().Brush().SetColor(velfw::clWhite);
    }
    work.SetMonochrome(true);
    TCanvas& canvas = result->Canvas();
    canvas.Brush().SetColor(backColor);
    canvas.FillRect(r);
    if (drawHighlight)
        BlitMaskInColor(canvas, 1, 1, RectWidth(r), RectHeight(r), work.Canvas().Handle(), highlightColor,
                        RGB(0, 0, 0), RGB(255, 255, 255));
    BlitMaskInColor(canvas, 0, 0, RectWidth(r), RectHeight(r), work.Canvas().Handle(), shadowColor, RGB(0, 0, 0),
                    RGB(255, 255, 255));
    return result;
}

void PaintDisabledListImage(HIMAGELIST images, TCanvas& canvas, int x, int y, int index, TColor highlightColor,
                            TColor grayColor, bool drawHighlight) {
    if (!images) return;
    int w = 0, h = 0;
    if (!::ImageList_GetIconSize(images, &w, &h)) return;
    const TColor formerBrush = canvas.Brush().Color();
    const velfw::ScopeExit restoreBrush([&canvas, formerBrush] { canvas.Brush().SetColor(formerBrush); });
    TBitmap mask(w, h);
    mask.Canvas().FillRect(RECT{0, 0, w, h}, velfw::clWhite);
    ::ImageList_Draw(images, index, mask.Canvas().Handle(), 0, 0, ILD_MASK);
    // The drawn mask is black where the image is: those pixels stay clear.
    mask.SetMonochrome(true);
    if (drawHighlight)
        BlitMaskInColor(canvas, x + 1, y + 1, w, h, mask.Canvas().Handle(), highlightColor, RGB(255, 255, 255),
                        RGB(0, 0, 0));
    BlitMaskInColor(canvas, x, y, w, h, mask.Canvas().Handle(), grayColor, RGB(255, 255, 255), RGB(0, 0, 0));
}

void PaintGradientBands(TCanvas& canvas, const RECT& r, TColor startColor, TColor endColor,
                        GradientDirection direction, uint8_t colors) {
    const Rect area{r.left, r.top, r.right, r.bottom};
    const auto bands = PlanGradientBands(area, velfw::ColorToRGB(startColor), velfw::ColorToRGB(endColor), direction,
                                         colors);
    canvas.Pen().SetStyle(velfw::TPenStyle::psSolid);
    for (const ColorBand& band : bands) canvas.FillRect(ToRECT(band.Area), band.Color);
}

void SwitchForegroundWindow(HWND window, bool restore) {
    if (!::IsWindowEnabled(window)) return;
    ::SetForegroundWindow(window);
    if (!restore || !::IsWindowVisible(window)) return;
    if (!::IsZoomed(window)) ::SendMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    ::SetFocus(window);
}

void ReportUnsupported() {
    if (velfw::Screen) velfw::Screen->SetCursor(velfw::crDefault);
    const std::string text = ResourceText("Function not yet implemented");
    if (velfw::Application) velfw::Application->MessageBox(text, "Information", MB_OK | MB_ICONINFORMATION);
    else ::MessageBoxA(nullptr, text.c_str(), "Information", MB_OK | MB_ICONINFORMATION);
    throw velfw::EAbort();
}

void* AllocZeroedBlock(int64_t size) {
    if (size <= 0) return nullptr;
    if (static_cast<uint64_t>(size) > SIZE_MAX) throw velfw::EOutOfMemory();
    HGLOBAL block = ::GlobalAlloc(kBlockFlags | GMEM_ZEROINIT, static_cast<SIZE_T>(size));
    if (!block) throw velfw::EOutOfMemory();
    void* p = ::GlobalLock(block);
    if (!p) {
        ::GlobalFree(block);
        throw velfw::EOutOfMemory();
    }
    return p;
}

void ReleaseBlock(void*& p) {
    if (!p) return;
    HGLOBAL block = ::GlobalHandle(p);
    if (block) {
        ::GlobalUnlock(block);
        ::GlobalFree(block);
    }
    p = nullptr;
}

}  // namespace kx

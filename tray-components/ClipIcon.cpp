#include "ClipIcon.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "ByteOrder.h"
#include "ClipIconRules.h"
#include "Graphics.h"
#include "IconFileFormat.h"
#include "LibraryErrors.h"
#include "WinHandles.h"

namespace kx {

using velfw::CheckIconFile;
using velfw::IconFileFault;
using velfw::IconImageLayout;
using velfw::kIconEntrySize;
using velfw::kIconHeaderSize;
using velfw::LocateIconImageBlock;
using velfw::ReadIconFileHeader;
using velfw::UniqueGdiObject;
using velfw::UniqueIcon;
using velfw::UniqueMemoryDc;
using velfw::WindowDc;

UINT IconClipboardFormat = 0;

namespace {

[[noreturn]] void RaiseInvalidIcon() { throw velfw::EInvalidGraphic("Icon image is not valid"); }

BITMAP BitmapInfo(HGDIOBJ bitmap) {
    BITMAP bm{};
    ::GetObjectA(bitmap, sizeof bm, &bm);
    return bm;
}

// A device-dependent bitmap for the screen from a packed DIB header (with
// its colour table) and its bits.
UniqueGdiObject DibToScreenBitmap(HDC screen, const void* info, const void* bits) {
    UniqueGdiObject made(::CreateDIBitmap(screen, static_cast<const BITMAPINFOHEADER*>(info), CBM_INIT, bits,
                                          static_cast<const BITMAPINFO*>(info), DIB_RGB_COLORS));
    if (!made) RaiseOutOfResources();
    return made;
}

// The bits of a device-dependent bitmap as the system keeps them.
std::vector<uint8_t> BitmapBits(HBITMAP bitmap, const BITMAP& bm) {
    std::vector<uint8_t> bits(static_cast<size_t>(bm.bmWidthBytes) * static_cast<size_t>(bm.bmHeight));
    if (!bits.empty() && ::GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data()) == 0)
        RaiseOutOfResources();
    return bits;
}

}  // namespace

void InitClipIconUnit() {
    IconClipboardFormat = ::RegisterClipboardFormatA("Kx Icon");
    if (IconClipboardFormat) velfw::RegisterGraphicClipboardFormat<velfw::TIcon>(IconClipboardFormat);
}

void DoneClipIconUnit() {
    if (IconClipboardFormat) velfw::UnregisterGraphicClipboardFormat(IconClipboardFormat);
}

[[noreturn]] void RaiseOutOfResources() { throw velfw::EOutOfResources(); }

void IconExtent(HICON icon, int& width, int& height) {
    width = ::GetSystemMetrics(SM_CXICON);
    height = ::GetSystemMetrics(SM_CYICON);
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return;
    // The system hands out copies of both bitmaps: ours to delete.
    UniqueGdiObject colour(info.hbmColor), mask(info.hbmMask);
    if (colour) {
        const BITMAP bm = BitmapInfo(colour.get());
        width = bm.bmWidth;
        height = bm.bmHeight;
    } else if (mask) {
        const BITMAP bm = BitmapInfo(mask.get());
        width = bm.bmWidth;
        height = bm.bmHeight / 2;
    }
}

HICON MakeDisplayIcon(const velfw::TIcon& icon) {
    velfw::TMemoryStream stream;
    icon.SaveToStream(stream);
    stream.SetPosition(0);
    uint8_t header[kIconHeaderSize];
    stream.ReadBuffer(header, sizeof header);
    const auto parsed = ReadIconFileHeader(header);
    HICON made = nullptr;
    if (parsed->type == 1) {
        made = LoadBestIconImage(stream, parsed->count, kIconHeaderSize).release();
    } else {
        // A shared or borrowed handle: the caller gets a copy it may destroy.
        HICON source = parsed->type == 0 ? ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512) /* IDI_APPLICATION */)
                                         : icon.Handle();
        made = source ? ::CopyIcon(source) : nullptr;
        if (!made) RaiseOutOfResources();
    }
    return made;
}

UniqueIcon LoadBestIconImage(velfw::TStream& stream, uint32_t count, uint32_t headerSize) {
    if (count == 0) RaiseInvalidIcon();
    std::vector<uint8_t> directory(size_t{kIconEntrySize} * count);
    stream.ReadBuffer(directory.data(), directory.size());
    IconImageRead plan;
    if (PlanIconImageRead(directory, count, headerSize, stream.Remaining(), velfw::ScreenIconColors(), plan) !=
        IconFileFault::None)
        RaiseInvalidIcon();
    stream.SetPosition(stream.Position() + plan.skip);
    std::vector<uint8_t> image(plan.size);
    stream.ReadBuffer(image.data(), image.size());

    UniqueGdiObject colour, mask;
    SplitIconImage(image, colour, mask);
    const BITMAP colourInfo = BitmapInfo(colour.get());
    const BITMAP maskInfo = BitmapInfo(mask.get());
    // One buffer, mask bits first, as the icon is made from both.
    std::vector<uint8_t> bits = BitmapBits(static_cast<HBITMAP>(mask.get()), maskInfo);
    const size_t maskBytes = bits.size();
    const std::vector<uint8_t> colourBits = BitmapBits(static_cast<HBITMAP>(colour.get()), colourInfo);
    bits.insert(bits.end(), colourBits.begin(), colourBits.end());
    colour.reset();
    mask.reset();
    UniqueIcon icon(::CreateIcon(::GetModuleHandleA(nullptr), maskInfo.bmWidth, maskInfo.bmHeight,
                                 static_cast<BYTE>(colourInfo.bmPlanes), static_cast<BYTE>(colourInfo.bmBitsPixel),
                                 bits.data(), bits.data() + maskBytes));
    if (!icon) RaiseOutOfResources();
    return icon;
}

void SplitIconImage(std::span<uint8_t> image, UniqueGdiObject& colour, UniqueGdiObject& mask) {
    // Checked whole before the height is halved: a negative or odd height,
    // or bits beyond the image, never reach the system.
    IconImageLayout layout;
    if (LocateIconImageBlock(image, layout) != IconFileFault::None) RaiseInvalidIcon();
    uint8_t* header = image.data();
    velfw::WriteLe32(header + 8, static_cast<uint32_t>(layout.height));
    velfw::WriteLe32(header + 20, static_cast<uint32_t>(layout.colorBytes));
    // The colour table is as long as the bit count says, whatever the header
    // claims, so that the system reads no more than was checked.
    velfw::WriteLe32(header + 32, 0);
    velfw::WriteLe32(header + 36, 0);

    WindowDc screen(nullptr);
    if (!screen) RaiseOutOfResources();
    {
        UniqueGdiObject part = DibToScreenBitmap(screen.get(), header, image.data() + layout.colorOffset);
        const BITMAP bm = BitmapInfo(part.get());
        colour = StretchToNewBitmap(static_cast<HBITMAP>(part.get()), bm.bmWidth, bm.bmHeight, false);
    }

    // The mask's header of its own: a 24- or 32-bit image has no colour
    // table that the black-and-white one could overwrite.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } maskInfo{};
    std::memcpy(&maskInfo.header, header, sizeof maskInfo.header);
    maskInfo.header.biSize = sizeof maskInfo.header;
    maskInfo.header.biBitCount = 1;
    maskInfo.header.biSizeImage = static_cast<DWORD>(layout.maskBytes);
    maskInfo.header.biClrUsed = 2;
    maskInfo.header.biClrImportant = 2;
    maskInfo.colors[1] = RGBQUAD{255, 255, 255, 0};
    UniqueGdiObject part = DibToScreenBitmap(screen.get(), &maskInfo, image.data() + layout.maskOffset);
    const BITMAP bm = BitmapInfo(part.get());
    mask = StretchToNewBitmap(static_cast<HBITMAP>(part.get()), bm.bmWidth, bm.bmHeight, true);
}

UniqueGdiObject StretchToNewBitmap(HBITMAP bitmap, int width, int height, bool monochrome) {
    UniqueMemoryDc sourceDc(::CreateCompatibleDC(nullptr));
    UniqueMemoryDc targetDc(::CreateCompatibleDC(nullptr));
    if (!sourceDc || !targetDc) RaiseOutOfResources();
    const BITMAP source = BitmapInfo(bitmap);
    UniqueGdiObject made;
    if (monochrome) {
        made.reset(::CreateBitmap(width, height, 1, 1, nullptr));
    } else {
        WindowDc screen(nullptr);
        if (!screen) RaiseOutOfResources();
        made.reset(::CreateCompatibleBitmap(screen.get(), width, height));
    }
    if (!made) RaiseOutOfResources();
    velfw::SelectedObject from(sourceDc.get(), bitmap);
    velfw::SelectedObject to(targetDc.get(), made.get());
    ::StretchBlt(targetDc.get(), 0, 0, width, height, sourceDc.get(), 0, 0, source.bmWidth, source.bmHeight, SRCCOPY);
    return made;
}

bool CopyIconToClipboard(const velfw::TIcon& icon, HWND owner) {
    const std::vector<uint8_t>& bytes = icon.Data();
    const velfw::OpenedClipboard clipboard(owner);
    if (!clipboard || !::EmptyClipboard()) return false;
    if (bytes.empty()) return true;
    velfw::UniqueGlobalMemory block(::GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    {
        const velfw::LockedGlobal at(block.get());
        if (!at) throw velfw::EOutOfMemory();
        std::memcpy(at.get(), bytes.data(), bytes.size());
    }
    if (!::SetClipboardData(IconClipboardFormat, block.get())) return false;
    block.release();  // the clipboard's now
    return true;
}

bool ClipboardHasIcon() { return IconClipboardFormat && ::IsClipboardFormatAvailable(IconClipboardFormat); }

bool PasteIconFromClipboard(velfw::TIcon& icon, HWND owner) {
    std::vector<uint8_t> bytes;
    {
        const velfw::OpenedClipboard clipboard(owner);
        if (!clipboard || !IconClipboardFormat) return false;
        const velfw::LockedGlobal at(::GetClipboardData(IconClipboardFormat));
        if (!at) return false;
        // The block may be rounded up past the file: only its size bounds the reads.
        const auto* first = static_cast<const uint8_t*>(at.get());
        bytes.assign(first, first + at.size());
    }
    uint64_t used = 0;
    const auto header = ReadIconFileHeader(bytes);
    if (CheckIconFile(bytes, used) != IconFileFault::None || header->type != 1) RaiseInvalidIcon();
    bytes.resize(static_cast<size_t>(used));
    icon.LoadFromBytes(std::move(bytes));
    return true;
}

}  // namespace kx

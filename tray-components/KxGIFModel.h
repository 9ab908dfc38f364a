// The GIF image without Windows: the image-wide data, the frames with their
// code streams and extensions, and the conversion of a frame to and from a
// BMP file image. The picture class on GDI derives from GifImageCore and
// GifFrameCore and supplies the bitmaps; everything here works on bytes.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "ByteOrder.h"
#include "KxGIFCodec.h"

namespace kx {

// The class library's colour: red in the low byte, then green, then blue;
// negative values are system colours.
using TColor = int32_t;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clWindow = static_cast<TColor>(0x80000005);

// The RGB value of a system colour. Natively a fixed stand-in; the Windows
// side sets the system's own (GetSysColor) at start-up.
using SystemColorResolver = uint32_t (*)(TColor color);
extern SystemColorResolver ResolveSystemColor;
// The RGB value of any colour (system colours resolved).
uint32_t ColorToRgb(TColor color);

struct TGifRgbTable {
    int32_t Count = 0;  // 0: no table
    std::array<uint8_t, 256 * 3> Colors{};  // red, green, blue

    TColor ColorAt(int index) const;
};

enum TExtensionKind : uint8_t { ekGraphicControl = 0, ekPlainText = 1, ekApplication = 2, ekComment = 3 };

// One extension block: the fixed part as stored in the file (block size
// first) and the data sub-blocks.
class TExtension {
public:
    explicit TExtension(TExtensionKind kind = ekGraphicControl) : ExtKind(kind) {}

    TExtensionKind ExtKind;
    std::vector<std::string> SubBlocks;
    std::array<uint8_t, 13> HeaderBytes{};

    static uint8_t LabelOf(TExtensionKind kind);
    // Bytes of HeaderBytes the file holds for the kind: 6, 13, 12, 0.
    static size_t HeaderSizeOf(TExtensionKind kind);

    // Graphic control fields.
    static constexpr uint8_t kTransparentFlag = 0x01;
    uint8_t Packed() const { return HeaderBytes[1]; }
    uint16_t DelayHundredths() const { return velfw::ReadLe16(&HeaderBytes[2]); }
    uint8_t TransparentIndex() const { return HeaderBytes[4]; }
    bool HasTransparency() const { return (Packed() & kTransparentFlag) != 0; }
    uint8_t Disposal() const { return (Packed() >> 2) & 7; }
};

// The per-frame data a copy of a frame shares.
struct TGIFItem {
    std::vector<uint8_t> CodeStream;  // minimum code size, sub-blocks, terminator; empty: none
    int32_t PixelWidth = 0;
    int32_t PixelHeight = 0;
    uint8_t ColorBits = 0;
    TGifRgbTable FrameColors;
};

// The image-wide data a copy of an image shares.
struct TGIFData {
    std::vector<std::string> CommentLines;
    uint8_t AspectByte = 0;
    uint8_t ColorBits = 0;
    TGifRgbTable GlobalColors;
};

struct GifPoint {
    int32_t X = 0, Y = 0;
};

class GifImageCore;

class GifFrameCore {
public:
    explicit GifFrameCore(GifImageCore& owner);
    virtual ~GifFrameCore() = default;
    GifFrameCore(const GifFrameCore&) = delete;
    GifFrameCore& operator=(const GifFrameCore&) = delete;

    GifImageCore& OwnerImage;
    std::shared_ptr<TGIFItem> ImageItem;
    std::vector<TExtension> ExtensionList;
    GifPoint Origin;
    bool IsInterlaced = false;
    TColor TransColor = clNone;
    uint32_t DelayMs = 0;  // 32 bits: the file's 16-bit hundredths times ten fit
    uint8_t DisposalCode = 0;
    bool HasLocalTable = false;
    // The frame's picture as a BMP file image: the decoded cache, or the
    // only content of a frame made from a picture. Empty: none.
    std::vector<uint8_t> FrameDib;

    // A new empty item, no transparency, origin 0, no delay or disposal;
    // the picture and the extensions stay.
    void ResetFrame();
    bool HasCodeStream() const { return !ImageItem->CodeStream.empty(); }

    // The picture's size (0 without picture and code stream).
    int32_t FrameWidth() const;
    int32_t FrameHeight() const;

    // The sub-blocks of the last comment extension; with `create` one is
    // appended when missing. Without it, nullptr when there is none.
    std::vector<std::string>* FrameComment(bool create);
    void SetFrameComment(const std::vector<std::string>& lines);

    // The BMP file image of the code stream: 1, 4 or 8 bits per pixel, the
    // table's colours and grey beyond them. A size the code stream cannot
    // back raises EInvalidGraphicOperation before anything is allocated.
    std::vector<uint8_t> DecodeToDib() const;

    // Encodes a BMP file image of 1, 4 or 8 bits per pixel into the frame.
    // Everything is checked against `dib`; a failure (or an abort from the
    // progress handler) leaves the frame and the image as they were.
    void EncodeFromDib(std::span<const uint8_t> dib);

    // Makes sure the picture exists (decoding the code stream when needed).
    // The Windows frame overrides this to decode into its bitmap.
    virtual void Decode();
    // The picture in BMP form for encoding; empty when the frame has none.
    virtual std::vector<uint8_t> PictureDib() const { return FrameDib; }
    // The picture's size; false without a picture.
    virtual bool PictureSize(int32_t& width, int32_t& height) const;

    // Encodes the picture (for frames without code stream); "No GIF Data to
    // write" without one.
    void EncodeFrameBitmap();
};

class GifImageCore {
public:
    GifImageCore();
    virtual ~GifImageCore() = default;
    GifImageCore(const GifImageCore&) = delete;
    GifImageCore& operator=(const GifImageCore&) = delete;

    std::shared_ptr<TGIFData> SharedData;
    uint8_t GifVersion = 0;  // 0 none, 1 "87a", 2 "89a"
    std::vector<std::unique_ptr<GifFrameCore>> FrameList;
    int32_t CurrentFrame = -1;
    uint16_t LogicalWidth = 0, LogicalHeight = 0;
    TColor BackColor = clNone;
    // The background's index as the file gave it: several entries may hold
    // BackColor, and a save keeps this one while it still does.
    uint8_t BackgroundIndex = 0;
    bool LoopAnimation = false;
    uint16_t LoopCount = 1;
    // Handed to the codec; may raise EAbort to stop an encode.
    GifProgress Progress;

    int FrameCount() const { return static_cast<int>(FrameList.size()); }
    // The frame at `index`; EInvalidGraphicOperation outside the list.
    GifFrameCore& Frame(int index) const;

    // New empty shared data, no frames; the logical size stays.
    void ResetImage();
    void ClearFrames();
    // The largest frame extent; clamped to the 16-bit screen size.
    void RecalcLogicalSize();

    // Appends a frame made from a BMP file image, makes it current and
    // returns its index. The picture is encoded when the image is saved.
    int AppendFrameFromDib(std::vector<uint8_t> dib, TColor transColor = clNone);

    // A frame owned by this image; the Windows image makes its own kind.
    virtual std::unique_ptr<GifFrameCore> NewFrame();
};

// 1..8 for 2, 4, ..., 256 colours; "Wrong number of colors; must be a
// power of 2" otherwise.
uint8_t BitsForColorCount(int32_t count);
// The smallest n from 1 up with 2^n >= count.
uint8_t BitsToHold(int32_t count);
// The index of the first entry equal to the colour's RGB value, or -1 (also
// for clNone).
int ColorIndexOf(const TGifRgbTable& table, TColor color);
// The last extension of that kind, or nullptr.
TExtension* FindLastExtension(std::vector<TExtension>& list, TExtensionKind kind);
const TExtension* FindLastExtension(const std::vector<TExtension>& list, TExtensionKind kind);
// The delay of a frame made from an animated cursor's frame, whose display
// rate counts sixtieths of a second.
constexpr uint32_t DelayMsOfCursorRate(uint32_t rate) {
    return static_cast<uint32_t>(std::min<uint64_t>(uint64_t{rate} * 100 / 6, UINT32_MAX));
}
// The BMP bit count of a frame's colour bits: 1; 4 for 2..4; 8 for 5..8.
int DibBitCount(int colorBits);

}  // namespace kx

#include "KxGIFModel.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "BmpFormat.h"
#include "ByteOrder.h"
#include "LibraryErrors.h"

namespace kx {

using velfw::DibHeader;
using velfw::kBmpFileHeaderSize;
using velfw::kBmpInfoHeaderSize;

namespace {

constexpr uint32_t kGreyEntry = 0x80808080;  // palette entries beyond a frame's table
constexpr int64_t kLargestSide = 65535;      // the file's 16-bit sizes
// Below this many pixels a frame is decoded whatever its data: damaged
// files of ordinary size still show what they hold.
constexpr uint64_t kPixelsAlwaysDecoded = uint64_t{1} << 20;

uint32_t StandInSystemColor(TColor color) { return color == clWindow ? 0xFFFFFF : 0; }

// The most pixels a code stream of that size can yield: the k-th code after
// a clear stands for at most k pixels, and no string is longer than the
// code table.
uint64_t MostPixelsOf(std::span<const uint8_t> codeStream) {
    if (codeStream.empty()) return 0;
    const uint64_t codeBits = std::clamp<uint64_t>(uint64_t{codeStream[0]} + 1, 2, 12);
    const uint64_t codes = (codeStream.size() - 1) * 8 / codeBits;
    constexpr uint64_t kLongest = 4096;
    if (codes <= kLongest) return codes * (codes + 1) / 2;
    return kLongest * (kLongest + 1) / 2 + (codes - kLongest) * kLongest;
}

// What a frame is encoded from: the GIF's depths, sides of 16 bits.
constexpr velfw::BmpFileRules kEncodableDib{velfw::DibDepthBit(1) | velfw::DibDepthBit(4) | velfw::DibDepthBit(8),
                                            static_cast<int32_t>(kLargestSide), true};

// A BMP file image read in place, every part checked to lie inside it.
struct DibView {
    int32_t width = 0;
    int32_t height = 0;
    int bitCount = 0;
    bool topDown = false;
    uint32_t colorCount = 0;  // palette entries after the information header
    const uint8_t* palette = nullptr;
    const uint8_t* pixels = nullptr;
    uint64_t stride = 0;
};

[[noreturn]] void EncodingError() { throw velfw::EInvalidGraphicOperation("GIF image encoding error"); }

bool ReadDibSize(std::span<const uint8_t> dib, int32_t& width, int32_t& height) {
    velfw::BmpFileLayout layout;
    if (velfw::ReadBmpFileLayout(dib, layout) != velfw::BmpFault::None) return false;
    width = layout.Width;
    height = layout.Height;
    return true;
}

DibView ViewDib(std::span<const uint8_t> dib) {
    velfw::BmpFileLayout layout;
    switch (velfw::ReadBmpFileLayout(dib, layout, kEncodableDib)) {
    case velfw::BmpFault::None: break;
    case velfw::BmpFault::Empty: throw velfw::EInvalidGraphicOperation("No GIF Data to write");
    default: EncodingError();
    }
    DibView v;
    v.width = layout.Width;
    v.height = layout.Height;
    v.bitCount = layout.BitsPerPixel;
    v.topDown = layout.TopDown;
    v.colorCount = layout.PaletteEntries;
    v.stride = velfw::DibRowBytes(layout.Width, layout.BitsPerPixel);
    v.palette = dib.data() + kBmpFileHeaderSize + layout.InfoHeaderSize;
    v.pixels = dib.data() + layout.BitsOffset;
    return v;
}

// The highest colour index the pixels use (padding bits left out).
unsigned HighestIndex(const DibView& v) {
    const int bits = v.bitCount;
    const unsigned mask = (1u << bits) - 1;
    unsigned highest = 0;
    for (int32_t y = 0; y < v.height; ++y) {
        const uint8_t* row = v.pixels + static_cast<uint64_t>(y) * v.stride;
        for (int32_t x = 0; x < v.width; ++x) {
            const uint64_t bit = static_cast<uint64_t>(x) * bits;
            highest = std::max(highest, (row[bit / 8] >> (8 - bits - bit % 8)) & mask);
        }
        if (highest == mask) break;
    }
    return highest;
}

}  // namespace

SystemColorResolver ResolveSystemColor = StandInSystemColor;

uint32_t ColorToRgb(TColor color) {
    return color < 0 ? ResolveSystemColor(color) & 0xFFFFFF : static_cast<uint32_t>(color) & 0xFFFFFF;
}

TColor TGifRgbTable::ColorAt(int index) const {
    const uint8_t* c = &Colors[static_cast<size_t>(index) * 3];
    return c[0] | c[1] << 8 | c[2] << 16;
}

uint8_t TExtension::LabelOf(TExtensionKind kind) {
    static constexpr uint8_t labels[] = {0xF9, 0x01, 0xFF, 0xFE};
    return labels[kind & 3];
}

size_t TExtension::HeaderSizeOf(TExtensionKind kind) {
    static constexpr size_t sizes[] = {6, 13, 12, 0};
    return sizes[kind & 3];
}

uint8_t BitsForColorCount(int32_t count) {
    for (uint8_t bits = 1; bits <= 8; ++bits)
        if (count == 1 << bits) return bits;
    throw velfw::EInvalidGraphicOperation("Wrong number of colors; must be a power of 2");
}

uint8_t BitsToHold(int32_t count) {
    uint8_t bits = 1;
    while (bits < 8 && (1 << bits) < count) ++bits;
    return bits;
}

int ColorIndexOf(const TGifRgbTable& table, TColor color) {
    if (color == clNone) return -1;
    const auto rgb = static_cast<TColor>(ColorToRgb(color));
    for (int i = 0; i < std::min(table.Count, 256); ++i)
        if (table.ColorAt(i) == rgb) return i;
    return -1;
}

const TExtension* FindLastExtension(const std::vector<TExtension>& list, TExtensionKind kind) {
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (it->ExtKind == kind) return &*it;
    return nullptr;
}

TExtension* FindLastExtension(std::vector<TExtension>& list, TExtensionKind kind) {
    return const_cast<TExtension*>(FindLastExtension(std::as_const(list), kind));
}

int DibBitCount(int colorBits) {
    if (colorBits == 1) return 1;
    if (colorBits >= 2 && colorBits <= 4) return 4;
    if (colorBits >= 5 && colorBits <= 8) return 8;
    throw velfw::EInvalidGraphicOperation("Wrong number of colors; must be a power of 2");
}

// ---- frames

GifFrameCore::GifFrameCore(GifImageCore& owner) : OwnerImage(owner) { ResetFrame(); }

void GifFrameCore::ResetFrame() {
    ImageItem = std::make_shared<TGIFItem>();
    TransColor = clNone;
    Origin = {};
    IsInterlaced = false;
    HasLocalTable = false;
    DelayMs = 0;
    DisposalCode = 0;
}

bool GifFrameCore::PictureSize(int32_t& width, int32_t& height) const {
    return ReadDibSize(FrameDib, width, height);
}

int32_t GifFrameCore::FrameWidth() const {
    int32_t w = 0, h = 0;
    if (PictureSize(w, h)) return w;
    return HasCodeStream() ? ImageItem->PixelWidth : 0;
}

int32_t GifFrameCore::FrameHeight() const {
    int32_t w = 0, h = 0;
    if (PictureSize(w, h)) return h;
    return HasCodeStream() ? ImageItem->PixelHeight : 0;
}

std::vector<std::string>* GifFrameCore::FrameComment(bool create) {
    TExtension* comment = FindLastExtension(ExtensionList, ekComment);
    if (!comment) {
        if (!create) return nullptr;
        ExtensionList.emplace_back(ekComment);
        comment = &ExtensionList.back();
    }
    return &comment->SubBlocks;
}

void GifFrameCore::SetFrameComment(const std::vector<std::string>& lines) { *FrameComment(true) = lines; }

void GifFrameCore::Decode() {
    if (FrameDib.empty() && HasCodeStream()) FrameDib = DecodeToDib();
}

std::vector<uint8_t> GifFrameCore::DecodeToDib() const {
    const TGIFItem& item = *ImageItem;
    const int bitCount = DibBitCount(item.ColorBits);
    if (item.PixelWidth < 0 || item.PixelHeight < 0) throw velfw::EInvalidGraphicOperation("GIF image decoding error");
    const uint64_t pixels = static_cast<uint64_t>(item.PixelWidth) * static_cast<uint64_t>(item.PixelHeight);
    if (pixels > kPixelsAlwaysDecoded && pixels > MostPixelsOf(item.CodeStream))
        throw velfw::EInvalidGraphicOperation("GIF image decoding error");
    const DibHeader header = velfw::MakeDibHeader(item.PixelWidth, item.PixelHeight, bitCount);
    std::vector<uint8_t> dib = velfw::NewDibBlock(header);
    const auto entries = static_cast<uint32_t>(velfw::DibPaletteSize(bitCount));
    uint8_t* palette = dib.data() + kBmpFileHeaderSize + kBmpInfoHeaderSize;
    const auto known = static_cast<uint32_t>(std::clamp(item.FrameColors.Count, 0, 256));
    for (uint32_t i = 0; i < entries; ++i) {
        uint8_t* q = palette + 4 * i;
        if (i < known) {
            const uint8_t* c = &item.FrameColors.Colors[i * 3];
            q[0] = c[2], q[1] = c[1], q[2] = c[0], q[3] = 0;
        } else {
            velfw::WriteLe32(q, kGreyEntry);
        }
    }
    const std::span<uint8_t> bits(palette + 4 * entries, header.sizeImage);
    DecodeGifPixels(item.CodeStream, {header.width, header.height, bitCount}, IsInterlaced, OwnerImage.Progress, bits,
                    item.ColorBits);
    return dib;
}

void GifFrameCore::EncodeFromDib(std::span<const uint8_t> dib) {
    const DibView v = ViewDib(dib);
    const int bits = v.bitCount;
    // Rows bottom-up, as the codec wants them.
    std::vector<uint8_t> flipped;
    const uint64_t bytes = v.stride * static_cast<uint64_t>(v.height);
    std::span<const uint8_t> pixels(v.pixels, bytes);
    if (v.topDown) {
        flipped.resize(bytes);
        for (int32_t y = 0; y < v.height; ++y)
            std::memcpy(&flipped[(v.height - 1 - y) * v.stride], v.pixels + y * v.stride, v.stride);
        pixels = flipped;
    }
    // A colour count below what the pixels use would cut their values.
    const int32_t colors = static_cast<int32_t>(std::max<uint32_t>(v.colorCount, HighestIndex(v) + 1));

    std::vector<uint8_t> stream;
    EncodeGifPixels(stream, {v.width, v.height, bits}, false, OwnerImage.Progress, pixels);

    // Committed only now: the item may be shared, and a half-done encode
    // must not reach a file.
    TGifRgbTable table;
    const uint8_t colorBits = BitsToHold(colors);
    table.Count = 1 << colorBits;
    for (int32_t i = 0; i < std::min<int32_t>(colors, static_cast<int32_t>(v.colorCount)); ++i) {
        const uint8_t* q = v.palette + 4 * i;
        table.Colors[i * 3] = q[2], table.Colors[i * 3 + 1] = q[1], table.Colors[i * 3 + 2] = q[0];
    }
    TGIFItem& item = *ImageItem;
    item.CodeStream = std::move(stream);
    item.FrameColors = table;
    item.ColorBits = colorBits;
    item.PixelWidth = v.width;
    item.PixelHeight = v.height;
    IsInterlaced = false;
    TGIFData& data = *OwnerImage.SharedData;
    if (data.GlobalColors.Count == 0) {
        data.GlobalColors = table;
        data.ColorBits = colorBits;
        HasLocalTable = false;
    } else {
        HasLocalTable = true;
    }
    auto grow = [](uint16_t& side, int64_t extent) {
        side = static_cast<uint16_t>(std::clamp<int64_t>(extent, side, kLargestSide));
    };
    grow(OwnerImage.LogicalWidth, int64_t{v.width} + Origin.X);
    grow(OwnerImage.LogicalHeight, int64_t{v.height} + Origin.Y);
}

void GifFrameCore::EncodeFrameBitmap() {
    const std::vector<uint8_t> dib = PictureDib();
    if (dib.empty()) throw velfw::EInvalidGraphicOperation("No GIF Data to write");
    EncodeFromDib(dib);
}

// ---- the image

GifImageCore::GifImageCore() { ResetImage(); }

GifFrameCore& GifImageCore::Frame(int index) const {
    if (index < 0 || index >= FrameCount())
        throw velfw::EInvalidGraphicOperation("List index out of bounds (" + std::to_string(index) + ")");
    return *FrameList[static_cast<size_t>(index)];
}

void GifImageCore::ResetImage() {
    SharedData = std::make_shared<TGIFData>();
    ClearFrames();
    CurrentFrame = -1;
    BackColor = clNone;
    BackgroundIndex = 0;
    LoopCount = 1;
    LoopAnimation = false;
    GifVersion = 0;
}

void GifImageCore::ClearFrames() { FrameList.clear(); }

void GifImageCore::RecalcLogicalSize() {
    int64_t width = 0, height = 0;
    for (const auto& f : FrameList) {
        width = std::max(width, int64_t{f->FrameWidth()} + f->Origin.X);
        height = std::max(height, int64_t{f->FrameHeight()} + f->Origin.Y);
    }
    LogicalWidth = static_cast<uint16_t>(std::clamp<int64_t>(width, 0, kLargestSide));
    LogicalHeight = static_cast<uint16_t>(std::clamp<int64_t>(height, 0, kLargestSide));
}

int GifImageCore::AppendFrameFromDib(std::vector<uint8_t> dib, TColor transColor) {
    auto frame = NewFrame();
    frame->FrameDib = std::move(dib);
    frame->TransColor = transColor;
    FrameList.push_back(std::move(frame));
    CurrentFrame = FrameCount() - 1;
    if (GifVersion == 0) GifVersion = 1;
    if (FrameCount() > 1) GifVersion = 2;
    RecalcLogicalSize();
    return CurrentFrame;
}

std::unique_ptr<GifFrameCore> GifImageCore::NewFrame() { return std::make_unique<GifFrameCore>(*this); }

}  // namespace kx

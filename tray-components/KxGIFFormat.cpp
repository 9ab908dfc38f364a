#include "KxGIFFormat.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "ByteOrder.h"
#include "LibraryErrors.h"

namespace kx {

namespace {

constexpr uint8_t kExtensionIntroducer = '!';
constexpr uint8_t kImageSeparator = ',';
constexpr uint8_t kTrailer = ';';
constexpr uint8_t kLocalTableFlag = 0x80;
constexpr uint8_t kInterlaceFlag = 0x40;
constexpr uint8_t kDisposalBits = 0x1C;

// Reading from the file in memory. Most parts of a GIF are read "as far as
// they go": what is missing stays zero. Exact reads raise EReadError.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> data) : data_(data) {}

    size_t Left() const { return data_.size() - pos_; }
    uint8_t Byte() { return pos_ < data_.size() ? data_[pos_++] : 0; }
    // Copies up to `n` bytes to `out`; the rest of `out` stays as it was.
    size_t ReadUpTo(uint8_t* out, size_t n) {
        n = std::min(n, Left());
        std::memcpy(out, data_.data() + pos_, n);
        pos_ += n;
        return n;
    }
    void ReadExact(uint8_t* out, size_t n) {
        if (n > Left()) throw velfw::EReadError();
        ReadUpTo(out, n);
    }
    std::span<const uint8_t> Take(size_t n) {
        auto s = data_.subspan(pos_, std::min(n, Left()));
        pos_ += s.size();
        return s;
    }

private:
    std::span<const uint8_t> data_;
    size_t pos_ = 0;
};

bool SameLetters(const uint8_t* bytes, const char* text) {
    for (size_t i = 0; text[i]; ++i)
        if (std::tolower(bytes[i]) != std::tolower(static_cast<unsigned char>(text[i]))) return false;
    return true;
}

void ReadGifHeader(GifImageCore& image, Reader& r) {
    image.GifVersion = 0;
    uint8_t header[6] = {};
    r.ReadUpTo(header, sizeof header);
    if (!SameLetters(header, "GIF")) throw velfw::EInvalidGraphicOperation("Unknown GIF version");
    if (SameLetters(header + 3, "87a")) image.GifVersion = 1;
    else if (SameLetters(header + 3, "89a")) image.GifVersion = 2;
    else throw velfw::EInvalidGraphicOperation("Unknown GIF version");
}

struct ScreenDescriptor {
    uint8_t packed = 0;
    uint8_t background = 0;
};

ScreenDescriptor ReadScreenDescriptor(GifImageCore& image, Reader& r) {
    uint8_t d[7] = {};
    r.ReadUpTo(d, sizeof d);
    image.LogicalWidth = velfw::ReadLe16(d);
    image.LogicalHeight = velfw::ReadLe16(d + 2);
    image.SharedData->ColorBits = static_cast<uint8_t>((d[4] & 7) + 1);
    image.SharedData->AspectByte = d[6];
    return {d[4], d[5]};
}

void ReadGlobalTable(GifImageCore& image, Reader& r, const ScreenDescriptor& screen) {
    if ((screen.packed & 0x80) == 0) return;
    TGifRgbTable& table = image.SharedData->GlobalColors;
    table.Count = 1 << image.SharedData->ColorBits;
    r.ReadUpTo(table.Colors.data(), static_cast<size_t>(table.Count) * 3);
    if (screen.background < table.Count) {
        image.BackColor = table.ColorAt(screen.background);
        image.BackgroundIndex = screen.background;
    }
}

void ReadSubBlocks(Reader& r, std::vector<std::string>& blocks) {
    while (r.Left() > 0) {
        const uint8_t length = r.Byte();
        if (length == 0) break;
        auto bytes = r.Take(length);
        // A length byte the file ends after holds no text: a save would
        // not write it, so it is no line of the comment.
        if (!bytes.empty()) blocks.emplace_back(bytes.begin(), bytes.end());
    }
}

TExtension ReadExtension(Reader& r) {
    const uint8_t label = r.Byte();
    TExtensionKind kind;
    switch (label) {
    case 0xF9: kind = ekGraphicControl; break;
    case 0xFE: kind = ekComment; break;
    case 0x01: kind = ekPlainText; break;
    case 0xFF: kind = ekApplication; break;
    default: {
        char text[48];
        std::snprintf(text, sizeof text, "Unrecognized extension block: %.2X", label);
        throw velfw::EInvalidGraphicOperation(text);
    }
    }
    TExtension ext(kind);
    // The fixed part is as long as the kind says, whatever its size byte.
    r.ReadUpTo(ext.HeaderBytes.data(), TExtension::HeaderSizeOf(kind));
    if (kind != ekGraphicControl) ReadSubBlocks(r, ext.SubBlocks);
    return ext;
}

uint8_t NextIntroducer(Reader& r) { return r.Left() > 0 ? r.Byte() : kTrailer; }

// Reads the extensions from `introducer` on and leaves the block after
// them in it. Graphic control and comment extensions are kept for the next
// frame; plain text and application extensions are dropped, the loop
// extension after giving the loop count.
std::vector<TExtension> ReadExtensionRun(GifImageCore& image, Reader& r, uint8_t& introducer) {
    std::vector<TExtension> run;
    while (introducer == kExtensionIntroducer) {
        TExtension ext = ReadExtension(r);
        // A graphic control extension before plain text belongs to the text.
        if (ext.ExtKind == ekPlainText) run.clear();
        if (ext.ExtKind == ekPlainText || ext.ExtKind == ekApplication) {
            if (IsLoopApplication(ext)) {
                const auto* b = reinterpret_cast<const uint8_t*>(ext.SubBlocks[0].data());
                image.LoopAnimation = true;
                image.LoopCount = std::min<uint16_t>(velfw::ReadLe16(b + 1), kMostLoops);
            }
        } else {
            run.push_back(std::move(ext));
        }
        introducer = NextIntroducer(r);
    }
    return run;
}

void ReadFrame(GifImageCore& image, GifFrameCore& frame, Reader& r) {
    TGIFItem& item = *frame.ImageItem;
    uint8_t d[9];
    r.ReadExact(d, sizeof d);
    const uint8_t packed = d[8];
    frame.IsInterlaced = (packed & kInterlaceFlag) != 0;
    frame.HasLocalTable = (packed & kLocalTableFlag) != 0;
    if (frame.HasLocalTable) {
        item.ColorBits = static_cast<uint8_t>((packed & 7) + 1);
        item.FrameColors.Count = 1 << item.ColorBits;
        r.ReadExact(item.FrameColors.Colors.data(), static_cast<size_t>(item.FrameColors.Count) * 3);
    }
    std::vector<uint8_t>& code = item.CodeStream;
    code.push_back(0);
    r.ReadExact(code.data(), 1);
    bool terminated = false;
    while (r.Left() > 0) {
        const uint8_t length = r.Byte();
        code.push_back(length);
        if (length == 0) {
            terminated = true;
            break;
        }
        if (r.Left() < length) {
            // Cut short: keep what came before.
            code.pop_back();
            break;
        }
        auto bytes = r.Take(length);
        code.insert(code.end(), bytes.begin(), bytes.end());
    }
    // A frame cut short gets its terminator back, so it saves as a whole.
    if (!terminated) code.push_back(0);

    const uint16_t width = velfw::ReadLe16(d + 4), height = velfw::ReadLe16(d + 6);
    frame.Origin = {velfw::ReadLe16(d), velfw::ReadLe16(d + 2)};
    item.PixelWidth = width ? width : image.LogicalWidth;
    item.PixelHeight = height ? height : image.LogicalHeight;
    if (!frame.HasLocalTable) item.FrameColors = image.SharedData->GlobalColors;

    frame.DelayMs = 0;
    for (const TExtension& ext : frame.ExtensionList) {
        if (ext.ExtKind != ekGraphicControl) continue;
        if (!ext.HasTransparency()) frame.TransColor = clNone;
        else if (ext.TransparentIndex() < item.FrameColors.Count)
            frame.TransColor = item.FrameColors.ColorAt(ext.TransparentIndex());
        frame.DelayMs = std::max<uint32_t>(frame.DelayMs, uint32_t{ext.DelayHundredths()} * 10);
        frame.DisposalCode = ext.Disposal();
    }
}

void AppendImageComment(TGIFData& data, const std::vector<TExtension>& run) {
    for (const TExtension& ext : run) {
        if (ext.ExtKind != ekComment) continue;
        if (!data.CommentLines.empty()) data.CommentLines.push_back("\r\n\r\n");
        data.CommentLines.insert(data.CommentLines.end(), ext.SubBlocks.begin(), ext.SubBlocks.end());
    }
}

// ---- writing

class Writer {
public:
    void Byte(uint8_t b) { out_.push_back(b); }
    void Word(uint32_t v) { velfw::AppendLe16(out_, static_cast<uint16_t>(v)); }
    void Bytes(const void* p, size_t n) {
        auto* b = static_cast<const uint8_t*>(p);
        out_.insert(out_.end(), b, b + n);
    }
    void Zeros(size_t n) { out_.insert(out_.end(), n, 0); }
    std::vector<uint8_t>& Out() { return out_; }

private:
    std::vector<uint8_t> out_;
};

uint16_t Clamp16(int64_t v) { return static_cast<uint16_t>(std::clamp<int64_t>(v, 0, 65535)); }

void WriteSubBlocks(Writer& w, const std::vector<std::string>& blocks) {
    for (const std::string& s : blocks) {
        if (s.empty()) continue;
        const size_t n = std::min<size_t>(s.size(), 255);
        w.Byte(static_cast<uint8_t>(n));
        w.Bytes(s.data(), n);
    }
    w.Byte(0);
}

void WriteExtensions(Writer& w, const std::vector<TExtension>& list) {
    for (const TExtension& ext : list) {
        w.Byte(kExtensionIntroducer);
        w.Byte(TExtension::LabelOf(ext.ExtKind));
        const size_t size = TExtension::HeaderSizeOf(ext.ExtKind);
        if (size > 0) {
            // The block size and the control block's terminator as the
            // format has them, whatever a damaged file held there.
            std::array<uint8_t, 13> header = ext.HeaderBytes;
            header[0] = static_cast<uint8_t>(ext.ExtKind == ekGraphicControl ? 4 : size - 1);
            if (ext.ExtKind == ekGraphicControl) header[5] = 0;
            w.Bytes(header.data(), size);
        }
        if (ext.ExtKind != ekGraphicControl) WriteSubBlocks(w, ext.SubBlocks);
    }
}

void WriteScreenDescriptor(Writer& w, const GifImageCore& image) {
    const TGifRgbTable& global = image.SharedData->GlobalColors;
    w.Word(image.LogicalWidth);
    w.Word(image.LogicalHeight);
    uint8_t packed = 0, background = 0;
    if (global.Count > 0) {
        // Resolution and size both from the table, so they always agree.
        const uint8_t bits = BitsForColorCount(global.Count);
        packed = static_cast<uint8_t>(0x80 + (bits - 1) * 16 + (bits - 1));
        background = static_cast<uint8_t>(std::max(BackgroundIndexOf(image), 0));
    }
    w.Byte(packed);
    w.Byte(background);
    w.Byte(image.SharedData->AspectByte);
    if (global.Count > 0) w.Bytes(global.Colors.data(), static_cast<size_t>(global.Count) * 3);
}

void WriteLoopExtension(Writer& w, uint16_t loops) {
    w.Byte(kExtensionIntroducer);
    w.Byte(0xFF);
    w.Byte(11);
    w.Bytes("NETSCAPE2.0", 11);
    w.Byte(3);
    w.Byte(1);
    w.Word(loops);
    w.Byte(0);
}

void WriteFrame(Writer& w, const GifFrameCore& frame) {
    TGIFItem& item = *frame.ImageItem;
    WriteExtensions(w, frame.ExtensionList);
    w.Byte(kImageSeparator);
    w.Word(Clamp16(frame.Origin.X));
    w.Word(Clamp16(frame.Origin.Y));
    w.Word(Clamp16(item.PixelWidth));
    w.Word(Clamp16(item.PixelHeight));
    const int32_t count = std::clamp(item.FrameColors.Count, 0, 256);
    const bool local = frame.HasLocalTable && count > 0;
    uint8_t packed = 0;
    if (local) {
        item.ColorBits = BitsToHold(count);
        packed = static_cast<uint8_t>(kLocalTableFlag + item.ColorBits - 1);
    }
    if (frame.IsInterlaced) packed |= kInterlaceFlag;
    w.Byte(packed);
    if (local) {
        // Exactly the entries the descriptor announces.
        w.Bytes(item.FrameColors.Colors.data(), static_cast<size_t>(count) * 3);
        w.Zeros(((size_t{1} << item.ColorBits) - static_cast<size_t>(count)) * 3);
    }
    w.Bytes(item.CodeStream.data(), item.CodeStream.size());
}

// `stored` while that entry of the table still holds the colour, else the
// first entry that does.
int KeptIndexOf(const TGifRgbTable& table, int stored, TColor color) {
    if (color == clNone) return -1;
    if (stored >= 0 && stored < std::min(table.Count, 256) &&
        static_cast<uint32_t>(table.ColorAt(stored)) == ColorToRgb(color))
        return stored;
    return ColorIndexOf(table, color);
}

}  // namespace

int TransparentIndexOf(const GifFrameCore& frame) {
    const TExtension* control = FindLastExtension(frame.ExtensionList, ekGraphicControl);
    const int stored = control && control->HasTransparency() ? control->TransparentIndex() : -1;
    return KeptIndexOf(frame.ImageItem->FrameColors, stored, frame.TransColor);
}

int BackgroundIndexOf(const GifImageCore& image) {
    return KeptIndexOf(image.SharedData->GlobalColors, image.BackgroundIndex, image.BackColor);
}

bool IsLoopApplication(const TExtension& ext) {
    if (ext.ExtKind != ekApplication || ext.SubBlocks.empty() || ext.HeaderBytes[0] != 11) return false;
    const auto* id = ext.HeaderBytes.data() + 1;
    if (std::memcmp(id, "NETSCAPE2.0", 11) != 0 && std::memcmp(id, "ANIMEXTS1.0", 11) != 0) return false;
    const std::string& first = ext.SubBlocks[0];
    return first.size() >= 3 && first[0] == 1;
}

void LoadGif(GifImageCore& image, std::span<const uint8_t> file, bool decodeFirst) {
    image.ResetImage();
    Reader r(file);
    if (!file.empty()) {
        ReadGifHeader(image, r);
        const ScreenDescriptor screen = ReadScreenDescriptor(image, r);
        ReadGlobalTable(image, r, screen);
        uint8_t introducer = r.Byte();
        while (introducer != 0 && introducer != kTrailer && r.Left() > 0) {
            std::vector<TExtension> run = ReadExtensionRun(image, r, introducer);
            if (introducer == kImageSeparator) {
                auto frame = image.NewFrame();
                const TGifRgbTable& global = image.SharedData->GlobalColors;
                if (global.Count > 0) frame->ImageItem->ColorBits = BitsForColorCount(global.Count);
                frame->ExtensionList = std::move(run);
                ReadFrame(image, *frame, r);
                image.FrameList.push_back(std::move(frame));
                introducer = NextIntroducer(r);
                while (introducer == 0 && r.Left() > 0) introducer = r.Byte();
                if (introducer != kExtensionIntroducer && introducer != kImageSeparator && introducer != kTrailer)
                    introducer = 0;
            } else if (image.SharedData->CommentLines.empty() && !run.empty()) {
                // What follows the last frame.
                AppendImageComment(*image.SharedData, run);
            } else if (introducer != 0 && introducer != kTrailer) {
                throw velfw::EReadError();
            }
        }
    }
    if (image.FrameList.empty()) return;
    image.CurrentFrame = 0;
    if (!decodeFirst) return;
    try {
        image.FrameList[0]->Decode();
    } catch (...) {
        image.FrameList.erase(image.FrameList.begin());
        if (image.FrameList.empty()) image.CurrentFrame = -1;
        throw;
    }
}

size_t LoadGifWithLength(GifImageCore& image, std::span<const uint8_t> source, bool decodeFirst) {
    if (source.size() < 4) throw velfw::EReadError();
    const auto length = static_cast<int32_t>(velfw::ReadLe32(source.data()));
    if (length < 0 || static_cast<uint64_t>(length) > source.size() - 4) throw velfw::EReadError();
    LoadGif(image, source.subspan(4, static_cast<size_t>(length)), decodeFirst);
    return 4 + static_cast<size_t>(length);
}

void PrepareControlExtension(GifFrameCore& frame) {
    auto& list = frame.ExtensionList;
    TExtension* control = FindLastExtension(list, ekGraphicControl);
    if (!control && (frame.DelayMs > 0 || frame.TransColor != clNone || frame.DisposalCode != 0)) {
        list.emplace_back(ekGraphicControl);
        control = &list.back();
        control->HeaderBytes[0] = 4;
    }
    if (control) {
        const int index = TransparentIndexOf(frame);
        auto& h = control->HeaderBytes;
        const uint32_t delay = std::min<uint32_t>(frame.DelayMs / 10, 65535);
        velfw::WriteLe16(&h[2], static_cast<uint16_t>(delay));
        if (index >= 0) {
            h[4] = static_cast<uint8_t>(index);
            h[1] |= TExtension::kTransparentFlag;
        } else {
            h[1] &= static_cast<uint8_t>(~TExtension::kTransparentFlag);
        }
        h[1] = static_cast<uint8_t>((h[1] & ~kDisposalBits) | (frame.DisposalCode & 7) << 2);
    }
    std::erase_if(list, [](const TExtension& e) { return e.ExtKind == ekComment && e.SubBlocks.empty(); });
    if (!list.empty()) frame.OwnerImage.GifVersion = 2;
}

void EncodeMissingFrames(GifImageCore& image) {
    for (auto& frame : image.FrameList) {
        if (!frame->HasCodeStream()) frame->EncodeFrameBitmap();
        PrepareControlExtension(*frame);
    }
}

std::vector<uint8_t> WriteGif(GifImageCore& image, bool withLength) {
    if (image.FrameList.empty()) throw velfw::EInvalidGraphicOperation("No GIF Data to write");
    EncodeMissingFrames(image);
    const TGIFData& data = *image.SharedData;
    const bool loop = image.LoopAnimation && image.FrameCount() > 1;
    // Comments and the loop extension are GIF89a blocks.
    if (!data.CommentLines.empty() || loop) image.GifVersion = 2;
    image.RecalcLogicalSize();

    Writer w;
    if (withLength) w.Zeros(4);
    w.Bytes(image.GifVersion == 2 ? "GIF89a" : "GIF87a", 6);
    WriteScreenDescriptor(w, image);
    if (loop) WriteLoopExtension(w, image.LoopCount);
    for (const auto& frame : image.FrameList) WriteFrame(w, *frame);
    if (!data.CommentLines.empty()) {
        w.Byte(kExtensionIntroducer);
        w.Byte(0xFE);
        WriteSubBlocks(w, data.CommentLines);
    }
    w.Byte(kTrailer);
    std::vector<uint8_t>& out = w.Out();
    if (withLength) {
        const auto length = static_cast<uint32_t>(out.size() - 4);
        for (int i = 0; i < 4; ++i) out[static_cast<size_t>(i)] = static_cast<uint8_t>(length >> (8 * i));
    }
    return std::move(out);
}

}  // namespace kx

#include "AniFileFormat.h"

#include <algorithm>
#include <cstring>

#include "ByteOrder.h"
#include "IconFileFormat.h"
#include "LibraryErrors.h"

namespace kx {

namespace {


bool Is(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

uint64_t Padded(uint64_t size) { return size + (size & 1); }

// A frame needs at least one 32-bit "seq " entry or an icon chunk of its
// own, so no file holds more frames than a quarter of its bytes.
constexpr uint64_t kLeastBytesPerFrame = 4;

class Reader {
public:
    Reader(std::span<const uint8_t> data, IAniIconFactory& factory, AniCursor& out)
        : data_(data), factory_(factory), out_(out) {}

    void Run() {
        uint64_t pos = 12;
        ChunkTag tag;
        while (Header(pos, tag)) {
            const uint64_t start = pos + 8, end = std::min<uint64_t>(start + Padded(tag.size), data_.size());
            const char* id = tag.id.data();
            bool more = true;
            if (std::memcmp(id, "anih", 4) == 0)
                more = ReadAnih(start, tag.size);
            else if (std::memcmp(id, "rate", 4) == 0)
                more = ReadValues(start, tag.size, rateIndex_, &AniFrame::jiffies);
            else if (std::memcmp(id, "seq ", 4) == 0)
                more = ReadValues(start, tag.size, stepIndex_, &AniFrame::stepIcon);
            else if (std::memcmp(id, "LIST", 4) == 0)
                more = ReadList(start, tag.size);
            if (!more) break;
            pos = end;
        }
        auto& frames = out_.frames;
        frames.erase(std::remove_if(frames.begin(), frames.end(), [](const AniFrame& f) { return !f.icon; }),
                     frames.end());
        out_.header.steps = static_cast<uint32_t>(frames.size());
        if (frames.empty()) throw velfw::EReadError();
    }

private:
    bool Has(uint64_t pos, uint64_t n) const { return pos <= data_.size() && n <= data_.size() - pos; }

    bool Header(uint64_t pos, ChunkTag& tag) const {
        if (!Has(pos, 8)) return false;
        std::memcpy(tag.id.data(), &data_[pos], 4);
        tag.size = velfw::ReadLe32(&data_[pos + 4]);
        return true;
    }

    bool ReadAnih(uint64_t pos, uint32_t size) {
        const uint64_t n = std::min<uint64_t>(size, sizeof(uint32_t) * 9);
        if (!Has(pos, n)) return false;
        uint32_t fields[9] = {};
        for (uint64_t i = 0; i < n / 4; ++i) fields[i] = velfw::ReadLe32(&data_[pos + 4 * i]);
        AniHeader& h = out_.header;
        h = {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6], fields[7], fields[8]};
        if ((h.flags & 1) == 0 || h.steps == 0) throw velfw::EReadError();
        const uint64_t room = data_.size() / kLeastBytesPerFrame;
        const uint64_t have = out_.frames.size();
        const uint64_t count = std::min<uint64_t>(h.frames, room > have ? room - have : 0);
        for (uint64_t i = 0; i < count; ++i) {
            AniFrame f;
            f.stepIcon = static_cast<int32_t>(i);
            f.jiffies = static_cast<int32_t>(h.jiffies);
            out_.frames.push_back(f);
        }
        return true;
    }

    // "rate" and "seq ": one value per animation step, for the frames there are.
    bool ReadValues(uint64_t pos, uint32_t size, uint64_t& index, int32_t AniFrame::*field) {
        for (uint64_t i = 0; i < size / 4; ++i, ++index) {
            if (!Has(pos + 4 * i, 4)) return false;
            if (index < out_.frames.size()) out_.frames[index].*field = static_cast<int32_t>(velfw::ReadLe32(&data_[pos + 4 * i]));
        }
        return true;
    }

    // A list ends where its size says or where the data ends; a sub-chunk
    // that does not fit in what remains of it ends it early.
    bool ReadList(uint64_t pos, uint32_t size) {
        if (!Has(pos, 4)) return false;
        const uint8_t* type = &data_[pos];
        int64_t remaining = static_cast<int64_t>(Padded(size)) - 4;
        pos += 4;
        const bool frames = Is(type, "fram"), info = Is(type, "INFO");
        if (!frames && !info) return true;
        ChunkTag sub;
        while (remaining >= 8 && Header(pos, sub)) {
            remaining -= 8;
            pos += 8;
            const uint64_t padded = Padded(sub.size);
            if (static_cast<int64_t>(padded) > remaining) break;
            if (frames && std::memcmp(sub.id.data(), "icon", 4) == 0) {
                if (!LoadIconChunk(pos, sub)) break;
            } else if (info && std::memcmp(sub.id.data(), "INAM", 4) == 0) {
                if (!ReadText(pos, sub.size, out_.title)) break;
            } else if (info && std::memcmp(sub.id.data(), "IART", 4) == 0) {
                if (!ReadText(pos, sub.size, out_.author)) break;
            }
            remaining -= static_cast<int64_t>(padded);
            pos += padded;
        }
        return true;
    }

    bool ReadText(uint64_t pos, uint32_t size, std::array<char, 256>& text) {
        const uint64_t n = std::min<uint64_t>(size, text.size() - 1);
        if (!Has(pos, n)) return false;
        text.fill(0);
        std::memcpy(text.data(), &data_[pos], n);
        return true;
    }

    // False when the chunk holds no icon: that ends its list.
    bool LoadIconChunk(uint64_t pos, const ChunkTag& tag) {
        if (!Has(pos, tag.size)) return false;
        std::vector<uint8_t> image(data_.begin() + static_cast<std::ptrdiff_t>(pos),
                                   data_.begin() + static_cast<std::ptrdiff_t>(pos + tag.size));
        velfw::IconDirectory dir;
        if (velfw::ReadIconDirectory(image, dir) != velfw::IconFileFault::None) return false;
        if (dir.header.type != 1 && dir.header.type != 2) return false;
        const bool fromIcon = dir.header.type == 1;
        image[2] = 1;  // a cursor resource loads as an icon
        image[3] = 0;
        AniPoint hot;
        for (const velfw::IconDirEntry& e : dir.entries) {
            if (auto bits = velfw::IconImageBitCount(image, e))
                out_.maxSourceColors = std::max(out_.maxSourceColors, ColorsOfBitCount(*bits));
            hot = {e.planes, e.bitCount};  // a cursor's hot spot
        }
        std::shared_ptr<AniIcon> icon = factory_.LoadFrameIcon(image);
        if (!icon) return false;
        if (fromIcon) hot = {icon->Width() / 2, icon->Height() / 2};

        bool shown = false;
        for (AniFrame& f : out_.frames) {
            if (f.stepIcon != iconNumber_) continue;
            f.icon = icon;
            f.fromIconResource = fromIcon;
            f.chunkTag = tag;
            f.hotPoint = hot;
            shown = true;
        }
        if (!shown) {
            AniFrame f;
            f.icon = icon;
            f.fromIconResource = fromIcon;
            f.chunkTag = tag;
            f.hotPoint = hot;
            f.jiffies = static_cast<int32_t>(out_.header.jiffies);
            out_.frames.push_back(f);
        }
        ++iconNumber_;
        return true;
    }

    std::span<const uint8_t> data_;
    IAniIconFactory& factory_;
    AniCursor& out_;
    uint64_t rateIndex_ = 0, stepIndex_ = 0;
    int32_t iconNumber_ = 0;
};

}  // namespace

std::shared_ptr<AniIcon> IconFileFactory::LoadFrameIcon(std::span<const uint8_t> iconFile) {
    const std::optional<velfw::IconFileHeader> header = velfw::ReadIconFileHeader(iconFile);
    uint64_t used = 0;
    if (!header || header->type != 1 || velfw::CheckIconFile(iconFile, used) != velfw::IconFileFault::None)
        return nullptr;
    return MakeIcon(iconFile);
}

uint16_t ColorsOfBitCount(uint32_t bitCount) {
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

void ReadAniCursor(std::span<const uint8_t> data, IAniIconFactory& factory, AniCursor& out) {
    if (data.size() < 12 || !Is(&data[0], "RIFF") || !Is(&data[8], "ACON")) throw velfw::EReadError();
    out = AniCursor{};
    Reader(data, factory, out).Run();
}

StripExtent AniStripExtent(int32_t iconWidth, int32_t iconHeight, size_t frames, bool vertical) {
    const int32_t step = vertical ? iconHeight : iconWidth;
    if (iconWidth <= 0 || iconHeight <= 0 || step > kMaxStripExtent || frames == 0) return {};
    const auto drawn = static_cast<int32_t>(std::min<uint64_t>(frames, kMaxStripExtent / step));
    if (vertical) return {iconWidth, iconHeight * drawn, drawn};
    return {iconWidth * drawn, iconHeight, drawn};
}

}  // namespace kx

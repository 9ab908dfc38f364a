// Animated-cursor files (RIFF form "ACON") read into frames. The icons
// themselves are made by an icon factory, so the reading needs no Windows.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace kx {

// The "anih" record.
struct AniHeader {
    uint32_t size = 0;
    uint32_t frames = 0;  // icons
    uint32_t steps = 0;   // after reading: the frames kept
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitCount = 0;
    uint32_t planes = 0;
    uint32_t jiffies = 0;  // default display time, 1/60 s
    uint32_t flags = 0;    // bit 0: the frames are icon or cursor resources
};

struct ChunkTag {
    std::array<char, 4> id{};
    uint32_t size = 0;
};

struct AniPoint {
    int32_t x = 0, y = 0;
};

// An icon made by the factory; the frames that show it share it.
class AniIcon {
public:
    virtual ~AniIcon() = default;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
};

class IAniIconFactory {
public:
    virtual ~IAniIconFactory() = default;
    // An icon from the image of an icon resource file (type 1), or nothing
    // when it cannot be made.
    virtual std::shared_ptr<AniIcon> LoadFrameIcon(std::span<const uint8_t> iconFile) = 0;
};

// The factory the picture class reads with: an icon file whose every image
// lies whole inside it is handed to MakeIcon; any other is no icon.
class IconFileFactory : public IAniIconFactory {
public:
    std::shared_ptr<AniIcon> LoadFrameIcon(std::span<const uint8_t> iconFile) final;

protected:
    // Nothing when the icon cannot be made after all.
    virtual std::shared_ptr<AniIcon> MakeIcon(std::span<const uint8_t> iconFile) = 0;
};

struct AniFrame {
    std::shared_ptr<AniIcon> icon;
    bool fromIconResource = false;  // false for a cursor resource
    ChunkTag chunkTag;              // of the frame's "icon" sub-chunk
    AniPoint hotPoint;
    int32_t jiffies = 0;
    int32_t stepIcon = -1;  // the icon, in file order, that the frame shows
};

struct AniCursor {
    AniHeader header;
    std::array<char, 256> title{};   // "INAM", always zero-terminated
    std::array<char, 256> author{};  // "IART"
    std::vector<AniFrame> frames;
    uint16_t maxSourceColors = 0;
};

// 2, 16, 256 for 1, 4, 8 bits; 0 for any other count.
uint16_t ColorsOfBitCount(uint32_t bitCount);

// Reads `data` into `out`. Raises EReadError for data that is not an
// animated cursor, an "anih" record without its resource flag or steps, and
// a file that yields no frame with an icon. Cut-off and oversized chunks end
// the reading quietly with what was read so far.
void ReadAniCursor(std::span<const uint8_t> data, IAniIconFactory& factory, AniCursor& out);

// The size of a strip of `frames` icons side by side (or stacked when
// `vertical`), and how many of them it holds: a strip is at most
// kMaxStripExtent pixels long.
struct StripExtent {
    int32_t width = 0, height = 0;
    int32_t frames = 0;
};
constexpr int32_t kMaxStripExtent = 32767;
StripExtent AniStripExtent(int32_t iconWidth, int32_t iconHeight, size_t frames, bool vertical);

}  // namespace kx

// Icon, cursor and animated-cursor files built in code for the tests, and an
// icon factory that makes icons from the images it can locate.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "AniFileFormat.h"
#include "BmpFormat.h"
#include "IconFileFormat.h"

namespace icon_files {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
    Put16(b, v);
    Put16(b, v >> 16);
}

// Overwrites the 32-bit value at `at`, to damage a file in one place.
inline void Set32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

struct Image {
    int32_t width = 16, height = 16;  // of the picture; the header holds twice the height
    uint16_t bitCount = 4;
    uint16_t hotX = 0, hotY = 0;      // written as planes and bit count of a cursor's entry
    uint8_t colorCount = 16;
};

// An icon (type 1) or cursor (type 2) resource file of the given images.
inline Bytes IconFile(const std::vector<Image>& images, uint16_t type = 1) {
    Bytes out;
    Put16(out, 0);
    Put16(out, type);
    Put16(out, static_cast<uint32_t>(images.size()));
    std::vector<Bytes> bodies;
    for (const Image& im : images) {
        Bytes body;
        Put32(body, 40);
        Put32(body, static_cast<uint32_t>(im.width));
        Put32(body, static_cast<uint32_t>(im.height * 2));
        Put16(body, 1);
        Put16(body, im.bitCount);
        body.resize(40);
        body.resize(body.size() + 4 * size_t(velfw::DibPaletteSize(im.bitCount)));
        const uint64_t rows = static_cast<uint64_t>(im.height);
        body.resize(body.size() + size_t(velfw::DibRowBytes(im.width, im.bitCount)) * rows +
                    size_t(velfw::DibRowBytes(im.width, 1)) * rows, 0x5A);
        bodies.push_back(body);
    }
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const Image& im = images[i];
        out.push_back(static_cast<uint8_t>(im.width));
        out.push_back(static_cast<uint8_t>(im.height));
        out.push_back(im.colorCount);
        out.push_back(0);
        Put16(out, type == 2 ? im.hotX : 1);
        Put16(out, type == 2 ? im.hotY : im.bitCount);
        Put32(out, static_cast<uint32_t>(bodies[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(bodies[i].size());
    }
    for (const Bytes& b : bodies) out.insert(out.end(), b.begin(), b.end());
    return out;
}

// A RIFF chunk with its pad byte.
inline Bytes Chunk(const char* id, const Bytes& data) {
    Bytes out(id, id + 4);
    Put32(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() & 1) out.push_back(0);
    return out;
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline Bytes List(const char* type, std::initializer_list<Bytes> chunks) {
    Bytes data(type, type + 4);
    for (const Bytes& c : chunks) data.insert(data.end(), c.begin(), c.end());
    return Chunk("LIST", data);
}

inline Bytes Values(std::initializer_list<uint32_t> values) {
    Bytes out;
    for (uint32_t v : values) Put32(out, v);
    return out;
}

inline Bytes Anih(uint32_t frames, uint32_t steps, uint32_t jiffies, uint32_t flags = 1) {
    return Chunk("anih", Values({36, frames, steps, 32, 32, 4, 1, jiffies, flags}));
}

inline Bytes Text(const std::string& s) {
    Bytes out(s.begin(), s.end());
    out.push_back(0);
    return out;
}

inline Bytes Riff(std::initializer_list<Bytes> chunks) {
    Bytes body{'A', 'C', 'O', 'N'};
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    Bytes out{'R', 'I', 'F', 'F'};
    Put32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

class FakeIcon : public kx::AniIcon {
public:
    FakeIcon(int32_t w, int32_t h, int serial) : w_(w), h_(h), serial(serial) {}
    int32_t Width() const override { return w_; }
    int32_t Height() const override { return h_; }

private:
    int32_t w_, h_;

public:
    int serial;
};

// The reader's own factory making an icon of the first image's size for
// every file it takes; numbers the icons in the order made.
class FakeIconFactory : public kx::IconFileFactory {
public:
    int made = 0;
    std::vector<int> types;  // the resource type of every file made into an icon

protected:
    std::shared_ptr<kx::AniIcon> MakeIcon(std::span<const uint8_t> file) override {
        types.push_back(file[2]);
        kx::IconDirectory dir;
        kx::IconImageLayout layout;
        kx::ReadIconDirectory(file, dir);
        kx::LocateIconImage(file, dir.entries[0], layout);
        return std::make_shared<FakeIcon>(layout.width, layout.height, made++);
    }
};

inline int Serial(const kx::AniFrame& f) { return static_cast<const FakeIcon&>(*f.icon).serial; }

}  // namespace icon_files

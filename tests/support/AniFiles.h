// Animated-cursor files built in code for the tests, and an icon factory that
// makes icons from the images it can locate.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "AniFileFormat.h"
#include "IconFiles.h"

namespace icon_files {

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
        velfw::IconDirectory dir;
        velfw::IconImageLayout layout;
        velfw::ReadIconDirectory(file, dir);
        velfw::LocateIconImage(file, dir.entries[0], layout);
        return std::make_shared<FakeIcon>(layout.width, layout.height, made++);
    }
};

inline int Serial(const kx::AniFrame& f) { return static_cast<const FakeIcon&>(*f.icon).serial; }

}  // namespace icon_files

// Arbitrary bytes as an animated cursor, with an icon factory that locates
// the first image of each icon resource.
#include <cstdlib>
#include <memory>

#include "AniFileFormat.h"
#include "IconFileFormat.h"
#include "LibraryErrors.h"

namespace {

class SizedIcon : public kx::AniIcon {
public:
    SizedIcon(int32_t w, int32_t h) : w_(w), h_(h) {}
    int32_t Width() const override { return w_; }
    int32_t Height() const override { return h_; }

private:
    int32_t w_, h_;
};

class Factory : public kx::IAniIconFactory {
public:
    std::shared_ptr<kx::AniIcon> LoadIcon(std::span<const uint8_t> file) override {
        kx::IconDirectory dir;
        kx::IconImageLayout layout;
        if (kx::ReadIconDirectory(file, dir) != kx::IconFileFault::None || dir.header.type != 1 ||
            kx::LocateIconImage(file, dir.entries[0], layout) != kx::IconFileFault::None)
            return nullptr;
        return std::make_shared<SizedIcon>(layout.width, layout.height);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Factory factory;
    kx::AniCursor cursor;
    try {
        kx::ReadAniCursor({data, size}, factory, cursor);
    } catch (const velfw::EReadError&) {
        return 0;  // not an animated cursor, or one without frames
    }
    if (cursor.frames.empty() || cursor.frames.size() > size / 4 + 1 || cursor.title.back() != 0 ||
        cursor.author.back() != 0)
        abort();
    for (const auto& frame : cursor.frames)
        if (!frame.icon) abort();
    kx::AniStripExtent(cursor.frames[0].icon->Width(), cursor.frames[0].icon->Height(), cursor.frames.size(), size & 1);
    return 0;
}

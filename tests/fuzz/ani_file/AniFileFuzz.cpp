// Arbitrary bytes as an animated cursor, read with the picture class's own
// icon factory.
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

// The reader's own factory; the icons it makes have the first image's size.
class Factory : public kx::IconFileFactory {
protected:
    std::shared_ptr<kx::AniIcon> MakeIcon(std::span<const uint8_t> file) override {
        velfw::IconDirectory dir;
        velfw::IconImageLayout layout;
        if (velfw::ReadIconDirectory(file, dir) != velfw::IconFileFault::None ||
            velfw::LocateIconImage(file, dir.entries[0], layout) != velfw::IconFileFault::None)
            abort();  // the factory takes only files whose images all lie inside them
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

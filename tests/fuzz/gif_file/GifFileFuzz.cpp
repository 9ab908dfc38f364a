// Any bytes loaded as a GIF file either fail with the library's exception or
// give an image whose save reads back with the same content: each frame's
// pixels (with their colours), delay, disposal, transparent index and
// comments, the image comment and, with several frames, the loop count. The
// first save settles what a file may leave open (a frame of size 0 takes the
// screen's size, which saving recomputes), so such a frame's pixels are not
// compared, and from the second save on the files are equal byte for byte.
#include <cstdlib>
#include <string>
#include <vector>

#include "Classes.h"
#include "KxGIFFormat.h"

namespace {

// Frames this large are not decoded here: the size check before the
// allocation is what the fuzzer should reach, not a slow decode.
constexpr uint64_t kMostDecodedPixels = uint64_t{1} << 22;

struct FrameContent {
    bool pixelsSettled = false;
    bool decoded = false;
    std::vector<uint8_t> dib;
    uint32_t delayMs = 0;
    uint8_t disposal = 0;
    int transparent = -1;
    std::vector<std::vector<std::string>> comments;
    bool operator==(const FrameContent&) const = default;
};

struct ImageContent {
    std::vector<FrameContent> frames;
    std::vector<std::string> comment;
    bool loops = false;
    uint16_t loopCount = 0;
    bool operator==(const ImageContent&) const = default;
};

FrameContent ContentOf(kx::GifFrameCore& frame, int transparent) {
    FrameContent c;
    const auto& item = *frame.ImageItem;
    c.pixelsSettled = item.PixelWidth > 0 && item.PixelHeight > 0;
    if (c.pixelsSettled &&
        static_cast<uint64_t>(item.PixelWidth) * static_cast<uint64_t>(item.PixelHeight) <= kMostDecodedPixels) {
        try {
            c.dib = frame.DecodeToDib();
            c.decoded = true;
        } catch (const velfw::Exception&) {
            // A frame without colour table or with a size its data cannot back.
        }
    }
    c.delayMs = frame.DelayMs;
    c.disposal = frame.DisposalCode;
    c.transparent = transparent;
    // A save drops comment extensions without text.
    for (const kx::TExtension& ext : frame.ExtensionList)
        if (ext.ExtKind == kx::ekComment && !ext.SubBlocks.empty()) c.comments.push_back(ext.SubBlocks);
    return c;
}

// Before a save: the index the save is to mark transparent.
ImageContent ContentToSave(kx::GifImageCore& image) {
    ImageContent c;
    for (auto& frame : image.FrameList) c.frames.push_back(ContentOf(*frame, kx::TransparentIndexOf(*frame)));
    c.comment = image.SharedData->CommentLines;
    if (image.FrameCount() > 1) c.loops = image.LoopAnimation, c.loopCount = image.LoopCount;
    return c;
}

// After reading a save back: the index its last control extension marks.
ImageContent ContentSaved(kx::GifImageCore& image) {
    ImageContent c;
    for (auto& frame : image.FrameList) {
        const kx::TExtension* control = kx::FindLastExtension(frame->ExtensionList, kx::ekGraphicControl);
        c.frames.push_back(ContentOf(*frame, control && control->HasTransparency() ? control->TransparentIndex() : -1));
    }
    c.comment = image.SharedData->CommentLines;
    if (image.FrameCount() > 1) c.loops = image.LoopAnimation, c.loopCount = image.LoopCount;
    return c;
}

// Frames whose size a save settles are left out on both sides.
void DropUnsettledPixels(ImageContent& a, ImageContent& b) {
    auto forget = [](FrameContent& f) {
        f.pixelsSettled = f.decoded = false;
        f.dib.clear();
    };
    for (size_t i = 0; i < a.frames.size() && i < b.frames.size(); ++i)
        if (!a.frames[i].pixelsSettled) forget(a.frames[i]), forget(b.frames[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kx::GifImageCore image;
    try {
        kx::LoadGif(image, {data, size}, false);
    } catch (const velfw::Exception&) {
        return 0;
    }
    if (image.FrameList.empty()) return 0;
    ImageContent loaded = ContentToSave(image);
    std::vector<uint8_t> saved = kx::WriteGif(image, false);

    kx::GifImageCore reread;
    kx::LoadGif(reread, saved, false);
    if (reread.FrameCount() != image.FrameCount()) abort();
    ImageContent back = ContentSaved(reread);
    DropUnsettledPixels(loaded, back);
    if (!(back == loaded)) abort();

    for (int round = 0; round < 2; ++round) {
        kx::GifImageCore again;
        kx::LoadGif(again, saved, false);
        std::vector<uint8_t> next = kx::WriteGif(again, false);
        if (round == 1 && next != saved) abort();
        saved = std::move(next);
    }
    return 0;
}

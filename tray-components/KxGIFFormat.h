// The GIF file (87a and 89a) read into and written from a GifImageCore.
// Frames keep their code streams as stored; only frames made from a picture
// are encoded when saving. Everything works on bytes in memory: the picture
// class hands in what its stream holds and writes out what comes back.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "KxGIFModel.h"

namespace kx {

// Reads the whole GIF file `file` into `image` (reset first). With
// `decodeFirst`, frame 0 is decoded at once and dropped when that fails.
// Errors: "Unknown GIF version", "Unrecognized extension block: XX",
// "Stream read error" (EReadError), "Wrong number of colors; must be a
// power of 2". A failed load leaves the frames read completely before it.
void LoadGif(GifImageCore& image, std::span<const uint8_t> file, bool decodeFirst);

// A 32-bit little-endian length and a GIF file of that length, taken from
// the front of `source` (the form in component streams and on the
// clipboard). A negative length or one beyond `source` raises EReadError
// before anything is read. Returns the bytes used.
size_t LoadGifWithLength(GifImageCore& image, std::span<const uint8_t> source, bool decodeFirst);
inline size_t ReadData(GifImageCore& image, std::span<const uint8_t> source) {
    return LoadGifWithLength(image, source, true);
}

// The image as a GIF file, with a 32-bit length before it when asked.
// Frames without code stream are encoded first and keep the result; the
// graphic control extensions, the version and the logical size are brought
// up to date. "No GIF Data to write" without frames.
std::vector<uint8_t> WriteGif(GifImageCore& image, bool withLength);
inline std::vector<uint8_t> WriteData(GifImageCore& image) { return WriteGif(image, true); }

void EncodeMissingFrames(GifImageCore& image);
// Creates or updates the frame's graphic control extension from its delay,
// transparent colour and disposal, and drops empty comments.
void PrepareControlExtension(GifFrameCore& frame);
// The index a save marks transparent: the one the frame's control
// extension holds while that entry still has the frame's transparent colour
// (a table may hold the colour more than once, and only that entry's pixels
// are the transparent ones), else the first entry with the colour; -1 for
// none.
int TransparentIndexOf(const GifFrameCore& frame);
// The background index a save writes, by the same rule from the image's
// stored index and BackColor; -1 without a global entry of that colour.
int BackgroundIndexOf(const GifImageCore& image);

// An application extension "NETSCAPE2.0" or "ANIMEXTS1.0" (block size 11)
// whose first sub-block is 1 and a 16-bit loop count.
bool IsLoopApplication(const TExtension& extension);

// A loop count read from a file is kept below this.
constexpr uint16_t kMostLoops = 30000;

}  // namespace kx

// gifcheck: loads a GIF file with our reader and prints what it holds; with
// a second name it saves the image there. With --reencode every frame is
// decoded and encoded again before saving, so the writer's own code streams
// are what outside readers get. Used to cross-check the format against
// giflib and Pillow; not shipped.
//
//   gifcheck [--reencode] in.gif [out.gif]
//
// A file we cannot read gives one line on stderr and exit code 1.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Classes.h"
#include "KxGIFFormat.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) throw velfw::Exception("cannot open the file");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw velfw::Exception("cannot write the file");
}

// Comment text on one line: bytes outside printable ASCII as \xNN.
std::string Quoted(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out + "\"";
}

void Describe(kx::GifImageCore& image) {
    const kx::TGIFData& data = *image.SharedData;
    std::printf("screen %ux%u\n", image.LogicalWidth, image.LogicalHeight);
    std::printf("global table %d\n", data.GlobalColors.Count);
    std::printf("background %d\n", kx::BackgroundIndexOf(image));
    if (image.LoopAnimation) std::printf("loop %u\n", image.LoopCount);
    else std::printf("loop none\n");
    for (const std::string& line : data.CommentLines) std::printf("comment %s\n", Quoted(line).c_str());
    for (int i = 0; i < image.FrameCount(); ++i) {
        kx::GifFrameCore& f = image.Frame(i);
        const kx::TGIFItem& item = *f.ImageItem;
        std::printf("frame %d origin %d,%d size %dx%d interlace %d local table %d delay %u transparent %d disposal %u\n",
                    i, f.Origin.X, f.Origin.Y, item.PixelWidth, item.PixelHeight, f.IsInterlaced ? 1 : 0,
                    f.HasLocalTable ? item.FrameColors.Count : 0, f.DelayMs,
                    kx::TransparentIndexOf(f), f.DisposalCode);
        if (const auto* comment = f.FrameComment(false))
            for (const std::string& line : *comment) std::printf("frame %d comment %s\n", i, Quoted(line).c_str());
    }
}

// Every frame decoded and put back as a picture without code stream, so
// saving encodes it anew.
void Reencode(kx::GifImageCore& image) {
    for (auto& frame : image.FrameList) {
        frame->Decode();
        frame->ImageItem->CodeStream.clear();
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool reencode = false;
    if (!args.empty() && args[0] == "--reencode") {
        reencode = true;
        args.erase(args.begin());
    }
    if (args.empty() || args.size() > 2) {
        std::fprintf(stderr, "usage: gifcheck [--reencode] in.gif [out.gif]\n");
        return 2;
    }
    try {
        kx::GifImageCore image;
        kx::LoadGif(image, ReadFile(args[0]), true);
        // Every frame must decode, not only the first.
        for (auto& frame : image.FrameList) frame->Decode();
        Describe(image);
        if (args.size() == 2) {
            if (reencode) Reencode(image);
            WriteFile(args[1], kx::WriteGif(image, false));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gifcheck: %s: %s\n", args[0].c_str(), e.what());
        return 1;
    }
    return 0;
}

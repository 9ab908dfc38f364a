// Decode and encode throughput of our GIF code streams against giflib's, on
// the same images in the same run, in MB/s of pixels (one byte a pixel), and
// the encoded sizes side by side. Ratios above 1 favour us for speed.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include "GiflibReference.h"
#include "KxGIFCodec.h"

using namespace giflib_reference;
using Clock = std::chrono::steady_clock;

namespace {

struct Picture {
    std::string name;
    int width, height, bitCount;
    Bytes raster;  // top-down, one byte a pixel
};

Picture Make(const std::string& name, int width, int height, int bitCount,
             const std::function<unsigned(int x, int y, std::mt19937& rng)>& pixel) {
    std::mt19937 rng(static_cast<unsigned>(width * 31 + height));
    Picture p{name, width, height, bitCount, Bytes(static_cast<size_t>(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) p.raster[static_cast<size_t>(y) * width + x] = pixel(x, y, rng) & ((1u << bitCount) - 1);
    return p;
}

// Best of five rounds, each repeating the work for at least 100 ms; seconds a run.
double Time(const std::function<void()>& work) {
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        int runs = 0;
        const auto start = Clock::now();
        double elapsed = 0;
        do {
            work();
            ++runs;
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        } while (elapsed < 0.1);
        best = std::min(best, elapsed / runs);
    }
    return best;
}

}  // namespace

int main() {
    const Picture pictures[] = {
        Make("photo-like 8-bit 1024x768", 1024, 768, 8,
             [](int x, int y, std::mt19937& r) { return unsigned(x / 4 + y / 3 + r() % 6); }),
        Make("noise 8-bit 1000x80", 1000, 80, 8, [](int, int, std::mt19937& r) { return unsigned(r()); }),
        Make("flat areas 8-bit 1024x768", 1024, 768, 8,
             [](int x, int y, std::mt19937&) { return unsigned((x / 64) * 7 + (y / 48) * 13); }),
        Make("icons 4-bit 512x512", 512, 512, 4,
             [](int x, int y, std::mt19937& r) { return unsigned(((x / 16 + y / 16) % 5) + (r() % 11 == 0)); }),
        Make("text 1-bit 1024x768", 1024, 768, 1,
             [](int x, int y, std::mt19937& r) { return unsigned((y % 12 < 8) && (x % 7 < 3) && r() % 3 != 0); }),
    };
    std::printf("%-28s %9s %9s %7s | %9s %9s %7s | %9s %9s %7s\n", "image", "dec ours", "giflib", "ratio",
                "enc ours", "giflib", "ratio", "bytes us", "giflib", "size");
    double decodeProduct = 1, encodeProduct = 1;
    int count = 0;
    for (const Picture& p : pictures) {
        const double mb = static_cast<double>(p.raster.size()) / 1e6;
        const kx::GifPixelFormat f{p.width, p.height, p.bitCount};
        const Bytes dib = ToDib(p.raster, p.width, p.height, p.bitCount);

        Bytes ours;
        kx::EncodeGifPixels(ours, f, false, nullptr, dib);
        const Bytes theirsFile = EncodeFile(p.width, p.height, p.bitCount, false, p.raster);
        const Bytes theirs = ExtractCodeStream(theirsFile);

        // Both decoders read giflib's stream; both must give the image back.
        Bytes out(dib.size());
        kx::DecodeGifPixels(theirs, f, false, nullptr, out, p.bitCount);
        int w = 0, h = 0;
        Bytes back;
        if (out != dib || !DecodeFile(theirsFile, w, h, back) || back != p.raster) {
            std::printf("%s: decoders disagree\n", p.name.c_str());
            return 1;
        }
        const double decOurs = Time([&] {
            std::fill(out.begin(), out.end(), 0);
            kx::DecodeGifPixels(theirs, f, false, nullptr, out, p.bitCount);
        });
        const double decTheirs = Time([&] { DecodeFile(theirsFile, w, h, back); });
        const double encOurs = Time([&] {
            Bytes s;
            kx::EncodeGifPixels(s, f, false, nullptr, dib);
        });
        const double encTheirs = Time([&] { EncodeFile(p.width, p.height, p.bitCount, false, p.raster); });

        std::printf("%-28s %9.1f %9.1f %7.2f | %9.1f %9.1f %7.2f | %9zu %9zu %+6.2f%%\n", p.name.c_str(), mb / decOurs,
                    mb / decTheirs, decTheirs / decOurs, mb / encOurs, mb / encTheirs, encTheirs / encOurs, ours.size(),
                    theirs.size(), 100.0 * (static_cast<double>(ours.size()) / theirs.size() - 1));
        decodeProduct *= decTheirs / decOurs;
        encodeProduct *= encTheirs / encOurs;
        ++count;
    }
    std::printf("speeds in MB/s of pixels; ratio = giflib's time / ours (geometric mean: decode %.2f, encode %.2f)\n",
                std::pow(decodeProduct, 1.0 / count), std::pow(encodeProduct, 1.0 / count));
    return 0;
}

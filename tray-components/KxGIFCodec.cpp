#include "KxGIFCodec.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "BmpFormat.h"
#include "LibraryErrors.h"

namespace kx {

namespace {

constexpr unsigned kTableSize = 4096;   // codes are at most 12 bits
constexpr unsigned kStackSize = 4097;   // the longest string plus the pixel a new code adds
constexpr unsigned kHashSlots = 17777;  // a prime above four times the table
constexpr unsigned kLastCodeBeforeReset = 4094;

uint64_t CheckedImageBytes(const GifPixelFormat& f, size_t bufferSize, const char* what) {
    if (f.width < 0 || f.height < 0 || (f.bitCount != 1 && f.bitCount != 4 && f.bitCount != 8))
        throw velfw::EInvalidGraphicOperation(what);
    const uint64_t bytes = velfw::DibRowBytes(f.width, f.bitCount) * static_cast<uint64_t>(f.height);
    if (bytes > bufferSize) throw velfw::EInvalidGraphicOperation(what);
    return bytes;
}

std::string MessageOf(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "";
    }
}

// Runs `work` between the starting and the ending report; a failure is
// reported with its text before it passes on.
template <typename Work>
void WithProgress(const GifProgress& progress, Work&& work) {
    if (progress) progress(gpsStarting, 0, "");
    try {
        work();
    } catch (...) {
        if (progress) progress(gpsEnding, 0, MessageOf(std::current_exception()));
        throw;
    }
    if (progress) progress(gpsEnding, 100, "");
}

// The bits of the data sub-blocks, least-significant first. The zero-length
// terminator or the end of the source ends the data: nothing past either is
// read.
class CodeReader {
public:
    CodeReader(const uint8_t* data, size_t size, size_t pos) : data_(data), size_(size), pos_(pos) {}

    // False when the data ends before `bits` more bits.
    bool Next(unsigned bits, unsigned& code) {
        if (count_ < bits) {
            Refill();
            if (count_ < bits) return false;
        }
        code = static_cast<unsigned>(bits_ & ((1u << bits) - 1));
        bits_ >>= bits;
        count_ -= bits;
        return true;
    }

    size_t Position() const { return pos_; }

private:
    void Refill() {
        while (count_ <= 56 && !ended_) {
            if (blockLeft_ == 0) {
                if (pos_ >= size_ || data_[pos_] == 0) {
                    ended_ = true;
                    break;
                }
                blockLeft_ = data_[pos_++];
            }
            if (pos_ >= size_) {
                ended_ = true;  // a sub-block cut short: its bytes so far still count
                break;
            }
            size_t take = std::min<size_t>({blockLeft_, size_ - pos_, (64 - count_) / 8});
            for (size_t i = 0; i < take; ++i, count_ += 8) bits_ |= uint64_t{data_[pos_ + i]} << count_;
            pos_ += take;
            blockLeft_ -= take;
        }
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_;
    size_t blockLeft_ = 0;
    uint64_t bits_ = 0;
    unsigned count_ = 0;
    bool ended_ = false;
};

// Where decoded pixels go: rows of 8-bit values, packed into 1- or 4-bit
// rows as each row completes.
class PixelWriter {
public:
    PixelWriter(const GifPixelFormat& f, bool interlaced, uint8_t* buffer, uint64_t stride)
        : width_(static_cast<uint32_t>(f.width)), height_(f.height), bitCount_(f.bitCount),
          interlaced_(interlaced), buffer_(buffer), stride_(stride) {
        if (bitCount_ != 8) scratch_.assign(width_, 0);
        SelectRow();
    }

    bool Done() const { return row_ >= height_; }
    uint32_t Room() const { return width_ - x_; }
    uint8_t* At() { return current_ + x_; }

    // After writing n pixels at At(), with n <= Room().
    void Advance(uint32_t n) {
        x_ += n;
        if (x_ == width_) NextRow();
    }

    void PutRun(const uint8_t* pixels, uint32_t n) {
        while (n > 0 && !Done()) {
            uint32_t k = std::min(n, Room());
            std::memcpy(At(), pixels, k);
            pixels += k;
            n -= k;
            Advance(k);
        }
    }

    // A row cut short by the end of the data keeps the pixels it got.
    void Finish() {
        if (!Done() && x_ > 0 && bitCount_ != 8) Pack(x_);
    }

private:
    void SelectRow() {
        if (Done()) return;
        row_dest_ = buffer_ + static_cast<uint64_t>(height_ - row_ - 1) * stride_;
        current_ = bitCount_ == 8 ? row_dest_ : scratch_.data();
    }

    void NextRow() {
        if (bitCount_ != 8) Pack(width_);
        x_ = 0;
        row_ = interlaced_ ? NextInterlacedRow(row_, height_, pass_) : row_ + 1;
        SelectRow();
    }

    void Pack(uint32_t n) {
        const uint8_t* s = scratch_.data();
        if (bitCount_ == 4) {
            for (uint32_t i = 0; i + 1 < n; i += 2) row_dest_[i / 2] = static_cast<uint8_t>(s[i] << 4 | s[i + 1]);
            if (n & 1) row_dest_[n / 2] = static_cast<uint8_t>(s[n - 1] << 4);
        } else {
            for (uint32_t i = 0; i < n; i += 8) {
                unsigned byte = 0;
                for (uint32_t j = 0; j < 8; ++j) byte |= (i + j < n ? s[i + j] : 0u) << (7 - j);
                row_dest_[i / 8] = static_cast<uint8_t>(byte);
            }
        }
    }

    uint32_t width_;
    int32_t height_;
    int bitCount_;
    bool interlaced_;
    uint8_t* buffer_;
    uint64_t stride_;
    std::vector<uint8_t> scratch_;
    uint8_t* row_dest_ = nullptr;
    uint8_t* current_ = nullptr;
    int32_t row_ = 0;
    int pass_ = 0;
    uint32_t x_ = 0;
};

// The string table: for a table code, the code of its string without the last
// pixel, that last pixel, the string's first pixel and its length, together
// so that following a string touches one place per pixel.
struct StringEntry {
    uint16_t prefix;
    uint16_t length;
    uint8_t suffix;
    uint8_t first;
};

struct StringTable {
    StringEntry entry[kTableSize];
    uint8_t stack[kStackSize];
};

// Writes the string of `code`, followed by `tail` when `withTail`. Strings are
// built from their last pixel back, straight into the row when they fit.
bool OutputString(StringTable& t, PixelWriter& out, unsigned code, unsigned clear, bool withTail, uint8_t tail) {
    const unsigned total = t.entry[code].length + (withTail ? 1u : 0u);
    if (total > kStackSize) return false;
    const bool direct = total <= out.Room();
    uint8_t* end = (direct ? out.At() : t.stack) + total;
    uint8_t* p = end - 1;
    if (withTail) *p-- = tail;
    while (code >= clear) {
        const StringEntry& e = t.entry[code];
        *p-- = e.suffix;
        code = e.prefix;
    }
    *p = t.entry[code].suffix;
    if (direct)
        out.Advance(total);
    else
        out.PutRun(t.stack, total);
    return true;
}

bool DecodeCodes(const uint8_t* data, size_t size, PixelWriter& out, unsigned pixelMask, const GifProgress& progress) {
    const unsigned minSize = data[0];
    if (minSize < 2 || minSize > 9) return false;

    auto table = std::make_unique<StringTable>();
    StringTable& t = *table;
    const unsigned clear = 1u << minSize, end = clear + 1, firstFree = clear + 2;
    for (unsigned c = 0; c < clear; ++c) {
        const auto pixel = static_cast<uint8_t>(c & pixelMask);
        t.entry[c] = {0, 1, pixel, pixel};
    }
    unsigned codeSize = minSize + 1, maxCode = 1u << codeSize, free = firstFree, old = 0;
    bool full = false, haveOld = false;

    CodeReader reader(data, size, 1);
    int percent = 0;
    size_t nextReport = size / 100 + 1;

    while (!out.Done()) {
        unsigned code;
        if (!reader.Next(codeSize, code)) return false;
        if (code == end) return true;
        if (code == clear) {
            codeSize = minSize + 1;
            maxCode = 1u << codeSize;
            free = firstFree;
            full = false;
            haveOld = false;
            continue;
        }
        if (!haveOld) {
            // The first code after a clear (or at the start) has nothing to
            // extend; a table code there names an entry that does not exist.
            if (code > end) return false;
            OutputString(t, out, code, clear, false, 0);
            old = code;
            haveOld = true;
            continue;
        }
        uint8_t firstPixel;
        if (code < clear) {
            firstPixel = t.entry[code].suffix;
            *out.At() = firstPixel;  // there is always room for one pixel
            out.Advance(1);
        } else if (code < free) {
            firstPixel = t.entry[code].first;
            if (!OutputString(t, out, code, clear, false, 0)) return false;
        } else {
            // Not yet in the table: the old string and its own first pixel.
            // A code beyond the next free one can only be damage; it is
            // taken the same way.
            firstPixel = t.entry[old].first;
            if (!OutputString(t, out, old, clear, true, firstPixel)) return false;
            code = free;
        }
        if (!full) {
            const StringEntry& o = t.entry[old];
            t.entry[free] = {static_cast<uint16_t>(old), static_cast<uint16_t>(o.length + 1), firstPixel, o.first};
            if (++free >= maxCode) {
                if (codeSize < 12) {
                    ++codeSize;
                    maxCode <<= 1;
                } else {
                    full = true;  // no new entries until the next clear code
                }
            }
        }
        old = code;
        if (progress && reader.Position() >= nextReport) {
            int now = static_cast<int>(static_cast<uint64_t>(reader.Position()) * 100 / size);
            if (now != percent) progress(gpsRunning, percent = now, "");
            nextReport = reader.Position() + size / 100 + 1;
        }
    }
    return true;
}

// The codes packed least-significant bit first, cut into sub-blocks of 255
// bytes when the stream is finished.
class CodeWriter {
public:
    explicit CodeWriter(unsigned codeSize) : codeSize_(codeSize) {}

    void SetCodeSize(unsigned size) { codeSize_ = size; }

    void Put(unsigned code) {
        bits_ |= uint64_t{code} << count_;
        count_ += codeSize_;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<uint8_t>(bits_));
            bits_ >>= 8;
            count_ -= 8;
        }
    }

    void Flush(std::vector<uint8_t>& dest) {
        if (count_ > 0) bytes_.push_back(static_cast<uint8_t>(bits_));
        for (size_t i = 0; i < bytes_.size(); i += 255) {
            size_t n = std::min<size_t>(255, bytes_.size() - i);
            dest.push_back(static_cast<uint8_t>(n));
            dest.insert(dest.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(i),
                        bytes_.begin() + static_cast<std::ptrdiff_t>(i + n));
        }
        dest.push_back(0);
    }

private:
    std::vector<uint8_t> bytes_;
    uint64_t bits_ = 0;
    unsigned count_ = 0;
    unsigned codeSize_;
};

struct EncoderTables {
    uint16_t prefix[kTableSize];
    uint8_t pixel[kTableSize];
    uint16_t slots[kHashSlots];  // 0 = empty, else the code whose entry is here
};

void UnpackRow(const uint8_t* src, int bitCount, uint32_t width, uint8_t* dst) {
    if (bitCount == 4) {
        for (uint32_t x = 0; x < width; ++x) dst[x] = (x & 1) ? (src[x / 2] & 0x0F) : (src[x / 2] >> 4);
    } else {
        for (uint32_t x = 0; x < width; ++x) dst[x] = (src[x / 8] >> (7 - x % 8)) & 1;
    }
}

void EncodeCodes(std::vector<uint8_t>& dest, const GifPixelFormat& f, bool interlaced, const GifProgress& progress,
                 const uint8_t* pixels, uint64_t stride) {
    const unsigned initialSize = f.bitCount == 1 ? 3 : static_cast<unsigned>(f.bitCount) + 1;
    const unsigned minSize = initialSize - 1;
    dest.push_back(static_cast<uint8_t>(minSize));
    const unsigned clear = 1u << minSize, end = clear + 1;
    unsigned last = end, maxCode = 1u << initialSize, codeSize = initialSize, length = 0, prefix = 0;
    uint32_t hash = 0;

    auto t = std::make_unique<EncoderTables>();
    CodeWriter out(initialSize);
    out.Put(clear);
    std::memset(t->slots, 0, sizeof t->slots);

    const uint32_t width = static_cast<uint32_t>(f.width);
    std::vector<uint8_t> unpacked(f.bitCount == 8 ? 0 : width);
    int pass = 0;
    for (int32_t row = 0; row < f.height;) {
        const uint8_t* src = pixels + static_cast<uint64_t>(f.height - 1 - row) * stride;
        if (f.bitCount != 8) {
            UnpackRow(src, f.bitCount, width, unpacked.data());
            src = unpacked.data();
        }
        for (uint32_t x = 0; x < width; ++x) {
            const unsigned p = src[x];
            if (++length == 1) {
                prefix = p;
                hash = (p + 3) * 301;
                continue;
            }
            hash = ((p + length + 4) * hash) % kHashSlots;
            uint32_t slot = hash;
            unsigned found = 0;
            for (;;) {
                unsigned code = t->slots[slot];
                if (code == 0) break;
                if (t->prefix[code] == prefix && t->pixel[code] == p) {
                    found = code;
                    break;
                }
                if (++slot == kHashSlots) slot = 0;
            }
            if (found) {
                prefix = found;
                continue;
            }
            out.Put(prefix);
            ++last;
            t->prefix[last] = static_cast<uint16_t>(prefix);
            t->pixel[last] = static_cast<uint8_t>(p);
            t->slots[slot] = static_cast<uint16_t>(last);
            prefix = p;
            hash = (p + 3) * 301;
            length = 1;
            if (last >= maxCode) {
                maxCode <<= 1;
                out.SetCodeSize(++codeSize);
            } else if (last >= kLastCodeBeforeReset) {
                out.Put(prefix);
                out.Put(clear);
                length = 0;
                last = end;
                maxCode = 1u << initialSize;
                out.SetCodeSize(codeSize = initialSize);
                std::memset(t->slots, 0, sizeof t->slots);
            }
        }
        row = interlaced ? NextInterlacedRow(row, f.height, pass) : row + 1;
        if (progress) progress(gpsRunning, static_cast<int>(static_cast<int64_t>(std::min(row, f.height)) * 100 / f.height), "");
    }
    // Nothing is pending when the image is empty or a reset came with its
    // last pixel.
    if (length > 0) out.Put(prefix);
    out.Put(end);
    out.Flush(dest);
}

}  // namespace

int32_t NextInterlacedRow(int32_t row, int32_t height, int& pass) {
    row += pass <= 1 ? 8 : pass == 2 ? 4 : 2;
    if (row < height) return row;
    switch (pass) {
    case 0:
        pass = 1;
        if (height > 4) return 4;
        [[fallthrough]];
    case 1:
        pass = 2;
        if (height > 2) return 2;
        [[fallthrough]];
    case 2:
        pass = 3;
        return 1;
    default:
        return row;
    }
}

GifDecodeResult DecodeGifPixels(std::span<const uint8_t> source, const GifPixelFormat& format, bool interlaced,
                                const GifProgress& progress, std::span<uint8_t> pixels, int colorBits) {
    CheckedImageBytes(format, pixels.size(), "GIF image decoding error");
    if (colorBits < 1 || colorBits > 8) throw velfw::EInvalidGraphicOperation("GIF image decoding error");
    // Pixel values beyond the colour table or the pixel size are cut to them.
    const unsigned pixelMask = (1u << std::min(colorBits, format.bitCount)) - 1;
    GifDecodeResult result;
    WithProgress(progress, [&] {
        if (source.empty()) throw velfw::EReadError();
        if (format.width == 0 || format.height == 0) return;
        PixelWriter out(format, interlaced, pixels.data(), velfw::DibRowBytes(format.width, format.bitCount));
        result.corrupted = !DecodeCodes(source.data(), source.size(), out, pixelMask, progress);
        out.Finish();
    });
    return result;
}

void EncodeGifPixels(std::vector<uint8_t>& dest, const GifPixelFormat& format, bool interlaced,
                     const GifProgress& progress, std::span<const uint8_t> pixels) {
    CheckedImageBytes(format, pixels.size(), "GIF image encoding error");
    const uint64_t stride = velfw::DibRowBytes(format.width, format.bitCount);
    WithProgress(progress, [&] {
        GifPixelFormat f = format;
        if (f.width == 0) f.height = 0;  // no pixels at all
        EncodeCodes(dest, f, interlaced, progress, pixels.data(), stride);
    });
}

}  // namespace kx

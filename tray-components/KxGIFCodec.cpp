#include "KxGIFCodec.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "BmpFormat.h"
#include "ByteOrder.h"
#include "LibraryErrors.h"

namespace kx {

namespace {

constexpr unsigned kTableSize = 4096;   // codes are at most 12 bits
constexpr unsigned kStackSize = 4097;   // the longest string plus the pixel a new code adds
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

// The data sub-blocks joined into one run of bytes, followed by zero bytes
// so that a code is read with one eight-byte load. The zero-length terminator
// or the end of the source ends the data: nothing past either is read, and a
// sub-block cut short keeps the bytes it has.
class CodeReader {
public:
    CodeReader(const uint8_t* data, size_t size, size_t pos) {
        bytes_.reserve(size - pos + kPadding);
        while (pos < size && data[pos] != 0) {
            const size_t length = data[pos++];
            const size_t take = std::min(length, size - pos);
            bytes_.insert(bytes_.end(), data + pos, data + pos + take);
            pos += take;
        }
        bits_ = uint64_t{bytes_.size()} * 8;
        bytes_.resize(bytes_.size() + kPadding);
    }

    // False when the data ends before `bits` more bits.
    bool Next(unsigned bits, unsigned& code) {
        if (at_ + bits > bits_) return false;
        const uint8_t* p = bytes_.data() + (at_ >> 3);
        const uint64_t word = velfw::ReadLe32(p) | uint64_t{velfw::ReadLe32(p + 4)} << 32;
        code = static_cast<unsigned>(word >> (at_ & 7)) & ((1u << bits) - 1);
        at_ += bits;
        return true;
    }

    // Per cent of the data read so far.
    int Percent() const { return bits_ == 0 ? 100 : static_cast<int>(at_ * 100 / bits_); }
    uint64_t BitsRead() const { return at_; }
    uint64_t Bits() const { return bits_; }

private:
    static constexpr size_t kPadding = 8;
    std::vector<uint8_t> bytes_;
    uint64_t bits_ = 0;
    uint64_t at_ = 0;
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

    void PutRun(const uint8_t* pixels, size_t n) {
        while (n > 0 && !Done()) {
            const uint32_t k = static_cast<uint32_t>(std::min<size_t>(n, width_ - x_));
            std::memcpy(current_ + x_, pixels, k);
            pixels += k;
            n -= k;
            x_ += k;
            if (x_ == width_) NextRow();
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
        uint32_t i = 0;
        if (bitCount_ == 4) {
            for (; i + 1 < n; i += 2) row_dest_[i / 2] = static_cast<uint8_t>(s[i] << 4 | s[i + 1]);
            if (n & 1) row_dest_[n / 2] = static_cast<uint8_t>(s[n - 1] << 4);
            return;
        }
        for (; i + 8 <= n; i += 8)
            row_dest_[i / 8] = static_cast<uint8_t>(s[i] << 7 | s[i + 1] << 6 | s[i + 2] << 5 | s[i + 3] << 4 |
                                                    s[i + 4] << 3 | s[i + 5] << 2 | s[i + 6] << 1 | s[i + 7]);
        if (i < n) {
            unsigned byte = 0;
            for (uint32_t j = 0; i + j < n; ++j) byte |= unsigned{s[i + j]} << (7 - j);
            row_dest_[i / 8] = static_cast<uint8_t>(byte);
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

// The pixels decoded since the last clear code, in stream order. Every table
// code names a string that was already written here (a string is the one
// before it plus the first pixel of the next), so a table entry is where its
// string starts and how long it is, and writing a code is one forward copy.
// Pixels go on to the rows as they are flushed; a clear code, which no later
// code can reach behind, starts the window again.
class DecodeWindow {
public:
    // `total` pixels at most are decoded.
    DecodeWindow(PixelWriter& out, uint64_t total)
        : out_(out), total_(total), bytes_(static_cast<size_t>(std::min<uint64_t>(kFirstSize, total + kRoom))) {}

    // Room for the longest string at the end, with the copies' overrun; never
    // more than the rest of the image needs.
    uint8_t* Reserve() {
        if (bytes_.size() - end_ < kRoom)
            bytes_.resize(static_cast<size_t>(std::min<uint64_t>(bytes_.size() * 2, total_ - before_ + kRoom)));
        return bytes_.data();
    }
    size_t End() const { return end_; }
    void Advance(size_t n) { end_ += n; }
    uint64_t Pixels() const { return before_ + end_; }

    void Flush() {
        out_.PutRun(bytes_.data() + flushed_, end_ - flushed_);
        flushed_ = end_;
    }
    void Restart() {
        Flush();
        before_ += end_;
        end_ = flushed_ = 0;
    }

    // Copies in 16-byte steps and so writes up to 15 bytes past the string.
    // The source ends at or before the destination, so every byte it needs
    // is there before the copy reaches it.
    static constexpr size_t kCopyOverrun = 16;
    static void Copy(uint8_t* to, const uint8_t* from, unsigned n) {
        for (unsigned i = 0; i < n; i += 16) {
            uint8_t step[16];
            std::memcpy(step, from + i, 16);
            std::memcpy(to + i, step, 16);
        }
    }

private:
    static constexpr size_t kFirstSize = 64 * 1024;
    static constexpr size_t kRoom = kStackSize + kCopyOverrun;
    PixelWriter& out_;
    uint64_t total_;
    std::vector<uint8_t> bytes_;
    size_t end_ = 0;
    size_t flushed_ = 0;
    uint64_t before_ = 0;
};

// Where each table code's string starts in the window and its length.
struct StringTable {
    uint32_t start[kTableSize];
    uint16_t length[kTableSize];
};

bool DecodeCodes(const uint8_t* data, size_t size, PixelWriter& out, uint64_t total, unsigned pixelMask,
                 const GifProgress& progress) {
    const unsigned minSize = data[0];
    if (minSize < 2 || minSize > 9) return false;

    auto table = std::make_unique_for_overwrite<StringTable>();
    StringTable& t = *table;
    const unsigned clear = 1u << minSize, end = clear + 1, firstFree = clear + 2;
    unsigned codeSize = minSize + 1, maxCode = 1u << codeSize, free = firstFree;
    bool full = false, haveOld = false;
    size_t oldStart = 0;  // the string of the code before, in the window
    unsigned oldLength = 0;

    CodeReader reader(data, size, 1);
    DecodeWindow window(out, total);
    int percent = 0;
    const uint64_t reportEvery = reader.Bits() / 100 + 1;
    uint64_t nextReport = reportEvery;

    while (window.Pixels() < total) {
        unsigned code;
        if (!reader.Next(codeSize, code)) break;
        if (code == end) {
            window.Flush();
            return true;
        }
        if (code == clear) {
            window.Restart();
            codeSize = minSize + 1;
            maxCode = 1u << codeSize;
            free = firstFree;
            full = false;
            haveOld = false;
            continue;
        }
        uint8_t* w = window.Reserve();
        const size_t at = window.End();
        unsigned length;
        if (code < clear) {
            w[at] = static_cast<uint8_t>(code & pixelMask);
            length = 1;
        } else if (!haveOld) {
            // The first code after a clear (or at the start) has nothing to
            // extend; a table code there names an entry that does not exist.
            break;
        } else if (code < free) {
            length = t.length[code];
            DecodeWindow::Copy(w + at, w + t.start[code], length);
        } else {
            // Not yet in the table: the old string and its own first pixel.
            // A code beyond the next free one can only be damage; it is
            // taken the same way.
            DecodeWindow::Copy(w + at, w + oldStart, oldLength);
            w[at + oldLength] = w[oldStart];
            length = oldLength + 1;
        }
        window.Advance(length);
        if (haveOld && !full) {
            t.start[free] = static_cast<uint32_t>(oldStart);
            t.length[free] = static_cast<uint16_t>(oldLength + 1);
            if (++free >= maxCode) {
                if (codeSize < 12) {
                    ++codeSize;
                    maxCode <<= 1;
                } else {
                    full = true;  // no new entries until the next clear code
                }
            }
        }
        haveOld = true;
        oldStart = at;
        oldLength = length;
        if (progress && reader.BitsRead() >= nextReport) {
            // What came before a stop is kept: the pixels go to the rows first.
            window.Flush();
            const int now = reader.Percent();
            if (now != percent) progress(gpsRunning, percent = now, "");
            nextReport = reader.BitsRead() + reportEvery;
        }
    }
    window.Flush();
    return window.Pixels() >= total;
}

// The codes packed least-significant bit first, cut into sub-blocks of 255
// bytes when the stream is finished. Bits are collected in a 64-bit word and
// written out 32 at a time.
class CodeWriter {
public:
    explicit CodeWriter(unsigned codeSize) : bytes_(4096), codeSize_(codeSize) {}

    void SetCodeSize(unsigned size) { codeSize_ = size; }

    void Put(unsigned code) {
        bits_ |= uint64_t{code} << count_;
        count_ += codeSize_;
        if (count_ >= 32) {
            if (bytes_.size() - used_ < 4) bytes_.resize(bytes_.size() * 2);
            velfw::WriteLe32(bytes_.data() + used_, static_cast<uint32_t>(bits_));
            used_ += 4;
            bits_ >>= 32;
            count_ -= 32;
        }
    }

    void Flush(std::vector<uint8_t>& dest) {
        for (; count_ > 0; count_ = count_ > 8 ? count_ - 8 : 0, bits_ >>= 8) {
            if (used_ == bytes_.size()) bytes_.resize(bytes_.size() + 8);
            bytes_[used_++] = static_cast<uint8_t>(bits_);
        }
        size_t at = dest.size();
        dest.resize(at + used_ + (used_ + 254) / 255 + 1);
        for (size_t i = 0; i < used_; i += 255) {
            const size_t n = std::min<size_t>(255, used_ - i);
            dest[at++] = static_cast<uint8_t>(n);
            std::memcpy(dest.data() + at, bytes_.data() + i, n);
            at += n;
        }
        dest[at] = 0;
    }

private:
    std::vector<uint8_t> bytes_;
    size_t used_ = 0;
    uint64_t bits_ = 0;
    unsigned count_ = 0;
    unsigned codeSize_;
};

// The strings of the encoder's table, found by the code of their string
// without the last pixel and that pixel. For 8-bit pixels: open addressing
// with linear probing in a table that fits the first-level cache, each slot
// holding the key (prefix << 8 | pixel) above the code it names. In front of
// it, each code's latest next string: in flat areas a string goes on with
// the same pixel as last time, and that look-up needs no hashing.
class HashedStrings {
public:
    HashedStrings() { Clear(); }

    void Clear() {
        std::fill(std::begin(slots_), std::end(slots_), kEmpty);
        std::fill(std::begin(latest_), std::end(latest_), kEmpty);
    }

    // The code of the string, or 0 with `slot` where it goes.
    unsigned Find(unsigned prefix, unsigned pixel, uint32_t& slot) {
        const uint32_t latest = latest_[prefix];
        if (latest >> 12 == pixel) return latest & 0xFFF;
        const uint32_t key = prefix << 8 | pixel;
        for (slot = (key * 0x9E3779B1u) >> (32 - kSlotBits);; slot = (slot + 1) & (kSlots - 1)) {
            const uint32_t entry = slots_[slot];
            if (entry >> 12 == key) {
                latest_[prefix] = pixel << 12 | (entry & 0xFFF);
                return entry & 0xFFF;
            }
            if (entry == kEmpty) return 0;
        }
    }

    void Add(uint32_t slot, unsigned prefix, unsigned pixel, unsigned code) {
        slots_[slot] = (prefix << 8 | pixel) << 12 | code;
        latest_[prefix] = pixel << 12 | code;
    }

private:
    static constexpr unsigned kSlotBits = 13;  // twice the codes, four bytes each
    static constexpr uint32_t kSlots = 1u << kSlotBits;
    // No key reaches all ones: prefixes stay below 4095.
    static constexpr uint32_t kEmpty = 0xFFFFFFFF;
    uint32_t slots_[kSlots];
    uint32_t latest_[kTableSize];  // pixel << 12 | code
};

// For 1- and 4-bit pixels the table is direct: a row of 2 or 16 next codes
// for each code (64 KB at most), so a look-up is one load. A code's row is
// emptied when the code is made, so a reset empties only the pixels' rows.
class DirectStrings {
public:
    DirectStrings(unsigned bits, unsigned clear) : next_(size_t{kTableSize} << bits), bits_(bits), clear_(clear) {}

    void Clear() { std::fill_n(next_.begin(), size_t{clear_} << bits_, uint16_t{0}); }

    unsigned Find(unsigned prefix, unsigned pixel, uint32_t& slot) const {
        slot = prefix << bits_ | pixel;
        return next_[slot];
    }

    void Add(uint32_t slot, unsigned, unsigned, unsigned code) {
        next_[slot] = static_cast<uint16_t>(code);
        std::fill_n(next_.begin() + (size_t{code} << bits_), size_t{1} << bits_, uint16_t{0});
    }

private:
    std::vector<uint16_t> next_;
    unsigned bits_;
    unsigned clear_;
};

void UnpackRow(const uint8_t* src, int bitCount, uint32_t width, uint8_t* dst) {
    uint32_t x = 0;
    if (bitCount == 4) {
        for (; x + 2 <= width; x += 2) {
            dst[x] = src[x / 2] >> 4;
            dst[x + 1] = src[x / 2] & 0x0F;
        }
        if (x < width) dst[x] = src[x / 2] >> 4;
        return;
    }
    for (; x + 8 <= width; x += 8)
        for (unsigned j = 0; j < 8; ++j) dst[x + j] = (src[x / 8] >> (7 - j)) & 1;
    for (; x < width; ++x) dst[x] = (src[x / 8] >> (7 - x % 8)) & 1;
}

unsigned EncoderMinimumCodeSize(int bitCount) { return bitCount == 1 ? 2 : static_cast<unsigned>(bitCount); }

template <typename Strings>
void EncodeCodes(Strings& table, std::vector<uint8_t>& dest, const GifPixelFormat& f, bool interlaced,
                 const GifProgress& progress, const uint8_t* pixels, uint64_t stride) {
    const unsigned minSize = EncoderMinimumCodeSize(f.bitCount), initialSize = minSize + 1;
    dest.push_back(static_cast<uint8_t>(minSize));
    const unsigned clear = 1u << minSize, end = clear + 1;
    unsigned last = end, maxCode = 1u << initialSize, codeSize = initialSize, prefix = 0;
    bool pending = false;  // a string is begun: `prefix` is its code

    table.Clear();
    CodeWriter out(initialSize);
    out.Put(clear);

    const uint32_t width = static_cast<uint32_t>(f.width);
    std::vector<uint8_t> unpacked(f.bitCount == 8 ? 0 : width);
    int pass = 0;
    for (int32_t row = 0; row < f.height;) {
        const uint8_t* src = pixels + static_cast<uint64_t>(f.height - 1 - row) * stride;
        if (f.bitCount != 8) {
            UnpackRow(src, f.bitCount, width, unpacked.data());
            src = unpacked.data();
        }
        uint32_t x = 0;
        if (!pending && width > 0) {
            prefix = src[x++];
            pending = true;
        }
        for (; x < width; ++x) {
            const unsigned p = src[x];
            uint32_t slot = 0;
            if (const unsigned found = table.Find(prefix, p, slot)) {
                prefix = found;
                continue;
            }
            out.Put(prefix);
            table.Add(slot, prefix, p, ++last);
            prefix = p;
            if (last >= maxCode) {
                maxCode <<= 1;
                out.SetCodeSize(++codeSize);
            } else if (last >= kLastCodeBeforeReset) {
                out.Put(prefix);
                out.Put(clear);
                last = end;
                maxCode = 1u << initialSize;
                out.SetCodeSize(codeSize = initialSize);
                table.Clear();
                if (++x == width) {
                    pending = false;
                    break;
                }
                prefix = src[x];
            }
        }
        row = interlaced ? NextInterlacedRow(row, f.height, pass) : row + 1;
        if (progress) progress(gpsRunning, static_cast<int>(static_cast<int64_t>(std::min(row, f.height)) * 100 / f.height), "");
    }
    // Nothing is pending when the image is empty or a reset came with its
    // last pixel.
    if (pending) out.Put(prefix);
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
        const uint64_t total = static_cast<uint64_t>(format.width) * static_cast<uint64_t>(format.height);
        result.corrupted = !DecodeCodes(source.data(), source.size(), out, total, pixelMask, progress);
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
        if (f.bitCount == 8) {
            auto table = std::make_unique<HashedStrings>();
            EncodeCodes(*table, dest, f, interlaced, progress, pixels.data(), stride);
        } else {
            DirectStrings table(static_cast<unsigned>(f.bitCount), 1u << EncoderMinimumCodeSize(f.bitCount));
            EncodeCodes(table, dest, f, interlaced, progress, pixels.data(), stride);
        }
    });
}

}  // namespace kx

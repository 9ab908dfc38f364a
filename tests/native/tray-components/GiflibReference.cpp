#include "GiflibReference.h"

#include <gif_lib.h>

#include <cstring>
#include <stdexcept>

#include "BmpFormat.h"
#include "KxGIFCodec.h"

namespace giflib_reference {

namespace {

int WriteToBytes(GifFileType* gif, const GifByteType* data, int n) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

struct Source {
    const Bytes* bytes;
    size_t pos;
};

int ReadFromBytes(GifFileType* gif, GifByteType* data, int n) {
    auto* src = static_cast<Source*>(gif->UserData);
    size_t k = std::min(static_cast<size_t>(n), src->bytes->size() - src->pos);
    std::memcpy(data, src->bytes->data() + src->pos, k);
    src->pos += k;
    return static_cast<int>(k);
}

// Rows in the order they are stored.
std::vector<int> StoredRowOrder(int height, bool interlaced) {
    std::vector<int> rows;
    int pass = 0;
    for (int row = 0; row < height; row = interlaced ? kx::NextInterlacedRow(row, height, pass) : row + 1)
        rows.push_back(row);
    return rows;
}

void Put16(Bytes& out, int v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

}  // namespace

Bytes EncodeFile(int width, int height, int colorBits, bool interlaced, const Bytes& raster) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToBytes, &error);
    if (!gif) throw std::runtime_error("EGifOpen failed");
    ColorMapObject* map = GifMakeMapObject(1 << colorBits, nullptr);
    bool ok = EGifPutScreenDesc(gif, width, height, colorBits, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, interlaced, nullptr) == GIF_OK;
    Bytes line(static_cast<size_t>(width));
    for (int row : StoredRowOrder(height, interlaced)) {
        if (!ok) break;
        std::memcpy(line.data(), raster.data() + static_cast<size_t>(row) * width, line.size());
        ok = EGifPutLine(gif, line.data(), width) == GIF_OK;
    }
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    GifFreeMapObject(map);
    if (!ok) throw std::runtime_error("giflib could not write the image");
    return out;
}

bool DecodeFile(const Bytes& file, int& width, int& height, Bytes& raster) {
    Source src{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&src, ReadFromBytes, &error);
    if (!gif) return false;
    bool ok = false;
    GifRecordType type;
    while (DGifGetRecordType(gif, &type) == GIF_OK) {
        if (type == EXTENSION_RECORD_TYPE) {
            int code;
            GifByteType* block;
            if (DGifGetExtension(gif, &code, &block) != GIF_OK) break;
            while (block && DGifGetExtensionNext(gif, &block) == GIF_OK) {
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(gif) != GIF_OK) break;
        width = gif->Image.Width;
        height = gif->Image.Height;
        raster.assign(static_cast<size_t>(width) * height, 0);
        ok = true;
        for (int row : StoredRowOrder(height, gif->Image.Interlace)) {
            if (DGifGetLine(gif, raster.data() + static_cast<size_t>(row) * width, width) != GIF_OK) {
                ok = false;
                break;
            }
        }
        break;
    }
    DGifCloseFile(gif, &error);
    return ok;
}

Bytes ToDib(const Bytes& raster, int width, int height, int bitCount) {
    const uint64_t stride = velfw::DibRowBytes(width, bitCount);
    Bytes dib(stride * static_cast<uint64_t>(height));
    for (int y = 0; y < height; ++y) {
        uint8_t* row = dib.data() + (height - 1 - y) * stride;
        const uint8_t* src = raster.data() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            if (bitCount == 8) row[x] = src[x];
            else if (bitCount == 4) row[x / 2] |= static_cast<uint8_t>((x & 1) ? src[x] : src[x] << 4);
            else row[x / 8] |= static_cast<uint8_t>(src[x] << (7 - x % 8));
        }
    }
    return dib;
}

Bytes FromDib(const Bytes& dib, int width, int height, int bitCount) {
    const uint64_t stride = velfw::DibRowBytes(width, bitCount);
    Bytes raster(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = dib.data() + (height - 1 - y) * stride;
        uint8_t* dst = raster.data() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            if (bitCount == 8) dst[x] = row[x];
            else if (bitCount == 4) dst[x] = (x & 1) ? row[x / 2] & 0x0F : row[x / 2] >> 4;
            else dst[x] = (row[x / 8] >> (7 - x % 8)) & 1;
        }
    }
    return raster;
}

Bytes WrapCodeStream(int width, int height, int colorBits, bool interlaced, const Bytes& codeStream) {
    Bytes out{'G', 'I', 'F', '8', '7', 'a'};
    Put16(out, width);
    Put16(out, height);
    out.push_back(static_cast<uint8_t>(0x80 | (colorBits - 1) << 4 | (colorBits - 1)));
    out.push_back(0);  // background
    out.push_back(0);  // aspect
    for (int i = 0; i < (1 << colorBits); ++i) out.insert(out.end(), {uint8_t(i), uint8_t(i), uint8_t(i)});
    out.push_back(',');
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, width);
    Put16(out, height);
    out.push_back(interlaced ? 0x40 : 0x00);
    out.insert(out.end(), codeStream.begin(), codeStream.end());
    out.push_back(';');
    return out;
}

Bytes ExtractCodeStream(const Bytes& file) {
    size_t pos = 13;
    if (file.size() < pos) throw std::runtime_error("not a GIF file");
    if (file[10] & 0x80) pos += 3u << ((file[10] & 7) + 1);
    while (pos < file.size() && file[pos] == '!') {  // extensions: label, then sub-blocks
        pos += 2;
        while (pos < file.size() && file[pos] != 0) pos += file[pos] + 1u;
        ++pos;
    }
    if (pos + 10 > file.size() || file[pos] != ',') throw std::runtime_error("no image descriptor");
    const uint8_t packed = file[pos + 9];
    pos += 10;
    if (packed & 0x80) pos += 3u << ((packed & 7) + 1);
    const size_t start = pos++;
    while (pos < file.size() && file[pos] != 0) pos += file[pos] + 1u;
    if (pos >= file.size()) throw std::runtime_error("code stream cut short");
    return Bytes(file.begin() + static_cast<std::ptrdiff_t>(start), file.begin() + static_cast<std::ptrdiff_t>(pos + 1));
}

}  // namespace giflib_reference

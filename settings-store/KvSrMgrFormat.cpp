#include "KvSrMgrFormat.h"

#include <cstring>

#include "ByteOrder.h"

namespace kv {

namespace {

constexpr size_t kHeaderSize = 8;
constexpr size_t kEntrySize = 12;

const TKvStringTable* g_readerStrings = nullptr;

const char* EnglishReaderMessage(TKvReaderMessage id) {
    switch (id) {
    case srmStringNotFound: return "String not found: %d";
    case srmCannotLock: return "Cannot lock resource";
    case srmResourceNotFound: return "String resource not found: %s";
    case srmCannotOpen: return "Unable to open string resource: %s";
    case srmInvalidResource: return "Invalid TPString resource";
    }
    return "";
}

int32_t Signed(uint32_t v) { return static_cast<int32_t>(v); }

// Windows-1252 bytes 0x80 to 0x9F; 0 where the code page has no character
// (Windows maps those bytes to the same C1 control code).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char AnsiChar(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    for (int i = 0; i < 32; ++i) {
        const char16_t mapped = kCp1252High[i] != 0 ? kCp1252High[i] : static_cast<char16_t>(0x80 + i);
        if (mapped == unit) return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

void TKvStringTable::Open(const uint8_t* data, size_t size) {
    // Every bound in 64 bits, before anything is read through the directory.
    const auto invalid = [] { return ETpsStringResourceError(ReaderMessage(srmInvalidResource)); };
    if (data == nullptr || size < kHeaderSize || std::memcmp(data, "STR0", 4) != 0) throw invalid();
    const int64_t total = static_cast<int64_t>(size);
    const int64_t count = Signed(velfw::ReadLe32(data + 4));
    if (count < 0 || count > (total - static_cast<int64_t>(kHeaderSize)) / static_cast<int64_t>(kEntrySize))
        throw invalid();
    for (int64_t i = 0; i < count; ++i) {
        const uint8_t* entry = data + kHeaderSize + static_cast<size_t>(i) * kEntrySize;
        const int64_t offset = Signed(velfw::ReadLe32(entry + 4));
        const int64_t length = Signed(velfw::ReadLe32(entry + 8));
        if (offset < 0 || length < 0 || offset + 2 * length > total) throw invalid();
    }
    data_.assign(data, data + size);
    count_ = static_cast<int32_t>(count);
}

void TKvStringTable::Close() {
    data_.clear();
    count_ = 0;
}

uint32_t TKvStringTable::ReadUInt32(size_t at) const { return velfw::ReadLe32(data_.data() + at); }

bool TKvStringTable::FindText(int32_t id, std::u16string& text) const {
    if (TryText(id, text)) return true;
    if (RaiseOnMissing)
        throw ETpsStringResourceError(FillPlaceholder(ReaderMessage(srmStringNotFound), std::to_string(id)));
    return false;
}

bool TKvStringTable::TryText(int32_t id, std::u16string& text) const {
    // Indexes in 64 bits: low + high cannot overflow.
    int64_t low = 0, high = int64_t{count_} - 1;
    while (low <= high) {
        const int64_t middle = (low + high) / 2;
        const size_t entry = kHeaderSize + static_cast<size_t>(middle) * kEntrySize;
        const int32_t entryId = Signed(ReadUInt32(entry));
        if (entryId == id) {
            const size_t offset = ReadUInt32(entry + 4);
            const size_t length = ReadUInt32(entry + 8);
            text.clear();
            text.reserve(length);
            // Offsets may be odd: each unit is put together byte by byte.
            for (size_t i = 0; i < length; ++i) {
                const uint8_t* p = data_.data() + offset + 2 * i;
                text.push_back(static_cast<char16_t>(velfw::ReadLe16(p)));
            }
            return true;
        }
        if (entryId < id)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return false;
}

std::u16string TKvStringTable::TextById(int32_t id) const {
    std::u16string text;
    FindText(id, text);
    return text;
}

std::string TKvStringTable::StringById(int32_t id) const { return AnsiFromUtf16(TextById(id)); }

std::string AnsiFromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t unit : text) out.push_back(AnsiChar(unit));
    return out;
}

std::string FillPlaceholder(const std::string& text, const std::string& value) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && (text[i + 1] == 's' || text[i + 1] == 'd'))
            return text.substr(0, i) + value + text.substr(i + 2);
    }
    return text;
}

void SetResourceManagerStrings(const TKvStringTable* table) { g_readerStrings = table; }

std::string ReaderMessage(TKvReaderMessage id) {
    std::u16string text;
    if (g_readerStrings != nullptr && g_readerStrings->TryText(id, text) && !text.empty()) return AnsiFromUtf16(text);
    return EnglishReaderMessage(id);
}

}  // namespace kv

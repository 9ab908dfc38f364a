// The string tables the build made, for tests that read library strings.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "KvConst.h"

inline std::vector<uint8_t> BuiltStringTable(const std::string& name) {
    std::ifstream file(std::string(VELUNOR_STRING_TABLE_DIR) + "/" + name + ".bin", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Makes `table` the library strings for the life of the object.
class ScopedLibraryStrings {
public:
    explicit ScopedLibraryStrings(const std::vector<uint8_t>& bytes) : previous_(kv::LibraryStrings()) {
        table_.Open(bytes.data(), bytes.size());
        kv::SetLibraryStrings(&table_);
    }
    ScopedLibraryStrings() : ScopedLibraryStrings(BuiltStringTable("KVLIB3_STRINGS_ENGLISH")) {}
    ~ScopedLibraryStrings() { kv::SetLibraryStrings(previous_); }
    ScopedLibraryStrings(const ScopedLibraryStrings&) = delete;
    ScopedLibraryStrings& operator=(const ScopedLibraryStrings&) = delete;

private:
    kv::TKvStringTable table_;
    const kv::TKvStringTable* previous_;
};

// A "STR0" table made in code, texts packed after the directory.
inline std::vector<uint8_t> MakeStringTable(const std::vector<std::pair<int32_t, std::u16string>>& strings) {
    std::vector<uint8_t> bytes = {'S', 'T', 'R', '0'};
    const auto put = [&bytes](int32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    };
    put(static_cast<int32_t>(strings.size()));
    int32_t offset = static_cast<int32_t>(8 + 12 * strings.size());
    for (const auto& [id, text] : strings) {
        put(id);
        put(offset);
        put(static_cast<int32_t>(text.size()));
        offset += static_cast<int32_t>(2 * text.size());
    }
    for (const auto& s : strings)
        for (char16_t unit : s.second) {
            bytes.push_back(static_cast<uint8_t>(unit));
            bytes.push_back(static_cast<uint8_t>(unit >> 8));
        }
    return bytes;
}

// The library's "STR0" string tables, read from bytes in memory: the resource
// side only finds and loads the bytes. No Windows here.
//
// Layout, little-endian: "STR0", the count (Int32), a directory of count
// entries (id, byte offset, length in UTF-16 units; each Int32, sorted by
// id), then the UTF-16LE texts without terminators.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Classes.h"

namespace kv {

// The reader's own failures.
class ETpsStringResourceError : public velfw::Exception {
public:
    using Exception::Exception;
};

// Ids of the reader's own messages in "KVSRMGR_STRINGS".
enum TKvReaderMessage : int32_t {
    srmStringNotFound = 1,    // "String not found: %d"
    srmCannotLock = 2,        // "Cannot lock resource"
    srmResourceNotFound = 3,  // "String resource not found: %s"
    srmCannotOpen = 4,        // "Unable to open string resource: %s"
    srmInvalidResource = 5,   // "Invalid TPString resource"
};

class TKvStringTable {
public:
    // Takes a copy of the table after checking its signature and every bound
    // of its directory; raises ETpsStringResourceError ("Invalid TPString
    // resource") and keeps the table it had otherwise.
    void Open(const uint8_t* data, size_t size);
    void Close();
    bool IsOpen() const { return !data_.empty(); }
    int32_t Count() const { return count_; }

    // The text of `id` as UTF-16 units; false when the table has no such id
    // (raising "String not found: %d" instead when RaiseOnMissing is set).
    bool FindText(int32_t id, std::u16string& text) const;
    // The same, never raising.
    bool TryText(int32_t id, std::u16string& text) const;
    std::u16string TextById(int32_t id) const;
    // The text in the ANSI code page; empty when missing.
    std::string StringById(int32_t id) const;

    bool RaiseOnMissing = false;

private:
    uint32_t ReadUInt32(size_t at) const;
    std::vector<uint8_t> data_;
    int32_t count_ = 0;
};

// UTF-16 to the ANSI code page of an English system (Windows-1252); a unit it
// cannot show becomes '?'.
std::string AnsiFromUtf16(std::u16string_view text);

// `text` with its first "%s" or "%d" replaced by `value`. Table texts are data,
// so they are never used as a printf format.
std::string FillPlaceholder(const std::string& text, const std::string& value);

// The table the reader's messages come from (none until start-up sets it).
void SetResourceManagerStrings(const TKvStringTable* table);
// A reader message from that table, or its English text when the table is
// missing: the table that failed to load cannot report its own failure.
std::string ReaderMessage(TKvReaderMessage id);

}  // namespace kv

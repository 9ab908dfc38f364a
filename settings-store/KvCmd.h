// Keystroke command tables: keys (one, or a sequence of two, each with a shift
// state) bound to editing command codes; their text-file and stream forms.
// No Windows here: virtual-key codes are plain numbers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "KvExcpt.h"
#include "KvValueStream.h"

namespace kv {

// Command codes; their names are library strings SFirstCommandName + code.
enum TKvCommand : uint16_t {
    ccNone, ccBack, ccBotOfPage, ccBotRightCell, ccCompleteDate, ccCompleteTime, ccCopy, ccCtrlChar, ccCut,
    ccDec, ccDel, ccDelBol, ccDelEol, ccDelLine, ccDelWord, ccDown, ccEnd, ccExtendDown, ccExtendEnd,
    ccExtendHome, ccExtendLeft, ccExtendPgDn, ccExtendPgUp, ccExtendRight, ccExtendUp, ccExtBotOfPage,
    ccExtFirstPage, ccExtLastPage, ccExtTopOfPage, ccExtWordLeft, ccExtWordRight, ccFirstPage,
    ccGotoMarker0, ccGotoMarker1, ccGotoMarker2, ccGotoMarker3, ccGotoMarker4, ccGotoMarker5, ccGotoMarker6,
    ccGotoMarker7, ccGotoMarker8, ccGotoMarker9, ccHome, ccInc, ccIns, ccLastPage, ccLeft, ccNewLine,
    ccNextPage, ccPageLeft, ccPageRight, ccPaste, ccPrevPage, ccRedo, ccRestore, ccRight, ccScrollDown,
    ccScrollUp, ccSetMarker0, ccSetMarker1, ccSetMarker2, ccSetMarker3, ccSetMarker4, ccSetMarker5,
    ccSetMarker6, ccSetMarker7, ccSetMarker8, ccSetMarker9, ccTab, ccTableEdit, ccTopLeftCell, ccTopOfPage,
    ccUndo, ccUp, ccWordLeft, ccWordRight,
};

// Shift-state bits of a key.
constexpr uint8_t kShiftBit = 2, kCtrlBit = 4, kAltBit = 8;
constexpr uint8_t kSecondKeyShift = 128;  // the second key of every built-in two-key binding

// One binding, six bytes as the library stores it.
struct TKvCommandEntry {
    uint8_t FirstKey = 0;
    uint8_t FirstShift = 0;
    uint8_t SecondKey = 0;    // 0 for a one-key binding
    uint8_t SecondShift = 0;  // 0 for a one-key binding
    uint16_t Command = ccNone;

    // The four key bytes as one little-endian value: the binding's identity.
    uint32_t KeySequence() const {
        return uint32_t{FirstKey} | uint32_t{FirstShift} << 8 | uint32_t{SecondKey} << 16 |
               uint32_t{SecondShift} << 24;
    }
    static TKvCommandEntry FromKeySequence(uint32_t keys, uint16_t command);
    bool operator==(const TKvCommandEntry&) const = default;
};

// A list index outside the list.
class EListError : public velfw::Exception {
public:
    using Exception::Exception;
};

// A file that cannot be opened, read or written.
class EInOutError : public velfw::Exception {
public:
    using Exception::Exception;
};

class TKvCommandTable : public velfw::TPersistent {
public:
    TKvCommandTable();

    bool Active = true;
    std::string TableName;

    int AddEntry(const TKvCommandEntry& entry);
    void InsertEntry(int index, const TKvCommandEntry& entry);
    void ReplaceEntry(int index, const TKvCommandEntry& entry);
    void DeleteEntry(int index);
    TKvCommandEntry GetEntry(int index) const;
    int EntryCount() const { return static_cast<int>(entries_.size()); }
    const std::vector<TKvCommandEntry>& Entries() const { return entries_; }
    // Index of the first entry binding the same keys as `entry`, or -1.
    int FindKeySequence(const TKvCommandEntry& entry) const;
    void Clear() { entries_.clear(); }

    // The text form: the name on the first line, then one line of five
    // right-aligned numbers per entry, CR LF after each line.
    std::string SaveToText() const;
    // Replaces name and entries from the text form; raises EReadError naming
    // the first bad line and leaves the table as it was. Active stays.
    void LoadFromText(const std::string& text);
    void SaveToTextFile(const std::string& fileName) const;
    void LoadFromTextFile(const std::string& fileName);

    // The stream property "CommandList"; a built-in table streams only how it
    // differs from its built-in content. Stored only when EntryCount() > 0.
    void WriteCommandList(TKvValueWriter& writer) const;
    void ReadCommandList(TKvValueReader& reader);

private:
    void CheckIndex(int index, int limit) const;
    std::vector<TKvCommandEntry> entries_;
};

// The built-in tables' names and contents.
struct TKvBuiltInTable {
    TKvLibraryStringId NameId;
    bool Active;
    const TKvCommandEntry* Entries;
    int Count;
};
const std::vector<TKvBuiltInTable>& BuiltInCommandTables();
std::string BuiltInTableName(const TKvBuiltInTable& table);

class TKvCommandProcessor : public velfw::TPersistent {
public:
    // Starts with the built-in tables "Default", "WordStar" and "Grid".
    TKvCommandProcessor();
    ~TKvCommandProcessor() override = default;

    // Gives the table a name no other table has and takes ownership; returns its index.
    int AddTable(std::unique_ptr<TKvCommandTable> table);
    int CreateTable(const std::string& name, bool active);
    // Binds keys in the named table; raises ETableNotFound or EDuplicateCommand.
    int AddCommand(const std::string& tableName, const TKvCommandEntry& entry);
    // Ignores the case of ASCII letters; null when there is none.
    TKvCommandTable* FindTable(const std::string& name) const;
    int TableCount() const { return static_cast<int>(tables_.size()); }
    TKvCommandTable& Table(int index) const;  // raises ETableNotFound out of range
    void ClearTables() { tables_.clear(); }

    virtual int LoadTableFile(const std::string& fileName);
    // Nothing happens when no table has that name.
    virtual void SaveTableFile(const std::string& tableName, const std::string& fileName);

    void ResetState() { state_[0] = state_[1] = state_[2] = 0; }

    // The stream property "TableList"; stored only when TableCount() > 0.
    // Reading replaces every table, or none when the stream is malformed.
    void WriteTableList(TKvValueWriter& writer) const;
    void ReadTableList(TKvValueReader& reader);

private:
    std::string UniqueTableName(const std::string& name) const;
    std::vector<std::unique_ptr<TKvCommandTable>> tables_;
    uint8_t state_[3] = {};
};

}  // namespace kv

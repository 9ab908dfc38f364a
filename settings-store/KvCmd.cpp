#include "KvCmd.h"

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "SysUtils.h"

namespace kv {

namespace {

// Virtual-key codes of the built-in tables.
enum : uint8_t {
    vkBack = 0x08, vkTab = 0x09, vkReturn = 0x0D, vkPrior = 0x21, vkNext = 0x22, vkEnd = 0x23, vkHome = 0x24,
    vkLeft = 0x25, vkUp = 0x26, vkRight = 0x27, vkDown = 0x28, vkInsert = 0x2D, vkDelete = 0x2E, vkF2 = 0x71,
};
constexpr uint8_t S = kShiftBit, C = kCtrlBit, A = kAltBit, CS = kCtrlBit | kShiftBit;

constexpr TKvCommandEntry K(uint8_t key, uint8_t shift, TKvCommand command) { return {key, shift, 0, 0, command}; }
constexpr TKvCommandEntry K2(uint8_t first, uint8_t shift, uint8_t second, TKvCommand command) {
    return {first, shift, second, kSecondKeyShift, command};
}
constexpr TKvCommand Marker(TKvCommand first, int n) { return static_cast<TKvCommand>(first + n); }

constexpr TKvCommandEntry kDefaultTable[] = {
    K(vkLeft, 0, ccLeft), K(vkRight, 0, ccRight), K(vkLeft, C, ccWordLeft), K(vkRight, C, ccWordRight),
    K(vkHome, 0, ccHome), K(vkEnd, 0, ccEnd), K(vkDelete, 0, ccDel), K(vkBack, 0, ccBack), K(vkBack, S, ccBack),
    K(vkPrior, C, ccTopOfPage), K(vkNext, C, ccBotOfPage), K(vkInsert, 0, ccIns), K('Z', C, ccUndo),
    K(vkBack, A, ccRestore), K(vkUp, 0, ccUp), K(vkDown, 0, ccDown), K(vkReturn, C, ccNewLine),
    K(vkLeft, S, ccExtendLeft), K(vkRight, S, ccExtendRight), K(vkHome, S, ccExtendHome),
    K(vkEnd, S, ccExtendEnd), K(vkLeft, CS, ccExtWordLeft), K(vkRight, CS, ccExtWordRight),
    K(vkPrior, S, ccExtendPgUp), K(vkNext, S, ccExtendPgDn), K(vkUp, S, ccExtendUp), K(vkDown, S, ccExtendDown),
    K(vkHome, CS, ccExtFirstPage), K(vkEnd, CS, ccExtLastPage), K(vkPrior, CS, ccExtTopOfPage),
    K(vkNext, CS, ccExtBotOfPage), K(vkDelete, S, ccCut), K('X', C, ccCut), K(vkInsert, C, ccCopy),
    K('C', C, ccCopy), K(vkInsert, S, ccPaste), K('V', C, ccPaste), K(vkPrior, 0, ccPrevPage),
    K(vkNext, 0, ccNextPage), K(vkHome, C, ccFirstPage), K(vkEnd, C, ccLastPage), K(vkTab, 0, ccTab),
    K(vkTab, C, ccTab), K('Z', CS, ccRedo),
    K('0', C, Marker(ccGotoMarker0, 0)), K('1', C, Marker(ccGotoMarker0, 1)), K('2', C, Marker(ccGotoMarker0, 2)),
    K('3', C, Marker(ccGotoMarker0, 3)), K('4', C, Marker(ccGotoMarker0, 4)), K('5', C, Marker(ccGotoMarker0, 5)),
    K('6', C, Marker(ccGotoMarker0, 6)), K('7', C, Marker(ccGotoMarker0, 7)), K('8', C, Marker(ccGotoMarker0, 8)),
    K('9', C, Marker(ccGotoMarker0, 9)),
    K('0', CS, Marker(ccSetMarker0, 0)), K('1', CS, Marker(ccSetMarker0, 1)), K('2', CS, Marker(ccSetMarker0, 2)),
    K('3', CS, Marker(ccSetMarker0, 3)), K('4', CS, Marker(ccSetMarker0, 4)), K('5', CS, Marker(ccSetMarker0, 5)),
    K('6', CS, Marker(ccSetMarker0, 6)), K('7', CS, Marker(ccSetMarker0, 7)), K('8', CS, Marker(ccSetMarker0, 8)),
    K('9', CS, Marker(ccSetMarker0, 9)),
};

constexpr TKvCommandEntry kWordStarTable[] = {
    K('S', C, ccLeft), K('D', C, ccRight), K('E', C, ccUp), K('X', C, ccDown), K('R', C, ccPrevPage),
    K('C', C, ccNextPage), K('W', C, ccScrollUp), K('Z', C, ccScrollDown), K('A', C, ccWordLeft),
    K('F', C, ccWordRight), K2('Q', C, 'S', ccHome), K2('Q', C, 'D', ccEnd), K('G', C, ccDel), K('H', C, ccBack),
    K('Y', C, ccDelLine), K2('Q', C, 'Y', ccDelEol), K('V', C, ccIns), K('T', C, ccDelWord), K('P', C, ccCtrlChar),
    K2('Q', C, 'L', ccRestore),
    K2('Q', C, '0', Marker(ccGotoMarker0, 0)), K2('Q', C, '1', Marker(ccGotoMarker0, 1)),
    K2('Q', C, '2', Marker(ccGotoMarker0, 2)), K2('Q', C, '3', Marker(ccGotoMarker0, 3)),
    K2('Q', C, '4', Marker(ccGotoMarker0, 4)), K2('Q', C, '5', Marker(ccGotoMarker0, 5)),
    K2('Q', C, '6', Marker(ccGotoMarker0, 6)), K2('Q', C, '7', Marker(ccGotoMarker0, 7)),
    K2('Q', C, '8', Marker(ccGotoMarker0, 8)), K2('Q', C, '9', Marker(ccGotoMarker0, 9)),
    K2('K', C, '0', Marker(ccSetMarker0, 0)), K2('K', C, '1', Marker(ccSetMarker0, 1)),
    K2('K', C, '2', Marker(ccSetMarker0, 2)), K2('K', C, '3', Marker(ccSetMarker0, 3)),
    K2('K', C, '4', Marker(ccSetMarker0, 4)), K2('K', C, '5', Marker(ccSetMarker0, 5)),
    K2('K', C, '6', Marker(ccSetMarker0, 6)), K2('K', C, '7', Marker(ccSetMarker0, 7)),
    K2('K', C, '8', Marker(ccSetMarker0, 8)), K2('K', C, '9', Marker(ccSetMarker0, 9)),
};

constexpr TKvCommandEntry kGridTable[] = {
    K(vkLeft, 0, ccLeft), K(vkRight, 0, ccRight), K(vkLeft, C, ccPageLeft), K(vkRight, C, ccPageRight),
    K(vkHome, 0, ccHome), K(vkEnd, 0, ccEnd), K(vkDelete, 0, ccDel), K(vkBack, 0, ccBack),
    K(vkNext, C, ccBotOfPage), K(vkPrior, C, ccTopOfPage), K(vkInsert, 0, ccIns), K('Z', C, ccRestore),
    K(vkUp, 0, ccUp), K(vkDown, 0, ccDown), K(vkLeft, S, ccExtendLeft), K(vkRight, S, ccExtendRight),
    K(vkHome, S, ccExtendHome), K(vkEnd, S, ccExtendEnd), K(vkLeft, CS, ccExtWordLeft),
    K(vkRight, CS, ccExtWordRight), K(vkPrior, S, ccExtendPgUp), K(vkNext, S, ccExtendPgDn),
    K(vkUp, S, ccExtendUp), K(vkDown, S, ccExtendDown), K(vkHome, CS, ccExtFirstPage),
    K(vkEnd, CS, ccExtLastPage), K(vkPrior, CS, ccExtTopOfPage), K(vkNext, CS, ccExtBotOfPage),
    K('X', C, ccCut), K('C', C, ccCopy), K('V', C, ccPaste), K(vkPrior, 0, ccPrevPage), K(vkHome, C, ccFirstPage),
    K(vkNext, 0, ccNextPage), K(vkEnd, C, ccLastPage), K(vkUp, C, ccTopLeftCell), K(vkDown, C, ccBotRightCell),
    K(vkF2, 0, ccTableEdit),
};

template <size_t N>
constexpr int CountOf(const TKvCommandEntry (&)[N]) { return static_cast<int>(N); }

const TKvBuiltInTable* FindBuiltIn(const std::string& name) {
    for (const TKvBuiltInTable& table : BuiltInCommandTables())
        if (velfw::SameText(name, BuiltInTableName(table))) return &table;
    return nullptr;
}

int FindKeys(const std::vector<TKvCommandEntry>& entries, uint32_t keys) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].KeySequence() == keys) return static_cast<int>(i);
    return -1;
}

// Reads one number of a text line; false when there is none or it has too
// many digits to be any of the fields.
bool ReadField(const std::string& line, size_t& pos, long& value) {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    const size_t start = pos;
    bool negative = false;
    if (pos < line.size() && (line[pos] == '+' || line[pos] == '-')) negative = line[pos++] == '-';
    const size_t digits = pos;
    long v = 0;
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
        if (pos - digits >= 9) return false;
        v = v * 10 + (line[pos++] - '0');
    }
    if (pos == digits) {
        pos = start;
        return false;
    }
    value = negative ? -v : v;
    return true;
}

std::string PadLeft(long value, size_t width) {
    std::string text = std::to_string(value);
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

}  // namespace

TKvCommandEntry TKvCommandEntry::FromKeySequence(uint32_t keys, uint16_t command) {
    return {static_cast<uint8_t>(keys), static_cast<uint8_t>(keys >> 8), static_cast<uint8_t>(keys >> 16),
            static_cast<uint8_t>(keys >> 24), command};
}

const std::vector<TKvBuiltInTable>& BuiltInCommandTables() {
    static const std::vector<TKvBuiltInTable> tables = {
        {SDefaultTableName, true, kDefaultTable, CountOf(kDefaultTable)},
        {SWordStarTableName, false, kWordStarTable, CountOf(kWordStarTable)},
        {SGridTableName, false, kGridTable, CountOf(kGridTable)},
    };
    return tables;
}

std::string BuiltInTableName(const TKvBuiltInTable& table) { return LibraryString(table.NameId); }

// --- TKvCommandTable ---

TKvCommandTable::TKvCommandTable() : TableName(LibraryString(SUnknownTableName)) {}

void TKvCommandTable::CheckIndex(int index, int limit) const {
    if (index < 0 || index >= limit) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

int TKvCommandTable::AddEntry(const TKvCommandEntry& entry) {
    entries_.push_back(entry);
    return EntryCount() - 1;
}

void TKvCommandTable::InsertEntry(int index, const TKvCommandEntry& entry) {
    CheckIndex(index, EntryCount() + 1);
    entries_.insert(entries_.begin() + index, entry);
}

void TKvCommandTable::ReplaceEntry(int index, const TKvCommandEntry& entry) {
    CheckIndex(index, EntryCount());
    entries_[static_cast<size_t>(index)] = entry;
}

void TKvCommandTable::DeleteEntry(int index) {
    CheckIndex(index, EntryCount());
    entries_.erase(entries_.begin() + index);
}

TKvCommandEntry TKvCommandTable::GetEntry(int index) const {
    CheckIndex(index, EntryCount());
    return entries_[static_cast<size_t>(index)];
}

int TKvCommandTable::FindKeySequence(const TKvCommandEntry& entry) const {
    return FindKeys(entries_, entry.KeySequence());
}

std::string TKvCommandTable::SaveToText() const {
    std::string text = TableName + "\r\n";
    for (const TKvCommandEntry& e : entries_) {
        text += PadLeft(e.FirstKey, 4) + PadLeft(e.FirstShift, 4) + PadLeft(e.SecondKey, 4) +
                PadLeft(e.SecondShift, 4) + PadLeft(e.Command, 6) + "\r\n";
    }
    return text;
}

void TKvCommandTable::LoadFromText(const std::string& text) {
    const std::vector<std::string> lines = velfw::SplitLines(text);
    std::vector<TKvCommandEntry> entries;
    for (size_t n = 1; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        if (velfw::Trim(line).empty()) continue;
        long fields[5];
        size_t pos = 0;
        bool good = true;
        for (int i = 0; i < 5 && good; ++i) {
            const long limit = i < 4 ? 255 : 65535;
            good = ReadField(line, pos, fields[i]) && fields[i] >= 0 && fields[i] <= limit;
        }
        if (good && !velfw::Trim(line.substr(pos)).empty()) good = false;
        if (!good) throw EReadError("Invalid command table entry in line " + std::to_string(n + 1));
        entries.push_back({static_cast<uint8_t>(fields[0]), static_cast<uint8_t>(fields[1]),
                           static_cast<uint8_t>(fields[2]), static_cast<uint8_t>(fields[3]),
                           static_cast<uint16_t>(fields[4])});
    }
    TableName = lines.empty() ? std::string() : lines[0];
    entries_ = std::move(entries);
}

void TKvCommandTable::SaveToTextFile(const std::string& fileName) const {
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    if (!file) throw EInOutError("Cannot create file \"" + fileName + "\"");
    const std::string text = SaveToText();
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) throw EInOutError("Cannot write file \"" + fileName + "\"");
}

void TKvCommandTable::LoadFromTextFile(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file) throw EInOutError("Cannot open file \"" + fileName + "\"");
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) throw EInOutError("Cannot read file \"" + fileName + "\"");
    LoadFromText(text.str());
}

void TKvCommandTable::WriteCommandList(TKvValueWriter& writer) const {
    writer.WriteString(TableName);
    writer.WriteBoolean(Active);
    writer.WriteListBegin();
    const auto pair = [&writer](uint32_t keys, uint16_t command) {
        writer.WriteInteger(static_cast<int32_t>(keys));
        writer.WriteInteger(command);
    };
    if (const TKvBuiltInTable* builtIn = FindBuiltIn(TableName)) {
        const std::vector<TKvCommandEntry> original(builtIn->Entries, builtIn->Entries + builtIn->Count);
        for (const TKvCommandEntry& e : original)
            if (FindKeySequence(e) < 0) pair(e.KeySequence(), ccNone);
        for (const TKvCommandEntry& e : entries_) {
            const int at = FindKeys(original, e.KeySequence());
            if (at < 0 || original[static_cast<size_t>(at)].Command != e.Command) pair(e.KeySequence(), e.Command);
        }
    } else {
        for (const TKvCommandEntry& e : entries_) pair(e.KeySequence(), e.Command);
    }
    writer.WriteListEnd();
}

void TKvCommandTable::ReadCommandList(TKvValueReader& reader) {
    std::string name = reader.ReadString();
    const bool active = reader.ReadBoolean();
    reader.ReadListBegin();
    std::vector<TKvCommandEntry> entries;
    const TKvBuiltInTable* builtIn = FindBuiltIn(name);
    std::vector<TKvCommandEntry> original;
    if (builtIn) original.assign(builtIn->Entries, builtIn->Entries + builtIn->Count);
    entries = original;
    while (!reader.EndOfList()) {
        const uint32_t keys = static_cast<uint32_t>(reader.ReadInteger());
        const int32_t command = reader.ReadInteger();
        if (command < 0 || command > 0xFFFF) throw EReadError("Command out of range: " + std::to_string(command));
        const TKvCommandEntry entry = TKvCommandEntry::FromKeySequence(keys, static_cast<uint16_t>(command));
        const int at = builtIn ? FindKeys(entries, keys) : -1;
        if (at < 0 && command == ccNone && builtIn && FindKeys(original, keys) >= 0)
            continue;  // a built-in entry removed once already: a second removal is not a binding to no command
        if (at < 0)
            entries.push_back(entry);
        else if (command != ccNone)
            entries[static_cast<size_t>(at)] = entry;
        else
            entries.erase(entries.begin() + at);
    }
    reader.ReadListEnd();
    TableName = std::move(name);
    Active = active;
    entries_ = std::move(entries);
}

// --- TKvCommandProcessor ---

TKvCommandProcessor::TKvCommandProcessor() {
    for (const TKvBuiltInTable& table : BuiltInCommandTables()) {
        const std::string name = BuiltInTableName(table);
        CreateTable(name, table.Active);
        for (int i = 0; i < table.Count; ++i) AddCommand(name, table.Entries[i]);
    }
    ResetState();
}

namespace {

// Trailing digits are a former counter: "Default1" counts on from "Default".
std::string DigitFreeBase(std::string name) {
    while (name.size() >= 2 && name.back() >= '0' && name.back() <= '9') name.pop_back();
    return name;
}

// The names AddTable gives, among the names of the tables there are.
class TableNamer {
public:
    explicit TableNamer(std::set<std::string> taken) : taken_(std::move(taken)) {}

    std::string Name(const std::string& name) {
        const std::string base = DigitFreeBase(name);
        if (!Taken(base) && (base == name || !Taken(name))) return name;
        return CountedOn(base);
    }

private:
    bool Taken(const std::string& name) const { return taken_.count(velfw::UpperCase(name)) != 0; }

    // The first free name of the base and a counter from 1.
    const std::string& CountedOn(const std::string& base) {
        auto [at, fresh] = counted_.try_emplace(base);
        for (unsigned counter = 1; fresh; ++counter) {
            std::string candidate = base + std::to_string(counter);
            // From an empty base the counter is a base of its own ("10" counts on from "1"): only a name
            // that would keep itself when added again will do, or a stored list would not read back the same.
            if (!Taken(candidate) && (DigitFreeBase(candidate) == base || Name(candidate) == candidate)) {
                at->second = std::move(candidate);
                fresh = false;
            }
        }
        return at->second;
    }

    std::set<std::string> taken_;  // upper case
    std::map<std::string, std::string> counted_;
};

}  // namespace

std::string TKvCommandProcessor::UniqueTableName(const std::string& name) const {
    std::set<std::string> taken;
    for (const auto& table : tables_) taken.insert(velfw::UpperCase(table->TableName));
    return TableNamer(std::move(taken)).Name(name);
}

int TKvCommandProcessor::AddTable(std::unique_ptr<TKvCommandTable> table) {
    table->TableName = UniqueTableName(table->TableName);
    tables_.push_back(std::move(table));
    return TableCount() - 1;
}

int TKvCommandProcessor::CreateTable(const std::string& name, bool active) {
    auto table = std::make_unique<TKvCommandTable>();
    table->TableName = name;
    table->Active = active;
    return AddTable(std::move(table));
}

int TKvCommandProcessor::AddCommand(const std::string& tableName, const TKvCommandEntry& entry) {
    TKvCommandTable* table = FindTable(tableName);
    if (!table) throw ETableNotFound();
    if (table->FindKeySequence(entry) != -1) throw EDuplicateCommand();
    return table->AddEntry(entry);
}

TKvCommandTable* TKvCommandProcessor::FindTable(const std::string& name) const {
    for (const auto& table : tables_)
        if (velfw::SameText(table->TableName, name)) return table.get();
    return nullptr;
}

TKvCommandTable& TKvCommandProcessor::Table(int index) const {
    if (index < 0 || index >= TableCount()) throw ETableNotFound();
    return *tables_[static_cast<size_t>(index)];
}

int TKvCommandProcessor::LoadTableFile(const std::string& fileName) {
    auto table = std::make_unique<TKvCommandTable>();
    table->LoadFromTextFile(fileName);
    return AddTable(std::move(table));
}

void TKvCommandProcessor::SaveTableFile(const std::string& tableName, const std::string& fileName) {
    if (const TKvCommandTable* table = FindTable(tableName)) table->SaveToTextFile(fileName);
}

void TKvCommandProcessor::WriteTableList(TKvValueWriter& writer) const {
    writer.WriteListBegin();
    for (const auto& table : tables_) table->WriteCommandList(writer);
    writer.WriteListEnd();
}

void TKvCommandProcessor::ReadTableList(TKvValueReader& reader) {
    std::vector<std::unique_ptr<TKvCommandTable>> previous = std::move(tables_);
    tables_.clear();
    try {
        reader.ReadListBegin();
        while (!reader.EndOfList()) {
            auto table = std::make_unique<TKvCommandTable>();
            table->ReadCommandList(reader);
            AddTable(std::move(table));
        }
        reader.ReadListEnd();
    } catch (...) {
        tables_ = std::move(previous);
        throw;
    }
}

}  // namespace kv

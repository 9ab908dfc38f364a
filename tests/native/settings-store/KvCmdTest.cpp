#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "ErrorOf.h"
#include "KvCmd.h"
#include "StringTables.h"

using namespace kv;
using testing_support::ErrorOf;

namespace {

constexpr uint8_t kVkLeft = 0x25, kCtrl = kCtrlBit, kShift = kShiftBit;
const TKvCommandEntry kCtrlZ{'Z', kCtrl, 0, 0, ccUndo};
const TKvCommandEntry kCtrlQS{'Q', kCtrl, 'S', kSecondKeyShift, ccHome};

class CommandTables : public ::testing::Test {
protected:
    ScopedLibraryStrings strings;
};

std::vector<uint8_t> Streamed(const TKvCommandTable& table) {
    TKvValueWriter writer;
    table.WriteCommandList(writer);
    return writer.Bytes();
}

// The pairs a table streams, after checking name and flag.
std::vector<std::pair<int32_t, int32_t>> StreamedPairs(const TKvCommandTable& table) {
    const std::vector<uint8_t> bytes = Streamed(table);
    TKvValueReader reader(bytes);
    EXPECT_EQ(reader.ReadString(), table.TableName);
    EXPECT_EQ(reader.ReadBoolean(), table.Active);
    reader.ReadListBegin();
    std::vector<std::pair<int32_t, int32_t>> pairs;
    while (!reader.EndOfList()) {
        const int32_t keys = reader.ReadInteger();
        pairs.push_back({keys, reader.ReadInteger()});
    }
    reader.ReadListEnd();
    EXPECT_TRUE(reader.AtEnd());
    return pairs;
}

std::unique_ptr<TKvCommandTable> ReadBack(const std::vector<uint8_t>& bytes) {
    auto table = std::make_unique<TKvCommandTable>();
    TKvValueReader reader(bytes);
    table->ReadCommandList(reader);
    EXPECT_TRUE(reader.AtEnd());
    return table;
}

std::vector<uint8_t> ListOf(const TKvCommandProcessor& processor) {
    TKvValueWriter writer;
    processor.WriteTableList(writer);
    return writer.Bytes();
}

void ExpectSameTables(const TKvCommandProcessor& a, const TKvCommandProcessor& b) {
    ASSERT_EQ(a.TableCount(), b.TableCount());
    for (int i = 0; i < a.TableCount(); ++i) {
        EXPECT_EQ(a.Table(i).TableName, b.Table(i).TableName);
        EXPECT_EQ(a.Table(i).Active, b.Table(i).Active);
        EXPECT_EQ(a.Table(i).Entries(), b.Table(i).Entries()) << a.Table(i).TableName;
    }
}

}  // namespace

TEST_F(CommandTables, NewProcessorHoldsTheThreeBuiltInTables) {
    TKvCommandProcessor processor;
    ASSERT_EQ(processor.TableCount(), 3);
    const struct {
        const char* name;
        bool active;
        int count;
        TKvCommandEntry first, last;
    } rows[] = {
        {"Default", true, 64, {kVkLeft, 0, 0, 0, ccLeft}, {'9', kCtrl | kShift, 0, 0, ccSetMarker9}},
        {"WordStar", false, 40, {'S', kCtrl, 0, 0, ccLeft}, {'K', kCtrl, '9', kSecondKeyShift, ccSetMarker9}},
        {"Grid", false, 38, {kVkLeft, 0, 0, 0, ccLeft}, {0x71, 0, 0, 0, ccTableEdit}},
    };
    for (int i = 0; i < 3; ++i) {
        const TKvCommandTable& t = processor.Table(i);
        EXPECT_EQ(t.TableName, rows[i].name);
        EXPECT_EQ(t.Active, rows[i].active);
        ASSERT_EQ(t.EntryCount(), rows[i].count) << rows[i].name;
        EXPECT_EQ(t.GetEntry(0), rows[i].first);
        EXPECT_EQ(t.GetEntry(t.EntryCount() - 1), rows[i].last);
    }
    EXPECT_EQ(processor.FindTable("default"), &processor.Table(0));
    EXPECT_EQ(processor.FindTable("GRID"), &processor.Table(2));
    EXPECT_EQ(processor.FindTable("Grid1"), nullptr);
}

TEST_F(CommandTables, KeySequenceIsTheFourKeyBytesLittleEndian) {
    EXPECT_EQ(kCtrlQS.KeySequence(), 0x80530451u);
    EXPECT_LT(static_cast<int32_t>(kCtrlQS.KeySequence()), 0);
    EXPECT_EQ(TKvCommandEntry::FromKeySequence(0x80530451u, ccHome), kCtrlQS);
    TKvCommandEntry other = kCtrlQS;
    other.Command = ccEnd;
    EXPECT_EQ(other.KeySequence(), kCtrlQS.KeySequence()) << "the command is not part of the keys";
    EXPECT_EQ(sizeof(TKvCommandEntry), 6u);
}

TEST_F(CommandTables, AddCommandRefusesTakenKeysAndUnknownTables) {
    TKvCommandProcessor processor;
    EXPECT_EQ(ErrorOf<EDuplicateCommand>([&] { processor.AddCommand("Default", {'C', kCtrl, 0, 0, ccPaste}); }),
              "Duplicate command found while adding a new command to the table");
    EXPECT_EQ(processor.Table(0).EntryCount(), 64);
    EXPECT_THROW(processor.AddCommand("Nowhere", kCtrlZ), ETableNotFound);
    EXPECT_THROW(processor.Table(3), ETableNotFound);
    EXPECT_THROW(processor.Table(-1), ETableNotFound);
    EXPECT_EQ(processor.AddCommand("wordstar", {'Q', kCtrl, 'X', kSecondKeyShift, ccDelLine}), 40);
}

TEST_F(CommandTables, EntryIndexesAreChecked) {
    TKvCommandTable table;
    EXPECT_EQ(table.TableName, "(Unknown)");
    table.AddEntry(kCtrlZ);
    EXPECT_THROW(table.GetEntry(1), EListError);
    EXPECT_THROW(table.GetEntry(-1), EListError);
    EXPECT_THROW(table.ReplaceEntry(1, kCtrlQS), EListError);
    EXPECT_THROW(table.DeleteEntry(-1), EListError);
    EXPECT_THROW(table.InsertEntry(2, kCtrlQS), EListError);
    table.InsertEntry(1, kCtrlQS);  // at the end is an append
    table.InsertEntry(0, kCtrlQS);
    EXPECT_EQ(table.FindKeySequence(kCtrlQS), 0);
    table.DeleteEntry(0);
    EXPECT_EQ(table.Entries(), (std::vector<TKvCommandEntry>{kCtrlZ, kCtrlQS}));
}

TEST_F(CommandTables, TablesGetNamesNoOtherTableHas) {
    TKvCommandProcessor processor;
    const struct {
        const char* added;
        const char* named;
    } rows[] = {
        {"Default", "Default1"}, {"Default", "Default2"}, {"DEFAULT", "DEFAULT3"}, {"Grid7", "Grid1"},
        {"Mine7", "Mine7"},      {"Mine7", "Mine1"},      {"7", "7"},           {"7", "71"},
        {"Default1", "Default4"},
    };
    for (const auto& r : rows) {
        const int index = processor.CreateTable(r.added, true);
        EXPECT_EQ(processor.Table(index).TableName, r.named) << r.added;
    }
}

TEST_F(CommandTables, CountedNamesReadBackAsTheyWereWritten) {
    // Empty names count on from nothing; "10" would count on from "1" when read back and become "11".
    TKvValueWriter writer;
    writer.WriteListBegin();
    for (int i = 0; i < 12; ++i) {
        writer.WriteString("");
        writer.WriteBoolean(false);
        writer.WriteListBegin();
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
    TKvCommandProcessor first;
    TKvValueReader reader(writer.Bytes());
    first.ReadTableList(reader);
    std::vector<std::string> names;
    for (int i = 0; i < first.TableCount(); ++i) names.push_back(first.Table(i).TableName);
    EXPECT_EQ(names, (std::vector<std::string>{"", "1", "2", "3", "4", "5", "6", "7", "8", "9", "11", "12"}));

    TKvCommandProcessor again;
    const std::vector<uint8_t> bytes = ListOf(first);
    TKvValueReader second(bytes);
    again.ReadTableList(second);
    ExpectSameTables(first, again);
}

TEST_F(CommandTables, BuiltInTablesStreamOnlyTheirChanges) {
    TKvCommandProcessor processor;
    TKvCommandTable& defaults = *processor.FindTable("Default");
    EXPECT_TRUE(StreamedPairs(defaults).empty());

    const int at = defaults.FindKeySequence(kCtrlZ);
    defaults.DeleteEntry(at);
    const int32_t ctrlZ = static_cast<int32_t>(kCtrlZ.KeySequence());
    EXPECT_EQ(StreamedPairs(defaults), (std::vector<std::pair<int32_t, int32_t>>{{ctrlZ, 0}}));

    TKvCommandEntry redo = kCtrlZ;
    redo.Command = ccRedo;
    defaults.InsertEntry(at, redo);
    EXPECT_EQ(StreamedPairs(defaults), (std::vector<std::pair<int32_t, int32_t>>{{ctrlZ, 53}}));
    const auto back = ReadBack(Streamed(defaults));
    EXPECT_EQ(back->GetEntry(at), redo) << "rebound in its old place";
    EXPECT_EQ(back->Entries(), defaults.Entries());

    defaults.DeleteEntry(at);
    defaults.AddEntry({'Q', kCtrl, 0, 0, ccNone});  // a new binding to command 0 is kept as one
    EXPECT_EQ(ReadBack(Streamed(defaults))->Entries(), defaults.Entries());

    // A built-in entry removed twice in one list is removed, not bound to command 0: that binding
    // would stream as a removal and the list would not read back the same.
    TKvValueWriter twice;
    twice.WriteString("Default");
    twice.WriteBoolean(true);
    twice.WriteListBegin();
    for (int i = 0; i < 2; ++i) {
        twice.WriteInteger(ctrlZ);
        twice.WriteInteger(ccNone);
    }
    twice.WriteListEnd();
    const auto removed = ReadBack(twice.Bytes());
    EXPECT_EQ(removed->FindKeySequence(kCtrlZ), -1);
    EXPECT_EQ(ReadBack(Streamed(*removed))->Entries(), removed->Entries());
}

TEST_F(CommandTables, OwnTablesStreamEveryEntry) {
    TKvCommandTable table;
    table.TableName = "Mine";
    table.Active = false;
    table.AddEntry(kCtrlQS);
    table.AddEntry(kCtrlZ);
    EXPECT_EQ(StreamedPairs(table).size(), 2u);
    const auto back = ReadBack(Streamed(table));
    EXPECT_EQ(back->TableName, "Mine");
    EXPECT_FALSE(back->Active);
    EXPECT_EQ(back->Entries(), table.Entries());
}

TEST_F(CommandTables, TableListSurvivesTheStream) {
    TKvCommandProcessor processor;
    processor.FindTable("WordStar")->Active = true;
    processor.CreateTable("Default", false);
    processor.AddCommand("Default1", kCtrlQS);
    processor.FindTable("Grid")->DeleteEntry(0);

    TKvCommandProcessor copy;
    copy.ClearTables();
    const std::vector<uint8_t> bytes = ListOf(processor);
    TKvValueReader reader(bytes);
    copy.ReadTableList(reader);
    ExpectSameTables(processor, copy);
    EXPECT_EQ(copy.Table(3).GetEntry(0).KeySequence(), 0x80530451u);
}

TEST_F(CommandTables, TrayFormValueRebuildsTheBuiltInTables) {
    // ('Default' True () 'WordStar' False () 'Grid' False ())
    TKvValueWriter writer;
    writer.WriteListBegin();
    for (const auto& [name, active] : {std::pair{"Default", true}, {"WordStar", false}, {"Grid", false}}) {
        writer.WriteString(name);
        writer.WriteBoolean(active);
        writer.WriteListBegin();
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
    TKvCommandProcessor processor;
    processor.CreateTable("Extra", true);
    TKvValueReader reader(writer.Bytes());
    processor.ReadTableList(reader);
    ExpectSameTables(processor, TKvCommandProcessor());
}

TEST_F(CommandTables, MalformedStreamsAreRefusedAndChangeNothing) {
    TKvCommandProcessor source;
    source.CreateTable("Mine", true);
    source.AddCommand("Mine", kCtrlZ);
    const std::vector<uint8_t> good = ListOf(source);

    TKvCommandProcessor target;
    target.CreateTable("Kept", true);
    for (size_t size = 0; size < good.size(); ++size) {
        TKvValueReader reader(good.data(), size);
        EXPECT_THROW(target.ReadTableList(reader), EReadError) << "cut to " << size;
    }
    for (int32_t command : {-1, 65536, INT32_MAX, INT32_MIN}) {
        TKvValueWriter writer;
        writer.WriteListBegin();
        writer.WriteString("Mine");
        writer.WriteBoolean(true);
        writer.WriteListBegin();
        writer.WriteInteger(static_cast<int32_t>(kCtrlZ.KeySequence()));
        writer.WriteInteger(command);
        writer.WriteListEnd();
        writer.WriteListEnd();
        TKvValueReader reader(writer.Bytes());
        EXPECT_THROW(target.ReadTableList(reader), EReadError) << command;
    }
    ASSERT_EQ(target.TableCount(), 4);
    EXPECT_EQ(target.Table(3).TableName, "Kept");
}

TEST_F(CommandTables, TextLinesAreRightAlignedNumbers) {
    TKvCommandProcessor processor;
    const std::string text = processor.FindTable("Default")->SaveToText();
    EXPECT_EQ(text.substr(0, 33), "Default\r\n  37   0   0   0    46\r\n");
    const std::string wordStar = processor.FindTable("WordStar")->SaveToText();
    EXPECT_NE(wordStar.find("\r\n  81   4  83 128    42\r\n"), std::string::npos) << "Ctrl+Q S";

    for (const char* name : {"Default", "WordStar", "Grid"}) {
        TKvCommandTable back;
        back.LoadFromText(processor.FindTable(name)->SaveToText());
        EXPECT_EQ(back.TableName, name);
        EXPECT_EQ(back.Entries(), processor.FindTable(name)->Entries());
    }
}

TEST_F(CommandTables, TextFormIsReadStrictlyLineByLine) {
    TKvCommandTable table;
    table.LoadFromText("Mine\n\n  37 0 0 0 46\n   \t\r\n\t255\t255 255 255 65535\r\n+1 2 3 4 5");
    EXPECT_EQ(table.TableName, "Mine");
    EXPECT_EQ(table.Entries(), (std::vector<TKvCommandEntry>{
                                   {37, 0, 0, 0, 46}, {255, 255, 255, 255, 65535}, {1, 2, 3, 4, 5}}));
    table.LoadFromText("");
    EXPECT_EQ(table.TableName, "");
    EXPECT_EQ(table.EntryCount(), 0);

    table.LoadFromText("Kept\n1 2 3 4 5\n");
    const struct {
        const char* line;
        const char* why;
    } rows[] = {
        {"1 2 3 4", "four numbers"},        {"1 2 3 4 5 6", "six numbers"},  {"256 0 0 0 1", "key byte too large"},
        {"0 0 0 -1 1", "negative key byte"}, {"1 2 3 4 65536", "command too large"},
        {"1 2 3 4 5x", "trailing text"},     {"1 2 3 4 99999999999999999999", "too many digits"},
        {"a b c d e", "not numbers"},        {"1 2 3 4 -", "a sign alone"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(ErrorOf<EReadError>(
                      [&] { table.LoadFromText(std::string("Bad\r\n0 0 0 0 0\r\n\r\n") + r.line + "\r\n"); }),
                  "Invalid command table entry in line 4")
            << r.why;
        EXPECT_EQ(table.TableName, "Kept") << r.why;
        EXPECT_EQ(table.EntryCount(), 1) << r.why;
    }
}

TEST_F(CommandTables, TableFiles) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "velunor-kvcmd-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "table.txt").string();

    TKvCommandProcessor processor;
    processor.SaveTableFile("Nowhere", file);
    EXPECT_FALSE(std::filesystem::exists(file)) << "no table, no file";
    processor.SaveTableFile("grid", file);
    EXPECT_EQ(std::filesystem::file_size(file), 6u + 38u * 24u);

    const int index = processor.LoadTableFile(file);
    EXPECT_EQ(processor.Table(index).TableName, "Grid1");
    EXPECT_TRUE(processor.Table(index).Active);
    EXPECT_EQ(processor.Table(index).Entries(), processor.Table(2).Entries());

    EXPECT_THROW(processor.LoadTableFile((dir / "missing.txt").string()), EInOutError);
    {
        std::FILE* f = std::fopen(file.c_str(), "wb");
        std::fputs("Broken\r\n1 2 3\r\n", f);
        std::fclose(f);
    }
    EXPECT_THROW(processor.LoadTableFile(file), EReadError);
    EXPECT_EQ(processor.TableCount(), 4);
    EXPECT_THROW(processor.SaveTableFile("Default", (dir / "no-such-folder" / "t.txt").string()), EInOutError);
    std::filesystem::remove_all(dir);
}

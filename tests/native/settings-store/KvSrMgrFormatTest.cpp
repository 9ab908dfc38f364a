#include <gtest/gtest.h>

#include "ErrorOf.h"
#include "KvExcpt.h"
#include "KvSrMgrFormat.h"
#include "StringTables.h"

using namespace kv;
using testing_support::ErrorOf;

namespace {

uint32_t Word(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
}

void PutWord(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::string OpenFailure(const std::vector<uint8_t>& bytes) {
    TKvStringTable table;
    const std::string message = ErrorOf<ETpsStringResourceError>([&] { table.Open(bytes.data(), bytes.size()); });
    if (message.empty()) return "opened";
    EXPECT_FALSE(table.IsOpen());
    return message;
}

}  // namespace

TEST(StringTable, ReaderTableIsBuiltAsTheLibraryLaysItOut) {
    const std::vector<uint8_t> bytes = BuiltStringTable("KVSRMGR_STRINGS");
    ASSERT_EQ(bytes.size(), 324u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "STR0");
    EXPECT_EQ(Word(bytes, 4), 5u);
    const uint32_t directory[5][3] = {{1, 68, 20}, {2, 108, 20}, {3, 148, 29}, {4, 206, 34}, {5, 274, 25}};
    for (size_t i = 0; i < 5; ++i)
        for (size_t f = 0; f < 3; ++f) EXPECT_EQ(Word(bytes, 8 + 12 * i + 4 * f), directory[i][f]) << i << "," << f;

    TKvStringTable table;
    table.Open(bytes.data(), bytes.size());
    EXPECT_EQ(table.StringById(1), "String not found: %d");
    EXPECT_EQ(table.StringById(4), "Unable to open string resource: %s");
    EXPECT_EQ(table.StringById(5), "Invalid TPString resource");
    EXPECT_EQ(table.StringById(6), "");
    EXPECT_EQ(table.StringById(0), "");
}

TEST(StringTable, LibraryStringsByIdWithUnknownForTheMissing) {
    ScopedLibraryStrings strings;
    const struct {
        uint16_t id;
        const char* text;
    } rows[] = {
        {30169, "Duplicate command found while adding a new command to the table"},
        {30189, "No Window's timers are available"},
        {30266, "Grid"},
        {30267, "Unknown"},  // between two entries
        {30275, "Default"},
        {30277, "(Unknown)"},
        {30371, "F"},
        {33768, "ccNone"},
        {33768 + 53, "ccRedo"},
        {33843, "ccWordRight"},
        {1, "Unknown"},
        {65535, "Unknown"},
    };
    for (const auto& r : rows) EXPECT_EQ(LibraryString(r.id), r.text) << r.id;
}

TEST(StringTable, EveryBoundIsCheckedBeforeReading) {
    const std::vector<uint8_t> good = MakeStringTable({{7, u"seven"}, {9, u"nine"}});
    ASSERT_EQ(OpenFailure(good), "opened");
    const struct {
        const char* what;
        size_t at;        // where a word is patched; SIZE_MAX: the bytes are cut instead
        uint32_t value;
    } rows[] = {
        {"count negative", 4, 0xFFFFFFFFu},
        {"count 0x7FFFFFFF", 4, 0x7FFFFFFFu},
        {"count one past the directory room", 4, 4},
        {"offset past the end", 8 + 12 + 4, 4096},
        {"offset negative", 8 + 4, 0x80000000u},
        {"text runs past the end", 8 + 12 + 8, 5},
        {"length negative", 8 + 8, 0xFFFFFFFFu},
        {"length that overflows 32 bits when doubled", 8 + 8, 0x7FFFFFFFu},
    };
    for (const auto& r : rows) {
        std::vector<uint8_t> bad = good;
        PutWord(bad, r.at, r.value);
        EXPECT_EQ(OpenFailure(bad), "Invalid TPString resource") << r.what;
    }
    for (size_t size : {size_t{0}, size_t{3}, size_t{7}, good.size() - 1})
        EXPECT_EQ(OpenFailure(std::vector<uint8_t>(good.begin(), good.begin() + size)), "Invalid TPString resource")
            << "cut to " << size;
    EXPECT_EQ(OpenFailure(MakeStringTable({})), "opened") << "an empty table is a table";
}

TEST(StringTable, AnyChangedSignatureByteIsRefused) {
    const std::vector<uint8_t> good = BuiltStringTable("KVSRMGR_STRINGS");
    for (size_t i = 0; i < 4; ++i) {
        std::vector<uint8_t> bad = good;
        bad[i] ^= 0x20;
        EXPECT_EQ(OpenFailure(bad), "Invalid TPString resource") << "byte " << i;
    }
}

TEST(StringTable, RefusedTableKeepsTheOneItHad) {
    const std::vector<uint8_t> good = MakeStringTable({{1, u"kept"}});
    TKvStringTable table;
    table.Open(good.data(), good.size());
    const std::vector<uint8_t> bad(good.begin(), good.begin() + 6);
    EXPECT_THROW(table.Open(bad.data(), bad.size()), ETpsStringResourceError);
    EXPECT_EQ(table.StringById(1), "kept");
}

TEST(StringTable, TextsAtOddOffsetsAndEveryIdOfALongTable) {
    // One padding byte before the text puts it at an odd offset.
    std::vector<uint8_t> bytes = MakeStringTable({{3, u"ab"}});
    bytes.insert(bytes.begin() + 20, 0xEE);
    PutWord(bytes, 12, 21);
    TKvStringTable table;
    table.Open(bytes.data(), bytes.size());
    EXPECT_EQ(table.StringById(3), "ab");

    std::vector<std::pair<int32_t, std::u16string>> strings;
    for (int32_t id = -500; id < 500; id += 3) strings.push_back({id, std::u16string(1, u'a' + (id + 500) % 26)});
    strings.push_back({INT32_MAX, u"last"});
    const std::vector<uint8_t> many = MakeStringTable(strings);
    table.Open(many.data(), many.size());
    for (const auto& [id, text] : strings) EXPECT_EQ(table.TextById(id), text) << id;
    EXPECT_EQ(table.StringById(-499), "");
    EXPECT_EQ(table.StringById(INT32_MIN), "");
}

TEST(StringTable, MissingIdRaisesOnlyWhenAsked) {
    const std::vector<uint8_t> bytes = MakeStringTable({{1, u"one"}});
    TKvStringTable table;
    table.Open(bytes.data(), bytes.size());
    table.RaiseOnMissing = true;
    EXPECT_EQ(ErrorOf<ETpsStringResourceError>([&] { table.StringById(42); }), "String not found: 42");
}

TEST(StringTable, ReaderMessagesComeFromTheirTableOrFallBackToEnglish) {
    EXPECT_EQ(ReaderMessage(srmCannotLock), "Cannot lock resource");
    const std::vector<uint8_t> own = MakeStringTable({{2, u"Ressource nicht sperrbar"}, {5, u""}});
    TKvStringTable table;
    table.Open(own.data(), own.size());
    table.RaiseOnMissing = true;  // a missing message must not raise from inside the reader
    SetResourceManagerStrings(&table);
    EXPECT_EQ(ReaderMessage(srmCannotLock), "Ressource nicht sperrbar");
    EXPECT_EQ(ReaderMessage(srmInvalidResource), "Invalid TPString resource");
    EXPECT_EQ(ReaderMessage(srmResourceNotFound), "String resource not found: %s");
    SetResourceManagerStrings(nullptr);
}

TEST(StringTable, TextsReachTheAnsiCodePage) {
    const struct {
        std::u16string in;
        std::string out;
    } rows[] = {
        {u"plain", "plain"},
        {u"caf\u00E9", "caf\xE9"},
        {u"\u20AC 5", "\x80 5"},
        {u"\u2019", "\x92"},
        {u"\u0081", "\x81"},
        {u"\u4E2D", "?"},
    };
    for (const auto& r : rows) EXPECT_EQ(AnsiFromUtf16(r.in), r.out);
}

TEST(StringTable, PlaceholderFilledOnceAndFormatsNeverInterpreted) {
    EXPECT_EQ(FillPlaceholder("String not found: %d", "7"), "String not found: 7");
    EXPECT_EQ(FillPlaceholder("%s and %s", "a"), "a and %s");
    EXPECT_EQ(FillPlaceholder("100%% %n %x", "a"), "100%% %n %x");
    EXPECT_EQ(FillPlaceholder("ends in %", "a"), "ends in %");
}

TEST(LibraryExceptions, MessagesFromTheLibraryTableOrUnknown) {
    {
        ScopedLibraryStrings strings;
        EXPECT_EQ(ENoTimersAvailable().Message, "No Window's timers are available");
        EXPECT_EQ(ENoControllerAssigned().Message, "No Controller assigned");
        EXPECT_EQ(EDuplicateCommand().Message, "Duplicate command found while adding a new command to the table");
        EXPECT_EQ(ETableNotFound().Message, "Command table not found or command table index out of range");
    }
    ScopedLibraryStrings without(MakeStringTable({{30170, u"table gone"}}));
    EXPECT_EQ(ETableNotFound().Message, "table gone");
    const EKvException& e = EDuplicateCommand();
    EXPECT_EQ(e.Message, "Unknown");
    EXPECT_STREQ(ENoControllerAssigned().what(), "Unknown");
}

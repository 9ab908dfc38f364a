#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "KvConst.h"
#include "KvExcpt.h"
#include "ErrorOf.h"
#include "KvSrMgr.h"
#include "OpenStringTables.h"

using namespace kv;
using testing_support::ErrorOf;

namespace {

class StringTablesTest : public ::testing::Test {
protected:
    OpenStringTables tables;
};

}  // namespace

TEST_F(StringTablesTest, LibraryStringsComeFromTheProgramsResources) {
    const struct {
        uint16_t id;
        const char* text;
    } cases[] = {
        {30275, "Default"},
        {30276, "WordStar"},
        {30189, "No Window's timers are available"},
        {30169, "Duplicate command found while adding a new command to the table"},
        {33843, "ccWordRight"},
        {30267, "Unknown"},  // between two entries
        {1, "Unknown"},
    };
    for (const auto& c : cases) EXPECT_EQ(LibraryString(c.id), c.text) << c.id;
}

TEST_F(StringTablesTest, ReaderTableHoldsItsFiveMessages) {
    TKvStringResource reader(nullptr, "KVSRMGR_STRINGS");
    EXPECT_EQ(reader.Table().Count(), 5);
    EXPECT_EQ(reader.StringById(1), "String not found: %d");
    EXPECT_EQ(reader.StringById(5), "Invalid TPString resource");
    EXPECT_EQ(reader.StringById(6), "");
    reader.SetRaiseOnMissing(true);
    EXPECT_EQ(ErrorOf([&] { reader.StringById(6); }), "String not found: 6");
}

TEST_F(StringTablesTest, ExceptionsTakeTheirMessagesFromTheTable) {
    EXPECT_EQ(ENoTimersAvailable().Message, "No Window's timers are available");
    EXPECT_EQ(ENoControllerAssigned().Message, "No Controller assigned");
    EXPECT_EQ(ETableNotFound().Message, "Command table not found or command table index out of range");
}

TEST_F(StringTablesTest, AModuleWithoutTheTableFallsBackToTheProgram) {
    TKvStringResource strings(::GetModuleHandleA("kernel32.dll"), "KVLIB3_STRINGS_ENGLISH");
    EXPECT_EQ(strings.StringById(30277), "(Unknown)");
}

TEST_F(StringTablesTest, MalformedTablesAreRefusedAndSelectingNothingReleases) {
    for (const char* name : {"BAD_SIGNATURE", "OFFSET_PAST_END", "HUGE_COUNT", "SHORT_TABLE"})
        EXPECT_EQ(ErrorOf([&] { TKvStringResource(nullptr, name); }), "Invalid TPString resource") << name;
    EXPECT_EQ(ErrorOf([] { TKvStringResource(nullptr, "NO_SUCH_TABLE"); }), "String resource not found: NO_SUCH_TABLE");

    TKvStringResource strings(nullptr, "KVSRMGR_STRINGS");
    strings.SelectResource(nullptr, "");
    EXPECT_FALSE(strings.Table().IsOpen());
    EXPECT_EQ(strings.StringById(1), "");
}

TEST(StringTablesWithoutTheReaderTable, MessagesFallBackToEnglish) {
    // Nothing is open: the reader's own messages still read, and library
    // strings read "Unknown".
    EXPECT_EQ(ErrorOf([] { TKvStringResource(nullptr, "MISSING"); }), "String resource not found: MISSING");
    EXPECT_EQ(ErrorOf([] { TKvStringResource(nullptr, "BAD_SIGNATURE"); }), "Invalid TPString resource");
    EXPECT_EQ(LibraryString(30275), "Unknown");
    EXPECT_EQ(ENoTimersAvailable().Message, "Unknown");
}

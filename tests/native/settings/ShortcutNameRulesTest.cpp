#include <gtest/gtest.h>

#include "ShortcutNameRules.h"

using namespace settings;

namespace {
const std::string x127(127, 'x');
const std::string x128(128, 'x');
}  // namespace

TEST(ShortcutNameRules, FileNameOfAnAddress) {
    struct Case {
        std::string address;
        std::string name;
    };
    const Case cases[] = {
        {"http://a.com", "a.com.url"},
        {"http://a.com/", "a.com.url"},
        {"http://a.com//--", "a.com.url"},
        {"http://", ".url"},
        {"HTTP://A.com", "A.com.url"},
        {"hTtP://x", "x.url"},
        {"https://x", "https---x.url"},
        {"ftp://a/b?c", "ftp---a-b-c.url"},
        {"http://a.com/x?y=1|2<3>4\\5:6", "a.com-x-y=1-2-3-4-5-6.url"},
        {"http://a*b\"c", "a-b-c.url"},  // no file name holds them
        {"http://a\x01" "b\x1f" "c", "a-b-c.url"},
        {"  http://a.com \r\n", "a.com.url"},
        {"http:// a b ", "a b.url"},
        {"www.a.com", "www.a.com.url"},
        {"http://" + std::string(200, 'x'), x128 + ".url"},
        {"http://" + x127 + "-" + std::string(72, 'y'), x127 + "-.url"},  // a "-" at the cut stays
        {"http://" + x127 + " " + std::string(72, 'y'), x127 + ".url"},
        // Device names, also with an extension after them.
        {"http://con", "con-.url"},
        {"http://NUL/", "NUL-.url"},
        {"http://aux.example.com", "aux-.example.com.url"},
        {"http://prn .x", "prn- .x.url"},
        {"http://com1", "com1-.url"},
        {"http://LPT9", "LPT9-.url"},
        {"http://com0", "com0.url"},
        {"http://com10", "com10.url"},
        {"http://console", "console.url"},
        {"http://con:80", "con-80.url"},
    };
    for (const Case& c : cases) EXPECT_EQ(ShortcutFileName(c.address), c.name) << c.address;
}

TEST(ShortcutNameRules, TheRestAfterThePrefixIsReadUpTo1024Characters) {
    // The trailing "-" are removed from those 1024, then the name is cut.
    const std::string address = "http://" + std::string(100, 'a') + std::string(924, '/') + "bbb";
    EXPECT_EQ(ShortcutNameStem(address), std::string(100, 'a'));
}

TEST(ShortcutNameRules, ADeviceNameAtTheLimitIsCutOnceMore) {
    EXPECT_EQ(FitShortcutName("con", 3), "co");
    EXPECT_EQ(FitShortcutName("con", 4), "con-");
    EXPECT_EQ(FitShortcutName("lpt1.example", 5), "lpt1-");
    EXPECT_EQ(FitShortcutName("nul", 0), "");
}

namespace {
struct PlannedFile {
    std::string name;
    std::string address;
    bool operator==(const PlannedFile&) const = default;
};

std::vector<PlannedFile> Files(const ShortcutPlan& plan) {
    std::vector<PlannedFile> files;
    for (const ShortcutFile& f : plan.Files) files.push_back({f.FileName, f.Address});
    return files;
}
}  // namespace

TEST(ShortcutNameRules, EveryDifferentAddressGetsAFileOfItsOwn) {
    struct Case {
        const char* what;
        std::vector<std::string> entries;
        std::vector<PlannedFile> files;
    };
    const Case cases[] = {
        {"blank entries write nothing", {"", "   ", "\t\r\n"}, {}},
        {"the address is trimmed", {"  http://a.com  "}, {{"a.com.url", "http://a.com"}}},
        {"identical addresses collapse",
         {"http://a.com", "http://b.com", " http://a.com"},
         {{"a.com.url", "http://a.com"}, {"b.com.url", "http://b.com"}}},
        {"same name, different address",
         {"http://a.com", "http://a.com/", "a.com", "HTTP://a.com"},
         {{"a.com.url", "http://a.com"},
          {"a.com (2).url", "http://a.com/"},
          {"a.com (3).url", "a.com"},
          {"a.com (4).url", "HTTP://a.com"}}},
        {"names differing in letter case collide",
         {"http://A.com", "http://a.COM"},
         {{"A.com.url", "http://A.com"}, {"a.COM (2).url", "http://a.COM"}}},
        {"a suffix taken by another name",
         {"http://a", "http://a/", "http://a (2)"},
         {{"a.url", "http://a"}, {"a (2).url", "http://a/"}, {"a (2) (2).url", "http://a (2)"}}},
        {"the suffix fits in 128",
         {"http://" + std::string(200, 'x'), "http://" + std::string(200, 'x') + "/"},
         {{x128 + ".url", "http://" + std::string(200, 'x')},
          {std::string(124, 'x') + " (2).url", "http://" + std::string(200, 'x') + "/"}}},
        {"control characters never reach the file",
         {"http://a\r\nb"},
         {{"ab.url", "http://ab"}}},
    };
    for (const Case& c : cases) {
        const ShortcutPlan plan = PlanShortcutFiles(c.entries, kMaxPathLength);
        EXPECT_TRUE(plan.Ok()) << c.what << ": " << plan.Failure;
        EXPECT_EQ(Files(plan), c.files) << c.what;
    }
}

TEST(ShortcutNameRules, NamesAreShortenedToTheRoomTheFolderLeaves) {
    const std::vector<std::string> entries{"http://abcdefghij", "http://abcdefghij/"};
    ShortcutPlan plan = PlanShortcutFiles(entries, 10);
    ASSERT_TRUE(plan.Ok()) << plan.Failure;
    EXPECT_EQ(Files(plan), (std::vector<PlannedFile>{{"abcdef.url", entries[0]}, {"ab (2).url", entries[1]}}));

    plan = PlanShortcutFiles({"http://a", "http://b"}, 4);  // room for ".url" alone
    EXPECT_FALSE(plan.Ok());
    EXPECT_NE(plan.Failure.find("http://b"), std::string::npos) << plan.Failure;

    EXPECT_FALSE(PlanShortcutFiles({"http://a"}, 3).Ok());
    EXPECT_TRUE(PlanShortcutFiles({" "}, 0).Ok());  // nothing to write needs no room
    EXPECT_EQ(ShortcutNameRoom(300), 0u);
    EXPECT_EQ(ShortcutNameRoom(250), 9u);
}

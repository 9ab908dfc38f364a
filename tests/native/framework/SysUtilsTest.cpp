#include <gtest/gtest.h>

#include "SysUtils.h"

using namespace velfw;

TEST(SysUtils, TrimDropsBlanksAndControlCharacters) {
    EXPECT_EQ(Trim("  \t 12 \r\n"), "12");
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(Trim(" \x01 "), "");
    EXPECT_EQ(TrimLeft("  a b "), "a b ");
    EXPECT_EQ(TrimRight("  a b "), "  a b");
}

TEST(SysUtils, StrToIntTable) {
    struct Row {
        const char* text;
        std::optional<int32_t> value;
    } rows[] = {
        {"0", 0},          {"42", 42},         {"-7", -7},          {"+5", 5},
        {"$1F", 31},       {"0x10", 16},       {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},            {"2147483648", std::nullopt},
        {"", std::nullopt}, {" 1", std::nullopt}, {"1 ", std::nullopt}, {"1.5", std::nullopt},
        {"abc", std::nullopt}, {"-", std::nullopt}, {"99999999999999999999", std::nullopt},
    };
    for (const Row& r : rows) EXPECT_EQ(TryStrToInt(r.text), r.value) << r.text;
    EXPECT_EQ(StrToIntDef("x", 9), 9);
}

TEST(SysUtils, DecimalOnlyTable) {
    struct Row {
        const char* text;
        std::optional<int32_t> asInt;
        std::optional<uint32_t> asUint;
    } rows[] = {
        {"42", 42, 42u},
        {"-1", -1, 0xFFFFFFFFu},
        {"+5", 5, 5u},
        {"2147483648", std::nullopt, 0x80000000u},
        {"4294967295", std::nullopt, 0xFFFFFFFFu},
        {"4294967296", std::nullopt, std::nullopt},
        {"0x2", std::nullopt, std::nullopt},
        {"$2", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {" 1", std::nullopt, std::nullopt},
        {"-", std::nullopt, std::nullopt},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(TryDecimalToInt(r.text), r.asInt) << r.text;
        EXPECT_EQ(TryDecimalToUint32(r.text), r.asUint) << r.text;
    }
}

TEST(SysUtils, PathPieces) {
    EXPECT_EQ(IncludeTrailingBackslash("c:\\a"), "c:\\a\\");
    EXPECT_EQ(IncludeTrailingBackslash("c:\\a\\"), "c:\\a\\");
    EXPECT_EQ(ExcludeTrailingBackslash("c:\\a\\"), "c:\\a");
    EXPECT_EQ(ExtractFileName("C:\\Tools\\KAVIst.exe"), "KAVIst.exe");
    EXPECT_EQ(ExtractFilePath("C:\\Tools\\KAVIst.exe"), "C:\\Tools\\");
    EXPECT_EQ(ChangeFileExt("C:\\a.b\\name.x.exe", ""), "C:\\a.b\\name.x");
    EXPECT_EQ(ChangeFileExt("C:\\a.b\\name", ".txt"), "C:\\a.b\\name.txt");
}

TEST(SysUtils, SplitLinesAcceptsEveryLineEnd) {
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitLines("\r\n\r\n"), (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(SysUtils, CaseRulesAreAsciiOnly) {
    EXPECT_EQ(UpperCase("/s-x\xe9"), "/S-X\xe9");
    EXPECT_TRUE(SameText("Window1", "WINDOW1"));
    EXPECT_FALSE(SameText("Window1", "Window"));
    EXPECT_TRUE(StartsText("file://", "FILE://c:/x"));
}

#include <gtest/gtest.h>

#include "SaverCommandLine.h"

using namespace saver;

TEST(SaverCommandLine, ModeTable) {
    struct Row {
        const char* arg;
        int mode;
    } rows[] = {
        {"/s", 3}, {"/S", 3}, {"-s", 3}, {"s", 3}, {"S", 3}, {"/x", 3}, {"hello", 3}, {"//a", 3},
        {"/a", 0}, {"-A", 0}, {"a", 0}, {"Anything", 0},
        {"/p", 1}, {"-p", 1}, {"P", 1}, {"preview", 1},
        {"/c", 2}, {"-C", 2}, {"c", 2}, {"/c:1234", 2}, {"", 2},
        {"/", 3}, {"-", 3}, {"x/c", 3},
    };
    for (const Row& r : rows) EXPECT_EQ(SaverModeOf(r.arg), r.mode) << r.arg;
}

TEST(SaverCommandLine, SplitsLikeTheRuntime) {
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\Velunor.scr\" /p 1234"),
              (std::vector<std::string>{"C:\\Program Files\\Velunor.scr", "/p", "1234"}));
    EXPECT_EQ(SplitCommandLine("  Velunor.scr\t/S  "), (std::vector<std::string>{"Velunor.scr", "/S"}));
    EXPECT_EQ(SplitCommandLine("a \"b c\"d"), (std::vector<std::string>{"a", "b cd"}));
    EXPECT_TRUE(SplitCommandLine("").empty());
}

TEST(SaverCommandLine, WindowHandleArgument) {
    EXPECT_EQ(WindowHandleArgument("1234"), 1234u);
    EXPECT_EQ(WindowHandleArgument(""), std::nullopt);
    EXPECT_EQ(WindowHandleArgument("12ab"), std::nullopt);
    EXPECT_EQ(WindowHandleArgument("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(WindowHandleArgument("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(WindowHandleArgument("4294967296"), std::nullopt);
    // A handle is written in decimal; hexadecimal forms name no window.
    EXPECT_EQ(WindowHandleArgument("0x10"), std::nullopt);
    EXPECT_EQ(WindowHandleArgument("$10"), std::nullopt);
}

// Text between the ANSI code page and wide strings, and the BSTR owner.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "WideText.h"

using velfw::AnsiToWide;
using velfw::OleString;
using velfw::WideToAnsi;

TEST(WideText, WideTextToAnsiAndBack) {
    struct Case {
        const wchar_t* wide;
        const char* ansi;
    } cases[] = {
        {L"", ""},
        {L"plain text", "plain text"},
        {L"http://www.kavi.com/Support.htm", "http://www.kavi.com/Support.htm"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WideToAnsi(c.wide), c.ansi);
        EXPECT_EQ(AnsiToWide(c.ansi), c.wide) << c.ansi;
    }
    EXPECT_EQ(WideToAnsi(nullptr), "");
    // A count of units: stops there, and takes a NUL inside it along.
    EXPECT_EQ(WideToAnsi(L"window title", 6), "window");
    EXPECT_EQ(WideToAnsi(L"ab\0cd", 5), std::string("ab\0cd", 5));
    EXPECT_EQ(WideToAnsi(L"ab", 0), "");
    // A letter beyond ASCII takes the code page's own byte, both ways.
    const std::string accented = "caf\xE9";
    const std::wstring wide = AnsiToWide(accented);
    ASSERT_EQ(wide.size(), 4u);
    EXPECT_EQ(WideToAnsi(wide.c_str()), accented);
    EXPECT_EQ(WideToAnsi(wide.c_str(), wide.size()), accented);
}

TEST(WideText, OleStringOwnsItsTextUntilReleased) {
    OleString text("navigate here");
    ASSERT_NE(text.Get(), nullptr);
    EXPECT_EQ(::SysStringLen(text.Get()), 13u);
    EXPECT_EQ(WideToAnsi(text.Get()), "navigate here");

    OleString moved(std::move(text));
    EXPECT_EQ(text.Get(), nullptr);
    ASSERT_NE(moved.Get(), nullptr);
    BSTR released = moved.Release();
    EXPECT_EQ(moved.Get(), nullptr);
    EXPECT_EQ(WideToAnsi(released), "navigate here");
    ::SysFreeString(released);

    OleString empty("");
    ASSERT_NE(empty.Get(), nullptr) << "an empty text is still a string";
    EXPECT_EQ(::SysStringLen(empty.Get()), 0u);
}

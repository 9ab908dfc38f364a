#include <gtest/gtest.h>

#include "ShellRules.h"

using namespace browser;

TEST(ShellRules, HtmlExecuteAddress) {
    EXPECT_EQ(HtmlExecuteAddress("\"file:///c:/a b.htm\",,-1,0,,,,"), "file:///c:/a b.htm");
    EXPECT_EQ(HtmlExecuteAddress("http://x/"), "http://x/");
    EXPECT_EQ(HtmlExecuteAddress("\"unterminated"), "");
    EXPECT_EQ(HtmlExecuteAddress(""), "");
}

namespace {

const TFolderCommandNames kNames{"ViewFolder", "ExploreFolder", "FindFolder"};

struct FolderRow {
    const char* text;
    TFolderCommandKind kind;
    const char* path;
    bool shared;
    uint32_t handle;
    uint32_t process;
    int show;
};

}  // namespace

TEST(ShellRules, ParseFolderCommandTable) {
    using K = TFolderCommandKind;
    FolderRow rows[] = {
        // The shell's own form: the list lies in shared memory of a process.
        {"[ViewFolder(\"C:\\Data\", :1234:56, 1)]", K::Open, "C:\\Data", true, 1234, 56, 1},
        {"[ExploreFolder(\"\", :88:4000, 3)]", K::Explore, "", true, 88, 4000, 3},
        {"[FindFolder(\"D:\\\", :7:9, 5)]", K::Find, "D:\\", true, 7, 9, 5},
        // Handles and ids beyond 31 bits.
        {"[ViewFolder(\"\", :4294967295:2147483648, 1)]", K::Open, "", true, 0xFFFFFFFFu, 0x80000000u, 1},
        // A bare number (an address in this process) gives no list.
        {"[ViewFolder(\"C:\\x\", 12345, 1)]", K::Open, "C:\\x", false, 0, 0, 1},
        {"[ViewFolder(\"C:\\x\", 12345:0, 1)]", K::Open, "C:\\x", false, 0, 0, 1},
        // No digit after the second comma, or no second comma: show command 1.
        {"[ViewFolder(\"C:\\x\", :1:2, )]", K::Open, "C:\\x", true, 1, 2, 1},
        {"[ViewFolder(\"C:\\x\", :1:2)]", K::Open, "C:\\x", true, 1, 2, 1},
        // Only the first digit is the show command.
        {"[ViewFolder(\"C:\\x\", :1:2, 10)]", K::Open, "C:\\x", true, 1, 2, 1},
        // Commas inside the quoted path are part of the path.
        {"[ViewFolder(\"C:\\a,1b,2\", :1:2, 7)]", K::Open, "C:\\a,1b,2", true, 1, 2, 7},
        // Names compare with letter case; unknown names are not recognised.
        {"[viewfolder(\"C:\\x\", :1:2, 1)]", K::None, "", false, 0, 0, 1},
        {"[OpenFolder(\"C:\\x\", :1:2, 1)]", K::None, "", false, 0, 0, 1},
        {"ViewFolder", K::None, "", false, 0, 0, 1},
        {"", K::None, "", false, 0, 0, 1},
        // Numbers that do not convert: not recognised.
        {"[ViewFolder(\"C:\\x\", :1-2:5, 1)]", K::None, "", false, 0, 0, 1},
        {"[ViewFolder(\"C:\\x\", :12:+, 1)]", K::None, "", false, 0, 0, 1},
        {"[ViewFolder(\"C:\\x\", :1:2, -)]", K::None, "", false, 0, 0, 1},
        {"[ViewFolder(\"C:\\x\", :1:2, +3)]", K::None, "", false, 0, 0, 1},
        {"[ViewFolder(\"C:\\x\", :99999999999:2, 1)]", K::None, "", false, 0, 0, 1},
        // The number runs skip whatever lies between: here the handle is the
        // show command's digit and there is no process id, so no list.
        {"[ViewFolder(\"C:\\x\", none, 1)]", K::Open, "C:\\x", false, 0, 0, 1},
        {"[ViewFolder(\"C:\\x\")]", K::None, "", false, 0, 0, 1},
    };
    for (const FolderRow& r : rows) {
        TFolderCommand c = ParseFolderCommandText(r.text, kNames);
        EXPECT_EQ(c.Kind, r.kind) << r.text;
        EXPECT_EQ(c.Path, r.path) << r.text;
        EXPECT_EQ(c.HasSharedList, r.shared) << r.text;
        EXPECT_EQ(c.Handle, r.handle) << r.text;
        EXPECT_EQ(c.ProcessId, r.process) << r.text;
        EXPECT_EQ(c.ShowCommand, r.show) << r.text;
    }
}

TEST(ShellRules, EmptyRegisteredNamesMatchNothing) {
    TFolderCommandNames none;
    EXPECT_EQ(ParseFolderCommandText("[(\"C:\\x\", :1:2, 1)]", none).Kind, TFolderCommandKind::None);
    EXPECT_EQ(ParseFolderCommandText("plain text", none).Kind, TFolderCommandKind::None);
}

TEST(ShellRules, KeyFilterTable) {
    constexpr uint32_t kExtended = 1u << 24;
    struct Row {
        unsigned key;
        uint32_t lParam;
        bool offered;
    } rows[] = {
        {0x0D, 0, false},         {0x0D, kExtended, false},  // Enter, also the keypad's
        {0x08, 0, false},                                    // Backspace
        {0x25, kExtended, false}, {0x27, kExtended, false},  // grey Left and Right
        {0x25, 0, true},          {0x27, 0, true},           // keypad Left and Right
        {0x26, kExtended, true},  {0x28, kExtended, true},   // Up and Down
        {0x09, 0, true},          {'A', 0, true},   {0x2E, kExtended, true}, {0x74, 0, true},
    };
    for (const Row& r : rows)
        EXPECT_EQ(OfferKeyToBrowser(r.key, r.lParam), r.offered) << std::hex << r.key << " " << r.lParam;
}

TEST(ShellRules, BrowserCaptionTakesTheApplicationTitle) {
    struct Row {
        const char* caption;
        const char* result;
    } rows[] = {
        {"Microsoft Internet Explorer", "Velunor"},
        {"Internet Explorer Script Error", "Velunor Script Error"},
        {"Error - Microsoft Internet Explorer", "Error - Velunor"},
        {"Microsoft Internet Explorer - Internet Explorer", "Velunor - Internet Explorer"},
        {"microsoft internet explorer", "microsoft internet explorer"},
        {"Microsoft Windows", "Windows"},
        {"Save As", "Save As"},
        {"", ""},
    };
    for (const Row& r : rows) EXPECT_EQ(ReplaceBrowserCaption(r.caption, "Velunor"), r.result) << r.caption;
}

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "Globals.h"
#include "PageTestFiles.h"
#include "WideText.h"

using namespace globals;
using testing_support::FileExists;
using testing_support::MakeFolder;
using testing_support::ReadFileBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;

namespace {

std::string Shortcut(const std::string& url) { return "[InternetShortcut]\r\nurl=" + url + "\r\n"; }

// The names of a folder's entries in the order the file system lists them.
std::vector<std::string> ListingOrder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry = {};
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (::FindNextFileA(find, &entry));
    ::FindClose(find);
    return names;
}

std::vector<std::string> Items(const velfw::TStringList& list) { return list.Items(); }

// Puts back the unit's folders and lists that a test changes.
class PageListsTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedDesktop_ = DesktopDir;
        savedData_ = DataDir;
        for (int n = 1; n <= 3; ++n) savedLists_[n].Assign(PageLists[n]);
    }
    void TearDown() override {
        DesktopDir = savedDesktop_;
        DataDir = savedData_;
        for (int n = 1; n <= 3; ++n) PageLists[n].Assign(savedLists_[n]);
    }
    TempFolder dir_{"pagelists"};

private:
    std::string savedDesktop_, savedData_;
    std::array<velfw::TStringList, 4> savedLists_;
};

}  // namespace

TEST_F(PageListsTest, ShortcutsLoadInListingOrder) {
    const std::string pages = dir_ / "pages";
    ASSERT_TRUE(MakeFolder(pages));
    const std::pair<const char*, const char*> files[] = {
        {"b.url", "http://b.example/"}, {"a.url", "http://a.example/"}, {"c page.url", "http://c.example/x?y=1"}};
    for (const auto& [name, url] : files) WriteBytes(pages + "\\" + name, Shortcut(url));

    std::vector<std::string> expected;
    for (const std::string& name : ListingOrder(pages))
        for (const auto& [file, url] : files)
            if (name == file) expected.push_back(url);
    ASSERT_EQ(expected.size(), 3u);

    velfw::TStringList list;
    list.Add("left over");
    EXPECT_TRUE(LoadPageList(list, pages));
    EXPECT_EQ(Items(list), expected);
}

TEST_F(PageListsTest, SubFolderAndOtherFilesAreEmptyPages) {
    const std::string pages = dir_ / "pages";
    ASSERT_TRUE(MakeFolder(pages));
    ASSERT_TRUE(MakeFolder(pages + "\\sub"));
    WriteBytes(pages + "\\notes.txt", "just some text\r\n");
    WriteBytes(pages + "\\other.url", "[Other]\r\nurl=http://not.this/\r\n");
    WriteBytes(pages + "\\page.url", Shortcut("http://page.example/"));

    std::vector<std::string> expected;
    for (const std::string& name : ListingOrder(pages)) expected.push_back(name == "page.url" ? "http://page.example/" : "");
    ASSERT_EQ(expected.size(), 4u);

    velfw::TStringList list;
    EXPECT_TRUE(LoadPageList(list, pages));
    EXPECT_EQ(Items(list), expected);

    // A folder holding only a sub-folder still has one (empty) page.
    const std::string onlySub = dir_ / "only-sub";
    ASSERT_TRUE(MakeFolder(onlySub));
    ASSERT_TRUE(MakeFolder(onlySub + "\\inner"));
    EXPECT_TRUE(LoadPageList(list, onlySub));
    EXPECT_EQ(Items(list), std::vector<std::string>{""});
}

TEST_F(PageListsTest, EmptyMissingOrUnnamedFolderFails) {
    const std::string empty = dir_ / "empty";
    ASSERT_TRUE(MakeFolder(empty));
    WriteBytes(dir_ / "a-file", Shortcut("http://file.example/"));
    // The current folder must not stand in for an empty name.
    char savedCurrent[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryA(MAX_PATH, savedCurrent);
    ASSERT_TRUE(::SetCurrentDirectoryA(dir_.Path().c_str()));

    const std::string folders[] = {empty, empty + "\\", dir_ / "missing", dir_ / "missing\\", dir_ / "a-file", "", "   ",
                                   "\t\r\n"};
    for (const std::string& folder : folders) {
        velfw::TStringList list;
        list.Add("left over");
        EXPECT_FALSE(LoadPageList(list, folder)) << "[" << folder << "]";
        EXPECT_EQ(list.Count(), 0) << "[" << folder << "]";
    }
    ::SetCurrentDirectoryA(savedCurrent);
}

TEST_F(PageListsTest, FolderNameSpellingsLoadTheSame) {
    const std::string pages = dir_ / "My Pages";
    ASSERT_TRUE(MakeFolder(pages));
    WriteBytes(pages + "\\one.url", Shortcut("http://one.example/"));
    WriteBytes(pages + "\\two.url", Shortcut("http://two.example/"));

    velfw::TStringList clean;
    ASSERT_TRUE(LoadPageList(clean, pages + "\\"));
    ASSERT_EQ(clean.Count(), 2);
    const std::string spellings[] = {pages, pages + "   ", pages + "\\  ", "  " + pages + "\t", pages + "\\\r\n"};
    for (const std::string& folder : spellings) {
        velfw::TStringList list;
        EXPECT_TRUE(LoadPageList(list, folder)) << "[" << folder << "]";
        EXPECT_EQ(Items(list), Items(clean)) << "[" << folder << "]";
    }
}

TEST_F(PageListsTest, ReadFollowsTheProfileRules) {
    struct Case {
        const char* name;
        const char* bytes;
        const char* url;
    };
    const Case cases[] = {
        {"plain", "[InternetShortcut]\r\nurl=http://plain.example/\r\n", "http://plain.example/"},
        {"capitals", "[InternetShortcut]\r\nURL=http://caps.example/\r\n", "http://caps.example/"},
        {"section case", "[INTERNETSHORTCUT]\r\nUrl=http://section.example/\r\n", "http://section.example/"},
        {"blanks", "[InternetShortcut]\r\nURL =   http://blanks.example/   \r\n", "http://blanks.example/"},
        {"quoted", "[InternetShortcut]\r\nURL=\"http://quoted.example/\"\r\n", "http://quoted.example/"},
        {"quoted blanks", "[InternetShortcut]\r\nurl= \" http://q.example/ \" \r\n", " http://q.example/ "},
        {"lf only", "[InternetShortcut]\nurl=http://lf.example/\n", "http://lf.example/"},
        {"other sections",
         "[DEFAULT]\r\nBASEURL=http://base.example/\r\n[InternetShortcut]\r\nIconIndex=0\r\nURL=http://real.example/\r\n"
         "[Other]\r\nurl=http://other.example/\r\n",
         "http://real.example/"},
        {"no key", "[InternetShortcut]\r\nIconIndex=0\r\n", ""},
        {"no section", "url=http://nowhere.example/\r\n", ""},
        {"empty value", "[InternetShortcut]\r\nurl=\r\n", ""},
        {"empty file", "", ""},
    };
    for (const Case& c : cases) {
        const std::string file = dir_ / (std::string(c.name) + ".url");
        WriteBytes(file, c.bytes);
        std::string url = "unchanged";
        EXPECT_TRUE(ReadShortcutUrl(file, url)) << c.name;
        EXPECT_EQ(url, c.url) << c.name;
    }
    std::string url = "unchanged";
    EXPECT_TRUE(ReadShortcutUrl(dir_ / "missing.url", url));
    EXPECT_EQ(url, "");
}

TEST_F(PageListsTest, LongAddressReadsBackWhole) {
    // The profile functions themselves keep values of up to 32766 characters.
    for (size_t length : {2046u, 2047u, 2048u, 2049u, 5000u, 32766u}) {
        const std::string address = "http://long.example/" + std::string(length - 20, 'a');
        const std::string file = dir_ / ("long" + std::to_string(length) + ".url");
        ASSERT_TRUE(WriteShortcutUrl(file, address));
        std::string url;
        EXPECT_TRUE(ReadShortcutUrl(file, url));
        EXPECT_EQ(url.size(), address.size());
        EXPECT_TRUE(url == address) << length;
    }
}

TEST_F(PageListsTest, NewShortcutHasExactlyTwoLines) {
    const std::string file = dir_ / "new.url";
    ASSERT_TRUE(WriteShortcutUrl(file, "http://new.example/a b?c=d"));
    EXPECT_EQ(ReadFileBytes(file), "[InternetShortcut]\r\nurl=http://new.example/a b?c=d\r\n");
}

TEST_F(PageListsTest, WritingKeepsTheOtherLines) {
    const std::string file = dir_ / "other-keys.url";
    WriteBytes(file,
               "[DEFAULT]\r\nBASEURL=http://base.example/\r\n[InternetShortcut]\r\nURL=http://old.example/\r\n"
               "IconIndex=1\r\nIconFile=c:\\icons\\x.ico\r\n[Extra]\r\nurl=http://extra.example/\r\n");
    ASSERT_TRUE(WriteShortcutUrl(file, "http://new.example/"));
    const std::string bytes = ReadFileBytes(file);
    EXPECT_EQ(bytes.find("http://old.example/"), std::string::npos) << bytes;
    for (const char* kept : {"[DEFAULT]\r\nBASEURL=http://base.example/\r\n", "IconIndex=1\r\n",
                             "IconFile=c:\\icons\\x.ico\r\n", "[Extra]\r\nurl=http://extra.example/\r\n"})
        EXPECT_NE(bytes.find(kept), std::string::npos) << kept << " in " << bytes;
    std::string url;
    EXPECT_TRUE(ReadShortcutUrl(file, url));
    EXPECT_EQ(url, "http://new.example/");

    // A section without the key gets it; a file without the section gets both.
    const std::string noKey = dir_ / "no-key.url";
    WriteBytes(noKey, "[InternetShortcut]\r\nIconIndex=3\r\n");
    ASSERT_TRUE(WriteShortcutUrl(noKey, "http://added.example/"));
    EXPECT_NE(ReadFileBytes(noKey).find("IconIndex=3\r\n"), std::string::npos);
    const std::string noSection = dir_ / "no-section.url";
    WriteBytes(noSection, "[Other]\r\nkey=value\r\n");
    ASSERT_TRUE(WriteShortcutUrl(noSection, "http://section.example/"));
    EXPECT_NE(ReadFileBytes(noSection).find("[Other]\r\nkey=value\r\n"), std::string::npos);
    for (const auto& [path, expected] : {std::pair{noKey, "http://added.example/"}, std::pair{noSection, "http://section.example/"}}) {
        std::string read;
        EXPECT_TRUE(ReadShortcutUrl(path, read));
        EXPECT_EQ(read, expected);
    }
}

TEST_F(PageListsTest, WritingIntoAMissingFolderFails) {
    EXPECT_FALSE(WriteShortcutUrl(dir_ / "missing\\page.url", "http://x.example/"));
    EXPECT_FALSE(FileExists(dir_ / "missing"));
    // A plain file where the folder should be.
    WriteBytes(dir_ / "plain", "x");
    EXPECT_FALSE(WriteShortcutUrl(dir_ / "plain\\page.url", "http://x.example/"));
}

TEST_F(PageListsTest, LastSeenShortcutLandsOnTheDesktop) {
    DesktopDir = dir_.Path();
    const std::string file = dir_ / "Last Seen on Velunor.url";
    ASSERT_TRUE(SaveLastSeenShortcut("http://first.example/"));
    EXPECT_EQ(ReadFileBytes(file), Shortcut("http://first.example/"));

    // Rewritten in place: lines another program added stay.
    WriteBytes(file, ReadFileBytes(file) + "IconIndex=2\r\n");
    ASSERT_TRUE(SaveLastSeenShortcut("http://second.example/"));
    const std::string bytes = ReadFileBytes(file);
    EXPECT_NE(bytes.find("url=http://second.example/\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("IconIndex=2\r\n"), std::string::npos) << bytes;

    DesktopDir = dir_ / "no-desktop";
    EXPECT_FALSE(SaveLastSeenShortcut("http://third.example/"));
}

TEST_F(PageListsTest, WindowPagesComeFromTheWindowFolders) {
    DataDir = dir_.Path() + "\\";
    for (int n = 1; n <= 2; ++n) {
        ASSERT_TRUE(MakeFolder(DataDir + "Window" + std::to_string(n)));
        WriteBytes(DataDir + "Window" + std::to_string(n) + "\\p.url", Shortcut("http://w" + std::to_string(n) + "/"));
    }
    ASSERT_TRUE(MakeFolder(DataDir + "Window3"));
    PageLists[3].Add("stale");

    EXPECT_TRUE(LoadWindowPages(1));
    EXPECT_EQ(Items(PageLists[1]), std::vector<std::string>{"http://w1/"});
    EXPECT_TRUE(LoadWindowPages(2));
    EXPECT_EQ(Items(PageLists[2]), std::vector<std::string>{"http://w2/"});
    EXPECT_FALSE(LoadWindowPages(3));
    EXPECT_EQ(PageLists[3].Count(), 0);
    EXPECT_FALSE(LoadWindowPages(0));
    EXPECT_FALSE(LoadWindowPages(4));
}

TEST_F(PageListsTest, APageNamedInAScriptTheCodePageLacksLoadsItsAddress) {
    ASSERT_TRUE(testing_support::AnsiCannotSpell(testing_support::kJapanesePageName));
    const std::string pages = dir_ / "pages";
    ASSERT_TRUE(MakeFolder(pages));
    ASSERT_TRUE(testing_support::WriteFileBytes(velfw::AnsiToWide(pages) + L"\\" + testing_support::kJapanesePageName,
                                                Shortcut("http://jp.example/page")));
    velfw::TStringList list;
    EXPECT_TRUE(LoadPageList(list, pages));
    EXPECT_EQ(Items(list), std::vector<std::string>{"http://jp.example/page"});
}

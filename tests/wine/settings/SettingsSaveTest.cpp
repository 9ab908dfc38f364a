// The settings program's save on a real disk and registry: clearing a folder
// tree, a write failing halfway through, and a save the screen saver reads.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "Globals.h"
#include "PageListFiles.h"
#include "ScopedSeam.h"
#include "SettingsRegistry.h"
#include "SettingsSave.h"
#include "WinHandles.h"

using namespace testing_support;

namespace {

std::string Shortcut(const std::string& url) { return "[InternetShortcut]\r\nurl=" + url + "\r\n"; }

bool MakeFolder(const std::string& path) { return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

void Write(const std::string& path, const std::string& bytes) { ASSERT_TRUE(WriteFileBytes(path, bytes)) << path; }

// Every file and folder below `root` with its bytes and read-only mark, so
// that "untouched" can be checked byte for byte.
using Snapshot = std::map<std::string, std::string>;
void TakeSnapshot(const std::string& root, const std::string& relative, Snapshot& shot) {
    WIN32_FIND_DATAA found = {};
    velfw::UniqueFindHandle find(::FindFirstFileA((root + relative + "\\*").c_str(), &found));
    if (!find) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = relative + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            shot[path + "\\"] = "<folder>";
            TakeSnapshot(root, path, shot);
        } else {
            const bool readOnly = found.dwFileAttributes & FILE_ATTRIBUTE_READONLY;
            shot[path] = (readOnly ? "<read-only>" : "") + ReadFileBytes(root + path);
        }
    } while (::FindNextFileA(find.get(), &found));
}
Snapshot SnapshotOf(const std::string& root) {
    Snapshot shot;
    TakeSnapshot(root, "", shot);
    return shot;
}

void MakeReadOnly(const std::string& path) { ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY)); }

// A junction `link` to the folder `target`, as "mklink /j" makes it; false
// where the file system cannot hold one.
bool MakeJunction(const std::string& link, const std::string& target) {
    if (!MakeFolder(link)) return false;
    velfw::UniqueFileHandle dir(::CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!dir) return false;
    const std::wstring substitute = L"\\??\\" + std::wstring(target.begin(), target.end());
    const std::wstring print(target.begin(), target.end());
    // The mount-point layout: tag, sizes, then both names, each ending in a zero.
    std::vector<BYTE> buffer(8 + 8 + (substitute.size() + print.size() + 2) * sizeof(wchar_t));
    auto put16 = [&buffer](size_t at, size_t v) {
        const WORD w = static_cast<WORD>(v);
        std::memcpy(&buffer[at], &w, sizeof w);
    };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(&buffer[0], &tag, sizeof tag);
    put16(4, buffer.size() - 8);
    const size_t substituteBytes = substitute.size() * sizeof(wchar_t);
    put16(8, 0);
    put16(10, substituteBytes);
    put16(12, substituteBytes + sizeof(wchar_t));
    put16(14, print.size() * sizeof(wchar_t));
    std::memcpy(&buffer[16], substitute.c_str(), substituteBytes + sizeof(wchar_t));
    std::memcpy(&buffer[16 + substituteBytes + sizeof(wchar_t)], print.c_str(), (print.size() + 1) * sizeof(wchar_t));
    DWORD returned = 0;
    const bool made = ::DeviceIoControl(dir.get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                                        static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    dir.reset();
    if (!made) ::RemoveDirectoryA(link.c_str());
    return made && (::GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::vector<std::string> Sorted(std::vector<std::string> items) {
    std::sort(items.begin(), items.end());
    return items;
}

}  // namespace

TEST(SettingsClearFolder, DeletesFilesAtEveryDepthAndKeepsFoldersAndReadOnlyFiles) {
    TempFolder dir("clearfolder");
    const std::string root = dir / "Window1";
    ASSERT_TRUE(MakeFolder(root));
    ASSERT_TRUE(MakeFolder(root + "\\sub"));
    ASSERT_TRUE(MakeFolder(root + "\\sub\\deeper"));
    Write(root + "\\a.com.url", Shortcut("http://a.com"));
    Write(root + "\\.hidden", "x");
    ::SetFileAttributesA((root + "\\.hidden").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    Write(root + "\\sub\\b.url", Shortcut("http://b"));
    Write(root + "\\sub\\deeper\\c.txt", "c");
    Write(root + "\\kept.url", Shortcut("http://kept"));
    MakeReadOnly(root + "\\kept.url");

    // A file that cannot go makes the result false; the others still go.
    EXPECT_FALSE(settings::ClearFolder(root + "\\"));
    EXPECT_EQ(SnapshotOf(root), (Snapshot{{"\\kept.url", "<read-only>" + Shortcut("http://kept")},
                                          {"\\sub\\", "<folder>"},
                                          {"\\sub\\deeper\\", "<folder>"}}));

    ::SetFileAttributesA((root + "\\kept.url").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(settings::ClearFolder(root));  // without the backslash as well
    EXPECT_TRUE(settings::ClearFolder(dir / "missing"));
}

TEST(SettingsClearFolder, NeverEntersAJunction) {
    TempFolder dir("clearjunction");
    const std::string root = dir / "Window1";
    const std::string outside = dir / "outside";
    ASSERT_TRUE(MakeFolder(root));
    ASSERT_TRUE(MakeFolder(outside));
    Write(outside + "\\precious.txt", "keep me");
    Write(root + "\\a.url", Shortcut("http://a"));
    if (!MakeJunction(root + "\\link", outside)) GTEST_SKIP() << "this file system makes no junctions";

    EXPECT_TRUE(settings::ClearFolder(root));
    EXPECT_EQ(ReadFileBytes(outside + "\\precious.txt"), "keep me");
    EXPECT_FALSE(FileExists(root + "\\a.url"));
    // A junction back to its own folder would otherwise recurse for ever.
    ASSERT_TRUE(MakeJunction(root + "\\loop", root));
    EXPECT_TRUE(settings::ClearFolder(root));
}

TEST(SettingsShortcutFile, IsTheSectionAndTheAddressWithCrLf) {
    TempFolder dir("shortcutfile");
    settings::TFilePageListFiles files;
    ASSERT_TRUE(files.WriteNewShortcut(dir / "a.url", "http://a.com/x?y=1"));
    EXPECT_EQ(ReadFileBytes(dir / "a.url"), "[InternetShortcut]\r\nurl=http://a.com/x?y=1\r\n");
    // Never over an existing file.
    EXPECT_FALSE(files.WriteNewShortcut(dir / "a.url", "http://b"));
    EXPECT_EQ(ReadFileBytes(dir / "a.url"), Shortcut("http://a.com/x?y=1"));
}

// A folder that must come out of a failed save exactly as it went in.
struct FailedSaveCase {
    const char* what;
    int failingWrite;  // the write that fails (1 first)
    std::vector<std::string> entries;
};

// The window folder of the real-disk save tests: two pages and a sub-folder.
std::string OldWindowFolder(const TempFolder& dir) {
    const std::string folder = dir / "Window1\\";
    EXPECT_TRUE(MakeFolder(dir / "Window1"));
    EXPECT_TRUE(MakeFolder(folder + "sub"));
    Write(folder + "old.com.url", Shortcut("http://old.com"));
    Write(folder + "other.org.url", Shortcut("http://other.org"));
    Write(folder + "sub\\inner.url", Shortcut("http://inner"));
    return folder;
}

TEST(SettingsSavePageList, AFailedSaveLeavesTheOldFolderByteIdentical) {
    const FailedSaveCase cases[] = {
        {"third write fails", 3, {"http://one.com", "http://two.com", "http://three.com", "http://four.com"}},
        {"first write fails", 1, {"http://one.com"}},
    };
    for (const FailedSaveCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder dir("failedsave");
        const std::string folder = OldWindowFolder(dir);
        const Snapshot before = SnapshotOf(dir.Path());

        int writes = 0;
        ScopedSeam seam(settings::WriteFileData, [&](HANDLE file, const char* data, DWORD size) {
            if (++writes != c.failingWrite) return settings::WriteAllBytes(file, data, size);
            settings::WriteAllBytes(file, data, size / 2);  // the disk fills up halfway
            return false;
        });
        std::string failure;
        EXPECT_FALSE(settings::SavePageList(folder, c.entries, failure));
        EXPECT_FALSE(failure.empty());
        EXPECT_EQ(SnapshotOf(dir.Path()), before);
    }
}

// The staged files cannot all be flushed to the disk (one of them is gone by
// then, as when another program took it): the save stops before it touches
// the old list and says so.
TEST(SettingsSavePageList, AStagedFileThatCannotBeFlushedLeavesTheOldFolderByteIdentical) {
    TempFolder dir("flushsave");
    const std::string folder = OldWindowFolder(dir);
    const Snapshot before = SnapshotOf(dir.Path());
    const std::string staged = dir / "Window1.new\\two.com.url";
    bool removed = false;
    ScopedSeam seam(settings::BeforeSaveStep, [&](const std::string& step) {
        if (step.rfind("flush ", 0) == 0) removed = ::DeleteFileA(staged.c_str()) != FALSE;
    });
    std::string failure;
    EXPECT_FALSE(settings::SavePageList(folder, {"http://one.com", "http://two.com", "http://old.com"}, failure));
    ASSERT_TRUE(removed) << "the flush step was never reached with the staged file there";
    EXPECT_EQ(failure, "Unable to flush " + dir / "Window1.new");
    EXPECT_EQ(SnapshotOf(dir.Path()), before);
}

TEST(SettingsSavePageList, AReadOnlyShortcutKeepsItsNameAndCountsWhenItHoldsThePage) {
    struct Case {
        const char* what;
        const char* readOnlyUrl;  // what the read-only old.com.url holds
        Snapshot saved;
    };
    const Case cases[] = {
        {"it holds the address saved",
         "http://old.com",
         {{"\\Window1\\", "<folder>"},
          {"\\Window1\\new.com.url", Shortcut("http://new.com")},
          {"\\Window1\\old.com.url", "<read-only>" + Shortcut("http://old.com")},
          {"\\Window1\\sub\\", "<folder>"},
          {"\\Window1\\sub\\inner.url", Shortcut("http://inner")}}},
        {"it holds another address",
         "http://elsewhere.com",
         {{"\\Window1\\", "<folder>"},
          {"\\Window1\\new.com.url", Shortcut("http://new.com")},
          {"\\Window1\\old.com (2).url", Shortcut("http://old.com")},
          {"\\Window1\\old.com.url", "<read-only>" + Shortcut("http://elsewhere.com")},
          {"\\Window1\\sub\\", "<folder>"},
          {"\\Window1\\sub\\inner.url", Shortcut("http://inner")}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder dir("readonlysave");
        const std::string folder = OldWindowFolder(dir);
        Write(folder + "old.com.url", Shortcut(c.readOnlyUrl));
        MakeReadOnly(folder + "old.com.url");
        for (int save = 1; save <= 2; ++save) {  // and the next save finds the same names
            std::string failure;
            ASSERT_TRUE(settings::SavePageList(folder, {"http://old.com", "http://new.com"}, failure)) << failure;
            EXPECT_EQ(SnapshotOf(dir.Path()), c.saved) << "save " << save;
        }
    }
}

// The time a file was last written, set to a day long past so that a save
// which writes it again shows.
const FILETIME kLongAgo = {0xc89dc000u, 0x01c07385u};  // 1 January 2001
bool SetWrittenLongAgo(const std::string& path) {
    velfw::UniqueFileHandle file(::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                               OPEN_EXISTING, 0, nullptr));
    return file && ::SetFileTime(file.get(), nullptr, nullptr, &kLongAgo);
}
bool WrittenLongAgo(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    return ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
           ::CompareFileTime(&data.ftLastWriteTime, &kLongAgo) == 0;
}

TEST(SettingsSavePageList, AFileThatHoldsItsPageStaysAndOneWithOtherLinesIsWrittenAgain) {
    TempFolder dir("keptsave");
    const std::string folder = OldWindowFolder(dir);
    const std::string withIcon = "[InternetShortcut]\r\nurl=http://other.org\r\nIconIndex=1\r\n";
    Write(folder + "other.org.url", withIcon);
    for (const char* name : {"old.com.url", "other.org.url"}) ASSERT_TRUE(SetWrittenLongAgo(folder + name)) << name;

    std::string failure;
    ASSERT_TRUE(settings::SavePageList(folder, {"http://old.com", "http://other.org", "http://new.com"}, failure))
        << failure;
    const Snapshot saved = {{"\\Window1\\", "<folder>"},
                            {"\\Window1\\new.com.url", Shortcut("http://new.com")},
                            {"\\Window1\\old.com.url", Shortcut("http://old.com")},
                            {"\\Window1\\other.org.url", Shortcut("http://other.org")},
                            {"\\Window1\\sub\\", "<folder>"},
                            {"\\Window1\\sub\\inner.url", Shortcut("http://inner")}};
    EXPECT_EQ(SnapshotOf(dir.Path()), saved);
    EXPECT_TRUE(WrittenLongAgo(folder + "old.com.url")) << "a file that holds its page is left as it is";
    EXPECT_FALSE(WrittenLongAgo(folder + "other.org.url")) << "a file with other lines is written again";
}

class SettingsSaveAll : public ::testing::Test {
protected:
    void SetUp() override {
        savedDataDir_ = globals::DataDir;
        for (int n = 1; n <= 3; ++n) savedLists_[n].Assign(globals::PageLists[n]);
        request.DataDir = dir.Path() + "\\";
    }
    void TearDown() override {
        globals::DataDir = savedDataDir_;
        for (int n = 1; n <= 3; ++n) globals::PageLists[n].Assign(savedLists_[n]);
    }
    SettingsRegistry registry;
    TempFolder dir{"saveall"};
    settings::SaveRequest request;

private:
    std::string savedDataDir_;
    std::array<velfw::TStringList, 4> savedLists_;
};

TEST_F(SettingsSaveAll, TheScreenSaverLoadsTheSavedAddresses) {
    registry.Setting("MalotaPo", "y");
    for (const char* window : {"Window1", "Window2", "Window3"}) ASSERT_TRUE(MakeFolder(dir / window));
    Write(dir / "Window1\\gone.url", Shortcut("http://gone"));
    Write(dir / "Window2\\gone.url", Shortcut("http://gone"));
    // Left by a save that never ended.
    ASSERT_TRUE(MakeFolder(dir / "Window1.new"));
    Write(dir / "Window1.new\\half.url", "[InternetShortcut]\r\nurl=http://ha");

    request.WindowCount = 1;
    request.Lists = {{{"http://a.com/", "  https://x  ", "", "http://dup", "http://dup", "HTTP://a.com"},
                      {},
                      {"http://c.net/page"}}};
    globals::TDisplaySettings settings = globals::SettingsProgramPresets();
    settings.WindowCount = 1;
    settings.ScrollStep = 4;
    settings.PageSeconds = 45;
    settings.MaxCycles = 2;
    settings.MaxMinutes = 25;
    const settings::SaveOutcome outcome = settings::SaveSettingsAndPageLists(request, settings);
    EXPECT_FALSE(outcome.Refusal);
    EXPECT_TRUE(outcome.Messages.empty());
    EXPECT_TRUE(outcome.EndProgram);

    const std::pair<const char*, const char*> values[] = {
        {"DType", "1"}, {"ScrollVScrollY", "4"}, {"InterScreenT", "45"}, {"DurationUse", "y"},
        {"DurationTimeS", "2"}, {"DurationTime", "25"}, {"MalotaPo", "y"}};
    for (const auto& [name, text] : values) EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, kKaviKey, name), text) << name;

    EXPECT_EQ(ReadFileBytes(dir / "Window1\\a.com.url"), Shortcut("http://a.com/"));
    EXPECT_FALSE(FileExists(dir / "Window1.new"));
    EXPECT_FALSE(FileExists(dir / "Window1.old"));
    globals::DataDir = request.DataDir;
    EXPECT_TRUE(globals::LoadWindowPages(1));
    // Two addresses naming the same file both survive; one listed twice is one page.
    EXPECT_EQ(Sorted(globals::PageLists[1].Items()),
              Sorted({"http://a.com/", "https://x", "http://dup", "HTTP://a.com"}));
    EXPECT_FALSE(globals::LoadWindowPages(2));
    EXPECT_TRUE(globals::PageLists[2].Items().empty());
    EXPECT_TRUE(globals::LoadWindowPages(3));
    EXPECT_EQ(globals::PageLists[3].Items(), std::vector<std::string>{"http://c.net/page"});
}

TEST_F(SettingsSaveAll, AWindowInUseWithoutAPageWritesNothing) {
    Write(dir / "marker", "");
    request.WindowCount = 2;
    request.Lists = {{{"http://a.com"}, {"   "}, {}}};
    const settings::SaveOutcome outcome =
        settings::SaveSettingsAndPageLists(request, globals::SettingsProgramPresets());
    ASSERT_TRUE(outcome.Refusal);
    EXPECT_EQ(outcome.Refusal->Message, "You must have at least one page in your Page List for Window 2.");
    EXPECT_FALSE(outcome.EndProgram);
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "DType"), "<no key>");
    EXPECT_EQ(SnapshotOf(dir.Path()), (Snapshot{{"\\marker", ""}}));
}

TEST_F(SettingsSaveAll, AMissingWindowFolderIsMadeAgain) {
    request.Lists = {{{"http://a.com"}, {}, {}}};
    const settings::SaveOutcome outcome =
        settings::SaveSettingsAndPageLists(request, globals::SettingsProgramPresets());
    EXPECT_TRUE(outcome.EndProgram);
    EXPECT_EQ(ReadFileBytes(dir / "Window1\\a.com.url"), Shortcut("http://a.com"));
}

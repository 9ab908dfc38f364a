// The shipped saver with the system's browser control, shown for over a
// minute. Under Wine the control never completes a page, so every page is
// given up 20 seconds after its navigation: pane 1 goes a, b, statistics,
// and the desktop shortcut follows it.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "RealInput.h"
#include "SaverMessages.h"
#include "ShowingInstall.h"

using namespace testing_support;

namespace {

const std::string kSaver = FromUnixPath(VELUNOR_SAVER_PATH);

std::string ShortcutUrl(const std::string& file) {
    const std::string text = ReadFileBytes(file);
    const size_t at = text.find("url=");
    if (at == std::string::npos) return "";
    const size_t end = text.find_first_of("\r\n", at);
    return text.substr(at + 4, end == std::string::npos ? std::string::npos : end - at - 4);
}

class ShippedSaverTest : public ShowingInstallTest {
protected:
    // A page of the install folder in pane `window`'s list. Local: a name
    // lookup on a machine without a network would hold the main thread up.
    void AddLocalPage(int window, const std::string& name) {
        WriteFileBytes(install / (name + ".htm"), "<html><body>page</body></html>");
        AddPage(window, "shipped-" + name, install / (name + ".htm"));
    }
    // The saver's form once the program has made it; null when it never came.
    static HWND WaitForForm(const SaverProcess& saver) {
        return saver.Started() ? saver.WaitForWindow("TForm1", 20000) : nullptr;
    }
};

}  // namespace

TEST_F(ShippedSaverTest, ShowsForAMinuteGivingUpPagesThatNeverComplete) {
    AddLocalPage(1, "a");
    AddLocalPage(1, "b");
    AddLocalPage(2, "c");
    Setting("DurationUse", "n");
    SaverProcess saver(kSaver, "/s");
    HWND form = WaitForForm(saver);
    ASSERT_NE(form, nullptr);

    // The first page is given up about 20 s after its navigation, the
    // second 20 s later; the saver must still run after a minute.
    std::vector<std::string> seen;
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 62000 && saver.Running()) {
        const std::string url = ShortcutUrl(shortcut);
        if (!url.empty() && (seen.empty() || seen.back() != url)) seen.push_back(url);
        PumpFor(250);
    }
    ASSERT_TRUE(saver.Running()) << "the saver ended by itself";
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0], install / "a.htm");
    EXPECT_EQ(seen[1], install / "b.htm");
    if (seen.size() > 2) {
        EXPECT_NE(seen[2].find("Velunor Stats.html"), std::string::npos) << seen[2];
    }

    ::PostMessageA(form, saver::kEndSaverMessage, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(saver.WaitForExit(60000, &code));  // freeing the real controls takes a while under load
    EXPECT_EQ(code, 0u);
}

TEST_F(ShippedSaverTest, TabTypedEndsTheSaver) {
    AddLocalPage(1, "a");
    Setting("DType", "1");
    SaverProcess saver(kSaver, "/s");
    HWND form = WaitForForm(saver);
    ASSERT_NE(form, nullptr);
    // Shown once the panes are set up and the first page is on its way.
    ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(form) != FALSE; }, 30000));
    ASSERT_TRUE(BringToForeground(form, 10000));
    ASSERT_TRUE(SendChord({VK_TAB, {}, "Tab"}));
    DWORD code = 1;
    EXPECT_TRUE(saver.WaitForExit(60000, &code)) << "focus on " << FocusOfThread(form) << ", form " << form;
    EXPECT_EQ(code, 0u);
}

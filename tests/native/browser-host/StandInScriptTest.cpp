#include "StandInScript.h"

#include <gtest/gtest.h>

using namespace browser;

TEST(StandInScript, RulesDefaultAndPrefixes) {
    TStandInScript s = TStandInScript::Parse(
        "http://a/ complete=500 frames=2 scroll=2000 client=600   # the example\n"
        "\n"
        "http://slow/* complete=never\n"
        "http://slow/deeper/* complete=7\n"
        "http://x/ document=none navigate=fail\n"
        "http://y/ body=none scripterror=1500 framegap=10\n"
        "http://z/ body=noscroll\n"
        "http://p/ popup=2500 error=404\n"
        "default complete=200\n");
    EXPECT_TRUE(s.Errors.empty());
    TStandInRule a = s.Find("http://a/");
    EXPECT_EQ(a.CompleteMs, 500);
    EXPECT_EQ(a.Frames, 2);
    EXPECT_EQ(a.ScrollHeight, 2000);
    EXPECT_EQ(a.ClientHeight, 600);
    EXPECT_EQ(s.Find("http://slow/page").CompleteMs, -1);
    EXPECT_EQ(s.Find("http://slow/deeper/page").CompleteMs, 7);  // the longest prefix wins
    EXPECT_TRUE(s.Find("http://x/").NoDocument);
    EXPECT_TRUE(s.Find("http://x/").FailNavigate);
    EXPECT_EQ(s.Find("http://y/").Body, TStandInBodyKind::None);
    EXPECT_EQ(s.Find("http://y/").ScriptErrorMs, 1500);
    EXPECT_EQ(s.Find("http://y/").FrameGapMs, 10);
    EXPECT_EQ(s.Find("http://z/").Body, TStandInBodyKind::NoScroll);
    EXPECT_EQ(s.Find("http://p/").PopupMs, 2500);
    EXPECT_EQ(s.Find("http://p/").ErrorStatus, 404);
    TStandInRule other = s.Find("http://other/");
    EXPECT_EQ(other.CompleteMs, 200);
    EXPECT_EQ(other.ScriptErrorMs, -1);
    EXPECT_EQ(other.PopupMs, -1);
    EXPECT_EQ(other.ErrorStatus, 0);
    EXPECT_FALSE(other.NoDocument);
}

TEST(StandInScript, BuiltInDefaultsWithoutAnyScript) {
    TStandInRule r = TStandInScript::Parse("").Find("http://any/");
    EXPECT_EQ(r.CompleteMs, 100);
    EXPECT_EQ(r.Frames, 0);
    EXPECT_EQ(r.ClientHeight, 600);
    EXPECT_EQ(r.ScrollHeight, -1);
    EXPECT_EQ(r.Body, TStandInBodyKind::Normal);
}

TEST(StandInScript, CreationFailures) {
    TStandInScript s = TStandInScript::Parse("create fail=2,5\n");
    EXPECT_FALSE(s.CreationFails(1));
    EXPECT_TRUE(s.CreationFails(2));
    EXPECT_TRUE(s.CreationFails(5));
    EXPECT_TRUE(TStandInScript::Parse("create fail=all").CreationFails(1));
}

TEST(StandInScript, BadLinesAreSkippedAndNamed) {
    TStandInScript s = TStandInScript::Parse(
        "http://a/ complete=soon\n"
        "http://b/ colour=red\n"
        "http://c/ frames\n"
        "http://d/ body=half\n"
        "create fail=x\n"
        "create\n"
        "http://e/ complete=-5\n"
        "http://f/ error=none\n"
        "http://ok/ complete=1\n");
    ASSERT_EQ(s.Errors.size(), 8u);
    EXPECT_EQ(s.Errors[0], "line 1: bad time 'soon'");
    EXPECT_EQ(s.Errors[1], "line 2: unknown key 'colour'");
    EXPECT_EQ(s.Errors[2], "line 3: 'frames' is not key=value");
    EXPECT_EQ(s.Errors[4], "line 5: bad creation number 'x'");
    EXPECT_EQ(s.Errors[7], "line 8: bad number 'none' for error");
    EXPECT_EQ(s.Find("http://a/").CompleteMs, 100);  // the bad line left no rule behind
    EXPECT_EQ(s.Find("http://ok/").CompleteMs, 1);
    EXPECT_FALSE(s.CreationFails(1));
}

TEST(StandInScript, FileThatCannotBeReadGivesTheDefaultsAndSaysSo) {
    TStandInScript s = TStandInScript::ReadFile("no-such-folder/script.txt");
    ASSERT_EQ(s.Errors.size(), 1u);
    EXPECT_EQ(s.Errors[0], "no-such-folder/script.txt cannot be read");
    EXPECT_EQ(s.Find("http://any/").CompleteMs, 100);
}

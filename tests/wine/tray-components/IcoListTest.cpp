#include <gtest/gtest.h>

#include "ErrorOf.h"
#include "IcoList.h"
#include "LibraryErrors.h"
#include "TestIcons.h"

namespace {

using kx::TIconList;
using testing_support::ErrorOf;
using testing_support::MakeIcon;
using velfw::TIcon;
using velfw::TMemoryStream;

struct CountingList : ::testing::Test {
    TIconList list;
    int changes = 0;
    void SetUp() override {
        list.OnChange = [this](velfw::TObject* sender) {
            EXPECT_EQ(sender, &list);
            ++changes;
        };
    }
    // Runs `step` and gives how many changes it fired.
    template <typename F>
    int ChangesOf(F step) {
        changes = 0;
        step();
        return changes;
    }
};

TEST(IconList, RoundTripKeepsEmptySlotsAndWritesImagelessIconsAsEmpty) {
    auto a = MakeIcon(16), b = MakeIcon(32);
    TIconList list;
    list.AddIcon(a.get());
    list.AddIcon(b.get());
    list.AddIcon(nullptr);  // an icon without image
    TMemoryStream stream;
    list.SaveToStream(stream);
    const auto& bytes = stream.Bytes();
    TMemoryStream expected;
    expected.WriteInt32(3);
    expected.WriteInt32(static_cast<int32_t>(a->Data().size()));
    a->SaveToStream(expected);
    expected.WriteInt32(static_cast<int32_t>(b->Data().size()));
    b->SaveToStream(expected);
    expected.WriteInt32(0);
    EXPECT_EQ(bytes, expected.Bytes());

    TIconList back;
    stream.SetPosition(0);
    back.LoadFromStream(stream);
    ASSERT_EQ(back.Count(), 3);
    EXPECT_EQ(back.GetIcon(0)->Data(), a->Data());
    EXPECT_EQ(back.GetIcon(1)->Width(), 32);
    EXPECT_EQ(back.GetIcon(2), nullptr);
    EXPECT_NE(back.GetIcon(0)->Handle(), nullptr);
}

TEST_F(CountingList, EachOperationFiresOneChange) {
    auto icon = MakeIcon();
    for (int i = 0; i < 5; ++i) list.AddIcon(icon.get());
    EXPECT_EQ(ChangesOf([&] { list.Delete(1); }), 1);
    EXPECT_EQ(ChangesOf([&] { list.Exchange(0, 1); }), 1);
    EXPECT_EQ(ChangesOf([&] { list.Move(0, 2); }), 1);
    EXPECT_EQ(ChangesOf([&] { list.SetIcon(list.Count(), icon.get()); }), 1);
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(ChangesOf([&] { list.Clear(); }), 1);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(ChangesOf([&] { list.Assign(*icon); }), 1);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_NE(list.GetIcon(0), icon.get());

    TMemoryStream zero;
    zero.WriteInt32(0);
    zero.SetPosition(0);
    EXPECT_EQ(ChangesOf([&] { list.LoadFromStream(zero); }), 1);
    EXPECT_EQ(list.Count(), 0);

    EXPECT_EQ(ChangesOf([&] {
                  list.BeginUpdate();
                  list.BeginUpdate();
                  list.AddIcon(icon.get());
                  list.EndUpdate();
                  list.AddIcon(icon.get());
                  list.EndUpdate();
              }),
              1);
    EXPECT_EQ(ChangesOf([&] { list.GetIcon(0)->Assign(*MakeIcon(32)); }), 1);

    // A deleted icon no longer reports to the list.
    TIconList other;
    other.Assign(list);
    EXPECT_EQ(other.Count(), 2);
}

TEST_F(CountingList, IndexErrorsKeepTheList) {
    auto icon = MakeIcon();
    list.AddIcon(icon.get());
    const std::function<void()> steps[] = {
        [&] { list.GetIcon(1); },          [&] { list.GetIcon(-1); },      [&] { list.SetIcon(2, icon.get()); },
        [&] { list.Delete(1); },           [&] { list.Exchange(0, 1); },   [&] { list.Move(1, 0); },
        [&] { list.Insert(2, icon.get()); },
    };
    for (const auto& step : steps) {
        changes = 0;
        EXPECT_EQ(ErrorOf<velfw::EListError>(step).rfind("List index out of bounds (", 0), 0u);
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(list.Count(), 1);
    }
    EXPECT_EQ(ErrorOf([&] { list.Assign(velfw::TStringList()); }), "Cannot assign a TStringList to a TIconList");
}

// Broken streams stop with the read error, keep what was read and still
// end their update bracket with one change.
TEST_F(CountingList, TruncatedAndOversizedStreamsKeepTheEntriesReadSoFar) {
    auto icon = MakeIcon();
    struct Case {
        const char* what;
        std::function<void(TMemoryStream&)> write;
        int kept;
    } cases[] = {
        {"size beyond the stream",
         [&](TMemoryStream& s) {
             s.WriteInt32(3);
             s.WriteInt32(0);
             s.WriteInt32(0x7FFFFFF0);
         },
         1},
        {"ends inside an icon",
         [&](TMemoryStream& s) {
             s.WriteInt32(2);
             s.WriteInt32(static_cast<int32_t>(icon->Data().size()));
             icon->SaveToStream(s);
             s.WriteInt32(static_cast<int32_t>(icon->Data().size()));
             s.WriteBuffer(icon->Data().data(), 10);
         },
         1},
        {"ends inside the count", [](TMemoryStream& s) { s.WriteBuffer("\x01\x00", 2); }, 0},
        {"huge count", [](TMemoryStream& s) {
             s.WriteInt32(0x7FFFFFFF);
             s.WriteInt32(-1);
         },
         1},
    };
    for (const Case& c : cases) {
        list.AddIcon(icon.get());
        TMemoryStream s;
        c.write(s);
        s.SetPosition(0);
        changes = 0;
        EXPECT_THROW(list.LoadFromStream(s), velfw::EReadError) << c.what;
        EXPECT_EQ(list.Count(), c.kept) << c.what;
        EXPECT_EQ(changes, 1) << c.what;
        // The bracket ended: the next change is heard at once.
        list.AddIcon(nullptr);
        EXPECT_EQ(changes, 2) << c.what;
        list.Clear();
    }
}

TEST(IconList, BadIconBytesFailAndKeepEarlierEntries) {
    TMemoryStream s;
    s.WriteInt32(2);
    s.WriteInt32(0);
    s.WriteInt32(4);
    s.WriteBuffer("junk", 4);
    s.SetPosition(0);
    TIconList list;
    EXPECT_THROW(list.LoadFromStream(s), velfw::EInvalidGraphic);
    EXPECT_EQ(list.Count(), 1);
}

TEST(IconList, WrittenWhenItDiffersFromItsAncestor) {
    auto icon = MakeIcon();
    TIconList empty, one, other;
    one.AddIcon(icon.get());
    other.AddIcon(icon.get());
    EXPECT_FALSE(empty.ShouldWrite(nullptr));
    EXPECT_TRUE(one.ShouldWrite(nullptr));
    EXPECT_TRUE(one.ShouldWrite(&empty));
    EXPECT_FALSE(one.ShouldWrite(&one));
    EXPECT_TRUE(one.ShouldWrite(&other));  // same image, another object
}

}  // namespace

#include <gtest/gtest.h>

#include "PaneLayout.h"

using namespace saver;

TEST(PaneLayout, OneTwoThreePanes) {
    struct Case {
        int count, w, h;
        PaneBounds p1, p2, p3;
    } cases[] = {
        {1, 1024, 768, {true, 0, 0, 1024, 768}, {}, {}},
        {2, 1024, 768, {true, 0, 0, 1024, 512}, {true, 0, 512, 1024, 256}, {}},
        {3, 1024, 768, {true, 0, 0, 1024, 512}, {true, 0, 512, 512, 256}, {true, 512, 512, 512, 256}},
        {1, 800, 600, {true, 0, 0, 800, 600}, {}, {}},
        {2, 800, 600, {true, 0, 0, 800, 400}, {true, 0, 400, 800, 200}, {}},
        {3, 800, 600, {true, 0, 0, 800, 400}, {true, 0, 400, 400, 200}, {true, 400, 400, 400, 200}},
        // An odd width: pane 3 takes the odd pixel; h1 rounds down.
        {3, 1023, 767, {true, 0, 0, 1023, 511}, {true, 0, 511, 511, 256}, {true, 511, 511, 512, 256}},
        {2, 1023, 767, {true, 0, 0, 1023, 511}, {true, 0, 511, 1023, 256}, {}},
        // Any other count lays out three panes.
        {0, 800, 600, {true, 0, 0, 800, 400}, {true, 0, 400, 400, 200}, {true, 400, 400, 400, 200}},
    };
    auto same = [](const PaneBounds& a, const PaneBounds& b) {
        return a.Shown == b.Shown && (!a.Shown || (a.Left == b.Left && a.Top == b.Top && a.Width == b.Width &&
                                                   a.Height == b.Height));
    };
    for (const Case& c : cases) {
        auto panes = LayOutPanes(c.count, c.w, c.h);
        EXPECT_TRUE(same(panes[0], c.p1)) << c.count << " at " << c.w << "x" << c.h << " pane 1";
        EXPECT_TRUE(same(panes[1], c.p2)) << c.count << " at " << c.w << "x" << c.h << " pane 2";
        EXPECT_TRUE(same(panes[2], c.p3)) << c.count << " at " << c.w << "x" << c.h << " pane 3";
    }
}

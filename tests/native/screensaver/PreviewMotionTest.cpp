#include <gtest/gtest.h>

#include "PreviewMotion.h"

using saver::PreviewMotion;

TEST(PreviewMotion, StartsUpLeftOfCentreMovingDownRight) {
    auto m = PreviewMotion::Start(153, 113);
    EXPECT_EQ(m.X, 76 - 16);
    EXPECT_EQ(m.Y, 56 - 16);
    m.Step();
    EXPECT_EQ(m.X, 61);
    EXPECT_EQ(m.Y, 41);
}

TEST(PreviewMotion, TurnsExactlyAtTheEdges) {
    auto m = PreviewMotion::Start(100, 60);
    int minX = 1000, maxX = -1000, minY = 1000, maxY = -1000;
    for (int i = 0; i < 1000; ++i) {
        m.Step();
        minX = std::min(minX, m.X);
        maxX = std::max(maxX, m.X);
        minY = std::min(minY, m.Y);
        maxY = std::max(maxY, m.Y);
    }
    EXPECT_EQ(minX, 0);
    EXPECT_EQ(maxX, 100 - 32);
    EXPECT_EQ(minY, 0);
    EXPECT_EQ(maxY, 60 - 32);
}

TEST(PreviewMotion, TinyAreaStaysNearTheCorner) {
    auto m = PreviewMotion::Start(10, 5);
    for (int i = 0; i < 500; ++i) {
        m.Step();
        ASSERT_GE(m.X, -30);
        ASSERT_LE(m.X, 2);
        ASSERT_GE(m.Y, -30);
        ASSERT_LE(m.Y, 2);
    }
}

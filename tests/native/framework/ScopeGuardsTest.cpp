#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "ScopeGuards.h"

using namespace velfw;

TEST(ScopeGuards, TheExitStepRunsOnceWhetherTheScopeEndsOrUnwinds) {
    for (const bool fails : {false, true}) {
        int runs = 0;
        try {
            const ScopeExit count([&runs] { ++runs; });
            if (fails) throw std::runtime_error("step failed");
            EXPECT_EQ(runs, 0) << "not before the scope ends";
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(runs, 1) << (fails ? "unwound" : "ended");
    }
}

TEST(ScopeGuards, AScopedValueIsPutBackAsItWasAlsoWhenNested) {
    bool busy = false;
    try {
        const ScopedValue outer(busy, true);
        EXPECT_TRUE(busy);
        {
            const ScopedValue inner(busy, true);
            EXPECT_TRUE(busy);
        }
        EXPECT_TRUE(busy) << "the inner scope leaves the outer one's value";
        throw std::runtime_error("handler failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(busy);

    // Kept only: the value changed inside comes back.
    std::string mode = "left to right";
    {
        const ScopedValue keep(mode);
        mode = "right to left";
    }
    EXPECT_EQ(mode, "left to right");
}

// Stage start, play and stage clear through zarp-headless: a test play of a one-stage set.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/play/HeadlessRun.h"

namespace zarp::test {
namespace {

// Stage start of a stage without coins: 1 set-up frame, 19 title frames, 1 empty, 16 wipe
// frames, 13 field frames, 1 empty, 1 coin frame, and the hand-over frame.
constexpr int64_t kStartFrames = 53;

TEST(StageStart, TakesTheSameFrameCountsWithAndWithoutShift) {
    struct Case {
        int coins;
        bool shift;
        int64_t frames;
    };
    // With N entity entries (N - 2 coins) the coin phase lasts N + 15 frames.
    const Case cases[] = {{0, false, kStartFrames},
                          {0, true, kStartFrames},
                          {1, false, kStartFrames + 17},
                          {5, true, kStartFrames + 21},
                          {5, false, kStartFrames + 21}};
    HeadlessGame game;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.coins << " coins, shift " << c.shift);
        StageSpec spec;
        for (int i = 0; i < c.coins; ++i)
            spec.coins.push_back({100 + 40 * i, 300});
        game.SetStage(spec);
        const RunResult run = game.Run(c.shift ? "1-200 Shift\n" : "", c.frames + 2);
        ASSERT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.FirstFrame("scene", 1), c.frames);
        EXPECT_EQ(run.At(c.frames - 1, "scene"), 0);
        EXPECT_EQ(run.At(1, "x"), 300);
        EXPECT_EQ(run.At(1, "rest"), 5);
    }
}

}  // namespace
}  // namespace zarp::test

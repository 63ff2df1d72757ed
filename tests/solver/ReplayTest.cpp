#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/solver/StageFixtures.h"
#include "tools/zrptool/SolveReplay.h"
#include "tools/zrptool/SolveSearch.h"

namespace zarp::zrptool {
namespace {

const std::string kHeadless = std::string(ZARP_TEST_DIST_DIR) + "/zarp-headless";

TEST(SolutionReplay, TheGameClearsWhatTheSolverFound) {
    for (const char* fixture : {"straight", "brake", "toggle_wait"}) {
        const testing::FixtureSet set = testing::LoadFixture(fixture);
        SolveOptions options;
        const SolveResult r = SolveStage(*set.blocks, *set.entities, 1, options);
        ASSERT_EQ(r.status, SolveStatus::Solved) << fixture;
        const int32_t first = StageStartFrames(set.entities->count[1]) + 1;
        const std::string keys = KeyScriptText(r.keys, first, "# fixture\n");
        const ReplayResult replay =
            ReplayStage(kHeadless, set.bytes, 1, keys, first + r.playFrames);
        ASSERT_TRUE(replay.ran) << replay.message;
        EXPECT_TRUE(replay.cleared) << fixture << ": " << replay.message;
        EXPECT_EQ(replay.clearFrame, first + r.playFrames - 1) << fixture;
    }
}

TEST(SolutionReplay, AMistimedScriptIsCaught) {
    const testing::FixtureSet set = testing::LoadFixture("straight");
    SolveOptions options;
    const SolveResult r = SolveStage(*set.blocks, *set.entities, 1, options);
    ASSERT_EQ(r.status, SolveStatus::Solved);
    const int32_t first = StageStartFrames(set.entities->count[1]) + 1;
    // The same keys a frame late still clear it, but not on the predicted frame; without the
    // shot the stage is not cleared at all.
    const ReplayResult late = ReplayStage(
        kHeadless, set.bytes, 1, KeyScriptText(r.keys, first + 1, ""), first + r.playFrames + 1);
    EXPECT_TRUE(late.cleared);
    EXPECT_EQ(late.clearFrame, first + r.playFrames);
    const ReplayResult idle = ReplayStage(kHeadless, set.bytes, 1, "", first + r.playFrames);
    ASSERT_TRUE(idle.ran) << idle.message;
    EXPECT_FALSE(idle.cleared);
}

// The kept key scripts of the shipped stages: a change of the physics or of the stage start
// that breaks a stage fails here.
TEST(SolutionReplay, EveryShippedStageIsClearedByItsKeyScript) {
    const std::string set = testing::ReadAll(std::string(ZARP_TEST_DIST_DIR) + "/stage.dat");
    ASSERT_FALSE(set.empty()) << "stage.dat is missing";
    for (int32_t stage = 1; stage <= 16; ++stage) {
        char name[64];
        std::snprintf(name, sizeof name, "/keys/stage%02d.keys", stage);
        const std::string keys = testing::ReadAll(std::string(ZARP_TEST_SOLVER_DIR) + name);
        ASSERT_FALSE(keys.empty()) << name;
        // The script's second line names the frames to run: "--frames N".
        const size_t at = keys.find("--frames ");
        ASSERT_NE(at, std::string::npos) << name;
        const int64_t frames = std::atoll(keys.c_str() + at + 9);
        const ReplayResult replay = ReplayStage(kHeadless, set, stage, keys, frames);
        ASSERT_TRUE(replay.ran) << replay.message;
        EXPECT_TRUE(replay.cleared) << "stage " << stage << ": " << replay.message;
    }
}

}  // namespace
}  // namespace zarp::zrptool

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "game/media/MediaDevices.h"
#include "game/play/Physics.h"
#include "tests/solver/StageFixtures.h"
#include "tools/zrptool/SolveSearch.h"

namespace zarp::zrptool {
namespace {

using testing::LoadFixture;
using testing::LoadMap;

SolveResult Solve(const testing::FixtureSet& set, int32_t maxShots = 0) {
    SolveOptions options;
    options.maxShots = maxShots;
    options.budgetSeconds = 120;
    options.figures = true;
    return SolveStage(*set.blocks, *set.entities, 1, options);
}

TEST(StageSolver, StraightShotAtTheStartAngle) {
    const SolveResult r = Solve(LoadFixture("straight"));
    ASSERT_EQ(r.status, SolveStatus::Solved);
    ASSERT_EQ(r.shots.size(), 1u);
    EXPECT_EQ(r.shots[0].angle, 0);
    EXPECT_EQ(r.coins, 1);
    EXPECT_EQ(r.coinCount, 1);
    // No turn: one still frame frees the shot latch, then Space for one frame, then the flight.
    ASSERT_GE(r.keys.size(), 3u);
    EXPECT_EQ(r.keys[0].keys, 0);
    EXPECT_EQ(r.keys[0].frames, 1);
    EXPECT_EQ(r.keys[1].keys, kKeySpace);
    EXPECT_EQ(r.keys[1].frames, 1);
}

TEST(StageSolver, ImpossibleStagesAreReportedUnsolvable) {
    struct Case {
        const char* fixture;
        int32_t maxShots;
        SolveStatus status;
        size_t par;
    } cases[] = {
        {"walled_in", 0, SolveStatus::Unsolvable, 0},
        {"one_short", 0, SolveStatus::Unsolvable, 0},
        // The same map with one more shot: the second shot clears it.
        {"one_short_two", 0, SolveStatus::Solved, 2},
    };
    for (const Case& c : cases) {
        testing::FixtureSet set;
        if (std::string(c.fixture) == "one_short_two") {
            std::string text =
                testing::ReadAll(std::string(ZARP_TEST_SOLVER_DIR) + "/fixtures/one_short.txt");
            text.replace(text.find("shots 1"), 7, "shots 2");
            set = LoadMap(text);
        } else {
            set = LoadFixture(c.fixture);
        }
        const SolveResult r = Solve(set, c.maxShots);
        EXPECT_EQ(r.status, c.status) << c.fixture;
        EXPECT_EQ(r.shots.size(), c.par) << c.fixture;
    }
}

TEST(StageSolver, BrakesWhereNoAngleAloneClears) {
    // Every unbraked shot ends in the needles; the first shot must stop on the way.
    const SolveResult r = Solve(LoadFixture("brake"));
    ASSERT_EQ(r.status, SolveStatus::Solved);
    ASSERT_EQ(r.shots.size(), 2u);
    EXPECT_GT(r.shots[0].brakeFrom, 1);
    EXPECT_NE(r.passes.find("brakes"), std::string::npos);
    // The brake is let go by the time the ball rests, so the next aim sees Space up.
    bool braking = false;
    for (const KeyRun& run : r.keys)
        braking = braking || (run.frames > 1 && run.keys == kKeySpace);
    EXPECT_TRUE(braking);
}

TEST(StageSolver, WaitsForTheToggleBlocksWhenTheMomentMatters) {
    // Fired at once, the ball meets the toggle blocks while they are needles.
    const SolveResult r = Solve(LoadFixture("toggle_wait"));
    ASSERT_EQ(r.status, SolveStatus::Solved);
    ASSERT_EQ(r.shots.size(), 1u);
    EXPECT_GT(r.shots[0].wait, 0);
    EXPECT_NE(r.passes.find("waits"), std::string::npos);
}

TEST(StageSolver, ShotsOptionLimitsTheDepth) {
    std::string text =
        testing::ReadAll(std::string(ZARP_TEST_SOLVER_DIR) + "/fixtures/one_short.txt");
    text.replace(text.find("shots 1"), 7, "shots 5");
    const SolveResult r = Solve(LoadMap(text), 1);
    EXPECT_EQ(r.status, SolveStatus::Unsolvable);
    EXPECT_EQ(r.searchedShots, 1);
}

TEST(StageSolver, TurnsToTheExactAngleEitherWay) {
    // The goal straight below the start: the aim must come round from the start angle to 45
    // units (90 degrees), whichever way is shorter, and a player's keys get it there.
    const char* map =
        "angle %d\nshots 2\nmap\n"
        "...................\n"
        "..@................\n"
        "...................\n"
        "...................\n"
        "...................\n"
        "...................\n"
        "...................\n"
        "...................\n"
        "...................\n"
        "...................\n"
        "...................\n"
        "..G................\n"
        "...................\n";
    for (int32_t degrees : {0, 120, 300}) {
        char text[1024];
        std::snprintf(text, sizeof text, map, degrees);
        const SolveResult r = Solve(LoadMap(text));
        ASSERT_EQ(r.status, SolveStatus::Solved) << degrees;
        ASSERT_EQ(r.shots.size(), 1u);
        int32_t turn = 0;
        for (const KeyRun& run : r.keys) {
            if (run.keys & (kKeyLeft | kKeyRight)) turn += run.frames;
        }
        // Turning at 1.5 units a frame the shortest way round the 360 units.
        const int32_t d = std::abs(r.shots[0].angle - degrees / 2);
        const int32_t distance = std::min(d, 360 - d);
        EXPECT_LE(turn, (2 * distance + 2) / 3 + 1) << degrees;
    }
}

// The figures a designer reads, pinned on small stages whose answers can be told from the map:
// coin_pocket's corridor lets only the shot straight along it through, and its coin takes a
// shot of its own; with the pocket walled up the coin can never be had.
TEST(StageSolver, FiguresOfSmallStages) {
    std::string walled =
        testing::ReadAll(std::string(ZARP_TEST_SOLVER_DIR) + "/fixtures/coin_pocket.txt");
    walled.replace(walled.find("x.xxxxxxxxxxxxxxxxx"), 19, "x#xxxxxxxxxxxxxxxxx");
    struct Case {
        const char* name;
        testing::FixtureSet set;
        int32_t window;
        FigureStatus allCoins;
        size_t allCoinsShots;
        bool startAngleClears;
    } cases[] = {
        {"coin_pocket", LoadFixture("coin_pocket"), 1, FigureStatus::Known, 2, false},
        {"coin_pocket walled up", LoadMap(walled), 1, FigureStatus::None, 0, false},
        // Open field: the straight shot at the start angle and 38 banked ones.
        {"straight", LoadFixture("straight"), 39, FigureStatus::Known, 1, true},
        // The toggle blocks must be walls when the ball gets there: one direction, after a wait.
        {"toggle_wait", LoadFixture("toggle_wait"), 1, FigureStatus::Known, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SolveResult r = Solve(c.set);
        ASSERT_EQ(r.status, SolveStatus::Solved);
        EXPECT_EQ(r.shots.size(), 1u);
        ASSERT_EQ(r.windowStatus, FigureStatus::Known);
        EXPECT_EQ(r.window, c.window);
        EXPECT_EQ(r.allCoinsStatus, c.allCoins);
        EXPECT_EQ(r.allCoins.shots.size(), c.allCoinsShots);
        EXPECT_EQ(r.startAngleClears, c.startAngleClears);
    }
    // The pocket's coin: the first shot goes up into it and comes back through the needles, the
    // second runs down the corridor.
    const SolveResult r = Solve(LoadFixture("coin_pocket"));
    ASSERT_EQ(r.allCoins.shots.size(), 2u);
    EXPECT_EQ(r.allCoins.coins, 1);
    EXPECT_GT(r.allCoins.shots[0].angle, 90);
    EXPECT_EQ(r.allCoins.shots[1].angle, 0);
    EXPECT_EQ(r.shots[0].angle, 0);
    EXPECT_EQ(r.coins, 0);
}

// A par of two: the window counts the first shots that leave the ball where one more clears.
// brake's first shot must stop on the way, so the window is counted over braked shots too.
TEST(StageSolver, WindowOfATwoShotStage) {
    const SolveResult r = Solve(LoadFixture("brake"));
    ASSERT_EQ(r.status, SolveStatus::Solved);
    ASSERT_EQ(r.shots.size(), 2u);
    ASSERT_EQ(r.windowStatus, FigureStatus::Known);
    EXPECT_EQ(r.window, 10);
    EXPECT_FALSE(r.startAngleClears);
    // Without figures none of it is worked out.
    SolveOptions options;
    options.figures = false;
    const testing::FixtureSet set = LoadFixture("brake");
    const SolveResult plain = SolveStage(*set.blocks, *set.entities, 1, options);
    EXPECT_EQ(plain.windowStatus, FigureStatus::Unknown);
    EXPECT_EQ(plain.allCoinsStatus, FigureStatus::Unknown);
    EXPECT_EQ(plain.shots.size(), 2u);
}

// The window counted the slow way: every first direction, and from wherever it stops every
// second one, each shot played frame by frame from its own copy of the ball.
TEST(StageSolver, WindowMatchesEveryPairOfShotsPlayedOut) {
    const testing::FixtureSet set = LoadFixture("gate");
    const SolveResult r = Solve(set);
    ASSERT_EQ(r.status, SolveStatus::Solved);
    ASSERT_EQ(r.shots.size(), 2u);
    ASSERT_EQ(r.windowStatus, FigureStatus::Known);

    const StageSlotView view = SlotView(*set.blocks, *set.entities, 1);
    const StageStart start = StageStartOf(view);
    ASSERT_EQ(CountToggleBlocks(view), 0);  // so the moment of a shot does not matter
    enum class End { Goal, Rest, Lost };
    // One shot in `direction` from a ball resting at (x, y).
    auto shoot = [&](double& x, double& y, int32_t direction) {
        Player p;
        p.x = x;
        p.y = y;
        p.angle = direction;
        p.rest = 9;
        std::array<uint8_t, kGameEntitiesPerSlot> coins{};
        coins.fill(1);
        int32_t blink = 0;
        bool latch = false;
        PlayWorld world{p, view, coins, blink, 0, start.x, start.y, start.startAngle, latch};
        HeldInput input;
        input.held[ActA] = true;
        PlayEvents events;
        PlayFrame(world, input, events);
        input.held[ActA] = false;
        for (int32_t f = 0; f < 6000; ++f) {
            events.Clear();
            PlayFrame(world, input, events);
            if (events.goal) return End::Goal;
            if (events.returned) return End::Lost;
            if (events.shotEnded) {
                x = p.x;
                y = p.y;
                return End::Rest;
            }
        }
        return End::Lost;
    };
    int32_t window = 0;
    for (int32_t first = 0; first < kDirections; ++first) {
        double x = start.x, y = start.y;
        ASSERT_NE(shoot(x, y, first), End::Goal) << "the par is two";
        if (x == start.x && y == start.y) continue;
        for (int32_t second = 0; second < kDirections; ++second) {
            double sx = x, sy = y;
            if (shoot(sx, sy, second) == End::Goal) {
                ++window;
                break;
            }
        }
    }
    EXPECT_EQ(r.window, window);
    EXPECT_GT(window, 0);
}

TEST(StageSolver, KeyScriptsNameFramesFromTheFirstFrameOfPlay) {
    const std::vector<KeyRun> keys = {{3, kKeyRight | kKeyX}, {1, kKeyLeft}, {2, 0},
                                      {1, kKeySpace},         {40, 0},       {5, kKeySpace}};
    EXPECT_EQ(KeyScriptText(keys, 100, "# c\n"),
              "# c\n100-102 Right X\n103 Left\n106 Space\n147-151 Space\n");
}

TEST(StageSolver, StageStartLengthFollowsTheCoins) {
    EXPECT_EQ(StageStartFrames(2), 53);  // no coins: the coin phase is one frame
    EXPECT_EQ(StageStartFrames(3), 70);  // one coin: 3 + 15 frames
    EXPECT_EQ(StageStartFrames(10), 77);
}

}  // namespace
}  // namespace zarp::zrptool

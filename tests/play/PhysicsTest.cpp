// The ball's rules, one play frame at a time, on the smallest stage slots that show them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "common/stage/BlockTypes.h"
#include "game/media/MediaDevices.h"
#include "game/play/Physics.h"

namespace zarp {
namespace {

constexpr int32_t kSlot = 1;

struct Stage {
    Player player;
    GameBlockTable blocks;
    GameEntityTable entities;
    std::array<uint8_t, kGameEntitiesPerSlot> coinPresent{};
    int32_t blinkTimer = 0;
    bool shotLatch = false;
    HeldInput input;
    PlayEvents events;
    const BlockCells* cells = nullptr;  // the solver's shortcut through the blocks, when set

    Stage() {
        AddEntity(100, 100);  // playerStart
        AddEntity(30, 5);     // stageSettings: startAngle 30, rest 5
        player.x = 100;
        player.y = 100;
    }
    void AddBlock(int32_t x, int32_t y, int32_t type) {
        auto& n = blocks.count[kSlot];
        blocks.x[kSlot][n] = x;
        blocks.y[kSlot][n] = y;
        blocks.type[kSlot][n] = type;
        ++n;
    }
    void AddEntity(int32_t x, int32_t y) {
        auto& n = entities.count[kSlot];
        entities.x[kSlot][n] = x;
        entities.y[kSlot][n] = y;
        coinPresent[n] = 1;
        ++n;
    }
    // A ball in flight at (x, y) with velocity (vx, vy), no button held.
    void Fly(double x, double y, double vx, double vy) {
        player.x = x;
        player.y = y;
        player.vx = vx;
        player.vy = vy;
        player.flying = true;
        player.combo = 1;
        player.rest = 5;
    }
    void Hold(std::initializer_list<int32_t> actions) {
        input.held.fill(false);
        for (int32_t a : actions)
            input.held[a] = true;
    }
    const PlayEvents& Frame() {
        const StageSlotView view = SlotView(blocks, entities, kSlot);
        PlayWorld world{player, view, coinPresent, blinkTimer, CountToggleBlocks(view),
                        100,    100,  30,          shotLatch,  cells};
        events.Clear();
        PlayFrame(world, input, events);
        return events;
    }
    std::vector<Effect> Effects() const {
        std::vector<Effect> out;
        for (int32_t i = 0; i < events.effectCount; ++i)
            out.push_back(events.effects[i].effect);
        return out;
    }
};

// --- Friction, brake, aim ---------------------------------------------------------------

TEST(Friction, OneFactorForBothVelocitiesBrakeGrowsToHundred) {
    struct Case {
        int32_t brakeBefore;
        bool latch, held, ice;
        int32_t brakeAfter;
        bool rub;
    };
    const Case cases[] = {
        {0, false, false, false, 0, false}, {0, false, true, false, 1, true},
        {40, false, true, false, 41, true}, {100, false, true, false, 100, true},
        {40, true, true, false, 0, false},  {40, false, false, false, 0, false},
        {40, false, true, true, 40, false}, {12, true, false, true, 12, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.brakeBefore << " latch " << c.latch << " held "
                                        << c.held << " ice " << c.ice);
        Player p;
        p.vx = 3.7;
        p.vy = -1.25;
        p.brakeTime = c.brakeBefore;
        p.brakeLatch = c.latch;
        p.noFriction = c.ice;
        HeldInput in;
        in.held[ActB] = c.held;
        PlayEvents ev;
        ev.Clear();
        Friction(p, in, ev);
        EXPECT_EQ(p.brakeTime, c.brakeAfter);
        EXPECT_EQ(ev.effectCount, c.rub ? 1 : 0);
        const double f = c.ice ? 1.0 : 0.993 - 0.005 * c.brakeAfter;
        EXPECT_EQ(p.vx, c.ice ? 3.7 : 3.7 * f);
        EXPECT_EQ(p.vy, c.ice ? -1.25 : -1.25 * f);
    }
}

TEST(Aim, TurnsHalfAUnitAFrameThreeTimesWithBAndWrapsPast360) {
    struct Case {
        double before;
        std::vector<int32_t> keys;
        double after;
    };
    const std::vector<Case> cases = {
        {10, {ActRight}, 10.5},      {10, {ActLeft}, 9.5},          {10, {ActRight, ActB}, 11.5},
        {10, {ActLeft, ActB}, 8.5},  {10, {ActLeft, ActRight}, 10}, {0, {ActLeft}, 359.5},
        {359.5, {ActRight}, 360},    {360, {ActRight}, 0.5},        {359, {ActRight, ActB}, 0.5},
        {0.5, {ActLeft, ActB}, 359},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        Stage s;
        s.player.angle = c.before;
        s.input.held.fill(false);
        for (int32_t k : c.keys)
            s.input.held[k] = true;
        s.shotLatch = true;  // no shot
        s.Frame();
        EXPECT_EQ(s.player.angle, c.after);
        EXPECT_FALSE(s.player.flying);
    }
}

TEST(Aim, LaunchVelocityUsesTheTruncatedAngle) {
    for (double angle : {0.0, 45.9, 90.0, 135.5, 359.75}) {
        SCOPED_TRACE(angle);
        Stage s;
        s.player.angle = angle;
        s.shotLatch = true;
        s.Frame();
        const int32_t whole = static_cast<int>(angle);
        EXPECT_EQ(s.player.vx, 11 * std::cos(whole * (3.14159 / 90)));
        EXPECT_EQ(s.player.vy, 11 * std::sin(whole * (3.14159 / 90)));
    }
    // Angle 45 is about 90 degrees: straight down, at 11 pixels a frame.
    Stage s;
    s.player.angle = 45;
    s.Frame();
    EXPECT_NEAR(s.player.vx, 0, 1e-4);
    EXPECT_NEAR(s.player.vy, 11, 1e-9);
}

TEST(ShotLatch, AHeldFromBeforeNeverFiresUntilSeenUp) {
    Stage s;
    s.shotLatch = true;
    s.Hold({ActA});
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(s.Frame().fired);
    s.Hold({});
    EXPECT_FALSE(s.Frame().fired);
    EXPECT_FALSE(s.shotLatch);
    for (int i = 0; i < 4; ++i)
        s.AddEntity(500, 60 + 20 * i);
    s.player.hitTextTime[5] = 33;  // entries of the slot are cleared, later ones are not
    s.player.hitTextTime[6] = 44;
    s.player.combo = 7;
    s.Hold({ActA});
    const PlayEvents& ev = s.Frame();
    EXPECT_TRUE(ev.fired);
    EXPECT_EQ(s.Effects(), std::vector<Effect>{Effect::Shot});
    EXPECT_TRUE(s.player.flying);
    EXPECT_TRUE(s.shotLatch);
    EXPECT_EQ(s.player.combo, 1);
    EXPECT_EQ(s.player.hitTextTime[5], 0);
    EXPECT_EQ(s.player.hitTextTime[6], 44);
    // The ball starts moving on the next frame, with the launch velocity of this one.
    EXPECT_EQ(s.player.x, 100);
}

TEST(ShotLatch, AButtonHeldThroughAWholeShotNeitherBrakesNorFiresAgain) {
    Stage s;
    s.player.rest = 5;
    s.Hold({ActA});
    ASSERT_TRUE(s.Frame().fired);
    int rubs = 0, frames = 0;
    while (s.player.flying && frames < 5000) {
        s.Frame();
        const std::vector<Effect> effects = s.Effects();
        rubs += static_cast<int>(std::count(effects.begin(), effects.end(), Effect::Rub));
        ++frames;
    }
    ASSERT_FALSE(s.player.flying);
    EXPECT_EQ(rubs, 0);
    EXPECT_EQ(s.player.rest, 4);
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(s.Frame().fired) << i;
    s.Hold({});
    EXPECT_FALSE(s.Frame().fired);
    s.Hold({ActA});
    EXPECT_TRUE(s.Frame().fired);
}

TEST(BrakeLatch, TheFiringButtonBrakesOnlyAfterARelease) {
    Stage s;
    s.player.angle = 0;
    s.Hold({ActA});
    ASSERT_TRUE(s.Frame().fired);
    for (int i = 0; i < 3; ++i) {
        s.Frame();
        EXPECT_EQ(s.player.brakeTime, 0);
        EXPECT_EQ(s.events.effectCount, 0);
    }
    s.Hold({});
    s.Frame();
    s.Hold({ActA});
    s.Frame();
    EXPECT_EQ(s.player.brakeTime, 1);
    EXPECT_EQ(s.Effects(), std::vector<Effect>{Effect::Rub});
    s.Hold({ActB});  // either button brakes once the latch is clear
    s.Frame();
    EXPECT_EQ(s.player.brakeTime, 2);
}

// The keyboard also reports a press made since the previous question, so the rules must ask
// for the actions in this order and no more often: each frame asks ActA first for the brake
// latch; aiming then asks ActA, Right, Left, B and ActA again to fire; flight asks only the
// brake's ActA, then ActB, and nothing while the brake latch holds or the ball is on ice.
class RecordingInput final : public PlayInput {
  public:
    std::array<bool, 6> held{};
    std::string asked;
    bool Pressed(int32_t action) override {
        asked += "LRUDAB"[action];
        return held[static_cast<size_t>(action)];
    }
};

TEST(InputOrder, EachFrameAsksTheActionsInTheRulesOrder) {
    struct Case {
        const char* what;
        bool flying, brakeLatch, ice;
        int32_t needleTime;
        std::vector<int32_t> held;
        const char* asked;
    };
    const Case cases[] = {
        {"aiming, nothing held", false, false, false, 0, {}, "AARLBA"},
        {"aiming, A held", false, true, false, 0, {ActA}, "AARLBA"},
        {"aiming, turning fast", false, false, false, 0, {ActRight, ActB}, "AARLBA"},
        {"flight, nothing held", true, false, false, 0, {}, "AAB"},
        {"flight, A held after a release", true, false, false, 0, {ActA}, "AA"},
        {"flight, B held", true, false, false, 0, {ActB}, "AAB"},
        {"flight, A still held from the shot", true, true, false, 0, {ActA}, "A"},
        {"flight on ice", true, false, true, 0, {ActB}, "A"},
        {"a needle's frozen frame", true, false, false, 3, {ActA, ActB}, "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Stage s;
        s.Fly(300, 200, 2, 1);
        s.player.flying = c.flying;
        s.player.brakeLatch = c.brakeLatch;
        s.player.noFriction = c.ice;
        s.player.needleTime = c.needleTime;
        s.shotLatch = true;
        RecordingInput input;
        for (int32_t a : c.held)
            input.held[static_cast<size_t>(a)] = true;
        const StageSlotView view = SlotView(s.blocks, s.entities, kSlot);
        PlayWorld world{s.player, view, s.coinPresent, s.blinkTimer, 0, 100, 100, 30, s.shotLatch};
        s.events.Clear();
        PlayFrame(world, input, s.events);
        EXPECT_EQ(input.asked, c.asked);
    }
}

// --- Rebounds -------------------------------------------------------------------------------

TEST(Border, ReboundsAtPointNineToThePreviousWholePixel) {
    struct Case {
        double x, y, vx, vy;
        bool horizontal;
        double restoredAt;
    };
    const Case cases[] = {
        {20.5, 200.25, -10, 0, true, 20},
        {605.75, 200, 5, 0, true, 605},
        {300, 17.9, 0, -3, false, 17},
        {300, 410.2, 0, 4, false, 410},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        Stage s;
        s.Fly(c.x, c.y, c.vx, c.vy);
        s.Frame();
        EXPECT_EQ(s.Effects(), std::vector<Effect>{Effect::Chr});
        if (c.horizontal) {
            EXPECT_EQ(s.player.x, c.restoredAt);
            EXPECT_EQ(s.player.vx, -(c.vx * 0.993) * 0.9);
        } else {
            EXPECT_EQ(s.player.y, c.restoredAt);
            EXPECT_EQ(s.player.vy, -(c.vy * 0.993) * 0.9);
        }
    }
    // Exactly on the limits is still inside.
    Stage s;
    s.Fly(600, 413, 9.0 / 0.993, 0);
    s.Frame();
    EXPECT_EQ(s.events.effectCount, 0);
}

TEST(Blocks, ReboundFactorsByType) {
    const std::pair<int32_t, double> cases[] = {{0, 1.0}, {5, 1.0}, {1, 0.8},
                                                {6, 0.8}, {2, 0.2}, {7, 0.2}};
    for (auto [type, factor] : cases) {
        SCOPED_TRACE(type);
        Stage s;
        s.AddBlock(114, type <= 4 ? 180 : 196, type);
        s.Fly(100, 200, 4, 0);
        s.Frame();
        EXPECT_EQ(s.player.x, 100);
        EXPECT_EQ(s.player.vx, -(4 * 0.993) * factor);
        EXPECT_EQ(s.Effects(), std::vector<Effect>{Effect::Chr});
    }
}

TEST(Blocks, TheLastReboundBlockInTableOrderDecidesTouchingEdgesDoNot) {
    Stage s;
    s.AddBlock(114, 196, 5);
    s.AddBlock(114, 196, 7);
    s.AddBlock(115, 180, 0);  // its left edge touches the core's right edge: no overlap
    s.Fly(100, 200, 4, 0);
    s.Frame();
    EXPECT_EQ(s.player.vx, -(4 * 0.993) * 0.2);
}

TEST(Blocks, TypesAboveSeventeenAndNegativeDoNothing) {
    for (int32_t type : {18, 99, -1}) {
        Stage s;
        s.AddBlock(104, 196, type);
        s.Fly(100, 200, 4, 0);
        s.Frame();
        EXPECT_EQ(s.player.x, 100 + 4 * 0.993);
        EXPECT_EQ(s.events.effectCount, 0);
    }
}

// --- Needles --------------------------------------------------------------------------------

TEST(Needle, FiveFrozenFramesThenBackToTheStartAndTheShotIsSpent) {
    for (int32_t type : {3, 8}) {
        SCOPED_TRACE(type);
        Stage s;
        s.AddBlock(114, type == 3 ? 180 : 196, type);
        s.AddEntity(240, 300);  // a coin taken before the needle stays taken
        s.coinPresent[2] = 0;
        s.Fly(100, 200, 4, 0);
        s.player.angle = 77;
        s.Frame();
        EXPECT_TRUE(s.events.needleHit);
        EXPECT_EQ(s.player.needleTime, 5);
        EXPECT_EQ(s.player.x, 100 + 4 * 0.993);  // no rebound: the ball went on
        const double frozenX = s.player.x;
        for (int f = 1; f <= 5; ++f) {
            SCOPED_TRACE(f);
            s.Frame();
            EXPECT_TRUE(s.events.frozen);
            EXPECT_EQ(s.Effects(),
                      f == 1 ? std::vector<Effect>{Effect::Needle} : std::vector<Effect>{});
            EXPECT_EQ(s.events.returned, f == 5);
            EXPECT_EQ(s.player.x, f == 5 ? 100 : frozenX);
        }
        EXPECT_EQ(s.player.angle, 30);
        EXPECT_EQ(s.player.vx, 0);
        EXPECT_TRUE(s.player.flying);
        EXPECT_EQ(s.player.rest, 5);
        s.Frame();
        EXPECT_TRUE(s.events.shotEnded);
        EXPECT_FALSE(s.player.flying);
        EXPECT_EQ(s.player.rest, 4);
        EXPECT_EQ(s.coinPresent[2], 0);
    }
}

TEST(Needle, AReboundInTheSameTestOrTheLaterOneCancelsIt) {
    {
        Stage s;  // both in the horizontal test
        s.AddBlock(114, 196, 5);
        s.AddBlock(114, 196, 8);
        s.Fly(100, 200, 4, 0);
        s.Frame();
        EXPECT_EQ(s.player.needleTime, 0);
        EXPECT_FALSE(s.events.needleHit);
        EXPECT_EQ(s.player.x, 100);
        EXPECT_EQ(s.player.vx, -(4 * 0.993));
    }
    {
        Stage s;  // the needle in the horizontal test, a rebound block in the vertical one
        s.AddBlock(114, 90, 8);
        s.AddBlock(90, 113, 5);
        s.Fly(100, 100, 4, 4);
        s.Frame();
        EXPECT_EQ(s.player.needleTime, 0);
        EXPECT_EQ(s.player.x, 100 + 4 * 0.993);
        EXPECT_EQ(s.player.y, 100);
        EXPECT_EQ(s.player.vy, -(4 * 0.993));
        EXPECT_FALSE(s.Frame().frozen);
    }
}

// --- Ice, conveyors, booster, toggles ------------------------------------------------------

TEST(Ice, SuspendsFrictionAndBrakeFromTheNextFrame) {
    Stage s;
    for (int32_t x = 16; x < 600; x += 64)
        s.AddBlock(x, 176, 4);
    s.Fly(100, 200, 2, 0);
    s.Frame();  // the first frame still has friction: noFriction comes from the last test
    EXPECT_EQ(s.player.vx, 2 * 0.993);
    EXPECT_TRUE(s.player.noFriction);
    s.Hold({ActB});
    s.player.brakeTime = 7;
    for (int i = 0; i < 50; ++i)
        s.Frame();
    EXPECT_EQ(s.player.vx, 2 * 0.993);
    EXPECT_EQ(s.player.brakeTime, 7);
    EXPECT_TRUE(s.player.flying);
}

TEST(Conveyor, PushesInEachTestAndKeepsTheShotAliveUntilBrakedOverThirtyFrames) {
    struct Case {
        int32_t type;
        double dvx, dvy;
    };
    const Case pushes[] = {{11, 0.01, 0}, {12, -0.01, 0}, {13, 0, -0.01}, {14, 0, 0.01}};
    for (const Case& c : pushes) {
        SCOPED_TRACE(c.type);
        Stage s;
        s.AddBlock(96, 96, c.type);
        s.Fly(100, 100, 0, 0);
        s.Frame();  // both tests find the core on it: 0.005 each
        EXPECT_EQ(s.player.vx, c.dvx);
        EXPECT_EQ(s.player.vy, c.dvy);
        EXPECT_TRUE(s.player.pushed);
        EXPECT_FALSE(s.events.shotEnded);
    }
    // A ball parked on a long belt: it never stops by itself; braking ends the shot on the
    // frame where brakeTime passes 30, counted in a row.
    Stage s;
    for (int32_t x = 16; x < 600; x += 32)
        s.AddBlock(x, 96, 13);
    s.AddBlock(16, 64, 5);  // the belt runs up into a wall of rebound blocks
    for (int32_t x = 48; x < 600; x += 32)
        s.AddBlock(x, 64, 5);
    s.Fly(300, 100, 0, 0);
    for (int i = 0; i < 300; ++i)
        ASSERT_FALSE(s.Frame().shotEnded) << i;
    s.Hold({ActA});
    for (int i = 1; i <= 20; ++i)
        ASSERT_FALSE(s.Frame().shotEnded) << i;
    s.Hold({});
    s.Frame();
    s.Hold({ActA});
    for (int i = 1; i <= 30; ++i)
        ASSERT_FALSE(s.Frame().shotEnded) << i;
    EXPECT_TRUE(s.Frame().shotEnded);
    EXPECT_EQ(s.player.brakeTime, 31);
    EXPECT_EQ(s.player.rest, 4);
}

TEST(Booster, RaisesASlowBallToFifteenWithTheRing) {
    Stage s;
    s.AddBlock(112, 96, 15);
    s.Fly(100, 100, 3, 4);
    s.player.brakeTime = 9;
    s.Hold({ActB});
    s.Frame();
    // Friction first (brake 10), then the booster in the horizontal test.
    const double f = 0.993 - 0.005 * 10;
    const double vx = 3 * f, vy = 4 * f;
    const double sp = std::sqrt(vx * vx + vy * vy);
    EXPECT_EQ(s.player.vx, vx / sp * 15);
    EXPECT_NEAR(std::hypot(s.player.vx, s.player.vy), 15, 1e-12);
    EXPECT_EQ(s.player.brakeTime, 0);
    EXPECT_EQ(s.player.boostTime, 20);
    std::vector<Effect> kir{Effect::Rub, Effect::Kir, Effect::Kir};
    EXPECT_EQ(s.Effects(), kir);
    EXPECT_EQ(s.events.effects[1].pan, -8000);
    EXPECT_EQ(s.events.effects[2].pan, 8000);
    // The ring: its centre taken on the next frame, then 20 frames of t = 19 down to 0.
    s.Hold({});
    const int32_t cx = static_cast<int>(s.player.x + 8), cy = static_cast<int>(s.player.y + 8);
    s.Frame();
    EXPECT_TRUE(s.events.ringStarted);
    EXPECT_EQ(s.events.ringX, cx);
    EXPECT_EQ(s.events.ringY, cy);
    EXPECT_EQ(s.events.ringTime, 19);
    for (int t = 18; t >= 0; --t) {
        s.Frame();
        EXPECT_FALSE(s.events.ringStarted);
        EXPECT_TRUE(s.events.ringDrawn);
        EXPECT_EQ(s.events.ringTime, t);
    }
    s.Frame();
    EXPECT_FALSE(s.events.ringDrawn);
}

TEST(Booster, ScalesEachVelocityAsVOverSTimesFifteen) {
    // Speeds where v / s * 15 and v * (15 / s) differ in the last bit.
    for (int i = 1; i <= 6; ++i) {
        SCOPED_TRACE(i);
        Stage s;
        s.AddBlock(96, 96, 15);
        s.Fly(100, 100, 0.37 * i, 0.11 * i);
        s.Frame();
        const double vx = 0.37 * i * 0.993, vy = 0.11 * i * 0.993;
        const double sp = std::sqrt(vx * vx + vy * vy);
        EXPECT_EQ(s.player.vx, vx / sp * 15);
        EXPECT_EQ(s.player.vy, vy / sp * 15);
    }
}

TEST(Booster, DoesNothingAtTwelveOrMoreOrToABallAtRest) {
    for (double v : {0.0, 12.0 / 0.993, 14.0}) {
        SCOPED_TRACE(v);
        Stage s;
        s.AddBlock(96, 96, 15);
        s.Fly(100, 100, v, 0);
        s.Frame();
        EXPECT_EQ(s.player.boostTime, 0);
        EXPECT_EQ(s.player.vx, v * 0.993);
    }
}

TEST(Toggle, ClockRunsOverTheFirst80Of161FramesAndSwitchesTheEffect) {
    Stage s;
    s.AddBlock(500, 400, 16);
    s.shotLatch = true;
    std::vector<int32_t> seen;
    for (int i = 0; i < 162; ++i) {
        s.Frame();
        seen.push_back(s.blinkTimer);
    }
    EXPECT_EQ(seen[0], 1);
    EXPECT_EQ(seen[79], 80);
    EXPECT_EQ(seen[159], 160);
    EXPECT_EQ(seen[160], 0);
    EXPECT_EQ(seen[161], 1);

    struct Case {
        int32_t type, blinkBefore;
        bool rebound;
    };
    const Case cases[] = {{16, 0, true},  {16, 78, true},  {16, 79, false}, {16, 160, true},
                          {17, 0, false}, {17, 78, false}, {17, 79, true},  {17, 160, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " at " << c.blinkBefore);
        Stage t;
        t.AddBlock(114, 196, c.type);
        t.blinkTimer = c.blinkBefore;  // the frame advances it before the test
        t.Fly(100, 200, 4, 0);
        t.Frame();
        EXPECT_EQ(t.player.needleTime, c.rebound ? 0 : 5);
        EXPECT_EQ(t.player.x, c.rebound ? 100 : 100 + 4 * 0.993);
    }
    // Without toggle blocks the clock stands still.
    Stage u;
    u.shotLatch = true;
    u.Frame();
    EXPECT_EQ(u.blinkTimer, 0);
}

// --- The table of block types ------------------------------------------------------------

// Every entry of the table that zrptool, the README and the editor read says what the ball
// does: a ball flying right into the block, or resting on it, shows it.
TEST(BlockTypes, EveryEntrySaysWhatTheBallDoes) {
    for (const BlockTypeInfo& info : kBlockTypes) {
        SCOPED_TRACE(testing::Message() << info.type << " " << info.name);
        EXPECT_EQ(BlockTypeOf(info.type), &info);
        EXPECT_EQ(BlockSize(info.type), info.size);
        EXPECT_FALSE(info.name.empty());
        EXPECT_FALSE(info.effect.empty());
        // Flying right at 5 pixels a frame, the core meets the block's left edge this frame.
        Stage s;
        s.AddBlock(300, 200, info.type);
        s.Fly(300 - 12 - 2, 200 + 8, 5, 0);
        s.blinkTimer = 9;  // the frame counts it to 10: the switches' first phase
        const PlayEvents& e = s.Frame();
        const double arriving = 5 * 0.993;
        switch (info.kind) {
            case BlockKind::Rebound:
                EXPECT_EQ(s.player.vx, -arriving * info.rebound);
                EXPECT_FALSE(e.needleHit);
                break;
            case BlockKind::Needles:
                EXPECT_TRUE(e.needleHit);
                EXPECT_EQ(s.player.vx, arriving);
                break;
            case BlockKind::Ice:
            case BlockKind::Conveyor:
            case BlockKind::Booster:
                EXPECT_FALSE(e.needleHit);
                EXPECT_FALSE(e.goal);
                break;
            case BlockKind::Goal:
                EXPECT_TRUE(e.goal);
                break;
            case BlockKind::Switch: {
                EXPECT_EQ(e.needleHit, !info.steelFirst);
                EXPECT_EQ(s.player.vx, info.steelFirst ? -arriving : arriving);
                // In the second phase it is the other one.
                Stage later;
                later.AddBlock(300, 200, info.type);
                later.Fly(300 - 12 - 2, 200 + 8, 5, 0);
                later.blinkTimer = 99;
                EXPECT_EQ(later.Frame().needleHit, info.steelFirst);
                break;
            }
        }
        // A ball on the block, slowly moving.
        Stage on;
        on.AddBlock(300, 200, info.type);
        on.Fly(300 + 8, 200 + 8, 0.5, 0.5);
        on.blinkTimer = 9;
        on.Frame();
        EXPECT_EQ(on.player.noFriction, info.kind == BlockKind::Ice);
        if (info.kind == BlockKind::Ice) {
            const double vx = on.player.vx;
            on.Frame();
            EXPECT_EQ(on.player.vx, vx) << "no friction on ice";
        }
        EXPECT_EQ(on.player.pushed, info.kind == BlockKind::Conveyor);
        if (info.kind == BlockKind::Conveyor) {
            // Pushed in each of the frame's two tests, and the shot goes on.
            EXPECT_NEAR(on.player.vx, 0.5 * 0.993 + 0.01 * info.pushX, 1e-12);
            EXPECT_NEAR(on.player.vy, 0.5 * 0.993 + 0.01 * info.pushY, 1e-12);
            EXPECT_TRUE(on.player.flying);
        }
        if (info.kind == BlockKind::Booster) {
            EXPECT_DOUBLE_EQ(std::hypot(on.player.vx, on.player.vy), 15);
            EXPECT_DOUBLE_EQ(on.player.vx, on.player.vy);
        }
    }
    EXPECT_EQ(BlockTypeOf(-1), nullptr);
    EXPECT_EQ(BlockTypeOf(kBlockTypeCount), nullptr);
}

// The solver's shortcut through the blocks changes nothing: random stages with blocks of every
// type, overlapping, off the grid and off the screen, played with and without it, end on the
// same bits frame after frame.
TEST(BlockCells, ShotsEndOnTheSameBitsWithAndWithout) {
    std::mt19937 random(16);
    for (int32_t trial = 0; trial < 40; ++trial) {
        Stage plain, quick;
        const int32_t blocks = 5 + static_cast<int32_t>(random() % 60);
        for (int32_t i = 0; i < blocks; ++i) {
            const int32_t x = static_cast<int32_t>(random() % 720) - 40;
            const int32_t y = static_cast<int32_t>(random() % 560) - 40;
            const int32_t type = static_cast<int32_t>(random() % 20) - 1;
            plain.AddBlock(x, y, type);
            quick.AddBlock(x, y, type);
        }
        const StageSlotView view = SlotView(quick.blocks, quick.entities, kSlot);
        const BlockCells cells = MakeBlockCells(view);
        quick.cells = &cells;
        const double x = 20 + random() % 580, y = 20 + random() % 380;
        const double angle = (random() % 3600) / 10.0;
        const double vx = 11 * std::cos(angle * kAngleUnit), vy = 11 * std::sin(angle * kAngleUnit);
        plain.Fly(x, y, vx, vy);
        quick.Fly(x, y, vx, vy);
        for (int32_t f = 0; f < 1500 && plain.player.flying; ++f) {
            plain.blinkTimer = quick.blinkTimer = f % 161;
            const PlayEvents a = plain.Frame();
            const PlayEvents b = quick.Frame();
            ASSERT_EQ(plain.player.x, quick.player.x) << trial << " frame " << f;
            ASSERT_EQ(plain.player.y, quick.player.y) << trial << " frame " << f;
            ASSERT_EQ(plain.player.vx, quick.player.vx) << trial << " frame " << f;
            ASSERT_EQ(plain.player.vy, quick.player.vy) << trial << " frame " << f;
            ASSERT_EQ(plain.player.needleTime, quick.player.needleTime) << trial;
            ASSERT_EQ(plain.player.noFriction, quick.player.noFriction) << trial;
            ASSERT_EQ(a.goal, b.goal) << trial;
            ASSERT_EQ(a.effectCount, b.effectCount) << trial;
            if (a.goal) break;
        }
    }
}

// --- Coins, goal, stop ------------------------------------------------------------------------

TEST(Coins, TheNthCoinOfAShotScores50NAndTheNinthSoundsCoin8) {
    Stage s;
    for (int i = 0; i < 9; ++i)
        s.AddEntity(104 + i, 104);
    s.Fly(100, 100, 0, 0);
    s.player.score = 1000;
    s.player.maxHit = 4;
    s.Frame();
    const std::vector<Effect> expected{Effect::Coin1, Effect::Coin2, Effect::Coin3,
                                       Effect::Coin4, Effect::Coin5, Effect::Coin6,
                                       Effect::Coin7, Effect::Coin8, Effect::Coin8};
    EXPECT_EQ(s.Effects(), expected);
    EXPECT_EQ(std::string(EffectFile(s.events.effects[8].effect)), "coin8.wav");
    EXPECT_EQ(s.player.score, 1000 + 50 * 45);
    EXPECT_EQ(s.player.combo, 10);
    EXPECT_EQ(s.player.maxHit, 9);
    EXPECT_EQ(s.events.coinsTaken, 9);
    EXPECT_EQ(s.player.hitNumber[10], 9);
    EXPECT_EQ(s.player.hitTextTime[10], 79);
    EXPECT_EQ(s.player.hitTextX[10], static_cast<int>(100 / 1.1 - 10));
    EXPECT_EQ(s.player.hitTextY[10], 100);
    for (int i = 2; i < 11; ++i)
        EXPECT_EQ(s.coinPresent[i], 0);
    // The shot ended in the same frame: the stop test comes before the coins.
    EXPECT_TRUE(s.events.shotEnded);
}

TEST(Coins, CatchRectangleIs24By24AroundTheSpriteWithStrictEdges) {
    struct Case {
        int32_t cx, cy;
        bool taken;
    };
    // Ball at (100, 100): catch rectangle (96, 96)-(120, 120).
    const Case cases[] = {{80, 100, false}, {81, 100, true}, {119, 100, true}, {120, 100, false},
                          {100, 80, false}, {100, 81, true}, {100, 119, true}, {100, 120, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cx << "," << c.cy);
        Stage s;
        s.AddEntity(c.cx, c.cy);
        s.Fly(100, 100, 0, 0);
        s.Frame();
        EXPECT_EQ(s.coinPresent[2] == 0, c.taken);
    }
}

TEST(Coins, HitTextClockRunsDownOnlyInFlight) {
    Stage s;
    s.AddEntity(104, 104);
    s.Fly(100, 100, 0, 0);
    s.Frame();
    EXPECT_EQ(s.player.hitTextTime[2], 79);
    s.shotLatch = true;
    s.Frame();  // aiming: the texts wait
    EXPECT_EQ(s.player.hitTextTime[2], 79);
    s.Fly(300, 300, 0, 0);
    s.Frame();
    EXPECT_EQ(s.player.hitTextTime[2], 78);
}

TEST(Goal, StopInTheSameFrameStillCountsTheShotAndTheLastOneIsGameOver) {
    for (int32_t rest : {1, 2}) {
        Stage s;
        s.AddBlock(96, 96, 10);
        s.Fly(100, 100, 0, 0);
        s.player.rest = rest;
        s.Frame();
        EXPECT_TRUE(s.events.goal);
        EXPECT_TRUE(s.events.shotEnded);
        EXPECT_EQ(s.events.gameOver, rest == 1);
        EXPECT_EQ(s.player.rest, rest - 1);
    }
    // Touching the goal in flight: no rebound from anything in either test of that frame.
    Stage s;
    s.AddBlock(114, 196, 10);
    s.AddBlock(114, 196, 5);
    s.Fly(100, 200, 4, 0);
    s.Frame();
    EXPECT_TRUE(s.events.goal);
    EXPECT_EQ(s.player.x, 100 + 4 * 0.993);
    EXPECT_FALSE(s.events.shotEnded);
}

TEST(Stop, EndsBelowATenthOnBothAxes) {
    struct Case {
        double vx, vy;
        bool ends;
    };
    const Case cases[] = {{0.1, 0, true},
                          {0.1 / 0.993 + 1e-9, 0, false},
                          {-0.09, 0.09, true},
                          {0, -0.2, false},
                          {0.0, 0.0, true}};
    for (const Case& c : cases) {
        Stage s;
        s.Fly(300, 200, c.vx, c.vy);
        s.Frame();
        EXPECT_EQ(s.events.shotEnded, c.ends) << c.vx << "," << c.vy;
    }
}

TEST(Slots, EmptyOrMissingSlotsPlayFromTheDefaults) {
    GameBlockTable blocks;
    GameEntityTable entities;
    entities.count[3] = 0;
    entities.x[3][0] = 500;  // stale entries of an earlier set are not used
    const StageStart none = StageStartOf(SlotView(blocks, entities, 3));
    EXPECT_EQ(none.x, 32);
    EXPECT_EQ(none.y, 32);
    EXPECT_EQ(none.startAngle, 0);
    EXPECT_EQ(none.rest, 5);
    EXPECT_EQ(SlotView(blocks, entities, -1).blockCount, 0);
    EXPECT_EQ(SlotView(blocks, entities, kStageSlots).entityCount, 0);
    entities.count[3] = 9999;  // counts are clamped to the tables
    blocks.count[3] = -4;
    EXPECT_EQ(SlotView(blocks, entities, 3).entityCount, kGameEntitiesPerSlot);
    EXPECT_EQ(SlotView(blocks, entities, 3).blockCount, 0);
}

TEST(Slots, AbsurdCountersWrapAroundLikeThirtyTwoBitIntegers) {
    Stage s;
    s.AddEntity(104, 104);
    s.Fly(100, 100, 0, 0);
    s.player.rest = INT32_MIN;
    s.player.score = INT32_MAX;
    s.Frame();
    EXPECT_TRUE(s.events.shotEnded);
    EXPECT_FALSE(s.events.gameOver);
    EXPECT_EQ(s.player.rest, INT32_MAX);
    EXPECT_EQ(s.player.score, INT32_MIN + 49);
    EXPECT_EQ(WrapAdd(5, int64_t{800} * INT32_MAX), static_cast<int32_t>(5u + 800u * 0x7FFFFFFFu));
}

TEST(Slots, AbsurdCoordinatesNeitherOverflowNorHit) {
    Stage s;
    s.AddBlock(INT32_MAX, INT32_MAX, 0);
    s.AddBlock(INT32_MIN, INT32_MIN, 5);
    s.AddEntity(INT32_MAX, INT32_MAX);
    s.Fly(100, 100, 3, 3);
    s.Frame();
    EXPECT_EQ(s.events.effectCount, 0);
    EXPECT_EQ(Trunc(1e300), INT32_MAX);
    EXPECT_EQ(Trunc(-1e300), INT32_MIN);
    EXPECT_EQ(Trunc(-2.9), -2);
}

// Two thousand frames of aiming, shooting, braking, rebounds, a booster, ice and conveyors end
// on these exact bits. A change in the order of any operation shows here first.
TEST(Replay, ALongSessionEndsOnTheSameBits) {
    Stage s;
    s.entities.count[kSlot] = 0;
    s.AddEntity(300, 220);
    s.AddEntity(37, 9);
    s.AddEntity(250, 250);
    s.AddEntity(450, 300);
    const int32_t blocks[][3] = {{420, 180, 1}, {200, 300, 12}, {500, 100, 15},
                                 {100, 100, 9}, {400, 380, 2},  {300, 40, 6},
                                 {560, 300, 7}, {40, 360, 11},  {250, 200, 13}};
    for (const auto& b : blocks)
        s.AddBlock(b[0], b[1], b[2]);
    s.player.x = 300;
    s.player.y = 220;
    s.player.angle = 37;
    s.player.rest = 9;
    int shots = 0;
    for (int f = 0; f < 2000; ++f) {
        s.input.held.fill(false);
        if (!s.player.flying) {
            s.input.held[ActA] = f % 2 == 1;
            s.input.held[ActRight] = true;
        }
        if (f > 500 && f < 540) s.input.held[ActB] = true;
        const StageSlotView view = SlotView(s.blocks, s.entities, kSlot);
        PlayWorld world{s.player, view, s.coinPresent, s.blinkTimer, 0, 300, 220, 37, s.shotLatch};
        s.events.Clear();
        PlayFrame(world, s.input, s.events);
        if (s.events.fired) ++shots;
    }
    EXPECT_EQ(s.player.x, 550.79313149045402);
    EXPECT_EQ(s.player.y, 235.74368883839912);
    EXPECT_EQ(s.player.vx, 0.20116797508383408);
    EXPECT_EQ(s.player.vy, 4.6659910869064625);
    EXPECT_EQ(s.player.angle, 44.5);
    EXPECT_EQ(s.player.score, 100);
    EXPECT_EQ(s.player.rest, 5);
    EXPECT_EQ(shots, 5);
    EXPECT_EQ(s.player.maxHit, 1);
}

}  // namespace
}  // namespace zarp

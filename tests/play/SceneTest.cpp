// Stage start, play and stage clear through zarp-headless: a test play of a one-stage set.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "game/play/ScenePlay.h"
#include "game/play/SceneStageClear.h"
#include "game/play/SceneStageStart.h"
#include "game/scenes/SceneTitle.h"
#include "tests/play/TestPlay.h"

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
        PlayStage layout;
        for (int i = 0; i < c.coins; ++i)
            layout.coins.push_back({100 + 40 * i, 300});
        game.SetStage(layout);
        const RunResult run = game.Run(c.shift ? "1-200 Shift\n" : "", c.frames + 2);
        ASSERT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.FirstFrame("scene", ScenePlay::kId), c.frames);
        EXPECT_EQ(run.At(c.frames - 1, "scene"), SceneStageStart::kId);
        EXPECT_EQ(run.At(1, "x"), 300);
        EXPECT_EQ(run.At(1, "rest"), 5);
    }
}

// The first frame of play: the stage start of a stage with `coins` coins has handed over.
int64_t PlayStart(int coins) {
    return kStartFrames + 1 + (coins > 0 ? coins + 16 : 0);
}

// Pixels of a saved frame that are pure white (the booster ring's colour with our palette).
int WhitePixels(const fs::path& png) {
    const testing_support::Picture picture = testing_support::ReadPng(png);
    if (picture.Empty()) return -1;
    const std::vector<uint8_t>& rgb = picture.rgb;
    int n = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        if (rgb[i] == 255 && rgb[i + 1] == 255 && rgb[i + 2] == 255) ++n;
    }
    return n;
}

std::string FileBytes(const fs::path& path) {
    return testing_support::ReadBytes(path);
}

// Space seen up on the first play frame clears the shot latch; the shot leaves on the next.
std::string Fire(int coins = 0, const std::string& before = "") {
    const int64_t p = PlayStart(coins);
    return before + std::to_string(p + 1) + " Space\n";
}

TEST(Play, BorderReboundsAtPointNineFromThePreviousWholePixel) {
    HeadlessGame game;
    PlayStage layout;
    game.SetStage(layout);
    const RunResult run = game.Run(Fire(), PlayStart(0) + 60);
    ASSERT_EQ(run.exitStatus, 0);
    const int64_t fired = PlayStart(0) + 1;
    EXPECT_EQ(run.At(fired, "flying"), 1);
    EXPECT_EQ(run.LogOf(fired), std::vector<std::string>{"sound shot.wav 0 slot 0"});
    int64_t hit = 0;
    for (int64_t f = fired + 1; f < fired + 60 && !hit; ++f) {
        if (run.At(f, "vx") < 0) hit = f;
    }
    ASSERT_NE(hit, 0);
    const double vxBefore = run.At(hit - 1, "vx");
    EXPECT_EQ(run.At(hit, "vx"), -(vxBefore * 0.993) * 0.9);
    EXPECT_EQ(run.At(hit, "x"), std::trunc(run.At(hit - 1, "x")));
    EXPECT_GT(run.At(hit - 1, "x") + vxBefore * 0.993, 609);
    EXPECT_EQ(run.SoundFrames("chr.wav"), std::vector<int64_t>{hit});
}

TEST(Play, NeedleFreezesFiveFramesThenReturnsWithTheStartAngleAndCostsTheShot) {
    HeadlessGame game;
    PlayStage layout;
    layout.blocks = {{420, 196, 8}};
    game.SetStage(layout);
    const int64_t p = PlayStart(0);
    // Turn the aim by 2 units before firing: the return restores the start angle 0.
    const std::string keys = std::to_string(p) + "-" + std::to_string(p + 3) + " Right\n" +
                             std::to_string(p + 5) + " Space\n";
    RunResult run = game.Run(keys, p + 60);
    ASSERT_EQ(run.exitStatus, 0);
    const int64_t hit = run.FirstFrame("needleTime", 5);
    ASSERT_NE(hit, 0);
    EXPECT_EQ(run.At(hit, "angle"), 2);
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(run.At(hit + k, "needleTime"), 5 - k);
        EXPECT_EQ(run.At(hit + k, "x"), k < 5 ? run.At(hit, "x") : 300);
    }
    EXPECT_EQ(run.SoundFrames("needle.wav"), std::vector<int64_t>{hit + 1});
    EXPECT_EQ(run.At(hit + 5, "angle"), 0);
    EXPECT_EQ(run.At(hit + 5, "y"), 200);
    EXPECT_EQ(run.At(hit + 5, "flying"), 1);
    EXPECT_EQ(run.At(hit + 6, "flying"), 0);
    EXPECT_EQ(run.At(hit + 6, "rest"), 4);
    // Nothing is presented while the needle holds the ball.
    const fs::path a = game.Dir() / "a.png", b = game.Dir() / "b.png";
    run = game.Run(keys, hit + 6, "1",
                   {"--shot", std::to_string(hit) + ":" + a.string(), "--shot",
                    std::to_string(hit + 4) + ":" + b.string()});
    EXPECT_EQ(FileBytes(a), FileBytes(b));
    EXPECT_FALSE(FileBytes(a).empty());
}

TEST(Play, AReboundInTheSameTestCancelsTheNeedle) {
    HeadlessGame game;
    PlayStage layout;
    layout.blocks = {{420, 196, 8}, {420, 196, 5}};
    game.SetStage(layout);
    const RunResult run = game.Run(Fire(), PlayStart(0) + 40);
    EXPECT_EQ(run.FirstFrame("needleTime", 5), 0);
    EXPECT_TRUE(run.SoundFrames("needle.wav").empty());
    ASSERT_EQ(run.SoundFrames("chr.wav").size(), 1u);
    const int64_t hit = run.SoundFrames("chr.wav")[0];
    EXPECT_LT(run.At(hit, "vx"), 0);
    EXPECT_EQ(run.At(hit, "vx"), -(run.At(hit - 1, "vx") * 0.993));
}

TEST(Play, ConveyorsKeepTheShotAliveUntilTheBrakeIsHeldOverThirtyFrames) {
    HeadlessGame game;
    PlayStage layout;
    // A box of rebound blocks around 3 x 3 conveyors that push up.
    for (int i = -1; i <= 3; ++i) {
        layout.blocks.push_back({300 + 32 * i, 168, 5});
        layout.blocks.push_back({300 + 32 * i, 296, 5});
    }
    for (int j = 0; j < 3; ++j) {
        layout.blocks.push_back({268, 200 + 32 * j, 5});
        layout.blocks.push_back({396, 200 + 32 * j, 5});
        for (int i = 0; i < 3; ++i)
            layout.blocks.push_back({300 + 32 * i, 200 + 32 * j, 13});
    }
    layout.startX = 340;
    layout.startY = 250;
    layout.angle = 135;  // straight up
    game.SetStage(layout);
    const int64_t p = PlayStart(0);
    const int64_t brake = p + 400;
    // 20 braking frames, a release, then the brake for good.
    const std::string keys = Fire() + std::to_string(brake - 22) + "-" + std::to_string(brake - 3) +
                             " Z\n" + std::to_string(brake) + "-" + std::to_string(brake + 40) +
                             " X\n";
    const RunResult run = game.Run(keys, brake + 40);
    ASSERT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.At(brake - 3, "brakeTime"), 20);
    EXPECT_EQ(run.At(brake - 1, "flying"), 1);
    EXPECT_EQ(run.At(brake + 29, "flying"), 1);
    EXPECT_EQ(run.At(brake + 30, "flying"), 0);
    EXPECT_EQ(run.At(brake + 30, "brakeTime"), 31);
    EXPECT_EQ(run.At(brake + 30, "rest"), 4);
}

TEST(Play, IceSuspendsFriction) {
    HeadlessGame game;
    PlayStage layout;
    for (int i = 0; i < 5; ++i)
        layout.blocks.push_back({360 + 32 * i, 196, 9});
    game.SetStage(layout);
    const RunResult run = game.Run(Fire(), PlayStart(0) + 30);
    int same = 0;
    int64_t f = PlayStart(0) + 3;
    for (; f < PlayStart(0) + 30; ++f) {
        if (run.At(f, "vx") == run.At(f - 1, "vx")) ++same;
    }
    // 160 pixels of ice at about 10 pixels a frame.
    EXPECT_GE(same, 12);
    EXPECT_LE(same, 17);
    EXPECT_EQ(run.At(PlayStart(0) + 3, "vx"), run.At(PlayStart(0) + 2, "vx") * 0.993);
}

TEST(Play, BoosterRaisesTheSpeedToFifteenAndDrawsItsRing) {
    HeadlessGame game;
    PlayStage layout;
    layout.blocks = {{420, 196, 15}};
    game.SetStage(layout);
    RunResult run = game.Run(Fire(), PlayStart(0) + 40);
    const int64_t b = run.FirstFrame("boostTime", 20);
    ASSERT_NE(b, 0);
    EXPECT_NEAR(std::hypot(run.At(b, "vx"), run.At(b, "vy")), 15, 1e-12);
    const std::vector<std::string> sounds = run.LogOf(b);
    ASSERT_GE(sounds.size(), 2u);
    EXPECT_EQ(sounds[0].substr(0, 20), "sound kir.wav -8000 ");
    EXPECT_EQ(sounds[1].substr(0, 19), "sound kir.wav 8000 ");
    for (int t = 19; t >= 0; --t)
        EXPECT_EQ(run.At(b + 20 - t, "boostTime"), t);
    // The ring's white dots: some 80 of them when it has grown to 112 pixels (t = 5), none
    // once it is over.
    const fs::path ring = game.Dir() / "ring.png", after = game.Dir() / "after.png";
    run = game.Run(Fire(), b + 22, "1",
                   {"--shot", std::to_string(b + 15) + ":" + ring.string(), "--shot",
                    std::to_string(b + 22) + ":" + after.string()});
    EXPECT_GT(WhitePixels(ring) - WhitePixels(after), 60);
}

TEST(Play, ToggleBlocksSwitchAtEightyOf161Frames) {
    HeadlessGame game;
    PlayStage layout;
    layout.blocks = {{500, 400, 16}, {540, 400, 17}};
    game.SetStage(layout);
    const int64_t p = PlayStart(0);
    const RunResult run = game.Run("", p + 170);
    EXPECT_EQ(run.At(p - 1, "blinkTimer"), 0);
    EXPECT_EQ(run.At(p, "blinkTimer"), 1);
    EXPECT_EQ(run.At(p + 78, "blinkTimer"), 79);
    EXPECT_EQ(run.At(p + 79, "blinkTimer"), 80);
    EXPECT_EQ(run.At(p + 159, "blinkTimer"), 160);
    EXPECT_EQ(run.At(p + 160, "blinkTimer"), 0);
    EXPECT_EQ(run.At(p + 161, "blinkTimer"), 1);
}

TEST(Play, CoinsScoreFiftyTimesTheirNumberAndTheNinthSoundsCoin8) {
    HeadlessGame game;
    PlayStage layout;
    for (int i = 0; i < 9; ++i)
        layout.coins.push_back({340 + 24 * i, 200});
    game.SetStage(layout);
    const RunResult run = game.Run(Fire(9), PlayStart(9) + 40);
    std::vector<std::string> coins;
    for (const std::string& line : run.log) {
        const size_t at = line.find("sound coin");
        if (at != std::string::npos) coins.push_back(line.substr(at + 6, 9));
    }
    const std::vector<std::string> expected{"coin1.wav", "coin2.wav", "coin3.wav",
                                            "coin4.wav", "coin5.wav", "coin6.wav",
                                            "coin7.wav", "coin8.wav", "coin8.wav"};
    EXPECT_EQ(coins, expected);
    const int64_t ninth = run.SoundFrames("coin8.wav").back();
    EXPECT_EQ(run.At(ninth, "score"), 50 * 45);
    EXPECT_EQ(run.At(ninth - 1, "score"), 50 * 36);
    EXPECT_EQ(run.At(ninth, "maxHit"), 9);
    EXPECT_EQ(run.At(ninth, "combo"), 10);
}

// The picture inside a rectangle of a saved frame, as RGB bytes.
std::string Region(const fs::path& png, int left, int top, int right, int bottom) {
    const testing_support::Picture picture = testing_support::ReadPng(png);
    if (picture.Empty()) return {};
    std::string out;
    for (int y = std::max(top, 0); y < std::min<int>(bottom, picture.height); ++y) {
        for (int x = std::max(left, 0); x < std::min<int>(right, picture.width); ++x) {
            const size_t i = 3 * (static_cast<size_t>(y) * picture.width + x);
            out.append(reinterpret_cast<const char*>(&picture.rgb[i]), 3);
        }
    }
    return out;
}

TEST(Play, HitTextsStandFor39FramesThenBlink) {
    HeadlessGame game;
    PlayStage layout;
    layout.startX = 300;
    layout.startY = 400;
    layout.angle = 135;  // straight up: the ball leaves the text behind
    layout.coins = {{300, 370}};
    game.SetStage(layout);
    RunResult run = game.Run(Fire(1), PlayStart(1) + 20);
    const int64_t hit = run.SoundFrames("coin1.wav").at(0);
    const int left = static_cast<int>(run.At(hit, "x") / 1.1 - 10);
    const int top = static_cast<int>(run.At(hit, "y"));
    // The text's clock shows t = 79 - k on the k-th frame after the hit.
    std::vector<std::string> extra;
    std::map<int, fs::path> shots;
    for (int t : {75, 60, 41, 40, 39, 2, 1, 0}) {
        shots[t] = game.Dir() / ("t" + std::to_string(t) + ".png");
        extra.insert(extra.end(),
                     {"--shot", std::to_string(hit + 79 - t) + ":" + shots[t].string()});
    }
    run = game.Run(Fire(1), hit + 80, "1", extra);
    for (auto& [t, path] : shots) {
        const int64_t f = hit + 79 - t;
        ASSERT_TRUE(run.At(f, "y") > top + 40 || run.At(f, "y") + 16 < top) << "ball in the way";
    }
    const std::string shown = Region(shots[75], left, top, left + 5 * 23, top + 23);
    const std::string hidden = Region(shots[0], left, top, left + 5 * 23, top + 23);
    ASSERT_FALSE(shown.empty());
    EXPECT_NE(shown, hidden);
    for (auto& [t, path] : shots) {
        const bool visible = (t >= 41 && t <= 79) || (t <= 40 && t % 2 == 1);
        EXPECT_EQ(Region(path, left, top, left + 5 * 23, top + 23), visible ? shown : hidden)
            << "t = " << t;
    }
}

TEST(Play, TheSameKeysOnTheSameStageGiveTheSameTrace) {
    HeadlessGame game;
    PlayStage layout;
    layout.blocks = {{420, 180, 1}, {200, 300, 12}, {500, 100, 15}, {100, 100, 9}, {400, 380, 2}};
    layout.coins = {{250, 250}, {450, 300}};
    layout.angle = 37;
    game.SetStage(layout);
    const std::string keys = Fire(2, "60-70 Left\n") + "100-120 X\n";
    const RunResult a = game.Run(keys, PlayStart(2) + 400);
    const RunResult b = game.Run(keys, PlayStart(2) + 400);
    EXPECT_EQ(b.traceText, a.traceText);
    EXPECT_EQ(a.log, b.log);
    EXPECT_GT(a.traceText.size(), 1000u);
}

TEST(Play, ShotLatchAndBrakeLatch) {
    HeadlessGame game;
    PlayStage layout;
    layout.startX = 40;
    layout.startY = 200;
    game.SetStage(layout);
    const int64_t p = PlayStart(0);
    // Space held from the program's start into play never fires; after a release it does.
    std::string keys = "1-" + std::to_string(p + 10) + " Space\n" + std::to_string(p + 13) + "-" +
                       std::to_string(p + 20) + " Space\n" + std::to_string(p + 23) + "-" +
                       std::to_string(p + 25) + " Space\n";
    const RunResult run = game.Run(keys, p + 26);
    for (int64_t f = p; f <= p + 12; ++f)
        EXPECT_EQ(run.At(f, "flying"), 0) << f;
    EXPECT_EQ(run.At(p + 13, "flying"), 1);
    // The button that fired does not brake until it has been released.
    for (int64_t f = p + 14; f <= p + 20; ++f)
        EXPECT_EQ(run.At(f, "brakeTime"), 0) << f;
    EXPECT_EQ(run.At(p + 23, "brakeTime"), 1);
    EXPECT_EQ(run.At(p + 25, "brakeTime"), 3);
    EXPECT_EQ(run.SoundFrames("rub.wav").size(), 3u);
}

TEST(Keys, F6AbandonsAFlyingShotAndF5EndsATestPlay) {
    HeadlessGame game;
    PlayStage layout;
    layout.angle = 20;
    game.SetStage(layout);
    const int64_t p = PlayStart(0);
    RunResult run = game.Run(Fire() + std::to_string(p + 10) + " F6\n", p + 12);
    EXPECT_EQ(run.At(p + 9, "flying"), 1);
    EXPECT_EQ(run.At(p + 10, "flying"), 0);
    EXPECT_EQ(run.At(p + 10, "rest"), 4);
    EXPECT_EQ(run.At(p + 10, "x"), 300);
    EXPECT_EQ(run.At(p + 10, "y"), 200);
    EXPECT_EQ(run.At(p + 10, "angle"), 20);
    EXPECT_EQ(run.At(p + 12, "scene"), ScenePlay::kId);

    run = game.Run(std::to_string(p + 5) + " F5\n", p + 50);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.state.Int("scene"), SceneTitle::kId);
    // The key arrives before frame p + 5, whose frame then never runs.
    EXPECT_EQ(run.trace.size(), static_cast<size_t>(p + 4));
    EXPECT_EQ(run.log.back().substr(run.log.back().find(' ')), " music stop");
}

TEST(StageClear, BonusesOnTheWindowsThirtySecondAndSixtySecondFramesThenTheTestPlayEnds) {
    HeadlessGame game;
    PlayStage layout;
    layout.coins = {{350, 200}};
    layout.blocks = {{440, 196, 10}};
    game.SetStage(layout);
    const int64_t p = PlayStart(1);
    RunResult run = game.Run(Fire(1), p + 200);
    const int64_t g = run.FirstFrame("scene", SceneStageClear::kId);
    ASSERT_NE(g, 0);
    EXPECT_EQ(run.At(g, "score"), 50);
    EXPECT_EQ(run.At(g, "rest"), 5);
    EXPECT_EQ(run.SoundFrames("clear.wav"), std::vector<int64_t>{g + 1});
    // 16 + 16 wipe frames, then the window: counter 31 on its 32nd frame, 61 on its 62nd.
    const int64_t window = g + 32;
    EXPECT_EQ(run.At(window + 31, "score"), 50);
    EXPECT_EQ(run.At(window + 32, "score"), 550);
    EXPECT_EQ(run.At(window + 61, "score"), 550);
    EXPECT_EQ(run.At(window + 62, "score"), 550 + 4000);
    EXPECT_EQ(run.SoundFrames("shya.wav"), (std::vector<int64_t>{window + 32, window + 62}));
    EXPECT_EQ(run.At(p + 200, "scene"), SceneStageClear::kId);

    // Space held from the winning shot on leaves as soon as the counter allows (the first
    // clear of a program needs no release), after the wipe; a test play then ends.
    run = game.Run(std::to_string(p + 1) + "-" + std::to_string(p + 400) + " Space\n", p + 400);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(static_cast<int64_t>(run.trace.size()), g + 32 + 91);
    EXPECT_EQ(run.state.Int("stageNo"), 2);
}

#ifdef ZARP_ZRPTOOL
TEST(Render, ZrptoolPaintsTheFirstFrameOfPlay) {
    HeadlessGame game;
    PlayStage layout;
    layout.blocks = {{420, 180, 1}, {200, 300, 12}, {500, 100, 16}, {100, 100, 10}, {64, 64, 99}};
    layout.coins = {{250, 250}, {450, 300}};
    layout.angle = 37;
    layout.rest = 7;
    game.SetStage(layout);
    const fs::path shot = game.Dir() / "play.png";
    game.Run("", PlayStart(2), "1", {"--shot", std::to_string(PlayStart(2)) + ":" + shot.string()});
    const fs::path set = game.Dir() / "set.zrp";
    testing_support::WriteBytes(set, StageFile(layout));
    const fs::path out = game.Dir() / "render.png";
    const std::string command =
        "'" ZARP_ZRPTOOL "' render '" + set.string() + "' 1 '" + out.string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(Region(out, 0, 0, 640, 480), Region(shot, 0, 0, 640, 480));
    EXPECT_EQ(Region(out, 0, 0, 640, 480).size(), 640u * 480 * 3);

    // A stage the set does not hold is refused.
    const std::string noStage =
        "'" ZARP_ZRPTOOL "' render '" + set.string() + "' 2 '" + out.string() + "' >/dev/null 2>&1";
    EXPECT_NE(std::system(noStage.c_str()), 0);
}
#endif

}  // namespace
}  // namespace zarp::test

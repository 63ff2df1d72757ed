// What the gameplay scenes put on the screen, in the test process on sheets made for the test
// (each cell one colour index), and the keys as the scripted keyboard reports them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/platform/headless/Headless.h"
#include "game/play/Hud.h"
#include "game/shell/Form.h"

namespace zarp {
namespace {

using headless::Machine;

// A form on headless devices with an empty stage slot 1, sounds as beeps and Shift held, so
// that no wait of a scene waits.
struct Game {
    Machine machine;
    std::unique_ptr<TForm1> form;

    Game() {
        form = std::make_unique<TForm1>(machine.platform, "./", std::vector<std::string>{});
        EXPECT_TRUE(form->media.MediaDevices.CreateDisplay(false));
        form->media.MediaDevices.beepMode = true;
        form->media.backgroundSurface = form->media.MediaDevices.CreateSurface(640, 480);
        form->session.stageNo = 1;
        form->stages.stageTotal = 3;
        AddEntity(64, 80);  // playerStart
        AddEntity(0, 5);    // stageSettings: angle 0, 5 shots
        machine.keyboard.SetHeld({platform::vk::Shift});
    }
    void AddEntity(int32_t x, int32_t y) {
        auto& n = form->stages.StageEntityTable.count[1];
        form->stages.StageEntityTable.x[1][static_cast<size_t>(n)] = x;
        form->stages.StageEntityTable.y[1][static_cast<size_t>(n)] = y;
        ++n;
    }
    void AddBlock(int32_t x, int32_t y, int32_t type) {
        auto& n = form->stages.StageBlockTable.count[1];
        form->stages.StageBlockTable.x[1][static_cast<size_t>(n)] = x;
        form->stages.StageBlockTable.y[1][static_cast<size_t>(n)] = y;
        form->stages.StageBlockTable.type[1][static_cast<size_t>(n)] = type;
        ++n;
    }
    // A sheet of one colour index.
    SurfacePtr Sheet(int32_t width, int32_t height, uint8_t index) {
        SurfacePtr sheet = form->media.MediaDevices.CreateSurface(width, height);
        std::fill(sheet->pixels.begin(), sheet->pixels.end(), index);
        return sheet;
    }
    static void Paint(Surface& sheet, int32_t l, int32_t t, int32_t r, int32_t b, uint8_t index) {
        for (int32_t y = t; y < b; ++y)
            for (int32_t x = l; x < r; ++x)
                sheet.At(x, y) = index;
    }
    Surface& Back() { return *form->media.MediaDevices.backBuffer; }
    // The colour index last presented at (x, y).
    int Shown(int x, int y) const {
        return machine.screen.pixels[static_cast<size_t>(y * 640 + x)];
    }
};

// Where the status line's texts end, with the font's 23-pixel advance: each glyph of the test
// font is a solid 23 x 23 square.
TEST(Hud, FillsItsStripAndPlacesStageScoreAndRest) {
    struct Case {
        int32_t stageNo, score, rest;
        int stageEnd, scoreEnd, restEnd;  // first column after each text
    };
    const Case cases[] = {
        {1, 0, 5, 161, 361, 628},
        {12, 123456, 10, 184, 476, 640},  // a two-digit rest is cut at the screen's edge
        {3, -50, 0, 161, 407, 628},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stageNo << " " << c.score << " " << c.rest);
        Game g;
        g.form->media.fontSheet = g.Sheet(311, 167, 200);
        std::fill(g.Back().pixels.begin(), g.Back().pixels.end(), 7);
        g.form->session.stageNo = c.stageNo;
        g.form->session.Player.score = c.score;
        g.form->session.Player.rest = c.rest;
        DrawHud(g.form->media, g.form->session);
        const Surface& b = g.Back();
        struct Span {
            int from, to;
        };
        for (Span s : {Span{0, c.stageEnd}, Span{200, c.scoreEnd}, Span{490, c.restEnd}}) {
            EXPECT_EQ(b.At(s.from, 452), 200) << s.from;
            EXPECT_EQ(b.At(s.to - 1, 474), 200) << s.from;
            EXPECT_NE(b.At(s.from, 475), 200) << s.from;
            if (s.to < 640) {
                EXPECT_EQ(b.At(s.to, 460), 0) << s.from;
            }
        }
        EXPECT_EQ(b.At(199, 460), 0);
        EXPECT_EQ(b.At(489, 460), 0);
        // The fill covers (0, 452)-(639, 479): not row 451, row 479 or column 639.
        EXPECT_EQ(b.At(0, 478), 0);
        EXPECT_EQ(b.At(638, 478), 0);
        EXPECT_EQ(b.At(639, 476), 7);
        EXPECT_EQ(b.At(300, 479), 7);
        EXPECT_EQ(b.At(300, 451), 7);
    }
}

TEST(DrawCoins, DrawsTheWholeCoinOfEachPresentEntryFromTheThirdOn) {
    struct Case {
        int32_t count;
        std::vector<std::pair<int, int>> coinAt;  // entry x, y where the whole coin must show
        std::vector<std::pair<int, int>> emptyAt;
    };
    // Entries: start (64, 80), settings (0, 5), coins at (100, 100), (200, 100) taken,
    // (300, 100); entry 5 at (400, 100) lies beyond the count.
    const Case cases[] = {
        {5, {{100, 100}, {300, 100}}, {{200, 100}, {400, 100}, {64, 80}, {0, 5}}},
        {3, {{100, 100}}, {{300, 100}, {64, 80}, {0, 5}}},
        {2, {}, {{100, 100}, {64, 80}, {0, 5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        Game g;
        g.form->media.coinSheet = g.Sheet(128, 16, 0);
        for (uint8_t k = 0; k < 8; ++k)
            Game::Paint(*g.form->media.coinSheet, 16 * k, 0, 16 * k + 16, 16,
                        static_cast<uint8_t>(100 + k));
        for (int x : {100, 200, 300, 400})
            g.AddEntity(x, 100);
        g.form->stages.StageEntityTable.count[1] = c.count;
        g.form->field.coinPresent.fill(1);
        g.form->field.coinPresent[3] = 0;
        std::fill(g.Back().pixels.begin(), g.Back().pixels.end(), 7);
        DrawCoins(g.form->media, g.form->stages, g.form->session, g.form->field);
        for (auto [x, y] : c.coinAt) {
            EXPECT_EQ(g.Back().At(x, y), 100) << x;
            EXPECT_EQ(g.Back().At(x + 15, y + 15), 100) << x;
            EXPECT_EQ(g.Back().At(x + 16, y), 7) << x;
        }
        for (auto [x, y] : c.emptyAt)
            EXPECT_EQ(g.Back().At(x + 8, y + 8), 7) << x << "," << y;
    }
}

// A toggle block shows the background tile and over it the face of its effect this frame:
// type 16 the rebound look while the clock is below 80, the needle look after; type 17 the
// other way round. The clock advances before the faces are drawn.
TEST(ToggleFaces, TheFaceShownIsTheEffectOfThisFrame) {
    constexpr int kTile = 10, kRebound = 20, kNeedle = 30;
    struct Case {
        int32_t type, blinkBefore;
        int face;
    };
    const Case cases[] = {{16, 0, kRebound},  {16, 78, kRebound},  {16, 79, kNeedle},
                          {16, 159, kNeedle}, {16, 160, kRebound}, {17, 0, kNeedle},
                          {17, 78, kNeedle},  {17, 79, kRebound},  {17, 160, kNeedle}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " at " << c.blinkBefore);
        Game g;
        g.form->media.blockSheet = g.Sheet(384, 96, 0);
        Surface& sheet = *g.form->media.blockSheet;
        Game::Paint(sheet, 352, 0, 384, 32, kTile);
        Game::Paint(sheet, 4, 68, 32, 96, kRebound);  // each face keeps a clear top-left corner
        Game::Paint(sheet, 100, 68, 128, 96, kNeedle);
        g.AddBlock(320, 160, c.type);
        g.form->field.toggleBlockCount = 1;
        g.form->field.blinkTimer = c.blinkBefore;
        g.form->session.Player.x = 64;
        g.form->session.Player.y = 80;
        g.form->scene = ScenePlay::kId;
        g.form->RunScene();  // an aiming frame, presented
        EXPECT_EQ(g.Shown(336, 176), c.face);
        EXPECT_EQ(g.Shown(321, 161), kTile);
    }
}

// While aiming, the ball stands at its truncated position and the marker 24 pixels away in
// the direction of the untruncated angle, with pi taken as 3.14159 (so straight down lands a
// hair short of 24 pixels and truncates to 23).
TEST(AimMarker, StandsTwentyFourPixelsOutAtTheUntruncatedAngle) {
    struct Case {
        double angle;
        int x, y;
    };
    const Case cases[] = {{0, 324, 200},   {22, 317, 216},  {22.5, 316, 216}, {45, 300, 223},
                          {135, 299, 176}, {180, 323, 199}, {359.5, 323, 199}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        Game g;
        g.form->media.playerSheet = g.Sheet(32, 16, 50);
        Game::Paint(*g.form->media.playerSheet, 16, 0, 32, 16, 60);
        Player& p = g.form->session.Player;
        p.x = 300;
        p.y = 200;
        p.angle = c.angle;
        g.form->scene = ScenePlay::kId;
        g.form->RunScene();
        int left = 640, top = 480;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                if (g.Shown(x, y) != 60) continue;
                left = std::min(left, x);
                top = std::min(top, y);
            }
        }
        EXPECT_EQ(left, c.x);
        EXPECT_EQ(top, c.y);
        EXPECT_EQ(g.Shown(c.x + 15, c.y + 15), 60);
        EXPECT_EQ(p.angle, c.angle);
    }
}

// The booster ring: t = 19 down to 0 over the 20 frames after the boost, dots of colour
// FFFFFF (index 255) around the centre taken on its first frame, at radius (400 - t * t) * 0.3
// and with the dots' step 322 - 16 t: about 180 r / step dots.
TEST(BoosterRing, RadiusAndDotsFollowTheRingsClock) {
    struct Case {
        int t;
        double radius;
        int dots;  // distinct dots; 0 where they crowd into the same pixels
    };
    const Case cases[] = {
        {19, 11.7, 0}, {15, 52.5, 116}, {10, 90, 100}, {5, 112.5, 84}, {0, 120, 68}};
    Game g;
    Player& p = g.form->session.Player;
    p.x = 300;
    p.y = 200;
    p.vx = 2;
    p.vy = 0;
    p.rest = 5;
    p.flying = true;
    p.boostTime = 20;
    g.form->scene = ScenePlay::kId;
    std::vector<std::vector<uint8_t>> pictures;
    for (int k = 0; k < 20; ++k) {
        g.form->RunScene();
        pictures.push_back(g.machine.screen.pixels);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t);
        const std::vector<uint8_t>& shown = pictures[static_cast<size_t>(19 - c.t)];
        int dots = 0;
        double nearest = 1e9, farthest = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                if (shown[static_cast<size_t>(y * 640 + x)] != 255) continue;
                ++dots;
                const double d = std::hypot(x - 308, y - 208);
                nearest = std::min(nearest, d);
                farthest = std::max(farthest, d);
            }
        }
        EXPECT_GT(nearest, c.radius - 1.5);
        EXPECT_LT(farthest, c.radius + 1.5);
        if (c.dots) {
            EXPECT_NEAR(dots, c.dots, 1);
        }
    }
    EXPECT_EQ(p.boostTime, 0);
}

// The stage start's title stands at x 80 for stages 1 to 9 and at x 40 from stage 10 on; the
// set-up counts only the toggle blocks (a type above 17 is neither drawn nor counted), brings
// every coin back, puts the ball at the start with the start angle and the stage's shots, off
// the last stage's ice, and carries the score on.
TEST(StageStartSetUp, TitlePlaceAndTheStageReset) {
    struct Case {
        int32_t stageNo;
        int titleX;
    };
    const Case cases[] = {{1, 80}, {9, 80}, {10, 40}, {16, 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stageNo);
        Game g;
        g.form->session.stageNo = c.stageNo;
        g.form->stages.stageTotal = 20;
        auto& e = g.form->stages.StageEntityTable;
        const auto slot = static_cast<size_t>(c.stageNo);
        e.count[slot] = 4;
        e.x[slot] = {64, 37, 100, 140};
        e.y[slot] = {80, 7, 300, 300};
        auto& b = g.form->stages.StageBlockTable;
        b.count[slot] = 4;
        b.x[slot] = {96, 160, 224, 288};
        b.y[slot] = {96, 96, 96, 96};
        b.type[slot] = {16, 99, 17, 5};
        g.form->media.blockSheet = g.Sheet(384, 96, 90);
        Game::Paint(*g.form->media.blockSheet, 352, 0, 384, 32, 91);  // the background tile
        g.form->media.fontSheet = g.Sheet(311, 167, 200);
        Player& p = g.form->session.Player;
        p.x = p.y = 500;
        p.angle = 3;
        p.score = 4321;
        p.rest = 1;
        p.flying = true;
        p.needleTime = 2;
        p.maxHit = 6;
        p.boostTime = 4;
        p.brakeTime = 9;
        p.noFriction = true;  // the last stage's goal lay on ice
        g.form->field.blinkTimer = 99;
        g.form->field.coinPresent.fill(0);
        g.form->scene = SceneStageStart::kId;
        g.form->RunScene();  // the set-up
        EXPECT_EQ(g.form->field.toggleBlockCount, 2);
        EXPECT_EQ(g.form->field.blinkTimer, 0);
        EXPECT_EQ(g.form->media.backgroundSurface->At(106, 106), 90);  // blocks over the tiles
        EXPECT_EQ(g.form->media.backgroundSurface->At(170, 106), 91);  // type 99: not drawn
        EXPECT_EQ(g.form->media.backgroundSurface->At(234, 106), 90);
        for (size_t i = 0; i < 4; ++i)
            EXPECT_EQ(g.form->field.coinPresent[i], 1) << i;
        EXPECT_EQ(g.form->field.coinPresent[4], 0);
        EXPECT_EQ(p.x, 64);
        EXPECT_EQ(p.y, 80);
        EXPECT_EQ(g.form->field.playerStartX, 64);
        EXPECT_EQ(g.form->field.playerStartY, 80);
        EXPECT_EQ(p.angle, 37);
        EXPECT_EQ(p.rest, 7);
        EXPECT_EQ(p.score, 4321);
        EXPECT_FALSE(p.flying);
        EXPECT_FALSE(p.noFriction);
        EXPECT_EQ(p.needleTime + p.maxHit + p.boostTime + p.brakeTime, 0);

        g.form->RunScene();  // the first title frame
        int left = 640, top = 480;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                if (g.Shown(x, y) != 200) continue;
                left = std::min(left, x);
                top = std::min(top, y);
            }
        }
        EXPECT_EQ(left, c.titleX);
        EXPECT_EQ(top, 150);
        EXPECT_EQ(g.Shown(c.titleX + 68, 150 + 68), 200);  // glyphs three times 23 pixels
        EXPECT_NE(g.Shown(c.titleX + 68, 150 + 69), 200);
    }
}

// The coins appear one a frame in table order, each through the cells 7 down to 0 (its timer
// of 16 lowered before the draw, halved), drawn from the phase's third frame on.
TEST(StageStartCoins, EachCoinRunsThroughTheCellsOfItsTimerHalved) {
    Game g;
    g.form->media.coinSheet = g.Sheet(128, 16, 0);
    for (uint8_t k = 0; k < 8; ++k)
        Game::Paint(*g.form->media.coinSheet, 16 * k, 0, 16 * k + 16, 16,
                    static_cast<uint8_t>(100 + k));
    for (int i = 0; i < 3; ++i)
        g.AddEntity(100 + 40 * i, 300);  // entries 2, 3, 4
    g.form->scene = SceneStageStart::kId;
    // shown[j][i]: the cell shown for entry i after the phase's frame j (1-based); -1 none.
    std::vector<std::vector<int>> shown(1);
    for (int call = 0; call < 200 && g.form->scene == SceneStageStart::kId; ++call) {
        const bool coinFrame = g.form->scenes.stageStart.frame == 51;
        g.form->RunScene();
        if (!coinFrame) continue;
        std::vector<int> cells;
        for (int i = 2; i < 5; ++i) {
            const int v = g.Shown(100 + 40 * (i - 2) + 8, 308);
            cells.push_back(v >= 100 && v <= 107 ? v - 100 : -1);
        }
        shown.push_back(cells);
    }
    struct Case {
        int phaseFrame, entry, cell;
    };
    const Case cases[] = {{1, 2, -1}, {2, 2, -1}, {3, 2, 7},  {3, 3, -1}, {4, 2, 7},  {4, 3, 7},
                          {5, 2, 6},  {5, 4, 7},  {6, 2, 6},  {7, 2, 5},  {17, 2, 0}, {18, 2, 0},
                          {18, 3, 0}, {18, 4, 1}, {19, 4, 0}, {20, 3, 0}, {20, 4, 0}};
    // With 5 entries the phase lasts 5 + 15 frames.
    ASSERT_EQ(shown.size(), 21u);
    for (const Case& c : cases) {
        EXPECT_EQ(shown[static_cast<size_t>(c.phaseFrame)][static_cast<size_t>(c.entry - 2)],
                  c.cell)
            << "frame " << c.phaseFrame << " entry " << c.entry;
    }
}

// The stage clear's window opens in two checkerboard passes over 16 frames each: first the
// cells with column and row both even or both odd grow from the left, then the others from
// the top.
TEST(StageClearWipe, TwoCheckerboardPassesOpenTheWindow) {
    constexpr int kWin = 40, kOld = 7;
    struct Case {
        int frame;  // of the scene, 1-based
        int c, r, dx, dy;
        int shown;
    };
    const Case cases[] = {
        {1, 0, 0, 0, 0, kWin},    {1, 0, 0, 0, 15, kWin},   {1, 0, 0, 1, 0, kOld},
        {1, 1, 1, 0, 0, kWin},    {1, 28, 6, 0, 0, kWin},   {1, 1, 0, 0, 0, kOld},
        {1, 29, 6, 0, 0, kOld},   {5, 2, 4, 4, 9, kWin},    {5, 2, 4, 5, 9, kOld},
        {16, 0, 0, 15, 15, kWin}, {16, 1, 0, 0, 0, kOld},   {17, 1, 0, 15, 0, kWin},
        {17, 1, 0, 0, 1, kOld},   {17, 0, 1, 7, 0, kWin},   {20, 29, 6, 11, 3, kWin},
        {20, 29, 6, 11, 4, kOld}, {32, 1, 0, 15, 15, kWin}, {32, 29, 6, 15, 15, kWin},
    };
    Game g;
    g.form->media.cwinSheet = g.Sheet(480, 50, kWin);
    std::fill(g.Back().pixels.begin(), g.Back().pixels.end(), kOld);
    g.form->session.Player.x = 20;
    g.form->session.Player.y = 20;
    g.form->scene = SceneStageClear::kId;
    std::vector<std::vector<uint8_t>> pictures(1);
    for (int f = 1; f <= 32; ++f) {
        g.form->RunScene();
        pictures.push_back(g.machine.screen.pixels);
    }
    for (const Case& c : cases) {
        const int x = 80 + 16 * c.c + c.dx, y = 160 + 16 * c.r + c.dy;
        EXPECT_EQ(pictures[static_cast<size_t>(c.frame)][static_cast<size_t>(y * 640 + x)], c.shown)
            << "frame " << c.frame << " cell " << c.c << "," << c.r << " +" << c.dx << "," << c.dy;
    }
    EXPECT_EQ(g.form->scenes.stageClear.phase, 2);
}

// Once both passes are done, the window's draw asks for 112 rows of the 50-row window picture
// and is refused: the checkerboard of the passes stays the window, with none of the picture's
// other pieces (the title's menu bar below row 16) inside it.
TEST(StageClearWipe, TheWindowIsTheCheckerboardOfThePasses) {
    constexpr int kWin = 40, kBar = 9, kOld = 7;
    Game g;
    g.form->media.cwinSheet = g.Sheet(480, 50, kWin);
    for (int32_t y = 16; y < 50; ++y) {
        for (int32_t x = 0; x < 480; ++x)
            g.form->media.cwinSheet->At(x, y) = kBar;
    }
    std::fill(g.Back().pixels.begin(), g.Back().pixels.end(), kOld);
    g.form->scene = SceneStageClear::kId;
    for (int f = 1; f <= 33; ++f)
        g.form->RunScene();
    ASSERT_EQ(g.form->scenes.stageClear.phase, 2);
    const std::vector<uint8_t>& shown = g.machine.screen.pixels;
    // Cells (0, 1) to (29, 3): rows 176 to 223 of the window, where the picture's second and
    // third strips of 16 rows would land.
    for (int32_t y = 176; y < 224; ++y) {
        for (int32_t x = 80; x < 560; ++x) {
            ASSERT_EQ(shown[static_cast<size_t>(y * 640 + x)], kWin) << x << "," << y;
        }
    }
}

// F6 during a stage clear (the ball still counts as flying) can spend the last shot and hand
// over to the game over in the middle of the window. The next clear of that stage still begins
// at its first frame: the clear sound, both passes, and the MaxHit bonus on the window's 32nd
// frame.
TEST(StageClearRestart, AClearCutShortByF6BeginsAgainAfterTheContinue) {
    Game g;
    g.form->session.Player.rest = 1;
    g.form->session.Player.flying = true;
    g.form->session.Player.maxHit = 2;
    g.form->ChangeScene(SceneStageClear::kId);
    for (int f = 0; f < 40; ++f)
        g.form->RunScene();
    g.form->FormKeyDown(platform::vk::F6);
    ASSERT_EQ(g.form->scene, SceneGameOver::kId);
    ASSERT_EQ(g.form->session.Player.rest, 0);

    // The continue: the stage starts again and is cleared again, each through the door a
    // scene hands over by.
    g.form->ChangeScene(SceneStageStart::kId);
    for (int f = 0; f < 200 && g.form->scene == SceneStageStart::kId; ++f)
        g.form->RunScene();
    ASSERT_EQ(g.form->scene, ScenePlay::kId);
    EXPECT_EQ(g.form->session.Player.rest, 5);
    g.form->session.Player.score = 0;
    g.form->session.Player.maxHit = 3;
    g.form->ChangeScene(SceneStageClear::kId);
    for (int f = 1; f <= 63; ++f)
        g.form->RunScene();
    EXPECT_EQ(g.form->session.Player.score, 0);
    g.form->RunScene();
    EXPECT_EQ(g.form->session.Player.score, 1500);
}

// The keyboard also reports a press made since the previous question. A tap between two frames
// is therefore seen only by the frame's first question, the brake latch's ActA: it neither
// fires nor brakes; a tap of X, first asked by the brake, brakes one frame.
TEST(Taps, ATapBetweenFramesIsSeenByTheFramesFirstQuestionOnly) {
    struct Case {
        const char* what;
        bool flying;
        int key;
        bool tap;  // pressed and released before the frame; else held through it
        bool flyingAfter;
        int32_t brakeAfter;
    };
    using namespace platform;
    const Case cases[] = {
        {"Space tapped while aiming", false, vk::Space, true, false, 0},
        {"Space held while aiming", false, vk::Space, false, true, 0},
        {"Z tapped in flight", true, vk::Letter('Z'), true, true, 0},
        {"Z held in flight", true, vk::Letter('Z'), false, true, 1},
        {"X tapped in flight", true, vk::Letter('X'), true, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Game g;
        g.form->scene = ScenePlay::kId;
        g.form->scenes.play.shotLatch = false;
        Player& p = g.form->session.Player;
        p.x = 300;
        p.y = 200;
        p.vx = 3;
        p.vy = 0;
        p.rest = 5;
        p.flying = c.flying;
        p.brakeLatch = false;
        g.machine.keyboard.SetHeld({c.key});
        if (c.tap) g.machine.keyboard.SetHeld({});
        g.form->RunScene();
        EXPECT_EQ(p.flying, c.flyingAfter);
        EXPECT_EQ(p.brakeTime, c.brakeAfter);
    }
}

}  // namespace
}  // namespace zarp

// The title menu: the cursor bar's place for each item, the moves it refuses, the hidden start.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/scenes/Fixture.h"
#include "tests/scenes/Stages.h"

namespace zarp::test {
namespace {

// The bar is pink: strong red and blue, little green. Text is white, the tiles dark blue.
bool Pink(Picture::Rgb c) {
    return c.r >= 120 && c.b >= 100 && c.g + 60 <= c.r;
}

// Pink pixels across the bar's width in the middle row of item `item`'s bar.
int PinkInItemRow(const Picture& p, int item) {
    const int y = 295 + 28 * item + 16;
    int n = 0;
    for (int x = 185; x < 471; ++x)
        n += Pink(p.At(x, y));
    return n;
}

int CountLog(const RunResult& r, const std::string& text) {
    int n = 0;
    for (const std::string& l : r.log)
        n += l.find(text) != std::string::npos;
    return n;
}

TEST(SceneTitle, TheBarStandsOnTheChosenItemAndRefusesDeadEndsAndUpDownTogether) {
    Fixture fx;
    fx.WriteStages("stage.dat", StraightShotSet());
    // Shots 32 frames apart, so the drifting tiles stand alike in all of them.
    std::vector<std::string> shots;
    for (int k = 0; k < 5; ++k) {
        shots.push_back(std::to_string(10 + 32 * k) + ":" +
                        (fx.dir() / ("item" + std::to_string(k) + ".png")).string());
    }
    RunResult r = fx.Run(180, KeyScript("title-menu.keys"), shots);
    ASSERT_EQ(r.exitStatus, 0) << r.Output();

    // Shots 0..3: the bar on items 0..3; shot 4 (after Down on EXIT and Up with Down): still 3.
    const int expected[5] = {0, 1, 2, 3, 3};
    for (int k = 0; k < 5; ++k) {
        const Picture p = ReadPng(fx.dir() / ("item" + std::to_string(k) + ".png"));
        ASSERT_FALSE(p.Empty()) << k;
        for (int item = 0; item < 4; ++item) {
            if (item == expected[k]) {
                EXPECT_GT(PinkInItemRow(p, item), 100) << "shot " << k << " item " << item;
            } else {
                EXPECT_EQ(PinkInItemRow(p, item), 0) << "shot " << k << " item " << item;
            }
        }
    }

    // "trub.wav" for the four moves only (Down, Down, Down, Up), never for the refused ones.
    EXPECT_EQ(CountLog(r, "sound trub.wav 0"), 4);
    for (int refused : {5, 116, 125}) {
        for (const std::string& l : r.log) {
            EXPECT_FALSE(l.rfind(std::to_string(refused) + " sound trub", 0) == 0) << l;
        }
    }

    // Button A during the slide did nothing; once the bar stood still it took USER'S STAGE,
    // and the title's music went on.
    EXPECT_EQ(r.Frame(160).Int("scene"), kTitle);
    EXPECT_EQ(r.Frame(170).Int("scene"), kUserSelect);
    EXPECT_EQ(r.Frame(170).Int("stageNo"), 1);
    EXPECT_EQ(r.Frame(170).Int("credit"), 5);
    EXPECT_EQ(CountLog(r, "music stop"), 1) << "only the opening's piece change";
}

TEST(SceneTitle, TheTilesDriftOnePixelUpAndLeftPerFrame) {
    Fixture fx;
    fx.WriteStages("stage.dat", StraightShotSet());
    const std::string a = (fx.dir() / "a.png").string(), b = (fx.dir() / "b.png").string();
    RunResult r = fx.Run(12, "1 Space\n", {"10:" + a, "11:" + b});
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    const Picture first = ReadPng(a), second = ReadPng(b);
    ASSERT_FALSE(first.Empty());
    ASSERT_FALSE(second.Empty());
    // Between the title picture and the menu only tiles show: the second frame is the first
    // moved by (-1, -1), and the two are not the same picture.
    int same = 0, moved = 0;
    for (int y = 210; y < 290; ++y) {
        for (int x = 0; x < 630; ++x) {
            moved += second.At(x, y) == first.At(x + 1, y + 1);
            same += second.At(x, y) == first.At(x, y);
        }
    }
    EXPECT_EQ(moved, 80 * 630);
    EXPECT_LT(same, 80 * 630);
}

TEST(SceneTitle, HiddenStartBeginsAtStageEightWithTenThousandPoints) {
    Fixture fx;
    fx.WriteStages("stage.dat", StraightShotSet());
    RunResult r = fx.Run(
        41, KeyScript("hidden-start.keys"),
        {"5:" + (fx.dir() / "plain.png").string(), "37:" + (fx.dir() / "armed.png").string()});
    ASSERT_EQ(r.exitStatus, 0) << r.Output();

    const Json& started = r.Frame(40);
    EXPECT_EQ(started.Int("scene"), kStageStart);
    EXPECT_EQ(started.Int("stageNo"), 8);
    EXPECT_EQ(started.Int("score"), 10000);
    EXPECT_EQ(started.Int("credit"), 5);

    // "You can start to STAGE8" at half size in the top-left corner, and nothing else changed.
    const Picture plain = ReadPng(fx.dir() / "plain.png");
    const Picture armed = ReadPng(fx.dir() / "armed.png");
    ASSERT_FALSE(plain.Empty());
    ASSERT_FALSE(armed.Empty());
    int inside = 0, outside = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (plain.At(x, y) == armed.At(x, y)) continue;
            (x < 23 * 23 / 2 + 1 && y < 12 ? inside : outside) += 1;
        }
    }
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);
}

struct HiddenKeyCase {
    const char* what;
    const char* keys;   // after the opening's skip; the title's first frame is frame 3
    int64_t startedIn;  // the frame that takes START GAME
    int32_t stageNo, score;
};

TEST(SceneTitle, TheHiddenStartLastsOneVisitAndAKeyHeldIntoTheTitleArmsNothing) {
    const HiddenKeyCase cases[] = {
        {"held into the first frame: the title waits for its release", "2-3 H\n12 Space\n", 12, 1,
         0},
        {"pressed on the title: armed", "4 H\n12 Space\n", 12, 8, 10000},
        // RANKING from frame 20, back in frame 30; the next visit's START GAME is a plain one.
        {"a choice disarms it", "4 H\n10 Down\n20 Space\n30 Space\n40 Space\n", 40, 1, 0},
    };
    for (const HiddenKeyCase& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture fx;
        fx.WriteStages("stage.dat", StraightShotSet());
        RunResult r = fx.Run(c.startedIn + 2, std::string("1 Space\n") + c.keys);
        ASSERT_EQ(r.exitStatus, 0) << r.Output();
        ASSERT_EQ(r.Frame(3).Int("scene"), kTitle);
        ASSERT_EQ(r.Frame(c.startedIn - 1).Int("scene"), kTitle);
        const Json& started = r.Frame(c.startedIn);
        EXPECT_EQ(started.Int("scene"), kStageStart);
        EXPECT_EQ(started.Int("stageNo"), c.stageNo);
        EXPECT_EQ(started.Int("score"), c.score);
    }
}

TEST(SceneTitle, RankingSwapsTheMusicAndLaterVisitsWaitForARelease) {
    Fixture fx;
    fx.WriteStages("stage.dat", StraightShotSet());
    RunResult r = fx.Run(90, KeyScript("title-ranking.keys"));
    ASSERT_EQ(r.exitStatus, 0) << r.Output();

    EXPECT_EQ(r.Frame(20).Int("scene"), kRankingView);
    auto logAt = [&](int64_t frame) {
        std::vector<std::string> lines;
        for (const std::string& l : r.log) {
            if (std::atoll(l.c_str()) == frame) lines.push_back(l.substr(l.find(' ') + 1));
        }
        return lines;
    };
    EXPECT_EQ(logAt(20), std::vector<std::string>{"music stop"});
    const std::vector<std::string> view = {"music close", "music open bgm02.mid",
                                           "music play bgm02.mid"};
    EXPECT_EQ(logAt(21), view);
    EXPECT_EQ(r.Frame(30).Int("scene"), kTitle);
    EXPECT_TRUE(r.FirstLogFrame("music play bgm01.mid") == 3);
    EXPECT_EQ(logAt(31).back(), "music play bgm01.mid") << "a new visit restarts the title piece";

    EXPECT_EQ(r.Frame(50).Int("scene"), kRankingView);
    EXPECT_EQ(r.Frame(79).Int("scene"), kRankingView) << "held A does not leave";
    EXPECT_EQ(r.Frame(80).Int("scene"), kTitle);
}

// The fixture pieces last 5 s (about 313 frames); a piece that repeats is played again.
TEST(SceneTitle, TheTitleAndRankingPiecesRepeat) {
    const struct {
        const char* keys;
        const char* play;
    } cases[] = {
        {"1 Space\n", "music play bgm01.mid"},
        {"1 Space\n10 Down\n20 Space\n", "music play bgm02.mid"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.play);
        Fixture fx;
        fx.WriteStages("stage.dat", StraightShotSet());
        RunResult r = fx.Run(400, c.keys);
        ASSERT_EQ(r.exitStatus, 0) << r.Output();
        EXPECT_EQ(CountLog(r, c.play), 2);
    }
}

TEST(SceneTitle, ExitEndsTheProgramAndWritesTheRanking) {
    Fixture fx;
    fx.WriteStages("stage.dat", StraightShotSet());
    RunResult r = fx.Run(200, KeyScript("title-exit.keys"));
    EXPECT_EQ(r.exitStatus, 0) << r.Output();
    EXPECT_EQ(r.trace.size(), 41u) << "the frame after the choice closes the program";
    EXPECT_EQ(r.state.Int("exitStatus"), 0);
    for (const std::string& l : r.log) {
        EXPECT_FALSE(std::atoll(l.c_str()) >= 40 && l.find("music stop") != std::string::npos) << l;
    }
    EXPECT_TRUE(std::filesystem::exists(fx.dir() / "zarp.dat"));
}

}  // namespace
}  // namespace zarp::test

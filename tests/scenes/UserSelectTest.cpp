// The user stage selection: the list, the cursor's repeat and wrap, the ways back, and the
// start-up list's limit of 18 files.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/scenes/Fixture.h"
#include "tests/scenes/Stages.h"

namespace zarp::test {
namespace {

// A one-stage set whose shot count tells which file was loaded.
StageLayout SetWithRest(int32_t rest) {
    StageLayout layout = StraightShotSet(2, "ZARP TESTER");
    layout.stages[0].rest = rest;
    return layout;
}

// The shot count of the first playing frame: which file was loaded.
int32_t RestInPlay(const RunResult& r) {
    const int64_t f = r.FirstFrameOfScene(kPlay);
    return f ? r.Frame(f).Int("rest") : -1;
}

int CountLog(const RunResult& r, const std::string& text) {
    int n = 0;
    for (const std::string& l : r.log)
        n += l.find(text) != std::string::npos;
    return n;
}

struct SelectCase {
    const char* what;
    const char* keys;  // from frame 40 on
    int32_t rest;      // of the loaded file; -1 when none is loaded
    int ticks;
};

// Files a.zrp, b.zrp, c.zrp with 3, 5 and 7 shots; the cursor starts on a.zrp.
const SelectCase kSelectCases[] = {
    {"the first file", "40 Space\n", 3, 0},
    {"one frame of down only counts", "40 Down\n50 Space\n", 3, 0},
    {"two frames of down move once", "40-41 Down\n50 Space\n", 5, 1},
    {"held down moves every third frame and wraps", "40-50 Down\n60 Space\n", 5, 4},
    {"up from the first wraps to the last", "40-41 Up\n50 Space\n", 7, 1},
    {"up and down together cancel", "40-49 Up Down\n60 Space\n", 3, 0},
    {"B goes back to the title", "40 X\n", -1, 0},
    {"A and B together: the title wins", "40 Space X\n", -1, 0},
};

TEST(SceneUserSelect, CursorRepeatWrapAndChoice) {
    for (const SelectCase& c : kSelectCases) {
        SCOPED_TRACE(c.what);
        Fixture fx;
        fx.WriteStages("a.zrp", SetWithRest(3));
        fx.WriteStages("b.zrp", SetWithRest(5));
        fx.WriteStages("c.zrp", SetWithRest(7));
        RunResult r = fx.Run(200, KeyScript("to-user-select.keys") + c.keys);
        ASSERT_EQ(r.exitStatus, 0) << r.Output();
        ASSERT_EQ(r.Frame(31).Int("scene"), kUserSelect);
        EXPECT_EQ(CountLog(r, "sound tick.wav 0"), c.ticks);
        EXPECT_EQ(RestInPlay(r), c.rest);
        if (c.rest < 0) {
            EXPECT_EQ(r.state.Int("scene"), kTitle);
            EXPECT_GT(CountLog(r, "music stop"), 1);
        } else {
            EXPECT_TRUE(r.state.Int("userStageMode"));
            EXPECT_EQ(r.Frame(r.FirstFrameOfScene(kStageStart)).Int("stageNo"), 1);
            EXPECT_GE(r.FirstLogFrame("music play bgm00.mid"), 40)
                << "the title music played until the choice";
        }
    }
}

TEST(SceneUserSelect, TheListIgnoresLetterCaseAndTiesGoByBytes) {
    struct Case {
        std::vector<std::pair<const char*, int32_t>> files;  // name, shots
        int32_t firstRest;                                   // of the file listed first
    };
    const Case cases[] = {
        {{{"Zeta.zrp", 3}, {"alpha.zrp", 5}}, 5},
        {{{"alpha.zrp", 5}, {"Alpha.zrp", 7}, {"beta.zrp", 3}}, 7},
    };
    for (const Case& c : cases) {
        Fixture fx;
        for (const auto& [name, rest] : c.files)
            fx.WriteStages(name, SetWithRest(rest));
        RunResult r = fx.Run(120, KeyScript("to-user-select.keys") + "40 Space\n");
        ASSERT_EQ(r.exitStatus, 0) << r.Output();
        EXPECT_EQ(RestInPlay(r), c.firstRest) << c.files.front().first;
    }
}

TEST(SceneUserSelect, TheCursorSurvivesAReturnToTheTitle) {
    Fixture fx;
    fx.WriteStages("a.zrp", SetWithRest(3));
    fx.WriteStages("b.zrp", SetWithRest(5));
    // Down to b.zrp, back with B, USER'S STAGE again (the title starts on START GAME), choose.
    RunResult r = fx.Run(200, KeyScript("to-user-select.keys") +
                                  "40-41 Down\n50 X\n60 Down\n70 Down\n80 Space\n90 Space\n");
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    EXPECT_EQ(r.Frame(50).Int("scene"), kTitle);
    EXPECT_EQ(r.Frame(80).Int("scene"), kUserSelect);
    EXPECT_EQ(RestInPlay(r), 5);
}

TEST(SceneUserSelect, NoDataOffersOnlyTheWayBack) {
    Fixture fx;
    const std::string shot = (fx.dir() / "nodata.png").string();
    RunResult r =
        fx.Run(70, KeyScript("to-user-select.keys") + "40 X\n50 Down\n60 Space\n", {"45:" + shot});
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    EXPECT_EQ(r.Frame(59).Int("scene"), kUserSelect) << "B and down do nothing";
    EXPECT_EQ(r.Frame(60).Int("scene"), kTitle);
    EXPECT_EQ(CountLog(r, "sound tick.wav"), 0);

    // "No data!!" in white at (220, 220), nine glyphs.
    const Picture p = ReadPng(shot);
    ASSERT_FALSE(p.Empty());
    int ink = 0;
    for (int y = 220; y < 243; ++y) {
        for (int x = 220; x < 220 + 9 * 23; ++x)
            ink += p.At(x, y).r + p.At(x, y).g > 400;
    }
    EXPECT_GT(ink, 150);
}

TEST(SceneUserSelect, AnEmptyListLeftWithALeavesTheLatchOpen) {
    Fixture fx;
    // Back to the title with A at frame 40; USER'S STAGE again with A held from frame 70: the
    // list's first frame (71) takes the held A at once, since leaving an empty list sets no latch.
    RunResult r =
        fx.Run(90, KeyScript("to-user-select.keys") + "40 Space\n50 Down\n60 Down\n70-80 Space\n");
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    EXPECT_EQ(r.Frame(40).Int("scene"), kTitle);
    EXPECT_EQ(r.Frame(70).Int("scene"), kUserSelect);
    EXPECT_EQ(r.Frame(71).Int("scene"), kTitle);
}

TEST(SceneUserSelect, NineteenFilesAreReportedAndEighteenListed) {
    Fixture fx;
    for (int k = 1; k <= 19; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "f%02d.zrp", k);
        fx.WriteStages(name, SetWithRest(k % 9 + 1));
    }
    // Up from the first file wraps to the last listed one, f18.zrp.
    RunResult r = fx.Run(200, KeyScript("to-user-select.keys") + "40-41 Up\n50 Space\n");
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    EXPECT_TRUE(r.LogHas("ステージファイル(*.zrp) が１９個以上あるので、一部読み込めませんでした"));
    EXPECT_EQ(RestInPlay(r), 18 % 9 + 1);
}

TEST(SceneUserSelect, TheMarkStandsLeftOfTheHighlightedLabel) {
    Fixture fx;
    fx.WriteStages("a.zrp", SetWithRest(3));
    fx.WriteStages("b.zrp", SetWithRest(5));
    // Shots 32 frames apart, so the creeping background stands alike: cursor on a, then b.
    const std::string first = (fx.dir() / "first.png").string();
    const std::string second = (fx.dir() / "second.png").string();
    RunResult r = fx.Run(80, KeyScript("to-user-select.keys") + "50-51 Down\n",
                         {"40:" + first, "72:" + second});
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    const Picture a = ReadPng(first);
    const Picture b = ReadPng(second);
    ASSERT_FALSE(a.Empty());
    ASSERT_FALSE(b.Empty());
    // Only the mark moved: from (2, 34) to (2, 58), 16 x 16 each.
    int inMarks = 0, elsewhere = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (a.At(x, y) == b.At(x, y)) continue;
            const bool mark = x >= 2 && x < 18 && ((y >= 34 && y < 50) || (y >= 58 && y < 74));
            (mark ? inMarks : elsewhere) += 1;
        }
    }
    EXPECT_GT(inMarks, 50);
    EXPECT_EQ(elsewhere, 0);
}

}  // namespace
}  // namespace zarp::test

// The ranking routine: where a new score goes, the name entry's letter grid, and what reaches
// zarp.dat.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/profile/Profile.h"
#include "game/shell/Ranking.h"
#include "tests/scenes/Fixture.h"
#include "tests/scenes/Stages.h"

namespace zarp::test {
namespace {

constexpr int32_t kFinalScore = 50;  // the one coin of the quick-loss stage

std::string RankingText(const RankInts& scores, const RankInts& stages, const RankNames& names) {
    IniFile profile;
    WriteRanking(profile, scores, stages, names);
    return profile.Text();
}

struct NameCase {
    const char* what;
    std::string keys;  // from frame 200 on; the name entry has begun by then
    const char* name;
    bool left;  // the entry ended and the title followed
};

// "A" ten times: the cursor then stands on the end mark (row 2, column 25).
std::string TenTimesA() {
    std::string keys;
    for (int k = 0; k < 10; ++k)
        keys += std::to_string(200 + 10 * k) + " Space\n";
    return keys;
}

// Row 0 is A..Z, row 1 a..z, row 2 " 0123456789+-:*!?/@,.&()<>"; the cursor starts on "A".
std::vector<NameCase> NameCases() {
    return {
        {"A at once", "200 Space\n", "A", false},
        {"right held 4 frames does not move", "200-203 Right\n210 Space\n", "A", false},
        {"right held 5 frames moves once", "200-204 Right\n210 Space\n", "B", false},
        {"right held 10 frames moves twice", "200-209 Right\n215 Space\n", "C", false},
        {"short presses add up", "200-202 Right\n205-206 Right\n210 Space\n", "B", false},
        {"left from column 0 wraps to Z", "200-204 Left\n210 Space\n", "Z", false},
        {"up from row 0 wraps to row 2", "200-204 Up\n205-209 Right\n215 Space\n", "0", false},
        {"a second A within five frames does nothing", "200 Space\n204 Space\n", "A", false},
        {"a second A five frames later counts", "200 Space\n205 Space\n", "AA", false},
        {"A held types once", "200-230 Space\n", "A", false},
        {"B deletes the last letter", "200 Space\n210 Space\n220 X\n", "A", false},
        {"B held deletes every 5 frames", "200 Space\n210 Space\n220 Space\n230-235 X\n", "A",
         false},
        {"B held 5 frames deletes once", "200 Space\n210 Space\n220 Space\n230-234 X\n", "AA",
         false},
        {"the left arrow deletes", "200 Space\n210 Space\n220-224 Up\n230-239 Left\n245 Space\n",
         "A", false},
        {"the end mark at once leaves an empty name", "200-204 Up\n210-214 Left\n220 Space\n", "",
         true},
        {"A ten times, then the end mark", TenTimesA() + "310 Space\n", "AAAAAAAAAA", true},
        // Down from the end mark wraps to row 0, column 25: "Z" replaces the tenth letter.
        {"a letter after ten replaces the tenth", TenTimesA() + "300-304 Down\n310 Space\n",
         "AAAAAAAAAZ", false},
        {"one deletion of a full name takes two letters",
         TenTimesA() + "300-304 Down\n310 Space\n320 X\n", "AAAAAAAA", false},
    };
}

TEST(SceneNameEntry, LetterGridCases) {
    for (const NameCase& c : NameCases()) {
        SCOPED_TRACE(c.what);
        Fixture fx;
        fx.WriteStages("stage.dat", QuickLossSet());
        RunResult r = fx.Run(360, KeyScript("to-name-entry.keys") + c.keys);
        ASSERT_EQ(r.exitStatus, 0) << r.Output();
        ASSERT_EQ(r.Frame(195).Int("scene"), kNameEntry);
        ASSERT_EQ(r.state["rankName"].items.size(), 10u);
        EXPECT_EQ(r.state["rankName"].items[0].text, c.name);
        EXPECT_EQ(r.state["rankScore"].items[0].number, kFinalScore);
        EXPECT_EQ(r.state.Int("scene") == kTitle, c.left);
    }
}

TEST(SceneNameEntry, LeavingResetsTheGridCursorButNotTheHoldCounters) {
    Fixture fx;
    fx.WriteStages("stage.dat", QuickLossSet());
    // First entry: up to row 2, left to ">" (column 25), right held 3 frames (too short to
    // move), then ">" ends it with an empty name. The same game again, 235 frames later; in its
    // entry right is held 2 frames: with the 3 left over that moves the cursor from "A" to "B".
    const std::string keys = KeyScript("to-name-entry.keys") +
                             "200-204 Up\n210-214 Left\n220-222 Right\n230 Space\n"
                             "240 Space\n335 Space\n365-425 X\n435-436 Right\n440 Space\n";
    RunResult r = fx.Run(450, keys);
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    ASSERT_EQ(r.Frame(229).Int("scene"), kNameEntry);
    ASSERT_EQ(r.Frame(231).Int("scene"), kTitle);
    ASSERT_EQ(r.Frame(430).Int("scene"), kNameEntry);
    // Both games scored 50: the second entry goes below the first.
    EXPECT_EQ(r.state["rankName"].items.at(0).text, "");
    EXPECT_EQ(r.state["rankName"].items.at(1).text, "B");
    EXPECT_EQ(r.state["rankScore"].items.at(1).number, kFinalScore);
}

TEST(SceneNameEntry, QuittingWithF9KeepsTheNameSoFarInZarpDat) {
    Fixture fx;
    fx.WriteStages("stage.dat", QuickLossSet());
    RunResult r = fx.Run(
        400, KeyScript("to-name-entry.keys") + "200 Space\n210-214 Right\n220 Space\n250 F9\n");
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    EXPECT_EQ(r.trace.size(), 249u) << "F9 arrives before frame 250 and ends the run";

    IniFile profile;
    ASSERT_TRUE(ReadProfile((fx.dir() / "zarp.dat").string(), profile, nullptr));
    EXPECT_EQ(profile.Get("Name", "1st").value_or("?"), "AB");
    EXPECT_EQ(profile.GetInt("Score", "1st", -1), kFinalScore);
    EXPECT_EQ(profile.GetInt("Stage", "1st", -1), 1);
    EXPECT_EQ(profile.Get("Name", "2nd").value_or("?"), "----------");
    RankInts scores{}, stages{};
    scores[0] = kFinalScore;
    for (int p = 0; p < 10; ++p)
        stages[p] = 1;
    EXPECT_EQ(profile.GetInt("Setting", "Sum", -1), RankingChecksum(scores, stages));
}

TEST(SceneNameEntry, CursorsStandOnTheirSquares) {
    Fixture fx;
    fx.WriteStages("stage.dat", QuickLossSet());
    // Name "AB" (the name cursor on the third place of row 0), grid cursor on "B".
    std::vector<std::string> shots;
    for (int f = 250; f < 261; ++f) {
        shots.push_back(std::to_string(f) + ":" +
                        (fx.dir() / (std::to_string(f) + ".png")).string());
    }
    RunResult r = fx.Run(
        262, KeyScript("to-name-entry.keys") + "200 Space\n210-214 Right\n220 Space\n", shots);
    ASSERT_EQ(r.exitStatus, 0) << r.Output();

    const Picture::Rgb yellow{255, 255, 0}, darkCyan{0, 127, 127};
    int shown = 0;
    for (int f = 250; f < 261; ++f) {
        const Picture p = ReadPng(fx.dir() / (std::to_string(f) + ".png"));
        ASSERT_FALSE(p.Empty());
        // The name cursor: 13 x 13 yellow at (410 + 23 x 2, 80), shown 5 frames of every 11.
        int yellowInside = 0;
        for (int y = 80; y < 93; ++y) {
            for (int x = 456; x < 469; ++x)
                yellowInside += p.At(x, y) == yellow;
        }
        EXPECT_TRUE(yellowInside == 0 || yellowInside == 13 * 13) << f << ": " << yellowInside;
        if (yellowInside) {
            ++shown;
            for (int y = 79; y < 94; ++y) {
                EXPECT_FALSE(p.At(455, y) == yellow);
                EXPECT_FALSE(p.At(469, y) == yellow);
            }
            for (int x = 455; x < 470; ++x) {
                EXPECT_FALSE(p.At(x, 79) == yellow);
                EXPECT_FALSE(p.At(x, 93) == yellow);
            }
        }
        // The grid cursor: 24 x 24 dark cyan behind "B" at (43, 380); its bottom row is free of
        // glyphs.
        for (int x = 43; x < 67; ++x)
            EXPECT_EQ(p.At(x, 403), darkCyan) << f << " x " << x;
        EXPECT_FALSE(p.At(42, 403) == darkCyan);
        EXPECT_FALSE(p.At(67, 403) == darkCyan);
    }
    EXPECT_EQ(shown, 5);
}

struct InsertCase {
    const char* what;
    RankInts scores;
    int32_t place;  // index of the new entry, or -1 when the score does not enter
};

const InsertCase kInsertCases[] = {
    // Scores 100, 90, ..., 10 and a final 50: index 6, below the 50 already there.
    {"below an equal score", {100, 90, 80, 70, 60, 50, 40, 30, 20, 10}, 6},
    {"above everything", {40, 30, 20, 10, 9, 8, 7, 6, 5, 4}, 0},
    {"equal to the tenth place stays out", {90, 80, 70, 60, 60, 60, 60, 50, 50, 50}, -1},
    {"an empty table takes it first", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0},
};

TEST(SceneNameEntry, NewScoreGoesBelowEqualScoresAndTheTenthDropsOut) {
    for (const InsertCase& c : kInsertCases) {
        SCOPED_TRACE(c.what);
        Fixture fx;
        fx.WriteStages("stage.dat", QuickLossSet());
        RankInts stages{};
        RankNames names;
        for (int p = 0; p < 10; ++p) {
            stages[p] = p + 2;
            names[p] = std::string(1, static_cast<char>('a' + p));
        }
        fx.Write("zarp.dat", RankingText(c.scores, stages, names));
        RunResult r = fx.Run(240, KeyScript("to-name-entry.keys") + "200 Space\n");
        ASSERT_EQ(r.exitStatus, 0) << r.Output();

        std::vector<int32_t> wantScores(c.scores.begin(), c.scores.begin() + 10);
        std::vector<int32_t> wantStages(stages.begin(), stages.begin() + 10);
        std::vector<std::string> wantNames(names.begin(), names.begin() + 10);
        if (c.place >= 0) {
            wantScores.insert(wantScores.begin() + c.place, kFinalScore);
            wantStages.insert(wantStages.begin() + c.place, 1);
            wantNames.insert(wantNames.begin() + c.place, "A");
            wantScores.pop_back();
            wantStages.pop_back();
            wantNames.pop_back();
        }
        for (int p = 0; p < 10; ++p) {
            EXPECT_EQ(r.state["rankScore"].items.at(p).number, wantScores[p]) << p;
            EXPECT_EQ(r.state["rankStage"].items.at(p).number, wantStages[p]) << p;
            EXPECT_EQ(r.state["rankName"].items.at(p).text, wantNames[p]) << p;
        }
        // Only shown: B, still held when the table appears, leaves it at once.
        if (c.place < 0) {
            EXPECT_EQ(r.Frame(195).Int("scene"), kTitle);
        }
    }
}

// The stars of the first ranking frame, from the game's generator seeded with 1 (the driver's
// --seed) and not used before: x then y for each star, then the first fall of 1 to 3 pixels.
std::vector<std::pair<int, int>> FirstStars(bool xFirst) {
    uint32_t state = 1;
    auto next = [&state] {
        state = state * 22695477u + 1u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    };
    std::vector<std::pair<int, int>> stars;
    for (int i = 0; i < 100; ++i) {
        int x = next(), y = next();
        if (!xFirst) std::swap(x, y);
        stars.emplace_back(x % 640, y % 480);
    }
    for (int i = 0; i < 100; ++i) {
        stars[i].second += i % 3 + 1;
        if (stars[i].second > 480) stars[i].second = next() % 10 - 10;
    }
    return stars;
}

TEST(SceneRankingView, StarsTakeTheirXBeforeTheirY) {
    Fixture fx;
    const std::string shot = (fx.dir() / "stars.png").string();
    RunResult r = fx.Run(22, "1 Space\n10 Down\n20 Space\n", {"21:" + shot});
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    ASSERT_EQ(r.Frame(21).Int("scene"), 12);
    ASSERT_EQ(r.Frame(20).Int("scene"), 12) << "the view's first frame is frame 21";
    const Picture p = ReadPng(shot);
    ASSERT_FALSE(p.Empty());
    auto lit = [&p](const std::vector<std::pair<int, int>>& stars) {
        int n = 0;
        for (const auto& [x, y] : stars) {
            if (x < 0 || y < 0 || x >= 640 || y >= 480) continue;
            const Picture::Rgb c = p.At(x, y);
            n += c.r + c.g + c.b > 0;
        }
        return n;
    };
    EXPECT_GE(lit(FirstStars(true)), 90);
    EXPECT_LE(lit(FirstStars(false)), 40);
}

struct FigureCase {
    const char* what;
    int32_t scoreA, stageA, scoreB, stageB;  // the first place of two tables
    int changedLeft, changedRight;           // score columns that differ, x range; 0, 0: none
    bool stageChanged;                       // the stage's second digit differs
};

// The first place's figures in the ranking view: the score in 7 digits at x = 120, the stage in
// 2 digits at x = 318, 23 pixels a digit, on the row y = 70.
TEST(SceneRankingView, FiguresAreZeroPaddedAndCutToTheirLastDigits) {
    const FigureCase cases[] = {
        // "0012345" against "0000000": the last five digits; "08" against "01": the second.
        {"padded with zeros", 12345, 8, 0, 1, 120 + 2 * 23, 120 + 7 * 23, true},
        // "123456789" and "3456789" both show 3456789; stages 123 and 23 both show 23.
        {"longer figures keep their last digits", 123456789, 123, 3456789, 23, 0, 0, false},
    };
    for (const FigureCase& c : cases) {
        SCOPED_TRACE(c.what);
        Picture pictures[2];
        for (int k = 0; k < 2; ++k) {
            Fixture fx;
            RankInts scores{}, stages{};
            RankNames names;
            stages.fill(1);
            names.fill("----------");
            scores[0] = k == 0 ? c.scoreA : c.scoreB;
            stages[0] = k == 0 ? c.stageA : c.stageB;
            fx.Write("zarp.dat", RankingText(scores, stages, names));
            const std::string shot = (fx.dir() / "view.png").string();
            RunResult r = fx.Run(26, "1 Space\n10 Down\n20 Space\n", {"25:" + shot});
            ASSERT_EQ(r.exitStatus, 0) << r.Output();
            ASSERT_EQ(r.Frame(25).Int("scene"), 12);
            pictures[k] = ReadPng(shot);
            ASSERT_FALSE(pictures[k].Empty());
        }
        int inScore = 0, inStage = 0, elsewhere = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                if (pictures[0].At(x, y) == pictures[1].At(x, y)) continue;
                const bool row = y >= 70 && y < 93;
                if (row && x >= c.changedLeft && x < c.changedRight) {
                    ++inScore;
                } else if (row && x >= 318 + 23 && x < 318 + 46) {
                    ++inStage;
                } else {
                    ++elsewhere;
                }
            }
        }
        EXPECT_EQ(elsewhere, 0);
        EXPECT_EQ(inScore > 0, c.changedRight > c.changedLeft);
        EXPECT_EQ(inStage > 0, c.stageChanged);
    }
}

}  // namespace
}  // namespace zarp::test

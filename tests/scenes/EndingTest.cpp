// The ending: its credits for a user set and for the built-in set, where it leads, its music.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/scenes/Fixture.h"
#include "tests/scenes/Stages.h"

namespace zarp::test {
namespace {

bool Bright(Picture::Rgb c) {
    return c.r + c.g + c.b > 500;
}

// Bright pixels of the credit line drawn at `y`, inside [left, right) and outside it.
std::pair<int, int> LineInk(const Picture& p, int y, int left, int right) {
    int inside = 0, outside = 0;
    for (int yy = y; yy < y + 23; ++yy) {
        for (int x = 0; x < 640; ++x) {
            if (!Bright(p.At(x, yy))) continue;
            (x >= left && x < right ? inside : outside) += 1;
        }
    }
    return {inside, outside};
}

int CountLog(const RunResult& r, const std::string& text) {
    int n = 0;
    for (const std::string& l : r.log)
        n += l.find(text) != std::string::npos;
    return n;
}

// The frame whose scene routine ran with endingFrame = e, for an ending set during `start`.
int64_t EndingFrame(int64_t start, int e) {
    return start + 1 + e;
}

TEST(SceneEnding, UserSetCreditsItsMapDesignerAndReturnsToTheTitle) {
    Fixture fx;
    fx.WriteStages("mine.zrp", StraightShotSet(2, "ZARP TESTER"));
    // Found at start-up; the frame numbers of the shots follow from the trace of a first run.
    RunResult probe = fx.Run(1100, KeyScript("user-stage-ending.keys"));
    ASSERT_EQ(probe.exitStatus, 0) << probe.Output();
    const int64_t start = probe.FirstFrameOfScene(kEnding);
    ASSERT_GT(start, 0);
    const std::string credits = (fx.dir() / "credits.png").string();
    const std::string falling = (fx.dir() / "falling.png").string();
    RunResult r = fx.Run(1100, KeyScript("user-stage-ending.keys"),
                         {std::to_string(EndingFrame(start, 90)) + ":" + credits,
                          std::to_string(EndingFrame(start, 140)) + ":" + falling});

    EXPECT_EQ(r.Frame(30).Int("scene"), kUserSelect);
    EXPECT_EQ(r.Frame(40).Int("scene"), kStageStart);
    EXPECT_EQ(r.Frame(40).Int("stageNo"), 1);
    // Its one stage cleared: stage number 2 equals the file's stage total, so the ending follows.
    EXPECT_EQ(r.Frame(start - 1).Int("scene"), kStageClear);
    EXPECT_EQ(r.Frame(start).Int("stageNo"), 2);
    EXPECT_EQ(r.state.Int("stageTotal"), 2);

    // Button A counts only once the ending has run 571 frames; then the title, not the ranking.
    EXPECT_EQ(r.Frame(990).Int("scene"), kEnding) << "A held from the clear screen is ignored";
    EXPECT_EQ(r.Frame(1000).Int("scene"), kTitle);
    EXPECT_EQ(r.state["rankScore"].items.at(0).number, 0) << "a user set enters no ranking";

    // The piece plays once; the clear sound with the copyright line.
    EXPECT_EQ(CountLog(r, "music play bgm03.mid"), 1);
    EXPECT_EQ(r.FirstLogFrame("music play bgm03.mid"), EndingFrame(start, 0));
    EXPECT_EQ(r.FirstLogFrame("sound clear.wav") > 0 ? 1 : 0, 1);
    int64_t lastClear = 0;
    for (const std::string& l : r.log) {
        if (l.find("sound clear.wav") != std::string::npos) lastClear = std::atoll(l.c_str());
    }
    EXPECT_EQ(lastClear, EndingFrame(start, 561));

    // The typing sound: every even frame 14..46 of the congratulation (17), every third frame
    // 462..543 of the thank-you line (28).
    std::vector<int64_t> typing;
    for (const std::string& l : r.log) {
        const int64_t f = std::atoll(l.c_str());
        if (l.find("sound shya.wav 0") != std::string::npos && f >= start) typing.push_back(f);
    }
    ASSERT_EQ(typing.size(), 17u + 28u);
    EXPECT_EQ(typing.front(), EndingFrame(start, 14));
    EXPECT_EQ(typing[16], EndingFrame(start, 46));
    EXPECT_EQ(typing[17], EndingFrame(start, 462));
    EXPECT_EQ(typing.back(), EndingFrame(start, 543));

    // "      MAP DESIGN" at (50, 330), its text from x = 50 + 6 x 23; the author centred at
    // 320 - 12 x 11 = 188 on line y = 360.
    const Picture p = ReadPng(credits);
    ASSERT_FALSE(p.Empty());
    auto [design, designStray] = LineInk(p, 330, 188, 188 + 10 * 23);
    EXPECT_GT(design, 300);
    EXPECT_LT(designStray, 20);
    auto [author, authorStray] = LineInk(p, 360, 188, 188 + 11 * 23);
    EXPECT_GT(author, 300);
    EXPECT_LT(authorStray, 20);

    // The fall: in frame 140 the credits stand (1 + 2 + ... + 24) / 2 = 150 pixels low, so
    // " GAME DESIGN / PROGRAM" is drawn at y = 310 and its own row is empty.
    const Picture fall = ReadPng(falling);
    ASSERT_FALSE(fall.Empty());
    EXPECT_GT(LineInk(fall, 310, 50 + 23, 50 + 22 * 23).first, 300);
    EXPECT_LT(LineInk(fall, 160, 0, 640).first, 20);
    // Row for row the same ink as the line in its place in frame 90 (stars aside).
    int mismatches = 0;
    for (int y = 0; y < 23; ++y) {
        for (int x = 50; x < 50 + 22 * 23; ++x)
            mismatches += Bright(p.At(x, 160 + y)) != Bright(fall.At(x, 310 + y));
    }
    EXPECT_LT(mismatches, 20);
}

struct AppearCase {
    int e;               // the ending's frame
    int y, left, right;  // the text's row band and its width
    bool shown;
};

// The texts come in on their frames: credit lines 1 and 2 from 63, 3 and 4 from 73, 5 and 6
// from 83, the copyright line under the thank-you from 561.
TEST(SceneEnding, TextsAppearOnTheirFrames) {
    const AppearCase cases[] = {
        {62, 160, 50 + 23, 50 + 22 * 23, false},     {63, 160, 50 + 23, 50 + 22 * 23, true},
        {72, 240, 50 + 8 * 23, 50 + 13 * 23, false}, {73, 240, 50 + 8 * 23, 50 + 13 * 23, true},
        {82, 330, 50 + 6 * 23, 50 + 16 * 23, false}, {83, 330, 50 + 6 * 23, 50 + 16 * 23, true},
        {560, 300, 70, 70 + 17 * 18, false},         {561, 300, 70, 70 + 17 * 18, true},
    };
    Fixture fx;
    fx.WriteStages("mine.zrp", StraightShotSet(2, "ZARP TESTER"));
    RunResult probe = fx.Run(1100, KeyScript("user-stage-ending.keys"));
    ASSERT_EQ(probe.exitStatus, 0) << probe.Output();
    const int64_t start = probe.FirstFrameOfScene(kEnding);
    ASSERT_GT(start, 0);
    std::vector<std::string> shots;
    for (const AppearCase& c : cases) {
        shots.push_back(std::to_string(EndingFrame(start, c.e)) + ":" +
                        (fx.dir() / ("e" + std::to_string(c.e) + ".png")).string());
    }
    RunResult r = fx.Run(EndingFrame(start, 562), KeyScript("user-stage-ending.keys"), shots);
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    for (const AppearCase& c : cases) {
        SCOPED_TRACE("frame " + std::to_string(c.e));
        const Picture p = ReadPng(fx.dir() / ("e" + std::to_string(c.e) + ".png"));
        ASSERT_FALSE(p.Empty());
        const int ink = LineInk(p, c.y, c.left, c.right).first;
        if (c.shown) {
            EXPECT_GT(ink, 150);
        } else {
            EXPECT_LT(ink, 20);
        }
    }
}

// The shrinking congratulation and the falling credits of a second ending in the same run stand
// where they stood in the first: the scale and the fall are set back by the ending itself.
TEST(SceneEnding, ASecondEndingRunsLikeTheFirst) {
    Fixture fx;
    fx.WriteStages("mine.zrp", StraightShotSet(2, "ZARP TESTER"));
    const std::string once = KeyScript("user-stage-ending.keys");
    const std::string twice = once +
                              "1010 Down\n1020 Down\n1030 Space\n1040 Space\n1200 Space\n"
                              "1400-1990 Space\n2000 Space\n";
    RunResult probe = fx.Run(2100, twice);
    ASSERT_EQ(probe.exitStatus, 0) << probe.Output();
    std::vector<int64_t> starts;
    for (int64_t f = 2; f <= static_cast<int64_t>(probe.trace.size()); ++f) {
        if (probe.Frame(f).Int("scene") == kEnding && probe.Frame(f - 1).Int("scene") != kEnding)
            starts.push_back(f);
    }
    ASSERT_EQ(starts.size(), 2u);
    std::vector<std::string> shots;
    for (int k = 0; k < 2; ++k) {
        for (int e : {105, 140}) {
            shots.push_back(
                std::to_string(EndingFrame(starts[k], e)) + ":" +
                (fx.dir() / (std::to_string(k) + "-" + std::to_string(e) + ".png")).string());
        }
    }
    RunResult r = fx.Run(2100, twice, shots);
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    auto picture = [&](int k, int e) {
        return ReadPng(fx.dir() / (std::to_string(k) + "-" + std::to_string(e) + ".png"));
    };
    // Bright pixels that differ inside a box (single stars aside).
    auto mismatches = [](const Picture& a, const Picture& b, int left, int top, int right,
                         int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x)
                n += Bright(a.At(x, y)) != Bright(b.At(x, y));
        }
        return n;
    };
    const Picture first105 = picture(0, 105), second105 = picture(1, 105);
    const Picture first140 = picture(0, 140), second140 = picture(1, 140);
    ASSERT_FALSE(first105.Empty() || second105.Empty() || first140.Empty() || second140.Empty());
    // At frame 105 the congratulation is drawn at scale 1.1: 16 glyphs of 25 pixels from (0, 60).
    EXPECT_GT(LineInk(first105, 60, 0, 405).first, 300);
    EXPECT_LT(mismatches(first105, second105, 0, 60, 405, 86), 20);
    // At frame 140 the first credit line has fallen to y = 310.
    EXPECT_GT(LineInk(first140, 310, 73, 556).first, 300);
    EXPECT_LT(mismatches(first140, second140, 50, 310, 556, 364), 30);
}

TEST(SceneEnding, BuiltInSetEndsInTheEndingThenTheNameEntryWithATenCharacterName) {
    Fixture fx;
    fx.WriteStages("stage.dat", StraightShotSet());
    RunResult r = fx.Run(3000, KeyScript("built-in-ending.keys"));
    ASSERT_EQ(r.exitStatus, 0) << r.Output();

    const int64_t start = r.FirstFrameOfScene(kEnding);
    ASSERT_GT(start, 0);
    EXPECT_EQ(r.Frame(start).Int("stageNo"), 17);
    const int64_t entry = r.FirstFrameOfScene(kNameEntry, start);
    ASSERT_GT(entry, 0);
    EXPECT_GT(entry, EndingFrame(start, 570));
    for (int64_t f = start; f < entry; ++f)
        ASSERT_EQ(r.Frame(f).Int("scene"), kEnding) << f;
    EXPECT_EQ(CountLog(r, "music play bgm03.mid"), 1);
    // "A" ten times: the cursor jumps to the end mark and the next press ends the entry.
    EXPECT_GT(r.FirstFrameOfScene(kTitle, entry), 0);
    EXPECT_EQ(r.state["rankName"].items.at(0).text, "AAAAAAAAAA");
    EXPECT_EQ(r.state["rankStage"].items.at(0).number, 17);
    EXPECT_EQ(r.state["rankScore"].items.at(0).number, r.Frame(start).Int("score"));
    EXPECT_GE(r.Frame(start).Int("score"), 10000);
}

}  // namespace
}  // namespace zarp::test

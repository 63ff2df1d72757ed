// The game over screen: where its texts stand, what the count-down shows, and the score left
// after a continue.
#include <gtest/gtest.h>

#include <string>

#include "game/scenes/SceneGameOver.h"
#include "tests/scenes/Fixture.h"
#include "tests/scenes/Stages.h"

namespace zarp::test {
namespace {

struct Box {
    int left, top, right, bottom;  // right and bottom exclusive
    bool Holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Pixels that differ between two pictures, inside the box and outside it.
std::pair<int, int> Differences(const Picture& a, const Picture& b, const Box& box) {
    int inside = 0, outside = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (a.At(x, y) == b.At(x, y)) continue;
            (box.Holds(x, y) ? inside : outside) += 1;
        }
    }
    return {inside, outside};
}

TEST(SceneGameOver, TheCountDownShowsTenthsInItsOwnPlaceAndTheTitleLosesItsMarks) {
    Fixture fx;
    fx.WriteStages("stage.dat", QuickLossSet());
    const std::string keys = "1 Space\n5 Space\n100 Space\n";
    const RunResult probe = fx.Run(300, keys);
    const int64_t over = probe.FirstFrameOfScene(kGameOver);
    ASSERT_GT(over, 0);

    // Frame over + k runs the game over with continueCount 100 - k: 9 is shown in the first ten
    // frames, 8 from the eleventh on.
    auto shot = [&](int64_t frame) {
        return std::to_string(frame) + ":" + (fx.dir() / (std::to_string(frame) + ".png")).string();
    };
    const RunResult r =
        fx.Run(over + 12, keys, {shot(over), shot(over + 1), shot(over + 10), shot(over + 11)});
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    const Picture play = ReadPng(fx.dir() / (std::to_string(over) + ".png"));
    const Picture first = ReadPng(fx.dir() / (std::to_string(over + 1) + ".png"));
    const Picture tenth = ReadPng(fx.dir() / (std::to_string(over + 10) + ".png"));
    const Picture eleventh = ReadPng(fx.dir() / (std::to_string(over + 11) + ".png"));
    ASSERT_FALSE(play.Empty() || first.Empty() || tenth.Empty() || eleventh.Empty());

    EXPECT_EQ(Differences(first, tenth, Box{0, 0, 0, 0}).second, 0) << "9 for ten frames";
    // "CONTINUE 9" at (180, 270), scale 1.2: the tenth glyph spans x 428..456, y 270..297.
    const auto [digit, elsewhere] = Differences(tenth, eleventh, Box{428, 270, 457, 297});
    EXPECT_GT(digit, 40);
    EXPECT_EQ(elsewhere, 0);

    // "GAME OVER!!" at (10, 100), 69 pixels a glyph: its nine letters end at x = 631, and the
    // two marks that would cross the right edge are not drawn at all.
    EXPECT_GT(Differences(play, first, Box{10, 100, 631, 169}).first, 2000);
    int marks = 0;
    for (int y = 100; y < 169; ++y) {
        for (int x = 631; x < 640; ++x)
            marks += !(play.At(x, y) == first.At(x, y));
    }
    EXPECT_EQ(marks, 0);
}

struct CutCase {
    int32_t score, left;
};

TEST(SceneGameOver, AContinueCutsTenTimesTheTwentiethsTruncatedTowardZero) {
    const CutCase cases[] = {{1234, 624}, {15, 15}, {39, 29},   {19, 19},
                             {20, 10},    {0, 0},   {-39, -29}, {10000, 5000}};
    for (const CutCase& c : cases)
        EXPECT_EQ(ScoreAfterContinue(c.score), c.left) << c.score;
}

}  // namespace
}  // namespace zarp::test

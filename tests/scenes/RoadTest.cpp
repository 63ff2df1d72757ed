// Whole roads of a game through the headless driver: key scripts from keys/ and the checks
// that matter on the trace, the event log, the final state, zarp.dat and saved frames.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/profile/Profile.h"
#include "game/shell/Ranking.h"
#include "tests/scenes/Fixture.h"
#include "tests/scenes/Stages.h"

namespace zarp::test {
namespace {

// The scenes a run passed through, one entry per change, as "frame:scene".
std::string Timeline(const RunResult& r) {
    std::string out;
    int32_t previous = -1;
    for (const Json& f : r.trace) {
        if (f.Int("scene") != previous) {
            previous = f.Int("scene");
            out += std::to_string(f.Int("frame")) + ":" + std::to_string(previous) + " ";
        }
    }
    return out;
}

// The frames in which the run entered `scene` (the frame after which it was set).
std::vector<int64_t> Entries(const RunResult& r, int32_t scene) {
    std::vector<int64_t> frames;
    int32_t previous = -1;
    for (const Json& f : r.trace) {
        if (f.Int("scene") == scene && previous != scene) frames.push_back(f.Int("frame"));
        previous = f.Int("scene");
    }
    return frames;
}

// The scene that follows the stretch of `scene` that begins at `frame`.
int32_t NextScene(const RunResult& r, int64_t frame) {
    const int32_t scene = r.Frame(frame).Int("scene");
    for (int64_t f = frame; f <= static_cast<int64_t>(r.trace.size()); ++f) {
        if (r.Frame(f).Int("scene") != scene) return r.Frame(f).Int("scene");
    }
    return -1;
}

int CountLog(const RunResult& r, const std::string& text) {
    int n = 0;
    for (const std::string& l : r.log)
        n += l.find(text) != std::string::npos;
    return n;
}

TEST(SceneRoad, OpeningSkippedStartGameClearsStageOneAndStartsStageTwo) {
    Fixture fx;
    fx.WriteStages("stage.dat", StraightShotSet());
    RunResult r = fx.Run(300, KeyScript("start-clear-next.keys"));
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    SCOPED_TRACE(Timeline(r));

    // The skip cuts the maker's cry after its first sound; the title follows two frames later.
    EXPECT_EQ(r.Frame(1).Int("scene"), kOpening);
    EXPECT_EQ(r.Frame(2).Int("scene"), kTitle);
    EXPECT_EQ(CountLog(r, "sound waa.wav"), 1);
    EXPECT_EQ(r.FirstLogFrame("music play bgm01.mid"), 3);

    // START GAME: stage 1 of the built-in set, score 0, five credits, the stage music.
    const Json& started = r.Frame(5);
    EXPECT_EQ(started.Int("scene"), kStageStart);
    EXPECT_EQ(started.Int("stageNo"), 1);
    EXPECT_EQ(started.Int("score"), 0);
    EXPECT_EQ(started.Int("credit"), 5);
    EXPECT_EQ(r.FirstLogFrame("music play bgm00.mid"), 5);

    const int64_t clear = r.FirstFrameOfScene(kStageClear);
    ASSERT_GT(clear, 0);
    const int64_t next = r.FirstFrameOfScene(kStageStart, clear);
    ASSERT_GT(next, 0);
    EXPECT_EQ(r.Frame(next).Int("stageNo"), 2);
    EXPECT_GT(r.Frame(next).Int("score"), 0);
}

TEST(SceneRoad, OpeningPlayedThroughEndsOnTheTitleWithThePaletteRestored) {
    Fixture fx;
    fx.WriteStages("stage.dat", StraightShotSet());
    RunResult skipped = fx.Run(3, "1 Space\n", {"3:" + (fx.dir() / "skipped.png").string()});
    RunResult full = fx.Run(236, "", {"235:" + (fx.dir() / "full.png").string()});
    ASSERT_EQ(full.exitStatus, 0) << full.Output();

    // Centre, left, right, two frames apart; the title takes over after frame 233 of the opening.
    ASSERT_EQ(CountLog(full, "sound waa.wav"), 3);
    EXPECT_EQ(full.FirstLogFrame("sound waa.wav 0 "), 1);
    EXPECT_EQ(full.FirstLogFrame("sound waa.wav -8000 "), 3);
    EXPECT_EQ(full.FirstLogFrame("sound waa.wav 8000 "), 5);
    EXPECT_EQ(full.Frame(233).Int("scene"), kOpening);
    EXPECT_EQ(full.Frame(234).Int("scene"), kTitle);

    // The first title frame of both runs is the same picture: the faded entries are back.
    const Picture a = ReadPng(fx.dir() / "skipped.png");
    const Picture b = ReadPng(fx.dir() / "full.png");
    ASSERT_FALSE(a.Empty());
    ASSERT_FALSE(b.Empty());
    EXPECT_TRUE(a.rgb == b.rgb);
}

TEST(SceneRoad, OpeningFadesTheLogosTwoColourRuns) {
    // The shipped palette: the logo's colours are entries 20-22 and 25-27 of it.
    const std::filesystem::path shipped = HeadlessProgram().parent_path() / "palette.dat";
    if (!std::filesystem::exists(shipped)) GTEST_SKIP() << "no palette.dat next to the driver";
    Fixture fx;
    std::filesystem::copy_file(shipped, fx.dir() / "palette.dat",
                               std::filesystem::copy_options::overwrite_existing);
    fx.WriteStages("stage.dat", StraightShotSet());
    // Frame f runs the opening's frame t = f - 1.
    RunResult r = fx.Run(
        217, "",
        {"151:" + (fx.dir() / "t150.png").string(), "216:" + (fx.dir() / "t215.png").string()});
    ASSERT_EQ(r.exitStatus, 0) << r.Output();

    // At t = 215: v = 8 x (200 - 215) mod 256 = 136, w = 16 x (200 - 215) mod 256 = 16.
    // Entries 20-22 are all red 136; entries 25-27 ramp green from 16 toward 136 in 3 steps.
    const Picture::Rgb faded[] = {{136, 0, 0}, {136, 16, 136}, {136, 56, 136}, {136, 96, 136}};
    auto count = [](const Picture& p, Picture::Rgb c) {
        int n = 0;
        for (int y = 180; y < 245; ++y) {
            for (int x = 32; x < 608; ++x)
                n += p.At(x, y) == c;
        }
        return n;
    };
    const Picture before = ReadPng(fx.dir() / "t150.png");
    const Picture during = ReadPng(fx.dir() / "t215.png");
    ASSERT_FALSE(before.Empty());
    ASSERT_FALSE(during.Empty());
    for (const Picture::Rgb& c : faded) {
        EXPECT_EQ(count(before, c), 0) << int(c.r) << "," << int(c.g) << "," << int(c.b);
        EXPECT_GT(count(during, c), 100) << int(c.r) << "," << int(c.g) << "," << int(c.b);
    }
}

TEST(SceneRoad, GameOverContinueTimeOutNameEntryAndTheRankingShowsIt) {
    Fixture fx;
    fx.WriteStages("stage.dat", QuickLossSet());
    const std::string view = (fx.dir() / "view.png").string();
    RunResult r = fx.Run(600, KeyScript("continue-name-ranking.keys"), {"590:" + view});
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    SCOPED_TRACE(Timeline(r));

    const std::vector<int64_t> overs = Entries(r, kGameOver);
    ASSERT_EQ(overs.size(), 2u);
    // The continue: "replay.wav", one credit spent, the score cut by 10 x (score / 20).
    const int32_t before = r.Frame(overs[0]).Int("score");
    EXPECT_EQ(before, 50);
    const int64_t restart = r.FirstFrameOfScene(kStageStart, overs[0]);
    ASSERT_GT(restart, 0);
    EXPECT_EQ(r.Frame(restart).Int("score"), before - 10 * (before / 20));
    EXPECT_EQ(r.Frame(restart).Int("credit"), 4);
    EXPECT_EQ(r.Frame(restart).Int("stageNo"), 1);
    EXPECT_TRUE(r.LogHas("sound replay.wav 0"));

    // The second count-down runs out: the music stops and the name entry follows.
    const int64_t entry = r.FirstFrameOfScene(kNameEntry, overs[1]);
    ASSERT_GT(entry, 0);
    auto logged = [&](int64_t frame, const std::string& text) {
        for (const std::string& l : r.log) {
            if (std::atoll(l.c_str()) == frame && l.find(text) != std::string::npos) return true;
        }
        return false;
    };
    EXPECT_TRUE(logged(entry, "music stop"));
    EXPECT_TRUE(logged(entry + 1, "music play bgm02.mid"));
    const int32_t final = r.Frame(entry).Int("score");
    EXPECT_EQ(final, 30 + 50);
    EXPECT_EQ(r.Frame(entry).Int("credit"), 4);

    // ">" leads back to the title, and RANKING shows the new first place.
    const int64_t title = r.FirstFrameOfScene(kTitle, entry);
    ASSERT_GT(title, 0);
    EXPECT_GT(r.FirstFrameOfScene(kRankingView, title), 0);
    ASSERT_EQ(r.state["rankName"].items.size(), 10u);
    EXPECT_EQ(r.state["rankName"].items[0].text, "AB");
    EXPECT_EQ(static_cast<int32_t>(r.state["rankScore"].items[0].number), final);
    EXPECT_EQ(static_cast<int32_t>(r.state["rankStage"].items[0].number), 1);

    // The view shows the name: two glyphs from x = 410 in the first row, where an unnamed place
    // has its ten dashes up to the right edge.
    ASSERT_EQ(r.Frame(590).Int("scene"), kRankingView);
    const Picture shown = ReadPng(view);
    ASSERT_FALSE(shown.Empty());
    auto ink = [&](int row, int left, int right) {
        int n = 0;
        for (int y = 70 + 30 * row; y < 93 + 30 * row; ++y) {
            for (int x = left; x < right; ++x) {
                const Picture::Rgb c = shown.At(x, y);
                n += c.r + c.g + c.b > 500;
            }
        }
        return n;
    };
    EXPECT_GT(ink(0, 410, 456), 100);
    EXPECT_LT(ink(0, 456, 640), 5);
    EXPECT_GT(ink(1, 456, 640), 100);

    // zarp.dat, written at the end of the run, holds the entry and the matching Sum.
    IniFile profile;
    ASSERT_TRUE(ReadProfile((fx.dir() / "zarp.dat").string(), profile, nullptr));
    EXPECT_EQ(profile.Get("Name", "1st").value_or("?"), "AB");
    EXPECT_EQ(profile.GetInt("Score", "1st", -1), final);
    EXPECT_EQ(profile.GetInt("Stage", "1st", -1), 1);
    RankInts scores{}, stages{};
    scores[0] = final;
    for (int p = 0; p < 10; ++p)
        stages[p] = 1;
    EXPECT_EQ(profile.GetInt("Setting", "Sum", -1), RankingChecksum(scores, stages));
}

TEST(SceneRoad, SixthGameOverShowsPressAnyKeyAndGoesToTheNameEntry) {
    Fixture fx;
    fx.WriteStages("stage.dat", QuickLossSet());
    RunResult r = fx.Run(1200, KeyScript("six-game-overs.keys"));
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    SCOPED_TRACE(Timeline(r));

    const std::vector<int64_t> overs = Entries(r, kGameOver);
    ASSERT_GE(overs.size(), 6u);
    // Credits when each game over begins: five continues are offered.
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(r.Frame(overs[k]).Int("credit"), 5 - k) << k;
    // The first five go back to the stage; the sixth shows "Press Any Key..." (credit -1,
    // no count-down) and button A goes on to the name entry.
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(r.Frame(r.FirstFrameOfScene(kStageStart, overs[k])).Int("credit"), 4 - k);
    }
    const int64_t sixth = overs[5];
    EXPECT_EQ(r.Frame(sixth + 1).Int("scene"), kGameOver);
    EXPECT_EQ(r.Frame(sixth + 1).Int("credit"), -1);
    EXPECT_EQ(NextScene(r, sixth), kNameEntry);
    bool stopped = false;
    for (const std::string& l : r.log) {
        stopped |= std::atoll(l.c_str()) == sixth + 1 && l.find("music stop") != std::string::npos;
    }
    EXPECT_TRUE(stopped) << "\"Press Any Key...\" stops the music";

    // The fifth and sixth game overs over the same stage: the sixth shows "Press Any Key..." at
    // (180, 300) in place of the count-down and the credits; only the score in the HUD differs
    // besides.
    const std::string fifthShot = (fx.dir() / "fifth.png").string();
    const std::string sixthShot = (fx.dir() / "sixth.png").string();
    RunResult shots = fx.Run(sixth + 2, KeyScript("six-game-overs.keys"),
                             {std::to_string(overs[4] + 1) + ":" + fifthShot,
                              std::to_string(sixth + 1) + ":" + sixthShot});
    ASSERT_EQ(shots.exitStatus, 0) << shots.Output();
    const Picture fifth = ReadPng(fifthShot), last = ReadPng(sixthShot);
    ASSERT_FALSE(fifth.Empty() || last.Empty());
    int press = 0, countDown = 0, credits = 0, elsewhere = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (fifth.At(x, y) == last.At(x, y)) continue;
            if (y >= 448) continue;  // the HUD
            if (y >= 300 && y < 323 && x >= 180 && x < 180 + 16 * 23) {
                ++press;
            } else if (y >= 270 && y < 297 && x >= 180 && x < 457) {
                ++countDown;
            } else if (y >= 340 && y < 357 && x >= 270 && x < 399) {
                ++credits;
            } else {
                ++elsewhere;
            }
        }
    }
    EXPECT_GT(press, 300);
    EXPECT_GT(countDown, 300);
    EXPECT_GT(credits, 50);
    EXPECT_EQ(elsewhere, 0);
}

struct HeldCase {
    const char* what;
    std::string keys;
    int continues;   // game overs left with a continue before the one that runs out
    int64_t frames;  // game over frames of the last one, the time-out frame included
};

TEST(SceneRoad, ButtonAHeldIntoAGameOverNeverContinuesAndBRunsTheCountFiveTimesAsFast) {
    const HeldCase cases[] = {
        // Nine shown for ten frames, then the count-down to -1: 101 game over frames.
        {"A held from the shot", KeyScript("game-over-held.keys"), 0, 101},
        // The latch is set again when a game over is left: the second one also waits.
        {"A held into the game over after a continue",
         "1 Space\n5 Space\n100 Space\n130-148 X\n180 Space\n260-450 Space\n", 1, 101},
        // 99 - 5 x 20 = -1 after the twentieth frame; the twenty-first notices it.
        {"B held", "1 Space\n5 Space\n100 Space\n130-320 X\n", 0, 21},
    };
    for (const HeldCase& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture fx;
        fx.WriteStages("stage.dat", QuickLossSet());
        RunResult r = fx.Run(480, c.keys);
        ASSERT_EQ(r.exitStatus, 0) << r.Output();
        SCOPED_TRACE(Timeline(r));
        const std::vector<int64_t> overs = Entries(r, kGameOver);
        ASSERT_EQ(overs.size(), static_cast<size_t>(c.continues + 1));
        const int64_t last = overs.back();
        EXPECT_EQ(NextScene(r, last), kNameEntry);
        EXPECT_EQ(CountLog(r, "replay.wav"), c.continues);
        EXPECT_EQ(r.Frame(r.FirstFrameOfScene(kNameEntry)).Int("credit"), 5 - c.continues);
        EXPECT_EQ(r.FirstFrameOfScene(kNameEntry, last) - last, c.frames);
    }
}

TEST(SceneRoad, AContinueInTheFrameTheCountDownRunsOutStands) {
    Fixture fx;
    fx.WriteStages("stage.dat", QuickLossSet());
    const std::string keys = "1 Space\n5 Space\n100 Space\n";
    RunResult probe = fx.Run(300, keys);
    const int64_t over = probe.FirstFrameOfScene(kGameOver);
    ASSERT_GT(over, 0);
    // The time-out is noticed in the 101st game over frame; A is pressed in exactly that one.
    RunResult r = fx.Run(300, keys + std::to_string(over + 101) + " Space\n");
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    SCOPED_TRACE(Timeline(r));
    EXPECT_EQ(NextScene(r, over), kStageStart);
    const Json& restart = r.Frame(over + 101);
    EXPECT_EQ(restart.Int("scene"), kStageStart);
    EXPECT_EQ(restart.Int("score"), 50 - 10 * (50 / 20));
    EXPECT_EQ(restart.Int("credit"), 4);
    EXPECT_EQ(r.FirstFrameOfScene(kNameEntry), 0);
    for (const std::string& l : r.log) {
        EXPECT_FALSE(std::atoll(l.c_str()) == over + 101 &&
                     l.find("music stop") != std::string::npos)
            << "the stage music plays on";
    }
}

TEST(SceneRoad, UserSetCountDownRunsOutToTheTitle) {
    Fixture fx;
    fx.WriteStages("quick.zrp", QuickLossSet(1));
    RunResult r =
        fx.Run(260, KeyScript("to-user-select.keys") + "40 Space\n130 Space\n160-250 X\n");
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    SCOPED_TRACE(Timeline(r));
    const std::vector<int64_t> overs = Entries(r, kGameOver);
    ASSERT_EQ(overs.size(), 1u);
    EXPECT_EQ(NextScene(r, overs[0]), kTitle);
    EXPECT_EQ(r.FirstFrameOfScene(kNameEntry), 0);
}

TEST(SceneRoad, UserSetPressAnyKeyStillGoesToTheNameEntry) {
    Fixture fx;
    fx.WriteStages("quick.zrp", QuickLossSet(1));
    // The only file is taken at frame 41; then A is tapped every 10 frames: each shot, each
    // continue, and at last the "Press Any Key..." of the sixth game over.
    std::string keys = KeyScript("to-user-select.keys");
    for (int f = 41; f < 1300; f += 10)
        keys += std::to_string(f) + " Space\n";
    RunResult r = fx.Run(1300, keys);
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    SCOPED_TRACE(Timeline(r));
    const std::vector<int64_t> overs = Entries(r, kGameOver);
    ASSERT_GE(overs.size(), 6u);
    // Played from the user set: no title between the selection and the sixth game over.
    EXPECT_EQ(r.Frame(31).Int("scene"), kUserSelect);
    EXPECT_GT(r.FirstFrameOfScene(kTitle, 32), overs[5]);
    EXPECT_EQ(r.Frame(overs[5] + 1).Int("credit"), -1);
    EXPECT_EQ(NextScene(r, overs[5]), kNameEntry);
}

TEST(SceneRoad, TestPlayFromTheEditorEndsWhenTheGameOverIsLeft) {
    Fixture fx;
    // The editor's test file lives in the private folder under XDG_RUNTIME_DIR.
    const std::filesystem::path folder = fx.dir() / "zarpane";
    std::filesystem::create_directory(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    std::ofstream(folder / "$$$zrp$$$.tmp", std::ios::binary) << QuickLossSet(2).Text();
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string previous = saved ? saved : "";
    setenv("XDG_RUNTIME_DIR", fx.dir().c_str(), 1);
    // Stage 2 of the test file, windowed; the shot ends in a game over, A continues.
    RunResult r = fx.Run(400, "90 Space\n200 Space\n", {}, {"w", "2"});
    if (saved) {
        setenv("XDG_RUNTIME_DIR", previous.c_str(), 1);
    } else {
        unsetenv("XDG_RUNTIME_DIR");
    }
    ASSERT_EQ(r.exitStatus, 0) << r.Output();
    SCOPED_TRACE(Timeline(r));
    EXPECT_EQ(r.Frame(1).Int("scene"), kStageStart);
    EXPECT_EQ(r.Frame(1).Int("stageNo"), 2);
    EXPECT_EQ(r.state.Int("launchStage"), 2);
    const std::vector<int64_t> overs = Entries(r, kGameOver);
    ASSERT_EQ(overs.size(), 1u);
    EXPECT_EQ(r.Frame(overs[0]).Int("credit"), 9);
    EXPECT_TRUE(r.LogHas("sound replay.wav"));
    EXPECT_EQ(static_cast<int64_t>(r.trace.size()), 200) << "the program closed after the continue";
}

}  // namespace
}  // namespace zarp::test

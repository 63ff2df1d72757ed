// zarp-headless as tests and stage checks use it: start-up, the palette failure, F9, exit codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Files.h"
#include "tests/support/GameFiles.h"
#include "tests/support/Headless.h"

namespace {

using zarp::testing_support::HeadlessRun;
using zarp::testing_support::ReadBytes;
using zarp::testing_support::RunHeadless;
using zarp::testing_support::RunResult;

class HeadlessDriver : public testing::Test {
  protected:
    zarp::testing_support::TempDir folder{"zarp-shell"};

    void WritePalette() {
        zarp::testing_support::WriteBytes(folder.dir() / "palette.dat",
                                          zarp::testing_support::GreyPaletteBytes());
    }
    // zarp-headless with the folder as program and working folder.
    RunResult Run(int64_t frames, const std::vector<std::string>& options = {},
                  const std::vector<std::string>& gameArguments = {}, const std::string& keys = "",
                  const std::vector<std::string>& environment = {}) {
        HeadlessRun run;
        run.programDir = folder.dir();
        run.workDir = folder.dir();
        run.frames = frames;
        run.keys = keys;
        run.options = options;
        run.gameArguments = gameArguments;
        run.environment = environment;
        return RunHeadless(run);
    }
};

TEST_F(HeadlessDriver, StartsWindowedInBeepModeAndEndsCleanly) {
    WritePalette();
    const RunResult run = Run(5, {}, {"wb"});
    ASSERT_EQ(run.exitStatus, 0);
    const std::string& state = run.stateText;
    EXPECT_NE(state.find("\"fullScreen\":false"), std::string::npos) << state;
    EXPECT_NE(state.find("\"beepMode\":true"), std::string::npos) << state;
    EXPECT_NE(state.find("\"launchStage\":0"), std::string::npos) << state;
    EXPECT_NE(state.find("\"exitStatus\":0"), std::string::npos) << state;
}

TEST_F(HeadlessDriver, MissingPaletteShowsItsMessageAndExitsWithMinusOne) {
    const RunResult run = Run(5);
    ASSERT_EQ(run.exitStatus, 255);
    EXPECT_TRUE(run.LogHas("パレット設定に失敗しました"));
}

TEST_F(HeadlessDriver, MessageBoxesSpeakTheLanguageChosen) {
    struct Case {
        std::vector<std::string> gameArguments;
        const char* locale;
        const char* expected;
    };
    // The headless game keeps to Japanese whatever the locale; --lang decides.
    const Case cases[] = {
        {{}, "en_US.UTF-8", "[パレット設定に失敗しました]"},
        {{"--lang", "en"}, "ja_JP.UTF-8", "[The palette could not be set]"},
        {{"--lang=ja"}, "en_US.UTF-8", "[パレット設定に失敗しました]"},
    };
    for (const Case& c : cases) {
        const RunResult run = Run(5, {}, c.gameArguments, "", {std::string("LANG=") + c.locale});
        EXPECT_EQ(run.exitStatus, 255);
        EXPECT_TRUE(run.LogHas(c.expected))
            << testing::PrintToString(c.gameArguments) << ": " << testing::PrintToString(run.log);
    }
}

TEST_F(HeadlessDriver, SoundDeviceFailureAsksAndNoEndsTheProgram) {
    WritePalette();
    const RunResult no = Run(3, {"--no-sound-device", "--answer", "no"});
    EXPECT_EQ(no.exitStatus, 255);
    EXPECT_TRUE(no.LogHas("[質問]"));
    const RunResult yes = Run(3, {"--no-sound-device", "--answer", "yes"});
    EXPECT_EQ(yes.exitStatus, 0);
    EXPECT_NE(yes.stateText.find("\"beepMode\":true"), std::string::npos);
}

TEST_F(HeadlessDriver, F9ClosesTheGameAndWritesTheRanking) {
    WritePalette();
    const RunResult run = Run(100, {}, {}, "# quit on the third frame\n3 F9\n");
    ASSERT_EQ(run.exitStatus, 0);
    // Frames 1 and 2 ran; the key-down of frame 3 closed the window before its frame.
    EXPECT_NE(run.traceText.find("\"frame\":2,"), std::string::npos);
    EXPECT_EQ(run.traceText.find("\"frame\":3,"), std::string::npos);
    const std::string profile = ReadBytes(folder.dir() / "zarp.dat");
    EXPECT_NE(profile.find("Sum=680"), std::string::npos) << profile;
}

TEST_F(HeadlessDriver, RejectsABadKeyScriptWithItsLine) {
    const RunResult run = Run(-1, {}, {}, "1 Space\n2-x Z\n");
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_NE(run.err.find("keys.txt:2:"), std::string::npos) << run.err;
}

}  // namespace

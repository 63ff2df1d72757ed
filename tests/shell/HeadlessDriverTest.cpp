// zarp-headless as tests and stage checks use it: start-up, the palette failure, F9, exit codes.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A palette.dat: BMP headers and a 256-entry grey colour table.
void WritePalette(const fs::path& path) {
    std::string bytes(1078, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    bytes[14] = 40;
    bytes[14 + 14] = 8;
    for (int i = 0; i < 256; ++i) {
        for (int c = 0; c < 3; ++c)
            bytes[54 + 4 * i + c] = static_cast<char>(i);
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

class HeadlessDriver : public testing::Test {
  protected:
    fs::path dir;

    void SetUp() override {
        char name[] = "/tmp/zarp-shell-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs zarp-headless with the folder as program and working folder; returns the exit status.
    int Run(const std::string& options) {
        std::string command = std::string(ZARP_HEADLESS) + " --program-dir " + dir.string() +
                              " --workdir " + dir.string() + " " + options + " 2>" +
                              (dir / "stderr.txt").string();
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(HeadlessDriver, StartsWindowedInBeepModeAndEndsCleanly) {
    WritePalette(dir / "palette.dat");
    ASSERT_EQ(Run("--frames 5 --state " + (dir / "s.json").string() + " -- wb"), 0);
    std::string state = ReadFile(dir / "s.json");
    EXPECT_NE(state.find("\"fullScreen\":false"), std::string::npos) << state;
    EXPECT_NE(state.find("\"beepMode\":true"), std::string::npos) << state;
    EXPECT_NE(state.find("\"launchStage\":0"), std::string::npos) << state;
    EXPECT_NE(state.find("\"exitStatus\":0"), std::string::npos) << state;
}

TEST_F(HeadlessDriver, MissingPaletteShowsItsMessageAndExitsWithMinusOne) {
    ASSERT_EQ(Run("--frames 5 --log " + (dir / "log.txt").string()), 255);
    EXPECT_NE(ReadFile(dir / "log.txt").find("パレット設定に失敗しました"), std::string::npos);
}

TEST_F(HeadlessDriver, MessageBoxesSpeakTheLanguageChosen) {
    struct Case {
        const char* gameArguments;
        const char* locale;
        const char* expected;
    };
    // The headless game keeps to Japanese whatever the locale; --lang decides.
    const Case cases[] = {
        {"", "en_US.UTF-8", "[パレット設定に失敗しました]"},
        {"--lang en", "ja_JP.UTF-8", "[The palette could not be set]"},
        {"--lang=ja", "en_US.UTF-8", "[パレット設定に失敗しました]"},
    };
    const char* old = std::getenv("LANG");
    const std::string saved = old ? old : "";
    for (const Case& c : cases) {
        const std::string log = (dir / "log.txt").string();
        ::setenv("LANG", c.locale, 1);
        EXPECT_EQ(Run("--frames 5 --log " + log + " -- " + c.gameArguments), 255);
        if (old) {
            ::setenv("LANG", saved.c_str(), 1);
        } else {
            ::unsetenv("LANG");
        }
        EXPECT_NE(ReadFile(dir / "log.txt").find(c.expected), std::string::npos)
            << c.gameArguments << ": " << ReadFile(dir / "log.txt");
    }
}

TEST_F(HeadlessDriver, SoundDeviceFailureAsksAndNoEndsTheProgram) {
    WritePalette(dir / "palette.dat");
    std::string log = (dir / "log.txt").string();
    EXPECT_EQ(Run("--no-sound-device --answer no --frames 3 --log " + log), 255);
    EXPECT_NE(ReadFile(log).find("[質問]"), std::string::npos);
    std::string state = (dir / "s.json").string();
    EXPECT_EQ(Run("--no-sound-device --answer yes --frames 3 --state " + state), 0);
    EXPECT_NE(ReadFile(state).find("\"beepMode\":true"), std::string::npos);
}

TEST_F(HeadlessDriver, F9ClosesTheGameAndWritesTheRanking) {
    WritePalette(dir / "palette.dat");
    std::ofstream(dir / "keys.txt") << "# quit on the third frame\n3 F9\n";
    std::string state = (dir / "s.json").string();
    ASSERT_EQ(Run("--frames 100 --keys " + (dir / "keys.txt").string() + " --trace " +
                  (dir / "t.jsonl").string() + " --state " + state),
              0);
    // Frames 1 and 2 ran; the key-down of frame 3 closed the window before its frame.
    std::string trace = ReadFile(dir / "t.jsonl");
    EXPECT_NE(trace.find("\"frame\":2,"), std::string::npos);
    EXPECT_EQ(trace.find("\"frame\":3,"), std::string::npos);
    std::string profile = ReadFile(dir / "zarp.dat");
    EXPECT_NE(profile.find("Sum=680"), std::string::npos) << profile;
}

TEST_F(HeadlessDriver, RejectsABadKeyScriptWithItsLine) {
    std::ofstream(dir / "keys.txt") << "1 Space\n2-x Z\n";
    EXPECT_EQ(Run("--keys " + (dir / "keys.txt").string()), 2);
    EXPECT_NE(ReadFile(dir / "stderr.txt").find("keys.txt:2:"), std::string::npos);
}

}  // namespace

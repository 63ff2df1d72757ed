// Files that move under the game: a user set deleted after the list was made, and a test-play
// folder that is not the private folder the editor makes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/hardening/Harness.h"

namespace zarp::hardening {
namespace {

TEST(UserSet, RemovedAfterTheListWasMadeIsNamedAndTheGameEndsNormally) {
    // The list is made at start-up; the file goes away while the title runs. The per-frame trace
    // goes through a pipe, so the game cannot run more than a few hundred frames ahead of what
    // this test has read: deleting the file after reading frame 1 beats the choice at frame 1045.
    GameFolder game;
    WriteBytes(game.work() / "a-box.zrp", GoalBoxStages());
    WriteBytes(game.work() / "b-box.zrp", GoalBoxStages());
    TempDir scratch;
    const fs::path fifo = scratch.dir() / "trace";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    WriteBytes(scratch.dir() / "keys", "1 Space\n1010 Down\n1020 Down\n1030 Space\n1045 Space\n");

    const std::vector<std::string> argv{HeadlessProgram().string(),
                                        "--frames",
                                        "1400",
                                        "--seed",
                                        "1",
                                        "--keys",
                                        (scratch.dir() / "keys").string(),
                                        "--program-dir",
                                        game.prog().string(),
                                        "--workdir",
                                        game.work().string(),
                                        "--trace",
                                        fifo.string(),
                                        "--log",
                                        (scratch.dir() / "log").string(),
                                        "--",
                                        "w"};
    const int child =
        testing_support::StartProcess(argv, game.work(), {}, "/dev/null", scratch.dir() / "err");
    std::unique_ptr<FILE, int (*)(FILE*)> trace(std::fopen(fifo.c_str(), "r"), fclose);
    ASSERT_TRUE(trace);
    std::string line;
    bool removed = false;
    int64_t frames = 0;
    for (int c; (c = std::fgetc(trace.get())) != EOF;) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        ++frames;
        if (!removed && line.find("\"frame\":1,") != std::string::npos) {
            fs::remove(game.work() / "a-box.zrp");
            removed = true;
        }
        line.clear();
    }
    const ProcessResult ended = testing_support::WaitProcess(child);
    ASSERT_TRUE(removed);
    EXPECT_EQ(ended.exitStatus, 0) << ReadBytes(scratch.dir() / "err");
    EXPECT_LT(frames, 1400) << "the game should have ended at the message";
    const std::string log = ReadBytes(scratch.dir() / "log");
    EXPECT_NE(log.find("[Cannot load the stage file"), std::string::npos) << log;
    EXPECT_NE(log.find("a-box.zrp"), std::string::npos) << log;
    const std::string profile = ReadBytes(game.prog() / "zarp.dat");
    EXPECT_TRUE(HasFixtureRanking(profile));
    EXPECT_TRUE(HasForeignSections(profile));
}

TEST(KeyScript, TheHiddenKeyHeldAsTheTitleComesBackDoesNotHangTheDriver) {
    // The title waits for the hidden-start key to be released. A script's hold lets go by itself
    // once the virtual clock has run well past it, so the driver goes on instead of waiting for
    // ever.
    GameFolder game;
    const RunResult run =
        game.Play(100, "1 Space\n2-50 H\n", {"w"}, {}, {"/usr/bin/timeout", "-s", "KILL", "120"});
    EXPECT_EQ(run.exitStatus, 0);
}

// The test-play folder: $XDG_RUNTIME_DIR/zarpane.
class TestPlayFolder : public testing::Test {
  protected:
    GameFolder game;
    fs::path runtime = game.root() / "runtime";
    fs::path elsewhere = game.root() / "elsewhere";
    void SetUp() override {
        fs::create_directories(runtime);
        fs::create_directories(elsewhere);
        fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
        WriteBytes(elsewhere / "$$$zrp$$$.tmp", GoalBoxStages());
    }
    RunResult PlayStageOne() const {
        return game.Play(300, "", {"1"}, {"XDG_RUNTIME_DIR=" + runtime.string()});
    }
};

TEST_F(TestPlayFolder, ASymlinkedFolderIsRefusedWithAMessage) {
    fs::create_directory_symlink(elsewhere, runtime / "zarpane");
    const RunResult run = PlayStageOne();
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    ASSERT_EQ(run.LogCount("messagebox"), 1) << run.err;
    EXPECT_TRUE(run.LogHas("symlink") || run.LogHas("symbolic link")) << run.log.front();
    EXPECT_TRUE(run.LogHas((runtime / "zarpane").string())) << run.log.front();
    EXPECT_FALSE(run.LogHas("sound shot.wav")) << "the test play must not start";
    EXPECT_TRUE(fs::is_symlink(runtime / "zarpane"));
    EXPECT_TRUE(HasFixtureRanking(ReadBytes(game.prog() / "zarp.dat")));
}

TEST_F(TestPlayFolder, TheRealFolderPlays) {
    // The same file in the private folder itself is played (the comparison case).
    fs::create_directory(runtime / "zarpane");
    fs::permissions(runtime / "zarpane", fs::perms::owner_all, fs::perm_options::replace);
    fs::copy_file(elsewhere / "$$$zrp$$$.tmp", runtime / "zarpane" / "$$$zrp$$$.tmp");
    const RunResult run = PlayStageOne();
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_FALSE(run.LogHas("messagebox"));
}

TEST_F(TestPlayFolder, ATestFileThatIsADanglingSymlinkIsNamedAndTheGameEnds) {
    // Only the folder's owner can put a link inside the private folder, so a link there is
    // followed like any stage file; one that leads nowhere is a file that cannot be loaded.
    fs::create_directory(runtime / "zarpane");
    fs::permissions(runtime / "zarpane", fs::perms::owner_all, fs::perm_options::replace);
    fs::create_symlink(elsewhere / "gone.zrp", runtime / "zarpane" / "$$$zrp$$$.tmp");
    const RunResult run = PlayStageOne();
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.StageRefusals("$$$zrp$$$.tmp"), 1) << run.err;
    EXPECT_TRUE(HasFixtureRanking(ReadBytes(game.prog() / "zarp.dat")));
}

TEST_F(TestPlayFolder, AFileInItsPlaceIsRefusedWithAMessage) {
    WriteBytes(runtime / "zarpane", "not a folder");
    const RunResult run = PlayStageOne();
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.LogCount("messagebox"), 1) << run.err;
    EXPECT_EQ(ReadBytes(runtime / "zarpane"), "not a folder");
}

}  // namespace
}  // namespace zarp::hardening

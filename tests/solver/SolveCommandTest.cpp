#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/solver/StageFixtures.h"
#include "tests/support/Files.h"
#include "tests/support/Headless.h"
#include "tools/zrptool/Command.h"

namespace zarp::zrptool {
namespace {

// A fixture written as a one-stage set in a private folder.
struct SetFile {
    explicit SetFile(const std::string& bytes) { testing_support::WriteBytes(path, bytes); }
    testing_support::TempDir folder{"zrptool-solve-test"};
    const std::string path = folder.File("set.zrp");
};

int RunTool(const std::vector<std::string>& args, std::string& output) {
    std::ostringstream out, err;
    const int status = ZrptoolMain(args, out, err);
    output = out.str() + err.str();
    return status;
}

TEST(SolveCommand, ExitStatusSaysUnsolvableOrOutOfBudget) {
    std::string text =
        testing::ReadAll(std::string(ZARP_TEST_SOLVER_DIR) + "/fixtures/one_short.txt");
    text.replace(text.find("shots 1"), 7, "shots 9");
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> options;
        int status;
        const char* says;
    } cases[] = {
        {"walled in", testing::LoadFixture("walled_in").bytes, {}, 1, "walls shut the goal off"},
        // One block and the start, as the editor writes a fresh stage: nothing to aim at.
        {"no goal",
         "2\r\nabc\r\n*\r\n*\r\n*\r\n16\r\n16\r\n0\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*"
         "\r\n## other data\r\n*\r\n*\r\n32\r\n32\r\n0\r\n5\r\n*\r\n*\r\n",
         {},
         1,
         "the stage has no goal"},
        {"one shot short",
         testing::LoadFixture("one_short").bytes,
         {},
         1,
         "unsolvable within 1 shot"},
        {"--shots 1",
         testing::LoadMap(text).bytes,
         {"--shots", "1"},
         1,
         "unsolvable within 1 shot"},
        {"budget",
         testing::LoadMap(text).bytes,
         {"--budget", "0.001"},
         2,
         "not solved within the budget (not proven impossible)"},
    };
    for (const Case& c : cases) {
        SetFile set(c.bytes);
        std::vector<std::string> args = {"solve", set.path};
        args.insert(args.end(), c.options.begin(), c.options.end());
        std::string output;
        EXPECT_EQ(RunTool(args, output), c.status) << c.name << "\n" << output;
        EXPECT_NE(output.find(c.says), std::string::npos) << c.name << "\n" << output;
    }
}

// The program itself (it replays every solution through the zarp-headless beside it).
std::string RunProgram(const std::vector<std::string>& arguments, int& status) {
    std::vector<std::string> argv = {std::string(ZARP_TEST_DIST_DIR) + "/zrptool"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const testing_support::ProcessResult run =
        testing_support::RunProcess(argv, std::filesystem::current_path());
    status = run.exitStatus;
    return run.out;
}

TEST(SolveCommand, FiguresUnderEachStageAndAsATable) {
    // coin_pocket twice: its start angle points up the pocket, the copy's along the corridor.
    const std::string text =
        testing::ReadAll(std::string(ZARP_TEST_SOLVER_DIR) + "/fixtures/coin_pocket.txt");
    std::string along = text;
    along.replace(along.find("angle 270"), 9, "angle 0");
    std::string error, bytes;
    stagetext::StageText up, straight;
    ASSERT_TRUE(stagetext::ParseStageText("up", text, up, error)) << error;
    ASSERT_TRUE(stagetext::ParseStageText("along", along, straight, error)) << error;
    ASSERT_TRUE(stagetext::FormatStages({up, straight}, bytes, error)) << error;
    SetFile set(bytes);
    int status = -1;
    const std::string table = RunProgram({"solve", set.path, "--table"}, status);
    EXPECT_EQ(status, 0) << table;
    EXPECT_EQ(table.rfind("stage  par  shots  window  all coins  coins  start angle\n"
                          "    1    1      3       1          2      1  misses\n"
                          "    2    1      3       1          2      1  clears\n"
                          "total: 2 stages, ",
                          0),
              0u)
        << table;
    const std::string lines = RunProgram({"solve", set.path, "1"}, status);
    EXPECT_EQ(status, 0) << lines;
    EXPECT_NE(lines.find("stage 1: solved, par 1 of 3 shots, coins 0/1, angles 0; "),
              std::string::npos)
        << lines;
    EXPECT_NE(lines.find("\n  window 1/180 directions, all 1 coin in 2 shots (angles "),
              std::string::npos)
        << lines;
    EXPECT_NE(lines.find("), the start angle alone does not clear it\n"), std::string::npos)
        << lines;
    const std::string plain = RunProgram({"solve", set.path, "2", "--no-figures"}, status);
    EXPECT_EQ(status, 0) << plain;
    EXPECT_EQ(plain.find("window"), std::string::npos) << plain;
}

TEST(SolveCommand, RejectsBadArguments) {
    SetFile set(testing::LoadFixture("walled_in").bytes);
    const std::vector<std::vector<std::string>> cases = {
        {"solve"},
        {"solve", set.path, "--shots"},
        {"solve", set.path, "--shots", "0"},
        {"solve", set.path, "--shots", "1.5"},
        {"solve", set.path, "--budget", "-3"},
        {"solve", set.path, "--keys"},
        {"solve", set.path, "--fast"},
        {"solve", set.path, "2"},  // the set has one stage
        {"solve", set.path, "x"},
        {"solve", set.path, "--table", "--no-figures"},
    };
    for (const auto& args : cases) {
        std::string output;
        EXPECT_EQ(RunTool(args, output), kExitUsage) << args.back();
    }
    std::string output;
    EXPECT_EQ(RunTool({"solve", set.path + ".missing"}, output), kExitFailed);
}

}  // namespace
}  // namespace zarp::zrptool

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/stages/StageFixtures.h"
#include "tools/zrptool/Command.h"

namespace zarp::zrptool {
namespace {

// A fixture written as a one-stage set in a private folder.
class SetFile {
  public:
    explicit SetFile(const std::string& bytes) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zrptool-solve-test-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data())) folder_ = buffer.data();
        path = folder_ + "/set.zrp";
        std::ofstream(path, std::ios::binary) << bytes;
    }
    ~SetFile() {
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
    }
    SetFile(const SetFile&) = delete;
    SetFile& operator=(const SetFile&) = delete;
    std::string path;

  private:
    std::string folder_;
};

int RunTool(const std::vector<std::string>& args, std::string& output) {
    std::ostringstream out, err;
    const int status = ZrptoolMain(args, out, err);
    output = out.str() + err.str();
    return status;
}

TEST(SolveCommand, ExitStatusSaysUnsolvableOrOutOfBudget) {
    std::string text =
        testing::ReadAll(std::string(ZARP_TEST_STAGES_DIR) + "/fixtures/one_short.txt");
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

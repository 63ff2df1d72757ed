// zrptool on stage files nobody should have to read: it refuses each with the file's name and
// exit status 1, and never crashes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/hardening/Harness.h"

namespace zarp::hardening {
namespace {

struct BadSet {
    const char* name;
    std::string bytes;
};

std::vector<BadSet> BadSets() {
    const std::string good = GoalBoxStages();
    std::string binary;
    for (int i = 0; i < 2048; ++i)
        binary += static_cast<char>((i * 131 + 7) & 0xFF);
    std::string manyBlocks = "2\r\nX\r\n*\r\n*\r\n*\r\n";
    for (int i = 0; i < 5000; ++i)
        manyBlocks += "16\r\n16\r\n5\r\n";
    return {
        {"Empty", ""},
        {"Truncated", good.substr(0, good.size() / 2)},
        {"Binary", binary},
        {"HugeStageTotal", "2147483647\r\nX\r\n*\r\n*\r\n*\r\n## other data\r\n*\r\n*\r\n"},
        {"NegativeStageTotal", "-5\r\nX\r\n## other data\r\n"},
        {"NumberTooBig", "99999999999999999999\r\nX\r\n"},
        {"NoMarker", "2\r\nX\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\n"},
        {"TooManyBlocksNoEnd", manyBlocks},
        {"NulBytes", std::string("2\0\r\nX\r\n", 7)},
    };
}

class ZrptoolBadSet : public testing::TestWithParam<BadSet> {};

TEST_P(ZrptoolBadSet, CheckAndNormalizeRefuseWithTheFileName) {
    TempDir folder;
    const fs::path file = folder.dir() / "bad.zrp";
    WriteBytes(file, GetParam().bytes);
    for (const char* command : {"check", "normalize"}) {
        std::vector<std::string> argv{ZrptoolProgram().string(), command, file.string()};
        if (std::string(command) == "normalize")
            argv.push_back((folder.dir() / "out.zrp").string());
        const ProcessResult result = RunProcess(argv, folder.dir());
        EXPECT_EQ(result.signal, 0) << command << "\n" << result.err;
        EXPECT_EQ(result.err.find("Sanitizer"), std::string::npos) << result.err;
        EXPECT_EQ(result.exitStatus, 1) << command << "\n" << result.out;
        EXPECT_NE(result.err.find("bad.zrp"), std::string::npos) << command << "\n" << result.err;
    }
    EXPECT_EQ(ReadBytes(file), GetParam().bytes) << "the input must be left as it was";
    EXPECT_FALSE(fs::exists(folder.dir() / "out.zrp")) << "nothing is written from a bad set";
}

INSTANTIATE_TEST_SUITE_P(Hardening, ZrptoolBadSet, testing::ValuesIn(BadSets()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Zrptool, MissingFileAndFolderAreNamed) {
    TempDir folder;
    fs::create_directory(folder.dir() / "dir.zrp");
    for (const char* name : {"missing.zrp", "dir.zrp"}) {
        const ProcessResult result = RunProcess(
            {ZrptoolProgram().string(), "check", (folder.dir() / name).string()}, folder.dir());
        EXPECT_EQ(result.exitStatus, 1) << result.err;
        EXPECT_NE(result.err.find(name), std::string::npos) << result.err;
    }
}

}  // namespace
}  // namespace zarp::hardening

// The example user sets shipped with the game: each names its author and can be cleared by
// firing every stage at its start angle.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/scenes/Fixture.h"

namespace zarp::test {
namespace {

TEST(SceneExamples, EachSetHasAnAuthorAndIsClearedToTheEnding) {
    int sets = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ExamplesDir())) {
        if (entry.path().extension() != ".zrp") continue;
        ++sets;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        std::string total, author;
        std::getline(in, total);
        std::getline(in, author);
        if (!author.empty() && author.back() == '\r') author.pop_back();
        EXPECT_FALSE(author.empty());
        const int32_t stageTotal = std::stoi(total);

        Fixture fx;
        std::filesystem::copy_file(entry.path(), fx.dir() / entry.path().filename());
        RunResult r = fx.Run(4000, KeyScript("play-user-set.keys"));
        ASSERT_EQ(r.exitStatus, 0) << r.Output();
        // Every stage cleared at its first shot, then the ending and the title.
        int clears = 0;
        for (int64_t f = 2; f <= static_cast<int64_t>(r.trace.size()); ++f) {
            if (r.Frame(f).Int("scene") == kStageClear &&
                r.Frame(f - 1).Int("scene") != kStageClear) {
                ++clears;
                EXPECT_EQ(r.Frame(f).Int("rest"), r.Frame(f - 1).Int("rest"));
            }
        }
        EXPECT_EQ(clears, stageTotal - 1);
        const int64_t ending = r.FirstFrameOfScene(kEnding);
        ASSERT_GT(ending, 0);
        EXPECT_EQ(r.Frame(ending).Int("stageNo"), stageTotal);
        EXPECT_GT(r.FirstFrameOfScene(kTitle, ending), 0);
    }
    EXPECT_GE(sets, 2);
}

}  // namespace
}  // namespace zarp::test

// The ranking's rules: the checksum, the defaults, the sections of zarp.dat it reads and writes,
// and where a final score goes in.
#include <gtest/gtest.h>

#include <string>

#include "common/profile/Profile.h"
#include "game/shell/Ranking.h"
#include "tests/support/Files.h"

namespace zarp {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

IniFile Parsed(const std::string& text) {
    IniFile ini;
    ini.Parse(text);
    return ini;
}

TEST(Ranking, ChecksumWrapsAndKeepsTheSignOfTheDividend) {
    RankInts score{};
    RankInts stage{};
    stage.fill(1);
    EXPECT_EQ(RankingChecksum(score, stage), 680);
    score[9] = -1000;
    stage[9] = 0;
    EXPECT_EQ(RankingChecksum(score, stage), -2881);
    score.fill(0);
    stage.fill(1);
    score[0] = INT32_MAX;
    EXPECT_EQ(RankingChecksum(score, stage), -5055);
    score[10] = 999;  // entry 10 is not part of the table
    EXPECT_EQ(RankingChecksum(score, stage), -5055);
}

struct Table {
    RankInts score{};
    RankInts stage{};
    RankNames name{};
    void Read(const IniFile& ini) { ReadRanking(ini, score, stage, name); }
    void Write(IniFile& ini) const { WriteRanking(ini, score, stage, name); }
    bool IsDefault() const {
        for (size_t p = 0; p < 10; ++p) {
            if (score[p] != 0 || stage[p] != 1 || name[p] != "----------") return false;
        }
        return true;
    }
};

TEST(Ranking, FirstRunGivesTheDefaultTableAndWritesSum680) {
    TempDir dir;
    const std::string path = dir.File("zarp.dat");
    IniFile ini;
    std::string error;
    ASSERT_TRUE(ReadProfile(path, ini, &error)) << error;
    Table ranking;
    ranking.name[10] = "untouched";
    ranking.Read(ini);
    EXPECT_TRUE(ranking.IsDefault());
    EXPECT_EQ(ranking.name[10], "untouched");
    ASSERT_TRUE(UpdateProfile(
        path, [&](IniFile& p) { ranking.Write(p); }, &error))
        << error;

    const IniFile written = Parsed(ReadBytes(path));
    EXPECT_EQ(written.Get("Setting", "Sum"), "680");
    const char* keys[] = {"1st", "2nd", "3rd", "4th", "5th", "6th", "7th", "8th", "9th", "10th"};
    for (const char* key : keys) {
        EXPECT_EQ(written.Get("Score", key), "0") << key;
        EXPECT_EQ(written.Get("Stage", key), "1") << key;
        EXPECT_EQ(written.Get("Name", key), "----------") << key;
    }
    EXPECT_EQ(ReadBytes(path).find('\n'), ReadBytes(path).find("\r\n") + 1);
}

TEST(Ranking, HandEditsOfScoresAndStagesResetTheTableButNamesDoNot) {
    Table original;
    original.stage.fill(1);
    for (size_t p = 0; p < 10; ++p) {
        original.score[p] = 1000 - 100 * static_cast<int32_t>(p);
        original.name[p] = "P" + std::to_string(p);
    }
    IniFile saved;
    original.Write(saved);

    struct Case {
        const char* section;
        const char* key;
        std::string value;
        bool reset;
    };
    const Case cases[] = {
        {"Name", "1st", "CHEATER", false}, {"Score", "3rd", "99999", true},
        {"Stage", "10th", "17", true},     {"Setting", "Sum", "1", true},
        {"Score", "1st", "0x3E8", false},  // 1000 written in hex: the same number
    };
    for (const Case& c : cases) {
        IniFile edited = Parsed(saved.Text());
        edited.Set(c.section, c.key, c.value);
        Table read;
        read.Read(edited);
        EXPECT_EQ(read.IsDefault(), c.reset) << c.section << "/" << c.key;
        if (!c.reset) {
            EXPECT_EQ(read.score[0], 1000);
        }
    }
    IniFile renamed = Parsed(saved.Text());
    renamed.Set("Name", "1st", "CHEATER");
    Table read;
    read.Read(renamed);
    EXPECT_EQ(read.name[0], "CHEATER");
}

TEST(Ranking, HexScoreReadsAsItsValue) {
    RankInts score{};
    RankInts stage{};
    stage.fill(1);
    score[0] = 16;
    IniFile ini = Parsed("[Score]\r\n1st=0x10\r\n[Setting]\r\nSum=" +
                         std::to_string(RankingChecksum(score, stage)) + "\r\n");
    Table read;
    read.Read(ini);
    EXPECT_EQ(read.score[0], 16);
    EXPECT_EQ(read.name[0], "----------");
}

TEST(Profile, TheGamesWriteKeepsTheEditorsSection) {
    TempDir dir;
    const std::string path = dir.File("zarp.dat");
    const std::string editor = "[Editor]\r\nLeft=120\r\nTop=-40\r\n";
    WriteBytes(path, editor + "[Score]\r\n1st=5\r\n[Extra]\nkey=value\n");
    std::string error;
    const Table ranking{};
    ASSERT_TRUE(UpdateProfile(
        path, [&](IniFile& p) { ranking.Write(p); }, &error))
        << error;
    const std::string text = ReadBytes(path);
    EXPECT_EQ(text.rfind(editor, 0), 0u) << text;
    EXPECT_EQ(Parsed(text).Get("Extra", "key"), "value");
    EXPECT_EQ(Parsed(text).Get("Score", "1st"), "0");

    // And the editor's write keeps the game's sections.
    ASSERT_TRUE(UpdateProfile(
        path, [](IniFile& p) { p.SetInt("Editor", "Left", 7); }, &error));
    EXPECT_EQ(Parsed(ReadBytes(path)).Get("Setting", "Sum"), Parsed(text).Get("Setting", "Sum"));
    EXPECT_EQ(Parsed(ReadBytes(path)).GetInt("Editor", "Left", 0), 7);
}

// A final score goes in below every equal or better one; the tenth place drops out; a score
// that only equals the tenth stays out and leaves the table as it was.
TEST(Ranking, InsertPutsTheScoreBelowItsEqualsAndDropsTheTenth) {
    struct Case {
        int32_t score, stage;
        int32_t place;  // -1: not in
    };
    const Case cases[] = {{800, 5, 3}, {1000, 2, 0}, {101, 4, 9}, {100, 4, -1}, {0, 1, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.score);
        Ranking ranking;
        const int32_t scores[] = {900, 800, 800, 700, 600, 500, 400, 300, 200, 100};
        for (size_t p = 0; p < 10; ++p) {
            ranking.rankScore[p] = scores[p];
            ranking.rankStage[p] = static_cast<int32_t>(p + 1);
            ranking.rankName[p] = "P" + std::to_string(p);
        }
        const Ranking before = ranking;
        EXPECT_EQ(ranking.Insert(c.score, c.stage), c.place);
        if (c.place < 0) {
            EXPECT_EQ(ranking.rankScore, before.rankScore);
            EXPECT_EQ(ranking.rankName, before.rankName);
            continue;
        }
        const auto at = static_cast<size_t>(c.place);
        EXPECT_EQ(ranking.rankScore[at], c.score);
        EXPECT_EQ(ranking.rankStage[at], c.stage);
        EXPECT_EQ(ranking.rankName[at], "");
        for (size_t p = 0; p < at; ++p)
            EXPECT_EQ(ranking.rankName[p], before.rankName[p]);
        for (size_t p = at + 1; p < 10; ++p)
            EXPECT_EQ(ranking.rankName[p], before.rankName[p - 1]);
    }
}

}  // namespace
}  // namespace zarp

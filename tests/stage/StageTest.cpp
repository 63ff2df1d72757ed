#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "common/paths/AtomicFile.h"
#include "common/stage/Stage.h"
#include "tests/support/Files.h"

namespace zarp {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;

std::string Join(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string text;
    for (const std::string& line : lines)
        text += line + end;
    return text;
}

// One playable stage by "abc": a block of type 0 at (16, 16), the player at (32, 32), angle 0,
// five shots, no coins.
const std::vector<std::string> kExample = {
    "2", "abc",           "*", "*", "*",  "16", "16", "0", "*", "*", "*", "*", "*", "*", "*",
    "*", "## other data", "*", "*", "32", "32", "0",  "5", "*", "*"};

struct GameTables {
    std::unique_ptr<GameBlockTable> blocks = std::make_unique<GameBlockTable>();
    std::unique_ptr<GameEntityTable> entities = std::make_unique<GameEntityTable>();
    StageReadResult Read(const std::vector<std::string>& lines, bool builtIn = false) {
        return ReadStageLines("f.zrp", lines, *blocks, *entities, builtIn);
    }
};

struct EditorTables {
    std::unique_ptr<EditorBlockTable> blocks = std::make_unique<EditorBlockTable>();
    std::unique_ptr<EditorEntityTable> entities = std::make_unique<EditorEntityTable>();
    StageReadResult Read(const std::vector<std::string>& lines) {
        return ReadStageLines("f.zrp", lines, *blocks, *entities);
    }
    void AddBlock(int32_t s, int32_t x, int32_t y, int32_t type) {
        const int32_t i = blocks->count[s]++;
        blocks->x[s][i] = x;
        blocks->y[s][i] = y;
        blocks->type[s][i] = type;
    }
    void AddEntry(int32_t s, int32_t x, int32_t y) {
        const int32_t i = entities->count[s]++;
        entities->x[s][i] = x;
        entities->y[s][i] = y;
    }
    // A fresh editor document: every slot with the start (32, 32) and settings (0, 5).
    void New() {
        for (int32_t s = 0; s < kStageSlots; ++s) {
            blocks->count[s] = 0;
            entities->count[s] = 0;
            AddEntry(s, 32, 32);
            AddEntry(s, 0, 5);
        }
    }
};

// A file with stageTotal slots; slot 1 gets `blocks` blocks and `coins` coins.
std::vector<std::string> SetWith(int32_t stageTotal, int32_t blocks, int32_t coins) {
    std::vector<std::string> lines = {std::to_string(stageTotal), "big"};
    for (int32_t s = 0; s < stageTotal; ++s) {
        for (int32_t i = 0; s == 1 && i < blocks; ++i) {
            lines.insert(lines.end(), {std::to_string(16 + i % 19 * 32), "16", "5"});
        }
        lines.insert(lines.end(), {"*", "*", "*"});
    }
    lines.insert(lines.end(), {"*", "*", "*", "*", "*", "## other data"});
    for (int32_t s = 0; s < stageTotal; ++s) {
        if (s > 0) lines.insert(lines.end(), {"32", "32", "0", "5"});
        for (int32_t i = 0; s == 1 && i < coins; ++i) {
            lines.insert(lines.end(), {std::to_string(i), "100"});
        }
        lines.insert(lines.end(), {"*", "*"});
    }
    return lines;
}

TEST(StageLines, SplitsAtEveryLineEndWithoutATrailingEmptyLine) {
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"x\r\r\n", {"x", ""}},
        // A UTF-8 byte order mark is skipped in front, and only there.
        {"\xEF\xBB\xBF"
         "2\r\nabc",
         {"2", "abc"}},
        {"\xEF\xBB\xBF", {}},
        {"\xEF\xBB\xBF\r\n", {""}},
        {"a\r\n\xEF\xBB\xBF"
         "b",
         {"a",
          "\xEF\xBB\xBF"
          "b"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitStageLines(c.bytes), c.lines) << c.bytes;
}

TEST(StageLines, WholeNumbersOnly) {
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"16", true, 16},
        {"-5", true, -5},
        {"-0", true, 0},
        {"007", true, 7},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"+5", false, 0},
        {" 5", false, 0},
        {"5 ", false, 0},
        {"5a", false, 0},
        {"$10", false, 0},
        {"0x10", false, 0},
        {"1.5", false, 0},
        {"--1", false, 0},
    };
    for (const Case& c : cases) {
        int32_t value = 12345;
        EXPECT_EQ(ParseStageInt(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(StageFormat, ExampleReadsIntoBothTablesAndWritesBackByteForByte) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
        const auto lines = SplitStageLines(Join(kExample, end));
        GameTables game;
        const StageReadResult read = game.Read(lines);
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_TRUE(read.warnings.empty());
        EXPECT_EQ(read.stageTotal, 2);
        EXPECT_EQ(read.author, "abc");
        EXPECT_EQ(game.blocks->count[0], 0);
        ASSERT_EQ(game.blocks->count[1], 1);
        EXPECT_EQ(game.blocks->x[1][0], 16);
        EXPECT_EQ(game.blocks->y[1][0], 16);
        EXPECT_EQ(game.blocks->type[1][0], 0);
        EXPECT_EQ(game.entities->count[0], 0);  // the game adds no defaults
        ASSERT_EQ(game.entities->count[1], 2);
        EXPECT_EQ(game.entities->x[1][0], 32);
        EXPECT_EQ(game.entities->y[1][1], 5);

        EditorTables editor;
        const StageReadResult editorRead = editor.Read(lines);
        ASSERT_TRUE(editorRead.ok) << editorRead.error;
        EXPECT_EQ(editor.entities->count[0], 2);  // the editor's default start and settings
        std::string text;
        const StageWriteResult written = FormatStageFile(text, *editor.blocks, *editor.entities,
                                                         editorRead.stageTotal, "abc", 1);
        ASSERT_TRUE(written.ok);
        EXPECT_TRUE(written.warnings.empty());
        EXPECT_EQ(text, Join(kExample));
    }
}

TEST(StageFormat, ShiftJisAuthorRoundTripsAndALineBreakCannotSplitTheFile) {
    const std::string sjis = "\x83\x65\x83\x58\x83\x67\x81\x5c";  // Shift-JIS, ends in 0x5C
    auto lines = kExample;
    lines[1] = sjis;
    EditorTables editor;
    const StageReadResult read = editor.Read(lines);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.author, sjis);
    std::string text;
    ASSERT_TRUE(FormatStageFile(text, *editor.blocks, *editor.entities, 2, read.author, 1).ok);
    EXPECT_EQ(text, Join(lines));

    ASSERT_TRUE(FormatStageFile(text, *editor.blocks, *editor.entities, 2, "a\r\nb", 1).ok);
    EXPECT_EQ(SplitStageLines(text)[1], "a  b");
    EXPECT_EQ(SplitStageLines(text).size(), kExample.size());
}

TEST(StageFormat, EditorRoundTripCompactsErasedEntriesAndEmptiesSlotZero) {
    EditorTables editor;
    editor.New();
    editor.AddBlock(0, 100, 100, 3);  // slot 0 is never written
    editor.AddBlock(1, 16, 16, 0);
    editor.AddBlock(1, kEmptyMarker, 48, 5);  // x 999 alone erases, whatever y and type
    editor.AddBlock(1, 48, 16, 10);
    editor.AddBlock(2, kEmptyMarker, kEmptyMarker, kEmptyMarker);
    editor.AddBlock(2, 80, 80, 7);
    editor.AddEntry(1, 200, 200);
    editor.AddEntry(1, kEmptyMarker, kEmptyMarker);
    editor.AddEntry(1, 300, 300);
    std::string text;
    const StageWriteResult written =
        FormatStageFile(text, *editor.blocks, *editor.entities, 3, "me", 1);
    ASSERT_TRUE(written.ok);
    EXPECT_EQ(editor.blocks->count[0], 0);
    EXPECT_EQ(editor.entities->count[0], 0);

    EditorTables back;
    const StageReadResult read = back.Read(SplitStageLines(text));
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(back.blocks->count[0], 0);
    EXPECT_EQ(back.entities->count[0], 2);  // the reader's defaults for an empty slot
    ASSERT_EQ(back.blocks->count[1], 2);
    EXPECT_EQ(back.blocks->x[1][1], 48);
    EXPECT_EQ(back.blocks->type[1][1], 10);
    ASSERT_EQ(back.blocks->count[2], 1);
    EXPECT_EQ(back.blocks->x[2][0], 80);
    ASSERT_EQ(back.entities->count[1], 4);
    EXPECT_EQ(back.entities->x[1][2], 200);
    EXPECT_EQ(back.entities->x[1][3], 300);
    EXPECT_EQ(back.entities->count[2], 2);
}

TEST(StageFormat, WriterWarnsAboveTheGamesCapacitiesAndLowersTheCurrentStage) {
    struct Case {
        int32_t blocks, coins;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {400, 48, {}},
        {401, 48, {"ステージ1はブロックが多すぎるので、減らしてください"}},
        {400, 49, {"ステージ1はコインが多すぎるので、減らしてください"}},
        {401,
         49,
         {"ステージ1はブロックが多すぎるので、減らしてください",
          "ステージ1はコインが多すぎるので、減らしてください"}},
    };
    for (const Case& c : cases) {
        EditorTables editor;
        editor.New();
        for (int32_t i = 0; i < c.blocks; ++i)
            editor.AddBlock(1, 16, 16, 5);
        for (int32_t i = 0; i < c.coins; ++i)
            editor.AddEntry(1, 100 + i, 100);
        editor.AddBlock(3, 16, 16, 10);
        editor.AddEntry(3, 200, 200);
        std::string text;
        const StageWriteResult written =
            FormatStageFile(text, *editor.blocks, *editor.entities, 4, "", 3);
        ASSERT_TRUE(written.ok);
        std::vector<std::string> texts;
        for (const StageWarning& w : written.warnings) {
            texts.push_back(w.text);
            EXPECT_EQ(w.slot, 1);
        }
        EXPECT_EQ(texts, c.texts) << c.blocks << " " << c.coins;
        // The stage being edited (3) loses one entry per warning; the file keeps them all.
        const bool blockWarning = c.blocks > 400;
        const bool coinWarning = c.coins > 48;
        EXPECT_EQ(editor.blocks->count[3], blockWarning ? 0 : 1);
        EXPECT_EQ(editor.entities->count[3], coinWarning ? 2 : 3);
        EXPECT_EQ(editor.blocks->count[1], c.blocks);
        EditorTables back;
        ASSERT_TRUE(back.Read(SplitStageLines(text)).ok);
        EXPECT_EQ(back.blocks->count[1], c.blocks);
        EXPECT_EQ(back.entities->count[1], c.coins + 2);
        EXPECT_EQ(back.blocks->count[3], 1);
        EXPECT_EQ(back.entities->count[3], 3);
        // A second warning never takes the stage's start and settings.
        if (coinWarning) {
            FormatStageFile(text, *editor.blocks, *editor.entities, 4, "", 3);
            EXPECT_EQ(editor.entities->count[3], 2);
        }
    }
}

TEST(StageFormat, WriterRefusesAStageTotalTheTablesCannotHold) {
    for (const int32_t total : {-1, 0, 1, 22}) {
        EditorTables editor;
        editor.New();
        std::string text = "untouched";
        const StageWriteResult written =
            FormatStageFile(text, *editor.blocks, *editor.entities, total, "", 1);
        EXPECT_FALSE(written.ok) << total;
        EXPECT_EQ(text, "untouched");
        EXPECT_EQ(editor.entities->count[0], 2);
    }
}

TEST(StageReader, RejectsMalformedFilesWithTheLineAndLeavesTheTablesAlone) {
    auto with = [](size_t index, const std::string& line) {
        auto lines = kExample;
        lines[index] = line;
        return lines;
    };
    auto without = [](size_t index) {
        auto lines = kExample;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(index));
        return lines;
    };
    auto firstLines = [](size_t n) {
        return std::vector<std::string>(kExample.begin(),
                                        kExample.begin() + static_cast<std::ptrdiff_t>(n));
    };
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::string error;  // the message starts with this
    };
    const Case cases[] = {
        {"empty file", {}, "f.zrp:1: expected the number of stages"},
        {"stageTotal 0", with(0, "0"), "f.zrp:1: expected the number of stages"},
        {"stageTotal 1", with(0, "1"), "f.zrp:1: "},
        {"stageTotal 22", with(0, "22"), "f.zrp:1: "},
        {"stageTotal -1", with(0, "-1"), "f.zrp:1: "},
        {"stageTotal text", with(0, "two"), "f.zrp:1: "},
        {"no author line", firstLines(1), "f.zrp:2: expected the author line"},
        {"text for a block x", with(5, "sixteen"), "f.zrp:6: expected a block x"},
        {"text for a block y", with(6, "1 6"), "f.zrp:7: expected the y of a block of stage 1"},
        {"text for a block type", with(7, ""), "f.zrp:8: expected the type"},
        {"block cut short", firstLines(7), "f.zrp:8: expected the type"},
        {"missing block terminator", firstLines(8), "f.zrp:9: expected a block x or \"*\""},
        {"missing marker", with(16, "## other  data"),
         "f.zrp:26: expected the line \"## other data\""},
        {"marker removed", without(16), "f.zrp:25: expected the line \"## other data\""},
        {"text for an entry y", with(20, "x"), "f.zrp:21: expected the y of an entry of stage 1"},
        {"missing entry terminator", firstLines(23), "f.zrp:24: expected an entry x or \"*\""},
        {"number out of range", with(5, "2147483648"), "f.zrp:6: "},
    };
    for (const Case& c : cases) {
        GameTables game;
        game.blocks->count[1] = 7;
        game.entities->count[1] = 9;
        const StageReadResult read = game.Read(c.lines);
        EXPECT_FALSE(read.ok) << c.what;
        EXPECT_EQ(read.error.rfind(c.error, 0), 0u) << c.what << ": " << read.error;
        EXPECT_EQ(game.blocks->count[1], 7) << c.what;
        EXPECT_EQ(game.entities->count[1], 9) << c.what;
    }
}

TEST(StageReader, RecordsBeyondASlotsCapacityAreDroppedWithAWarning) {
    struct Case {
        int32_t blocks, coins;
        int32_t gameBlocks, gameEntries;
        std::vector<std::string> gameWarnings;
        int32_t editorBlocks;
    };
    const Case cases[] = {
        {400, 48, 400, 50, {}, 400},
        {401,
         48,
         400,
         50,
         {"f.zrp: stage 1: 1 blocks beyond the 400 a stage holds were dropped"},
         401},
        {0,
         49,
         0,
         50,
         {"f.zrp: stage 1: 1 entries (coins) beyond the 50 a stage holds were dropped"},
         0},
        {10000,
         0,
         400,
         2,
         {"f.zrp: stage 1: 9600 blocks beyond the 400 a stage holds were dropped"},
         500},
    };
    for (const Case& c : cases) {
        const auto lines = SetWith(3, c.blocks, c.coins);
        GameTables game;
        const StageReadResult read = game.Read(lines);
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_EQ(game.blocks->count[1], c.gameBlocks);
        EXPECT_EQ(game.entities->count[1], c.gameEntries);
        EXPECT_EQ(read.warnings, c.gameWarnings);
        // The slot after the crowded one is read from the right place.
        EXPECT_EQ(game.entities->count[2], 2);
        EXPECT_EQ(game.entities->y[2][1], 5);

        EditorTables editor;
        const StageReadResult editorRead = editor.Read(lines);
        ASSERT_TRUE(editorRead.ok);
        EXPECT_EQ(editor.blocks->count[1], c.editorBlocks);
        EXPECT_EQ(editorRead.warnings.size(), c.blocks > 500 ? 1u : 0u);
    }
}

TEST(StageReader, BuiltInSetHasSeventeenSlotsWhateverLineZeroSays) {
    auto lines = SetWith(17, 1, 0);
    lines[0] = "5";
    GameTables game;
    game.entities->count[17] = 3;  // beyond the set: kept
    StageReadResult read = game.Read(lines, true);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.stageTotal, 17);
    EXPECT_EQ(game.entities->count[16], 2);
    EXPECT_EQ(game.entities->count[17], 3);

    // A user file saying 5 reads five slots only.
    read = game.Read(lines, false);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.stageTotal, 5);

    // Too few slots for the built-in set: rejected, not read past the end.
    read = game.Read(kExample, true);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error.rfind("f.zrp:", 0), 0u);
}

TEST(StageReader, TwentyPlayableStagesFitTheTables) {
    GameTables game;
    const StageReadResult read = game.Read(SetWith(21, 2, 1));
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.stageTotal, 21);
    EXPECT_EQ(game.entities->count[20], 2);
}

// Damaged copies of a valid file: every one is accepted or rejected with its name and a line,
// never read past its lines (run this under AddressSanitizer too).
TEST(StageReader, SurvivesDamagedFiles) {
    const auto base = SetWith(4, 3, 2);
    std::mt19937 random(12345);
    const std::vector<std::string> junk = {"*", "## other data", "", "-1", "999", "x", "400"};
    for (int round = 0; round < 2000; ++round) {
        auto lines = base;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !lines.empty(); ++e) {
            const size_t at = random() % lines.size();
            switch (random() % 3) {
                case 0:
                    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
                    break;
                case 1:
                    lines[at] = junk[random() % junk.size()];
                    break;
                default:
                    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at),
                                 junk[random() % junk.size()]);
            }
        }
        GameTables game;
        const StageReadResult read = game.Read(lines);
        if (!read.ok) {
            EXPECT_EQ(read.error.rfind("f.zrp:", 0), 0u) << read.error;
        }
        EditorTables editor;
        const StageReadResult editorRead = editor.Read(lines);
        EXPECT_EQ(read.ok, editorRead.ok);
    }
}

TEST(StageFiles, WriteThenReadThroughTheDisk) {
    TempDir dir;
    EditorTables editor;
    ASSERT_TRUE(editor.Read(kExample).ok);
    const std::string path = dir.File("set.zrp");
    StageWriteResult written = WriteStageFile(path, *editor.blocks, *editor.entities, 2, "abc", 1);
    ASSERT_TRUE(written.ok) << written.error;
    EXPECT_EQ(ReadBytes(path), Join(kExample));
    GameTables game;
    const StageReadResult read = ReadStageFile(path, *game.blocks, *game.entities, false);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(game.blocks->count[1], 1);

    // Missing file: the path and the system's reason.
    const StageReadResult missing =
        ReadStageFile(dir.File("none.zrp"), *game.blocks, *game.entities, false);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error.rfind(dir.File("none.zrp") + ": ", 0), 0u) << missing.error;

    // Something far too large to be a stage set is refused without filling memory.
    const std::string huge = dir.File("huge.zrp");
    std::filesystem::resize_file(dir.File("set.zrp"), 0);
    std::filesystem::copy_file(dir.File("set.zrp"), huge);
    std::filesystem::resize_file(huge, 17 * 1024 * 1024);
    const StageReadResult tooLarge = ReadStageFile(huge, *game.blocks, *game.entities, false);
    EXPECT_FALSE(tooLarge.ok);
    EXPECT_NE(tooLarge.error.find("larger than"), std::string::npos) << tooLarge.error;

    // Unwritable place: an error naming the path, no file.
    written = WriteStageFile(dir.File("no/such/folder.zrp"), *editor.blocks, *editor.entities, 2,
                             "abc", 1);
    EXPECT_FALSE(written.ok);
    EXPECT_NE(written.error.find("no/such/folder.zrp"), std::string::npos);
}

TEST(StageFiles, AByteOrderMarkIsSkippedByEveryReaderAndNeverWritten) {
    TempDir dir;
    const std::string path = dir.File("notepad.zrp");
    testing_support::WriteBytes(path, "\xEF\xBB\xBF" + Join(kExample));
    GameTables game;
    const StageReadResult read = ReadStageFile(path, *game.blocks, *game.entities, false);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_TRUE(read.byteOrderMark);
    EXPECT_EQ(read.stageTotal, 2);
    EXPECT_EQ(game.blocks->count[1], 1);

    EditorTables editor;
    const StageReadResult editorRead = ReadStageFile(path, *editor.blocks, *editor.entities);
    ASSERT_TRUE(editorRead.ok) << editorRead.error;
    EXPECT_EQ(editorRead.author, "abc");
    const std::string saved = dir.File("saved.zrp");
    ASSERT_TRUE(WriteStageFile(saved, *editor.blocks, *editor.entities, 2, "abc", 1).ok);
    EXPECT_EQ(ReadBytes(saved), Join(kExample));

    // Line numbers in messages count as if the mark were not there.
    auto broken = kExample;
    broken[6] = "x";
    testing_support::WriteBytes(path, "\xEF\xBB\xBF" + Join(broken));
    const StageReadResult refused = ReadStageFile(path, *game.blocks, *game.entities, false);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find(path + ":7: "), std::string::npos) << refused.error;
}

TEST(StageFiles, ASymlinkAtTheTargetIsReplacedNotFollowed) {
    TempDir dir;
    const std::string victim = dir.File("victim");
    { std::ofstream(victim) << "precious"; }
    const std::string link = dir.File("$$$zrp$$$.tmp");
    ASSERT_EQ(::symlink(victim.c_str(), link.c_str()), 0);
    EditorTables editor;
    ASSERT_TRUE(editor.Read(kExample).ok);
    ASSERT_TRUE(WriteStageFile(link, *editor.blocks, *editor.entities, 2, "abc", 1).ok);
    EXPECT_EQ(ReadBytes(victim), "precious");
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(link), Join(kExample));
    // Only the two files remain: no temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("")),
                            std::filesystem::directory_iterator()),
              2);
}

TEST(StageFiles, ReplacingAFileKeepsItsMode) {
    TempDir dir;
    const std::string path = dir.File("set.zrp");
    { std::ofstream(path) << "old"; }
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    EditorTables editor;
    ASSERT_TRUE(editor.Read(kExample).ok);
    ASSERT_TRUE(WriteStageFile(path, *editor.blocks, *editor.entities, 2, "abc", 1).ok);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace zarp

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/Files.h"
#include "tools/zrptool/Command.h"

namespace zarp::zrptool {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;

void WriteLines(const std::string& path, const std::vector<std::string>& lines,
                const char* end = "\r\n") {
    std::ofstream out(path, std::ios::binary);
    for (const std::string& line : lines)
        out << line << end;
}

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome Zrptool(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    Outcome run;
    run.status = ZrptoolMain(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

const std::vector<std::string> kExample = {
    "2", "abc",           "*", "*", "*",  "16", "16", "0", "*", "*", "*", "*", "*", "*", "*",
    "*", "## other data", "*", "*", "32", "32", "0",  "5", "*", "*"};

TEST(Zrptool, CheckReportsEachPlayableStage) {
    TempDir dir;
    const std::string path = dir.File("one.zrp");
    auto lines = kExample;
    lines[7] = "10";                            // the block is a goal
    lines[1] = "\x83\x65\x83\x58\x83\x67 A\"";  // Shift-JIS bytes, a quote
    lines[21] = "45";                           // angle 90 degrees
    WriteLines(path, lines);
    const Outcome run = Zrptool({"check", path});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, path + ": stageTotal 2, author \"\\x83e\\x83X\\x83g A\\x22\"\n" +
                           "  stage 1: blocks 1, coins 0, start (32, 32), angle 90, shots 5\n"
                           "    1 Goal\n");
}

TEST(Zrptool, CheckShowsEveryAuthorByteThatIsNotPrintableTextAsHex) {
    struct Case {
        std::string author;
        std::string shown;
    };
    const Case cases[] = {
        {"abc \xC3\xA9\xE3\x81\x82", "abc \xC3\xA9\xE3\x81\x82"},  // UTF-8 as it is
        {"\x83\x65\x83\x58", "\\x83e\\x83X"},                      // Shift-JIS
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},                       // an encoded surrogate
        {"\xE0\x80\xAF", "\\xE0\\x80\\xAF"},                       // overlong
        {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},              // beyond U+10FFFF
        {"\xE3\x81", "\\xE3\\x81"},                                // cut short
        {"\x1B[2J\x7F", "\\x1B[2J\\x7F"},                          // terminal controls
        {"\xC2\x9B"
         "2J",
         "\\xC2\\x9B"
         "2J"},                          // a C1 control in UTF-8
        {"a\\x41\"", "a\\x5Cx41\\x22"},  // nothing looks escaped
    };
    TempDir dir;
    const std::string path = dir.File("author.zrp");
    for (const Case& c : cases) {
        auto lines = kExample;
        lines[1] = c.author;
        WriteLines(path, lines);
        const Outcome run = Zrptool({"check", path});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
                  path + ": stageTotal 2, author \"" + c.shown + "\"")
            << testing::PrintToString(c.author);
    }
}

TEST(Zrptool, CheckWarnsAboutAByteOrderMark) {
    TempDir dir;
    const std::string path = dir.File("notepad.zrp");
    auto lines = kExample;
    lines[7] = "10";  // a goal, so that the mark is the only warning
    lines[0] =
        "\xEF\xBB\xBF"
        "2";
    WriteLines(path, lines);
    const Outcome run = Zrptool({"check", path});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, path + ": stageTotal 2, author \"abc\"\n" +
                           "  stage 1: blocks 1, coins 0, start (32, 32), angle 0, shots 5\n" +
                           "    1 Goal\n" + "warning: " + path +
                           ": the file begins with a UTF-8 byte order mark, which the readers "
                           "skip and the editor does not write\n");
}

TEST(Zrptool, CheckWarnsAboutWhatTheGameTolerates) {
    TempDir dir;
    const std::string path = dir.File("warn.zrp");
    std::vector<std::string> lines = {"3", ""};
    lines.insert(lines.end(), {"*", "*", "*"});  // slot 0
    // Stage 1: a goal, a block of unknown type, a big block hanging off the right edge.
    lines.insert(lines.end(), {"16", "16", "10", "48", "16", "18", "576", "16", "0"});
    lines.insert(lines.end(), {"*", "*", "*"});
    // Stage 2: 401 goals, one too many for the game.
    for (int i = 0; i < 401; ++i)
        lines.insert(lines.end(), {"16", "16", "10"});
    lines.insert(lines.end(), {"*", "*", "*", "*", "*", "*", "*", "*", "## other data"});
    lines.insert(lines.end(), {"*", "*"});
    // Stage 1: start off the field, no shots, one coin inside and one below the field.
    lines.insert(lines.end(), {"0", "32", "0", "0", "100", "100", "100", "420", "*", "*"});
    // Stage 2: no entries at all.
    lines.insert(lines.end(), {"*", "*"});
    WriteLines(path, lines, "\n");
    const Outcome run = Zrptool({"check", path});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string p = path + ": ";
    EXPECT_EQ(run.out,
              p + "stageTotal 3, author \"\"\n" +
                  "  stage 1: blocks 3, coins 2, start (0, 32), angle 0, shots 0\n"
                  "    1 Steel 64, 1 Goal\n"
                  "  stage 2: blocks 400, coins 0, start none, angle none, shots none\n"
                  "    400 Goal\n"
                  "warning: " +
                  p + "stage 2: 1 blocks beyond the 400 a stage holds were dropped\n" +
                  "warning: " + p + "stage 1: block 2 at (48, 16) has the unknown type 18\n" +
                  "warning: " + p +
                  "stage 1: block 3 at (576, 16) (Steel 64) lies off the field\n" +
                  "warning: " + p + "stage 1: the start (0, 32) lies off the field\n" +
                  "warning: " + p + "stage 1: shots 0 outside 1 to 9\n" + "warning: " + p +
                  "stage 1: coin 2 at (100, 420) lies off the field\n" + "warning: " + p +
                  "stage 2: no start and settings entries; the game cannot play this stage\n");
}

TEST(Zrptool, CheckRejectsWithFileAndLineAndGoesOnWithTheNextFile) {
    TempDir dir;
    const std::string bad = dir.File("bad.zrp");
    const std::string good = dir.File("good.zrp");
    auto lines = kExample;
    lines[6] = "sixteen";
    WriteLines(bad, lines);
    WriteLines(good, kExample);
    const Outcome run = Zrptool({"check", bad, good, dir.File("missing.zrp")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(
        run.err.rfind(bad + ":7: expected the y of a block of stage 1, found \"sixteen\"\n", 0), 0u)
        << run.err;
    EXPECT_NE(run.err.find(dir.File("missing.zrp") + ": "), std::string::npos);
    EXPECT_EQ(run.out.rfind(good + ": stageTotal 2", 0), 0u) << run.out;
}

TEST(Zrptool, NormalizeWritesTheEditorsFormat) {
    TempDir dir;
    const std::string in = dir.File("in.zrp");
    const std::string out = dir.File("out.zrp");
    // LF line ends, a block in slot 0, an erased block and coin (x 999), slot 2 without entries.
    WriteLines(in, {"3",  "me", "1",  "2",   "3",
                    "*",  "*",  "*",  "999", "0",
                    "0",  "16", "16", "10",  "*",
                    "",   "",   "*",  "*",   "*",
                    "*",  "*",  "*",  "*",   "## other data",
                    "5",  "5",  "*",  "*",   "40",
                    "40", "1",  "3",  "999", "999",
                    "64", "64", "*",  "*",   "*",
                    "*"},
               "\n");
    const Outcome run = Zrptool({"normalize", in, out});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    std::string expected;
    for (const char* line : {"3",  "me", "*",  "*",  "*", "16", "16", "10", "*", "*",
                             "*",  "*",  "*",  "*",  "*", "*",  "*",  "*",  "*", "## other data",
                             "*",  "*",  "40", "40", "1", "3",  "64", "64", "*", "*",
                             "32", "32", "0",  "5",  "*", "*"}) {
        expected += std::string(line) + "\r\n";
    }
    EXPECT_EQ(ReadBytes(out), expected);

    // Normalizing the result again changes nothing, even in place.
    ASSERT_EQ(Zrptool({"normalize", out, out}).status, 0);
    EXPECT_EQ(ReadBytes(out), expected);
}

TEST(Zrptool, NormalizePrintsTheEditorsWarningsAndStillWrites) {
    TempDir dir;
    const std::string in = dir.File("in.zrp");
    const std::string out = dir.File("out.zrp");
    std::vector<std::string> lines = {"2", "", "*", "*", "*"};
    for (int i = 0; i < 401; ++i)
        lines.insert(lines.end(), {"16", "16", "5"});
    lines.insert(lines.end(), {"*", "*", "*", "*", "*", "*", "*", "*", "## other data", "*", "*",
                               "32", "32", "0", "5", "*", "*"});
    WriteLines(in, lines);
    const Outcome run = Zrptool({"normalize", in, out});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "warning: " + out + ": ステージ1はブロックが多すぎるので、減らしてください\n");
    EXPECT_EQ(ReadBytes(out), ReadBytes(in));
}

TEST(Zrptool, FailuresAndUsage) {
    TempDir dir;
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string errStart;
    };
    const Case cases[] = {
        {{}, 2, "zrptool: a command is missing"},
        {{"frobnicate"}, 2, "zrptool: unknown command \"frobnicate\""},
        {{"check"}, 2, "zrptool check: no file given"},
        {{"normalize", "a"}, 2, "zrptool normalize: usage"},
        {{"normalize", dir.File("none.zrp"), dir.File("out.zrp")}, 1, dir.File("none.zrp") + ": "},
    };
    for (const Case& c : cases) {
        const Outcome run = Zrptool(c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.err.rfind(c.errStart, 0), 0u) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.zrp")));

    const Outcome help = Zrptool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("zrptool check FILE..."), std::string::npos);
    EXPECT_NE(help.out.find("zrptool normalize IN OUT"), std::string::npos);
    const Outcome version = Zrptool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("zrptool ", 0), 0u);
}

}  // namespace
}  // namespace zarp::zrptool

// zarp.dat in bad shape, and a program folder the game may not write: the game starts with what
// it can read, says so where it cannot, and never loses a section of the file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/profile/Profile.h"
#include "common/text/Utf8.h"
#include "game/shell/Ranking.h"
#include "tests/hardening/Harness.h"

namespace zarp::hardening {
namespace {

constexpr const char* kDefaultNames = "\"rankName\":[\"----------\"";
// The one line for a zarp.dat that cannot be read: said at the start, nothing more at the end.
constexpr const char* kNotSaved = "; the ranking starts from its defaults and is not saved\n";

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

struct ProfileCase {
    const char* name;
    std::string text;
    bool rankingReadable;  // the fixture ranking can be read from it
};

std::string Binary() {
    std::string bytes;
    for (int round = 0; round < 4; ++round) {
        for (int i = 0; i < 256; ++i)
            bytes += static_cast<char>(i);
    }
    return bytes;
}

std::vector<ProfileCase> Cases() {
    const std::string fixture = FixtureProfile();
    return {
        {"Garbage", "this is not\r\nan INI file ]][[ == \r\n=value without key\r\n[\r\n", false},
        {"BinaryBytes", Binary(), false},
        {"BinaryBeforeTheRanking", Binary() + "\r\n" + fixture, true},
        {"HugeLineInAForeignSection",
         fixture + "[Huge]\r\nline=" + std::string(2 * 1024 * 1024, 'x') + "\r\n", true},
        {"HugeValueInTheRanking", fixture + "[Name]\r\n11th=" + std::string(100000, 'y') + "\r\n",
         true},
        {"NoLineEnds", std::string(4096, '['), false},
        {"Empty", "", false},
    };
}

class ProfileDamage : public testing::TestWithParam<ProfileCase> {};

TEST_P(ProfileDamage, ReadsWhatItCanAndKeepsEverySection) {
    GameFolder game;
    const ProfileCase& c = GetParam();
    WriteBytes(game.prog() / "zarp.dat", c.text);
    const RunResult run = game.Play(40, "1 Space\n");
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << run.err;
    EXPECT_FALSE(run.LogHas("messagebox"));

    const std::string after = ReadBytes(game.prog() / "zarp.dat");
    if (c.rankingReadable) {
        EXPECT_TRUE(HasFixtureRanking(after));
        EXPECT_TRUE(HasForeignSections(after));
        EXPECT_NE(run.stateText.find("\"rankName\":[\"KEEP0\""), std::string::npos);
    } else {
        EXPECT_NE(run.stateText.find(kDefaultNames), std::string::npos) << run.stateText;
    }
    // Every line of the old file that was not the game's own is still in the new one.
    IniFile old;
    old.Parse(c.text);
    IniFile now;
    now.Parse(after);
    IniFile oldWithRanking = old;
    RankInts score{}, stage{};
    RankNames name;
    ReadRanking(now, score, stage, name);
    WriteRanking(oldWithRanking, score, stage, name);
    EXPECT_EQ(oldWithRanking.Text(), now.Text());
}

INSTANTIATE_TEST_SUITE_P(Hardening, ProfileDamage, testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Profile, FilesWrittenTheWindowsWay) {
    // Notepad's byte order marks and a Shift-JIS name, as Windows programs leave zarp.dat.
    const std::string fixture = FixtureProfile();
    std::string utf16le = "\xFF\xFE", utf16be = "\xFE\xFF";
    for (const char c : fixture) {
        utf16le += std::string{c, '\0'};
        utf16be += std::string{'\0', c};
    }
    IniFile shiftJis;
    shiftJis.Parse(fixture);
    shiftJis.Set("Name", "1st", "\x83\x65\x83\x58\x83\x67");  // "テスト"; names are not summed
    struct Case {
        const char* name;
        std::string bytes;
        bool readable;
        const char* firstName;  // as --state writes it
    };
    const Case cases[] = {
        {"Utf8Mark", "\xEF\xBB\xBF" + fixture, true, "KEEP0"},
        {"Utf16LE", utf16le, false, "----------"},
        {"Utf16BE", utf16be, false, "----------"},
        {"ShiftJisName", shiftJis.Text(), true, "\\udc83e\\udc83X\\udc83g"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFolder game;
        WriteBytes(game.prog() / "zarp.dat", c.bytes);
        const RunResult run = game.Play(40, "1 Space\n");
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_NE(run.stateText.find(std::string("\"rankName\":[\"") + c.firstName + "\""),
                  std::string::npos)
            << run.stateText;
        // The state is UTF-8 through and through, whatever the names hold.
        for (size_t i = 0; i < run.stateText.size();
             i += std::max<size_t>(1, Utf8SequenceLength(run.stateText, i)))
            ASSERT_NE(Utf8SequenceLength(run.stateText, i), 0u)
                << "byte " << i << " " << run.stateText;
        // Every byte keeps its place: the game writes the same ranking back (a UTF-16 file it
        // does not write at all), and says why in one line.
        EXPECT_EQ(ReadBytes(game.prog() / "zarp.dat"), c.bytes);
        EXPECT_EQ(Count(run.err, "UTF-16"), c.readable ? 0 : 1) << run.err;
        EXPECT_EQ(Count(run.err, "\n"), c.readable ? 0 : 1) << run.err;
    }
}

TEST(Profile, FarTooLargeIsLeftAloneAndSaid) {
    // Beyond any real size the file is neither read into memory nor replaced.
    GameFolder game;
    const std::string huge =
        FixtureProfile() + "[Huge]\r\nline=" + std::string(17 * 1024 * 1024, 'z') + "\r\n";
    WriteBytes(game.prog() / "zarp.dat", huge);
    const RunResult run = game.Play(40, "1 Space\n");
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.stateText.find(kDefaultNames), std::string::npos);
    EXPECT_NE(run.err.find("zarp.dat"), std::string::npos) << run.err;
    EXPECT_EQ(Count(run.err, kNotSaved), 1) << run.err;
    EXPECT_TRUE(ReadBytes(game.prog() / "zarp.dat") == huge);
}

TEST(Profile, AFolderNamedZarpDatIsSaidAndLeftAlone) {
    GameFolder game;
    fs::remove(game.prog() / "zarp.dat");
    fs::create_directory(game.prog() / "zarp.dat");
    const RunResult run = game.Play(40, "1 Space\n");
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.stateText.find(kDefaultNames), std::string::npos);
    EXPECT_EQ(Count(run.err, kNotSaved), 1) << run.err;
    EXPECT_TRUE(fs::is_directory(game.prog() / "zarp.dat"));
}

TEST(Profile, ReadOnlyProgramFolderKeepsTheOldFileAndSaysSo) {
    GameFolder game;
    std::vector<std::string> prefix;
    if (::geteuid() == 0) {
        // The superuser writes anywhere: play as an ordinary user instead.
        if (!fs::exists("/usr/bin/setpriv")) GTEST_SKIP() << "running as root without setpriv";
        prefix = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        fs::permissions(game.root(), fs::perms::all);  // passable for that user
        // The build folder may lie where that user cannot go: play a copy of the program.
        fs::copy_file(game.program, game.root() / "zarp-headless");
        game.program = game.root() / "zarp-headless";
    }
    const std::string before = ReadBytes(game.prog() / "zarp.dat");
    fs::permissions(game.prog(), fs::perms::owner_read | fs::perms::owner_exec |
                                     fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(game.work(), fs::perms::all);
    // A finished game: the name entry is where a ranking would change, but any run writes.
    const RunResult run = game.Play(40, "1 Space\n", {"w"}, {}, prefix);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.stateText.find("\"rankName\":[\"KEEP0\""), std::string::npos) << run.stateText;
    // One line on stderr, and the old file is whole.
    const std::string line = "zarp: the ranking was not saved: ";
    const size_t first = run.err.find(line);
    ASSERT_NE(first, std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(line, first + 1), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(game.prog() / "zarp.dat"), before);
}

}  // namespace
}  // namespace zarp::hardening

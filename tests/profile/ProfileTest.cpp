#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/profile/Profile.h"
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

// Runs `body` in a child process and returns its wait status.
template <typename Body>
int InChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

TEST(IniFile, NamesMatchWhateverTheirCaseAndTheFirstSectionCounts) {
    const IniFile ini = Parsed(
        "; comment\r\n[Score]\r\n1st = 120 \r\nOther=x\n[score]\n1st=5\r[Name]\r\n1ST=AB CD\r\n");
    EXPECT_EQ(ini.Get("SCORE", "1st"), "120");
    EXPECT_EQ(ini.Get("score", "OTHER"), "x");
    EXPECT_EQ(ini.Get("Name", "1st"), "AB CD");
    EXPECT_EQ(ini.Get("Name", "2nd"), std::nullopt);
    EXPECT_EQ(ini.Get("Nope", "1st"), std::nullopt);
}

TEST(IniFile, OddLinesAreKeysCommentsOrLeftAsTheyAre) {
    IniFile ini = Parsed(
        "[ A ] tail\r\n;k=comment\r\n[b=1\r\nv = x=y \r\n =blank\r\nno equals\r\n"
        "[B]\r\nk=second section\r\n[a]\r\nk=later A\r\n");
    EXPECT_EQ(ini.Get("a", "k"), std::nullopt);  // a comment, and the later [a] does not count
    EXPECT_EQ(ini.Get("A", "[b"), "1");          // no closing bracket: a key
    EXPECT_EQ(ini.Get("A", "V"), "x=y");         // the value runs past a second '='
    EXPECT_EQ(ini.Get("A", ""), "blank");
    EXPECT_EQ(ini.Get("A", "no equals"), std::nullopt);
    EXPECT_EQ(ini.Get("b", "K"), "second section");

    // A new key of a section that appears twice goes into the first one.
    ini.Set("a", "new", "1");
    EXPECT_EQ(ini.Text(),
              "[ A ] tail\r\n;k=comment\r\n[b=1\r\nv = x=y \r\n =blank\r\nno equals\r\nnew=1\r\n"
              "[B]\r\nk=second section\r\n[a]\r\nk=later A\r\n");
}

TEST(IniFile, IntegersReadAsDecimalOrHexWithinTheBuffer) {
    struct Case {
        std::string value;
        int32_t expected;  // fallback is -7
    };
    const Case cases[] = {
        {"16", 16},
        {"-5", -5},
        {"+5", 5},
        {"0x10", 16},
        {"0X1f", 31},
        {"$10", 16},
        {"$FFFFFFFF", -1},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", -7},
        {"0x100000000", -7},
        {"0x", -7},
        {"$", -7},
        {"0xG", -7},
        {"12abc", -7},
        {"", -7},
        {"1 2", -7},
        {std::string(1022, '0') + "7", 7},  // 1023 characters: all of it is read
        {std::string(1023, '0') + "7", 0},  // 1024 characters: the 7 is beyond the buffer
    };
    for (const Case& c : cases) {
        const IniFile ini = Parsed("[S]\r\nk=" + c.value + "\r\n");
        EXPECT_EQ(ini.GetInt("s", "K", -7), c.expected) << c.value.substr(0, 20);
    }
    EXPECT_EQ(Parsed("").GetInt("S", "k", 42), 42);
}

TEST(IniFile, SetReplacesInPlaceAndKeepsEverythingElse) {
    IniFile ini = Parsed("top line\r\n[Editor]\r\nLeft=10\r\nTop=20\r\n\r\n[Score]\r\n1st=5\r\n");
    ini.SetInt("score", "1ST", 77);     // replaced in place
    ini.Set("Editor", "Width", "300");  // new key at the end of its section, before the blank
    ini.SetInt("Setting", "Sum", -3);   // new section at the end
    EXPECT_EQ(ini.Text(),
              "top line\r\n[Editor]\r\nLeft=10\r\nTop=20\r\nWidth=300\r\n\r\n[Score]\r\n1ST=77\r\n"
              "[Setting]\r\nSum=-3\r\n");
    // A line break in a value cannot make a new line in the file.
    ini.Set("Name", "1st", "A\r\n[Score]");
    EXPECT_EQ(ini.Get("Name", "1st"), "A  [Score]");
    EXPECT_EQ(ini.GetInt("Score", "1st", 0), 77);
}

TEST(Profile, FailuresGiveOneMessageAndLeaveTheFileWhole) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(UpdateProfile(
        dir.File("missing/zarp.dat"), [](IniFile&) {}, &error));
    EXPECT_NE(error.find("missing/zarp.dat"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);

    // A folder where the file should be: unreadable, nothing written.
    std::filesystem::create_directory(dir.File("zarp.dat"));
    IniFile ini;
    EXPECT_FALSE(ReadProfile(dir.File("zarp.dat"), ini, &error));
    EXPECT_FALSE(UpdateProfile(
        dir.File("zarp.dat"), [](IniFile&) {}, &error));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("zarp.dat")));
}

TEST(Profile, ByteOrderMarksAsWindowsEditorsWriteThem) {
    // UTF-8 with a mark: read as if it were not there, and written back in front. UTF-16 in
    // either byte order: not read, and never written over.
    const std::string ranking = "[SCORE]\r\n1st=120\r\n[Name]\r\n1st=AB\r\n";
    std::string utf16le = "\xFF\xFE", utf16be = "\xFE\xFF";
    for (const char c : ranking) {
        utf16le += std::string{c, '\0'};
        utf16be += std::string{'\0', c};
    }
    struct Case {
        const char* name;
        std::string bytes;
        bool readable;
    };
    const Case cases[] = {
        {"UTF-8 mark", "\xEF\xBB\xBF" + ranking, true},
        {"UTF-16LE", utf16le, false},
        {"UTF-16BE", utf16be, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.File("zarp.dat");
        WriteBytes(path, c.bytes);
        IniFile ini;
        std::string error;
        EXPECT_EQ(ReadProfile(path, ini, &error), c.readable);
        const bool updated = UpdateProfile(
            path, [](IniFile& p) { p.SetInt("Score", "2nd", 7); }, &error);
        EXPECT_EQ(updated, c.readable);
        if (!c.readable) {
            EXPECT_NE(error.find("UTF-16"), std::string::npos) << error;
            EXPECT_EQ(ReadBytes(path), c.bytes);
            continue;
        }
        EXPECT_EQ(ini.Get("Score", "1st"), "120");
        EXPECT_EQ(ini.Text(), c.bytes);
        // One section of each name; every byte of the old file keeps its place.
        EXPECT_EQ(ReadBytes(path),
                  "\xEF\xBB\xBF[SCORE]\r\n1st=120\r\n2nd=7\r\n[Name]\r\n1st=AB\r\n");
    }
}

TEST(IniFile, NamesAreCutAt1023CharactersLikeEveryValue) {
    const std::string name(1500, 'n');
    const IniFile ini =
        Parsed("[Name]\r\n1st=" + name + "\r\n2nd=" + name.substr(0, 1023) + "\r\n");
    EXPECT_EQ(ini.Get("Name", "1st"), name.substr(0, 1023));
    EXPECT_EQ(ini.Get("Name", "2nd"), name.substr(0, 1023));
}

TEST(Profile, AWriterKilledBeforeTheRenameLeavesTheOldFileWholeAndTheLockFree) {
    TempDir dir;
    const std::string path = dir.File("zarp.dat");
    const std::string old = "[Editor]\r\nLeft=1\r\n";
    WriteBytes(path, old);
    const int status = InChild([&] {
        std::string error;
        UpdateProfile(
            path, [](IniFile& p) { p.SetInt("Setting", "Sum", 680); }, &error,
            [] { ::raise(SIGKILL); });
        return 0;
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    EXPECT_EQ(ReadBytes(path), old);

    // The dead writer's lock went with it: the next update goes through.
    std::string error;
    ASSERT_TRUE(UpdateProfile(
        path, [](IniFile& p) { p.SetInt("Setting", "Sum", 680); }, &error))
        << error;
    EXPECT_EQ(ReadBytes(path), old + "[Setting]\r\nSum=680\r\n");
}

TEST(Profile, TheLockIsHeldAcrossReadEditAndWrite) {
    TempDir dir;
    const std::string path = dir.File("zarp.dat");
    std::string error;
    int childStatus = -1;
    ASSERT_TRUE(UpdateProfile(
        path,
        [&](IniFile&) {
            childStatus = InChild([&] {
                const int fd = ::open((path + ".lock").c_str(), O_RDWR);
                if (fd < 0) return 2;
                return ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK ? 0 : 1;
            });
        },
        &error));
    ASSERT_TRUE(WIFEXITED(childStatus));
    EXPECT_EQ(WEXITSTATUS(childStatus), 0);
}

TEST(Profile, TwoWritersAtOnceBothKeepTheirSections) {
    TempDir dir;
    const std::string path = dir.File("zarp.dat");
    constexpr int kUpdates = 40;
    auto writer = [&](const char* section) {
        return [=] {
            for (int i = 0; i < kUpdates; ++i) {
                std::string error;
                const bool ok = UpdateProfile(
                    path,
                    [&](IniFile& p) { p.SetInt(section, "n", p.GetInt(section, "n", 0) + 1); },
                    &error);
                if (!ok) return 1;
            }
            return 0;
        };
    };
    const pid_t a = ::fork();
    if (a == 0) ::_exit(writer("Game")());
    const pid_t b = ::fork();
    if (b == 0) ::_exit(writer("Editor")());
    int statusA = 0;
    int statusB = 0;
    ::waitpid(a, &statusA, 0);
    ::waitpid(b, &statusB, 0);
    EXPECT_TRUE(WIFEXITED(statusA) && WEXITSTATUS(statusA) == 0);
    EXPECT_TRUE(WIFEXITED(statusB) && WEXITSTATUS(statusB) == 0);
    const IniFile result = Parsed(ReadBytes(path));
    EXPECT_EQ(result.GetInt("Game", "n", 0), kUpdates);
    EXPECT_EQ(result.GetInt("Editor", "n", 0), kUpdates);
}

}  // namespace
}  // namespace zarp

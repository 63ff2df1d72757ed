#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "common/paths/Paths.h"
#include "tests/support/Files.h"

namespace zarp {
namespace {

using testing_support::TempDir;

// Sets (or, with nullptr, unsets) an environment variable for one scope and puts the old value
// back afterwards.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        Set(value);
    }
    ~ScopedEnv() { Set(old_ ? old_->c_str() : nullptr); }

  private:
    void Set(const char* value) {
        if (value) {
            ::setenv(name_.c_str(), value, 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    std::string name_;
    std::optional<std::string> old_;
};

class RuntimeDir : public ScopedEnv {
  public:
    explicit RuntimeDir(const char* value) : ScopedEnv("XDG_RUNTIME_DIR", value) {}
};

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST(Paths, ProgramFolderIsTheExecutablesFolderWhateverTheWorkingFolder) {
    const std::string expected =
        std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path("/");
    EXPECT_EQ(ProgramFolder(), expected);
    std::filesystem::current_path(cwd);
}

TEST(Paths, TestPlayFolderPathFollowsTheRuntimeDir) {
    const std::string fallback = "/tmp/zarpane-" + std::to_string(::geteuid());
    struct Case {
        const char* runtimeDir;
        std::string expected;
    };
    const Case cases[] = {
        {"/run/user/1000", "/run/user/1000/zarpane"},
        {"/run/user/1000/", "/run/user/1000/zarpane"},
        {nullptr, fallback},
        {"", fallback},
        {"relative/dir", fallback},
    };
    for (const Case& c : cases) {
        const RuntimeDir runtime(c.runtimeDir);
        EXPECT_EQ(TestPlayFolderPath(), c.expected) << (c.runtimeDir ? c.runtimeDir : "unset");
    }
}

TEST(Paths, TestPlayFileIsCreatedPrivate) {
    TempDir dir;
    const RuntimeDir runtime(dir.path().c_str());
    std::string path;
    std::string error;
    ASSERT_TRUE(TestPlayFile(path, &error)) << error;
    EXPECT_EQ(path, dir.path() + "/zarpane/$$$zrp$$$.tmp");
    EXPECT_EQ(ModeOf(dir.File("zarpane")), 0700u);

    // Ours but opened up: made private again.
    ASSERT_EQ(::chmod(dir.File("zarpane").c_str(), 0755), 0);
    std::string folder;
    ASSERT_TRUE(TestPlayFolder(folder, &error)) << error;
    EXPECT_EQ(folder, dir.File("zarpane"));
    EXPECT_EQ(ModeOf(folder), 0700u);
}

TEST(Paths, RefusesASymlinkOrAFileInPlaceOfTheFolder) {
    TempDir dir;
    const RuntimeDir runtime(dir.path().c_str());
    const std::string target = dir.File("elsewhere");
    ASSERT_TRUE(std::filesystem::create_directory(target));
    ::chmod(target.c_str(), 0755);
    ASSERT_EQ(::symlink(target.c_str(), dir.File("zarpane").c_str()), 0);
    std::string folder;
    std::string error;
    EXPECT_FALSE(TestPlayFolder(folder, &error));
    EXPECT_NE(error.find("symbolic link"), std::string::npos) << error;
    EXPECT_EQ(ModeOf(target), 0755u);  // the link's target is not touched

    std::filesystem::remove(dir.File("zarpane"));
    std::ofstream(dir.File("zarpane")) << "a file";
    EXPECT_FALSE(TestPlayFolder(folder, &error));
    EXPECT_NE(error.find("not a folder"), std::string::npos) << error;

    std::string path;
    EXPECT_FALSE(TestPlayFile(path, &error));
}

TEST(Paths, RefusesAFolderOwnedBySomeoneElse) {
    TempDir dir;
    const RuntimeDir runtime(dir.path().c_str());
    const std::string planted = dir.File("zarpane");
    ASSERT_EQ(::mkdir(planted.c_str(), 0700), 0);
    const uid_t stranger = ::geteuid() + 4242;
    if (::chown(planted.c_str(), stranger, static_cast<gid_t>(-1)) != 0) {
        GTEST_SKIP() << "changing a folder's owner needs root";
    }
    std::string folder;
    std::string error;
    EXPECT_FALSE(TestPlayFolder(folder, &error));
    EXPECT_NE(error.find("another user"), std::string::npos) << error;
}

TEST(Paths, MissingParentIsAnErrorWithThePath) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(MakePrivateFolder(dir.File("no/such"), &error));
    EXPECT_NE(error.find(dir.File("no/such")), std::string::npos) << error;
}

TEST(Paths, UserStateFolderFollowsXdgStateHomeElseTheHome) {
    struct Case {
        const char* stateHome;
        const char* home;
        std::string expected;
    };
    const Case cases[] = {
        {"/home/a/state", "/home/a", "/home/a/state/zarpane"},
        {"/home/a/state/", "/home/a", "/home/a/state/zarpane"},
        {nullptr, "/home/a", "/home/a/.local/state/zarpane"},
        {"", "/home/a/", "/home/a/.local/state/zarpane"},
        {"relative/state", "/home/a", "/home/a/.local/state/zarpane"},
    };
    for (const Case& c : cases) {
        const ScopedEnv state("XDG_STATE_HOME", c.stateHome);
        const ScopedEnv home("HOME", c.home);
        EXPECT_EQ(UserStateFolderPath(), c.expected) << (c.stateHome ? c.stateHome : "unset");
    }
}

TEST(Paths, UserStateFolderIsMadeWithItsParents) {
    TempDir dir;
    const ScopedEnv state("XDG_STATE_HOME", nullptr);
    const ScopedEnv home("HOME", dir.path().c_str());
    std::string folder;
    std::string error;
    ASSERT_TRUE(UserStateFolder(folder, &error)) << error;
    EXPECT_EQ(folder, dir.File(".local/state/zarpane"));
    EXPECT_EQ(ModeOf(folder), 0700u);

    // A file where the folder belongs is named in the error.
    const ScopedEnv blocked("XDG_STATE_HOME", dir.File("file").c_str());
    std::ofstream(dir.File("file")) << "x";
    EXPECT_FALSE(UserStateFolder(folder, &error));
    EXPECT_NE(error.find(dir.File("file")), std::string::npos) << error;
}

// The stage sets of a folder: regular files (or links to them) whose names end in the extension
// in any letter case, in the listing's order; everything else is left out.
TEST(Paths, ListFilesTakesTheSetsInTheListingsOrder) {
    TempDir dir;
    for (const char* name : {"b.zrp", "A.ZRP", "a.zrp", "c.Zrp", "notes.txt", "zrp", ".zrp"})
        testing_support::WriteBytes(dir.File(name), "x");
    std::filesystem::create_directory(dir.File("folder.zrp"));
    std::filesystem::create_symlink(dir.File("b.zrp"), dir.File("d.zrp"));
    std::filesystem::create_symlink(dir.File("missing"), dir.File("e.zrp"));
    EXPECT_EQ(ListFiles(dir.path(), ".zrp"),
              (std::vector<std::string>{".zrp", "A.ZRP", "a.zrp", "b.zrp", "c.Zrp", "d.zrp"}));
    EXPECT_TRUE(ListFiles(dir.File("no such folder"), ".zrp").empty());
}

TEST(Paths, UserDataFolderFollowsXdgDataHomeElseTheHome) {
    struct Case {
        const char* dataHome;
        const char* home;
        std::string expected;
    };
    const Case cases[] = {
        {"/home/a/data", "/home/a", "/home/a/data/zarpane"},
        {"/home/a/data//", "/home/a", "/home/a/data/zarpane"},
        {nullptr, "/home/a", "/home/a/.local/share/zarpane"},
        {"", "/home/a/", "/home/a/.local/share/zarpane"},
        {"relative/data", "/home/a", "/home/a/.local/share/zarpane"},
    };
    for (const Case& c : cases) {
        const ScopedEnv data("XDG_DATA_HOME", c.dataHome);
        const ScopedEnv home("HOME", c.home);
        EXPECT_EQ(UserDataFolderPath(), c.expected) << (c.dataHome ? c.dataHome : "unset");
    }
}

// An installed tree (bin/ and share/zarpane/ with example sets) and a portable folder beside it,
// with the user's data folder in the same scratch folder.
class LayoutFixture : public testing::Test {
  protected:
    TempDir dir;
    ScopedEnv data{"XDG_DATA_HOME", dir.File("data").c_str()};

    void SetUp() override {
        std::filesystem::create_directories(dir.File("tree/bin"));
        std::filesystem::create_directories(dir.File("tree/share/zarpane/examples"));
        std::filesystem::create_directories(dir.File("dist"));
        std::ofstream(dir.File("dist/palette.dat")) << "colours";
    }
    std::string Examples() const { return dir.File("tree/share/zarpane/examples"); }
    std::string Stages() const { return dir.File("data/zarpane/stages"); }
};

TEST_F(LayoutFixture, PaletteBesideTheProgramMeansPortableElseInstalled) {
    const Layout portable = FindLayout(dir.File("dist/"));
    EXPECT_FALSE(portable.installed);
    EXPECT_EQ(portable.dataFolder, dir.File("dist/"));
    EXPECT_EQ(portable.startDataFolder, "");  // stage.dat and palette.dat: the working folder
    EXPECT_EQ(portable.settingsFile, dir.File("dist/zarp.dat"));
    EXPECT_EQ(portable.userStageFolder, "");

    const Layout installed = FindLayout(dir.File("tree/bin/"));
    EXPECT_TRUE(installed.installed);
    EXPECT_EQ(installed.dataFolder, dir.File("tree/share/zarpane/"));  // no "bin/.." in it
    EXPECT_EQ(installed.startDataFolder, installed.dataFolder);
    EXPECT_EQ(installed.exampleFolder, Examples());
    EXPECT_EQ(installed.settingsFile, dir.File("data/zarpane/zarp.dat"));
    EXPECT_EQ(installed.userStageFolder, Stages());

    // Only a file counts: a folder named palette.dat does not make a program portable.
    std::filesystem::create_directories(dir.File("tree/bin/palette.dat"));
    EXPECT_TRUE(FindLayout(dir.File("tree/bin/")).installed);
}

TEST_F(LayoutFixture, TheFirstPreparationCopiesTheExampleSetsAndOnlyThat) {
    std::ofstream(Examples() + "/a.zrp", std::ios::binary) << "set a\r\n";
    std::ofstream(Examples() + "/B.ZRP", std::ios::binary) << "set b\r\n";
    std::ofstream(Examples() + "/notes.txt") << "not a set";
    std::filesystem::create_directories(Examples() + "/folder.zrp");
    ::chmod((Examples() + "/a.zrp").c_str(), 0444);  // as in a tree made read-only

    const Layout installed = FindLayout(dir.File("tree/bin/"));
    std::string error;
    ASSERT_TRUE(PrepareUserFolders(installed, &error)) << error;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Stages()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"B.ZRP", "a.zrp"}));
    EXPECT_EQ(testing_support::ReadBytes(Stages() + "/a.zrp"), "set a\r\n");
    EXPECT_NE(ModeOf(Stages() + "/a.zrp") & 0200, 0u) << "the player may save over a copy";
    EXPECT_EQ(ModeOf(dir.File("data/zarpane")), 0700u);
    for (const auto& entry : std::filesystem::directory_iterator(dir.File("data/zarpane")))
        EXPECT_EQ(entry.path().filename().string().find(".new-"), std::string::npos);

    // A stage folder the player emptied stays empty.
    std::filesystem::remove(Stages() + "/a.zrp");
    std::filesystem::remove(Stages() + "/B.ZRP");
    ASSERT_TRUE(PrepareUserFolders(installed, &error)) << error;
    EXPECT_TRUE(std::filesystem::is_empty(Stages()));
}

TEST_F(LayoutFixture, PreparingAPortableLayoutTouchesNothing) {
    std::string error;
    EXPECT_TRUE(PrepareUserFolders(FindLayout(dir.File("dist/")), &error)) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.File("data")));
}

TEST_F(LayoutFixture, PreparationFailsNamingTheFolderThatCannotBeMade) {
    std::filesystem::create_directories(dir.File("data"));
    std::ofstream(dir.File("data/zarpane")) << "a file where the folder belongs";
    std::string error;
    EXPECT_FALSE(PrepareUserFolders(FindLayout(dir.File("tree/bin/")), &error));
    EXPECT_NE(error.find(dir.File("data/zarpane")), std::string::npos) << error;
}

}  // namespace
}  // namespace zarp

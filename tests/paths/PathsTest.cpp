#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

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

}  // namespace
}  // namespace zarp

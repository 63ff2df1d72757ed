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

// Points XDG_RUNTIME_DIR somewhere for one test and puts the old value back afterwards.
class RuntimeDir {
  public:
    explicit RuntimeDir(const char* value) {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) old_ = old;
        if (value) {
            ::setenv("XDG_RUNTIME_DIR", value, 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
    }
    ~RuntimeDir() {
        if (old_) {
            ::setenv("XDG_RUNTIME_DIR", old_->c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
    }

  private:
    std::optional<std::string> old_;
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

}  // namespace
}  // namespace zarp

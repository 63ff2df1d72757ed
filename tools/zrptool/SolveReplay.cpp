#include "tools/zrptool/SolveReplay.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "common/paths/Paths.h"

extern char** environ;

namespace zarp::zrptool {

namespace {

namespace fs = std::filesystem;

// A private folder removed with everything in it when the replay is done.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "zrptool-replay-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data())) path_ = buffer.data();
    }
    ~TempFolder() {
        if (path_.empty()) return;
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out.flush());
}

}  // namespace

std::string HeadlessBesideThisProgram() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) return "";
    const fs::path headless = self.parent_path() / "zarp-headless";
    if (access(headless.c_str(), X_OK) != 0) return "";
    return headless.string();
}

ReplayResult ReplayStage(const std::string& headless, const std::string& setBytes, int32_t stage,
                         const std::string& keys, int64_t frames) {
    ReplayResult result;
    TempFolder temp;
    if (temp.path().empty()) {
        result.message = "no temporary folder";
        return result;
    }
    const std::string d = temp.path();
    // The set goes where the editor puts its test file; the folder must be private.
    const std::string run = d + "/run";
    if (mkdir(run.c_str(), 0700) != 0 || mkdir((run + "/zarpane").c_str(), 0700) != 0 ||
        !WriteFile(run + "/zarpane/$$$zrp$$$.tmp", setBytes) || !WriteFile(d + "/keys.txt", keys)) {
        result.message = "cannot prepare " + d;
        return result;
    }
    // The replay runs portable in its own folder, with the palette of the game it runs.
    const fs::path palette =
        fs::path(FindLayout(fs::path(headless).parent_path().string() + "/").dataFolder) /
        "palette.dat";
    std::error_code ignored;
    if (fs::exists(palette, ignored)) fs::copy_file(palette, d + "/palette.dat", ignored);

    std::vector<std::string> args = {headless,
                                     "--program-dir",
                                     d,
                                     "--workdir",
                                     d,
                                     "--keys",
                                     d + "/keys.txt",
                                     "--trace",
                                     d + "/trace.txt",
                                     "--frames",
                                     std::to_string(frames),
                                     "--",
                                     std::to_string(stage)};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        if (std::string(*e).rfind("XDG_RUNTIME_DIR=", 0) != 0) env.emplace_back(*e);
    }
    env.push_back("XDG_RUNTIME_DIR=" + run);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string output = d + "/output.txt";
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, headless.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        result.message = "cannot start " + headless;
        return result;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }

    std::ifstream trace(d + "/trace.txt");
    if (!trace) {
        result.message = "zarp-headless left no trace";
        return result;
    }
    result.ran = true;
    std::string line;
    while (std::getline(trace, line)) {
        if (line.find("\"scene\":2,") == std::string::npos) continue;
        const size_t at = line.find("\"frame\":");
        if (at != std::string::npos) result.clearFrame = std::atoll(line.c_str() + at + 8);
        result.cleared = true;
        break;
    }
    if (!result.cleared) result.message = "the replay did not clear the stage";
    return result;
}

}  // namespace zarp::zrptool

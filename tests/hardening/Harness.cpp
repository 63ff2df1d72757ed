#include "tests/hardening/Harness.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "common/profile/Profile.h"
#include "game/shell/Ranking.h"

namespace zarp::hardening {

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "zarp-hardening-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    // A test may have made folders read-only; give the owner its rights back first.
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

ProcessResult RunProcess(const std::vector<std::string>& argv, const fs::path& workdir,
                         const std::vector<std::string>& environment) {
    ScratchFolder outputs;
    const fs::path outPath = outputs.path() / "out";
    const fs::path errPath = outputs.path() / "err";
    // Another user (the read-only folder case) must be able to write them.
    fs::permissions(outputs.path(), fs::perms::all);

    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || ::chdir(workdir.c_str()) != 0) ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        for (const std::string& entry : environment) {
            const size_t equals = entry.find('=');
            ::setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
        }
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    ProcessResult result;
    if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    result.out = ReadBytes(outPath);
    result.err = ReadBytes(errPath);
    return result;
}

fs::path DistDir() {
    return ZARP_HARDENING_DIST_DIR;
}

std::vector<std::string> DistFiles(const std::string& extension) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(DistDir(), ignored)) {
        if (entry.path().extension() == "." + extension) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

fs::path HeadlessProgram() {
    return ZARP_HARDENING_HEADLESS;
}

fs::path ZrptoolProgram() {
    return ZARP_HARDENING_ZRPTOOL;
}

namespace {

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

}  // namespace

std::string BuiltInStages() {
    const fs::path built = DistDir() / "stage.dat";
    if (fs::is_regular_file(built)) return ReadBytes(built);
    // 16 playable stages: the ball on the left, one rebound block, the goal on the right.
    std::vector<std::string> lines{"17", "BUILT IN"};
    for (int slot = 0; slot < 17; ++slot) {
        if (slot > 0) lines.insert(lines.end(), {"400", "200", "5", "560", "208", "10"});
        lines.insert(lines.end(), {"*", "*", "*"});
    }
    lines.insert(lines.end(), {"*", "*", "*", "*", "*", "## other data"});
    for (int slot = 0; slot < 17; ++slot) {
        if (slot > 0) lines.insert(lines.end(), {"48", "216", "0", "3", "300", "216"});
        lines.insert(lines.end(), {"*", "*"});
    }
    return Lines(lines);
}

std::string GoalBoxStages() {
    std::vector<std::string> lines{"2", "HARDENING", "*", "*", "*"};
    for (int y : {176, 208, 240}) {
        for (int x : {272, 304, 336}) {
            if (x == 304 && y == 208) continue;  // the ball's own cell
            lines.insert(lines.end(), {std::to_string(x), std::to_string(y), "10"});
        }
    }
    lines.insert(lines.end(), {"*", "*", "*", "*", "*", "*", "*", "*", "## other data", "*", "*",
                               "312", "216", "0", "3", "*", "*"});
    return Lines(lines);
}

namespace {

void FixtureRanking(RankInts& score, RankInts& stage, RankNames& name) {
    for (size_t i = 0; i < 10; ++i) {
        score[i] = static_cast<int32_t>(90000 - 7000 * i);
        stage[i] = static_cast<int32_t>(16 - i);
        name[i] = "KEEP" + std::to_string(i);
    }
}

}  // namespace

std::string FixtureProfile() {
    IniFile profile;
    profile.Parse("[Editor]\r\nLeft=123\r\nTop=45\r\n[Mine]\r\nkeep=this line\r\n");
    RankInts score{}, stage{};
    RankNames name;
    FixtureRanking(score, stage, name);
    WriteRanking(profile, score, stage, name);
    return profile.Text();
}

bool HasFixtureRanking(const std::string& text) {
    IniFile profile;
    profile.Parse(text);
    RankInts score{}, stage{}, wantScore{}, wantStage{};
    RankNames name, wantName;
    ReadRanking(profile, score, stage, name);
    FixtureRanking(wantScore, wantStage, wantName);
    for (size_t i = 0; i < 10; ++i) {
        if (score[i] != wantScore[i] || stage[i] != wantStage[i] || name[i] != wantName[i]) {
            return false;
        }
    }
    return true;
}

bool HasForeignSections(const std::string& text) {
    IniFile profile;
    profile.Parse(text);
    return profile.Get("Editor", "Left") == "123" && profile.Get("Editor", "Top") == "45" &&
           profile.Get("Mine", "keep") == "this line";
}

GameFolder::GameFolder() {
    fs::create_directories(prog());
    fs::create_directories(work());
    for (const char* extension : {"wav", "mid"}) {
        for (const std::string& name : DistFiles(extension))
            fs::copy_file(DistDir() / name, prog() / name);
    }
    fs::copy_file(DistDir() / "palette.dat", work() / "palette.dat");
    WriteBytes(work() / "stage.dat", BuiltInStages());
    WriteBytes(prog() / "zarp.dat", FixtureProfile());
}

bool GameFolder::Run::LogHas(const std::string& text) const {
    return LogCount(text) > 0;
}

int GameFolder::Run::LogCount(const std::string& text) const {
    return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& line) {
        return line.find(text) != std::string::npos;
    }));
}

int GameFolder::Run::StageRefusals(const std::string& name) const {
    return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& line) {
        return line.find("messagebox") != std::string::npos &&
               line.find("Cannot load the stage file") != std::string::npos &&
               line.find(name) != std::string::npos;
    }));
}

GameFolder::Run GameFolder::Play(int64_t frames, const std::string& keys,
                                 const std::vector<std::string>& gameArguments,
                                 const std::vector<std::string>& environment,
                                 const std::vector<std::string>& prefix) const {
    ScratchFolder outputs;
    fs::permissions(outputs.path(), fs::perms::all);  // for a run as another user
    const fs::path keyFile = outputs.path() / "keys";
    const fs::path logFile = outputs.path() / "log";
    const fs::path stateFile = outputs.path() / "state";
    WriteBytes(keyFile, keys);
    std::vector<std::string> argv = prefix;
    argv.insert(argv.end(),
                {HeadlessProgram().string(), "--frames", std::to_string(frames), "--keys",
                 keyFile.string(), "--seed", "1", "--program-dir", prog().string(), "--workdir",
                 work().string(), "--log", logFile.string(), "--state", stateFile.string(), "--"});
    argv.insert(argv.end(), gameArguments.begin(), gameArguments.end());
    Run run;
    run.process = RunProcess(argv, work(), environment);
    std::istringstream log(ReadBytes(logFile));
    for (std::string line; std::getline(log, line);)
        run.log.push_back(line);
    run.state = ReadBytes(stateFile);
    return run;
}

}  // namespace zarp::hardening

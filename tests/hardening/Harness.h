// Helpers of the bad-input tests: scratch folders, child programs with their output caught,
// and a ready-to-run game folder copied from the build's data files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zarp::hardening {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path);
void WriteBytes(const fs::path& path, const std::string& bytes);

// A fresh folder under TMPDIR, removed with everything in it at the end.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

struct ProcessResult {
    int exitStatus = -1;  // -1 when killed by a signal
    int signal = 0;
    std::string out, err;
};
// Runs `argv` (argv[0] a path) in `workdir` with `environment` added; waits for its end.
ProcessResult RunProcess(const std::vector<std::string>& argv, const fs::path& workdir,
                         const std::vector<std::string>& environment = {});

// The build's data folder and the files of one kind in it ("wav", "mid").
fs::path DistDir();
std::vector<std::string> DistFiles(const std::string& extension);
fs::path HeadlessProgram();
fs::path ZrptoolProgram();

// A valid built-in set of 16 small stages (the build's stage.dat when it has one).
std::string BuiltInStages();
// A one-stage user set: the start boxed in by goal blocks, so any shot clears it.
std::string GoalBoxStages();

// The ranking every game folder starts with, and the sections zarp.dat holds beside it.
std::string FixtureProfile();
// True when `text` reads back as exactly FixtureProfile's ranking.
bool HasFixtureRanking(const std::string& text);
// True when the editor's section and the unknown section of FixtureProfile are still there.
bool HasForeignSections(const std::string& text);

// The game's folders: prog/ (zarp.dat, WAVs, MIDIs) and work/ (stage.dat, palette.dat, *.zrp).
class GameFolder {
  public:
    GameFolder();
    fs::path prog() const { return scratch_.path() / "prog"; }
    fs::path work() const { return scratch_.path() / "work"; }
    fs::path root() const { return scratch_.path(); }
    // The program Play runs; a test may point it at a copy.
    fs::path program = HeadlessProgram();

    struct Run {
        ProcessResult process;
        std::vector<std::string> log;  // the driver's event log
        std::string state;             // its closing state object
        bool LogHas(const std::string& text) const;
        int LogCount(const std::string& text) const;
        // Message boxes saying that the stage file `name` cannot be loaded.
        int StageRefusals(const std::string& name) const;
    };
    // zarp-headless for at most `frames` frames with the key script `keys`.
    Run Play(int64_t frames, const std::string& keys,
             const std::vector<std::string>& gameArguments = {"w"},
             const std::vector<std::string>& environment = {},
             const std::vector<std::string>& prefix = {}) const;

  private:
    ScratchFolder scratch_;
};

// Key scripts: skip the opening and take START GAME; take USER'S STAGE and its first file.
inline constexpr const char* kStartGameKeys = "1 Space\n12 Space\n";
inline constexpr const char* kUserStageKeys = "1 Space\n10 Down\n20 Down\n30 Space\n45 Space\n";

}  // namespace zarp::hardening

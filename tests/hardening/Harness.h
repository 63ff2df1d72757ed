// Helpers of the bad-input tests: a ready-to-run game folder copied from the build's data
// files, with a ranking to keep, and the stage sets they play.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/Files.h"
#include "tests/support/Headless.h"

namespace zarp::hardening {

namespace fs = std::filesystem;

using testing_support::HeadlessProgram;
using testing_support::ProcessResult;
using testing_support::ReadBytes;
using testing_support::RunProcess;
using testing_support::RunResult;
using testing_support::TempDir;
using testing_support::WriteBytes;

// The build's data folder and the files of one kind in it ("wav", "mid").
fs::path DistDir();
std::vector<std::string> DistFiles(const std::string& extension);
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
    fs::path prog() const { return scratch_.dir() / "prog"; }
    fs::path work() const { return scratch_.dir() / "work"; }
    fs::path root() const { return scratch_.dir(); }
    // The program Play runs; a test may point it at a copy.
    fs::path program = HeadlessProgram();

    // zarp-headless for at most `frames` frames with the key script `keys`.
    RunResult Play(int64_t frames, const std::string& keys,
                   const std::vector<std::string>& gameArguments = {"w"},
                   const std::vector<std::string>& environment = {},
                   const std::vector<std::string>& prefix = {}) const;

  private:
    TempDir scratch_{"zarp-hardening"};
};

// Key scripts: skip the opening and take START GAME; take USER'S STAGE and its first file.
inline constexpr const char* kStartGameKeys = "1 Space\n12 Space\n";
inline constexpr const char* kUserStageKeys = "1 Space\n10 Down\n20 Down\n30 Space\n45 Space\n";

}  // namespace zarp::hardening

// A test play of a one-stage set made for the test, in a folder of its own with the grey
// palette and every effect, played by zarp-headless; its trace, log and state read back.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/Files.h"
#include "tests/support/GameFiles.h"
#include "tests/support/Headless.h"
#include "tests/support/StageLayout.h"

namespace zarp::test {

namespace fs = std::filesystem;

using testing_support::RunResult;
using testing_support::StageLayout;

// The stage the play tests begin from: the ball at (300, 200), angle 0, 5 shots.
struct PlayStage : StageLayout::Stage {
    PlayStage() {
        startX = 300;
        startY = 200;
        rest = 5;
    }
};

// A set of this one stage.
inline std::string StageFile(const StageLayout::Stage& stage) {
    StageLayout layout;
    layout.author = "test";
    layout.stages = {stage};
    return layout.Text();
}

class HeadlessGame {
  public:
    HeadlessGame() : runtime_(folder_.dir() / "run") {
        // The editor's private folder for its test file.
        fs::create_directories(runtime_ / "zarpane");
        ::chmod(runtime_.c_str(), 0700);
        ::chmod((runtime_ / "zarpane").c_str(), 0700);
        testing_support::WriteBytes(Dir() / "palette.dat", testing_support::GreyPaletteBytes());
        testing_support::WriteEffects(Dir());
    }

    fs::path Dir() const { return folder_.dir(); }
    void SetStage(const StageLayout::Stage& stage) {
        testing_support::WriteBytes(runtime_ / "zarpane" / "$$$zrp$$$.tmp", StageFile(stage));
    }

    // Plays test stage `stage` for at most `frames` frames with the key script `keys`.
    RunResult Run(const std::string& keys, int64_t frames, const std::string& stage = "1",
                  const std::vector<std::string>& options = {}) const {
        testing_support::HeadlessRun run;
        run.programDir = Dir();
        run.workDir = Dir();
        run.frames = frames;
        run.keys = keys;
        run.options = options;
        run.gameArguments = {stage};
        run.environment = {"XDG_RUNTIME_DIR=" + runtime_.string()};
        return testing_support::RunHeadless(run);
    }

  private:
    testing_support::TempDir folder_{"zarp-play"};
    fs::path runtime_;
};

}  // namespace zarp::test

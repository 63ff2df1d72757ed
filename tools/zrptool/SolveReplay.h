// Replays a solver's key script through zarp-headless: the real game, started as the editor
// starts a test play, must clear the stage.
#pragma once

#include <cstdint>
#include <string>

namespace zarp::zrptool {

struct ReplayResult {
    bool ran = false;        // zarp-headless could be started and left a trace
    bool cleared = false;    // the trace reached the stage clear scene
    int64_t clearFrame = 0;  // the first frame after which the scene was the stage clear
    std::string message;     // what went wrong
};

// The zarp-headless beside this program, or "" when there is none.
std::string HeadlessBesideThisProgram();

// Plays stage `stage` of the set `setBytes` with `keys` for at most `frames` frames.
ReplayResult ReplayStage(const std::string& headless, const std::string& setBytes, int32_t stage,
                         const std::string& keys, int64_t frames);

}  // namespace zarp::zrptool

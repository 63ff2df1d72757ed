// The game in progress: which set and which stage, the test play, the ball and the player's
// counters (score, shots left, credits) in the Player record.
#pragma once

#include <cstdint>
#include <string>

#include "game/play/Player.h"

namespace zarp {

struct Session {
    int32_t stageNo = 0;  // 1-based; slot 0 is never played
    // The stage given on the command line: 0 for a normal start, otherwise a test play started
    // by the editor, which closes the program where a normal game would go on.
    int32_t launchStage = 0;
    // The stages in memory come from a user set (or the editor's test file), not stage.dat.
    bool userStageMode = false;
    std::string userStageFile;  // the set loaded when userStageMode is set
    zarp::Player Player;

    bool TestPlay() const { return launchStage != 0; }
};

}  // namespace zarp

// Checking a stage from the editor: the stage as the game will read it from the file, the very
// solver zrptool solve runs, and the ball's path along the solution. Free of Qt, so the editor
// runs it on a worker thread and the benchmarks call it as it is.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/stage/Stage.h"
#include "tools/zrptool/SolveSearch.h"

namespace zarp::editor {

struct PathPoint {
    double x = 0, y = 0;  // the ball's top-left corner
};

struct StageCheck {
    bool ok = false;  // false: the set could not be formed (error says why)
    std::string error;
    zrptool::SolveResult solve;
    int32_t coinCount = 0;  // coins the game will place
    bool hasGoal = false;
    bool hasStart = false;  // the start and settings entries are there
    // The solution's shots as the ball flies them, frame by frame, one list per shot.
    std::vector<std::vector<PathPoint>> shots;
};

// Slot `slot` of the editor's tables as the game reads it from the file the editor writes:
// erased entries left out, the rest in their order up to the game's 400 blocks and 50 entries.
void GameSlotOf(const EditorBlockTable& blocks, const EditorEntityTable& entities, int32_t slot,
                GameBlockTable& gameBlocks, GameEntityTable& gameEntities);

// Solves stage `slot`. `cancel`, when set from another thread, ends the search soon; `progress`
// gets a line about once a second.
StageCheck CheckStage(const EditorBlockTable& blocks, const EditorEntityTable& entities,
                      int32_t slot, const std::atomic<bool>* cancel,
                      const std::function<void(const std::string&)>& progress);

}  // namespace zarp::editor

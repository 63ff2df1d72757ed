// The stage set in memory: the two stage tables, how many slots were loaded and the set's
// author line; and the loading of a set into them.
#pragma once

#include <cstdint>
#include <string>

#include "common/stage/Stage.h"
#include "game/play/Physics.h"

namespace zarp {

class Shell;
struct Session;

struct StageSet {
    GameBlockTable StageBlockTable;
    GameEntityTable StageEntityTable;
    int32_t stageTotal = 0;  // slots loaded, slot 0 included
    std::string stageAuthor;
    // The built-in set, read when the session is not in userStageMode.
    std::string builtInFile = "stage.dat";

    // One slot, read-only; a slot number outside the tables gives an empty slot.
    StageSlotView Slot(int32_t stageNo) const {
        return SlotView(StageBlockTable, StageEntityTable, stageNo);
    }
};

// Loads the built-in set, or the session's user set in userStageMode. A set that cannot be
// opened or is not a stage file ends the program through the normal shutdown, after a message
// box naming the file, the line and what was expected.
void LoadStages(StageSet& stages, const Session& session, Shell& shell);

// In a test play, a stage number that names no playable stage of the loaded test file (below 1,
// or not below stageTotal) is refused: a message box, then the main window closes. True when
// the game may go on; false also when the loading itself already failed.
bool CheckLaunchStage(const StageSet& stages, const Session& session, Shell& shell);

}  // namespace zarp

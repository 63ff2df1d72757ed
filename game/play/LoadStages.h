// Loading a stage set into the game's tables, and the check of a test play's stage number.
#pragma once

namespace zarp {

class TForm1;

// In a test play (launchStage not 0), a stage number that names no playable stage of the loaded
// test file (below 1, or not below stageTotal) is refused: a message box, then the main window
// closes. True when the game may go on; false also when the loading itself already failed.
bool CheckLaunchStage(TForm1& form);

}  // namespace zarp

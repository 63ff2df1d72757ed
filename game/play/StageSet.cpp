#include "game/play/StageSet.h"

#include <string>

#include "game/shell/Session.h"
#include "game/shell/Shell.h"

namespace zarp {

void LoadStages(StageSet& stages, const Session& session, Shell& shell) {
    // The built-in set always has 16 playable stages.
    const std::string path = session.userStageMode ? session.userStageFile : stages.builtInFile;
    StageReadResult result = ReadStageFile(path, stages.StageBlockTable, stages.StageEntityTable,
                                           /*builtIn=*/!session.userStageMode);
    if (!result.ok) {
        // The reader's message names the file, the line and what it expected.
        const std::string text = result.error.empty()
                                     ? "Cannot load the stage file " + path
                                     : "Cannot load the stage file\n" + result.error;
        shell.CloseWithMessage(text);
        return;
    }
    stages.stageTotal = result.stageTotal;
    stages.stageAuthor = result.author;
}

bool CheckLaunchStage(const StageSet& stages, const Session& session, Shell& shell) {
    if (shell.Closing()) return false;
    const int32_t stage = session.launchStage;
    if (stage == 0) return true;
    if (stage >= 1 && stage < stages.stageTotal) return true;
    std::string text =
        "Stage " + std::to_string(stage) + " is not in the test file " + session.userStageFile;
    if (stages.stageTotal == 2) {
        text += " (it holds only stage 1)";
    } else if (stages.stageTotal > 2) {
        text += " (it holds stages 1 to " + std::to_string(stages.stageTotal - 1) + ")";
    } else {
        text += " (it holds no playable stage)";
    }
    shell.CloseWithMessage(text);
    return false;
}

}  // namespace zarp

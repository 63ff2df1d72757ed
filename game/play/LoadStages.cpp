#include "game/play/LoadStages.h"

#include <string>

#include "game/shell/Form.h"

namespace zarp {

namespace {

constexpr const char* kCaption = "Zarpane";

void Refuse(TForm1& form, const std::string& text) {
    form.platform.dialogs.MessageBox(kCaption, text, platform::Buttons::Ok, platform::Icon::Error);
    form.Close();
}

}  // namespace

void TForm1::LoadStages() {
    // The built-in set is stage.dat in the working folder and always has 16 playable stages.
    const std::string path = userStageMode ? userStageFile : std::string("stage.dat");
    StageReadResult result =
        ReadStageFile(path, StageBlockTable, StageEntityTable, /*builtIn=*/!userStageMode);
    if (!result.ok) {
        // A set that cannot be opened or is not a stage file ends the program through the
        // normal shutdown, after saying which file and why.
        // The reader's message names the file, the line and what it expected.
        const std::string text = result.error.empty()
                                     ? "Cannot load the stage file " + path
                                     : "Cannot load the stage file\n" + result.error;
        Refuse(*this, text);
        return;
    }
    stageTotal = result.stageTotal;
    stageAuthor = result.author;
}

bool CheckLaunchStage(TForm1& form) {
    if (form.closing) return false;
    if (form.launchStage == 0) return true;
    if (form.launchStage >= 1 && form.launchStage < form.stageTotal) return true;
    std::string text = "Stage " + std::to_string(form.launchStage) + " is not in the test file " +
                       form.userStageFile;
    if (form.stageTotal == 2) {
        text += " (it holds only stage 1)";
    } else if (form.stageTotal > 2) {
        text += " (it holds stages 1 to " + std::to_string(form.stageTotal - 1) + ")";
    } else {
        text += " (it holds no playable stage)";
    }
    Refuse(form, text);
    return false;
}

}  // namespace zarp

// Starting the game: plainly after a save, or as a test play of the stage being edited.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalBlocker>
#include <cstdio>
#include <memory>

#include "common/paths/Paths.h"
#include "common/profile/Profile.h"
#include "editor/MainWindow.h"
#include "editor/StageCheck.h"
#include "game/play/Physics.h"

namespace zarp::editor {

void MainWindow::StartGame() {
    // Always through the save dialog. A portable game is the one found from the working folder;
    // an installed one is the game beside the editor, started in the folder of the set just
    // saved, so that USER'S STAGE lists it.
    if (!SaveDocument(false)) return;
    if (!services_.ProgramLayout().installed) {
        services_.StartProgram(QStringLiteral("./zarp"), gameOptions, QDir::currentPath());
        return;
    }
    services_.StartProgram(QString::fromLocal8Bit(services_.ProgramFolder()) + "zarp", gameOptions,
                           QFileInfo(fileName).absolutePath());
}

bool MainWindow::StageHasGoal(int32_t slot) const {
    // As the game will read the stage: erased entries left out, the first 400 blocks kept.
    auto blocks = std::make_unique<GameBlockTable>();
    auto entities = std::make_unique<GameEntityTable>();
    GameSlotOf(*stageBlockTable, *stageEntityTable, slot, *blocks, *entities);
    for (int32_t i = 0; i < blocks->count[slot]; ++i) {
        if (blocks->type[slot][i] == kBlockGoal) return true;
    }
    return false;
}

void MainWindow::TestPlayStage() {
    // A stage without a goal can only be lost: the author may want to try it all the same.
    if (!StageHasGoal(currentStage) &&
        Message(QString::fromUtf8(kApplicationTitle),
                tr("このステージにはゴールがありません。\nこのままテストプレイしますか？"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::Question) != QMessageBox::Yes) {
        return;
    }
    std::string path;
    std::string error;
    if (!TestPlayFile(path, &error)) {
        Message(QString::fromUtf8(kApplicationTitle), QString::fromLocal8Bit(error),
                QMessageBox::Ok, QMessageBox::Critical);
        return;
    }
    // The whole set goes to the test file; the document keeps its name and caption.
    if (!WriteDocument(QFile::decodeName(path.c_str()))) return;
    // The game takes the last number among its arguments, so "w" goes first.
    QStringList arguments = gameOptions;
    if (windowedTestPlayAction->isChecked()) arguments.append(QStringLiteral("w"));
    arguments.append(QString::number(currentStage));
    services_.StartProgram(QString::fromLocal8Bit(services_.ProgramFolder()) + "zarp", arguments,
                           QString());
}

void MainWindow::SetWindowedTestPlay(bool windowed) {
    {
        const QSignalBlocker blocker(windowedTestPlayAction);
        windowedTestPlayAction->setChecked(windowed);
    }
    // Kept at once, beside the window position, so a crash does not forget it.
    std::string error;
    if (!UpdateProfile(
            SettingsFile(),
            [windowed](IniFile& profile) {
                profile.SetInt("Editor", kWindowedTestPlayKey, windowed ? 1 : 0);
            },
            &error)) {
        std::fprintf(stderr, "zarp-editor: %s\n", error.c_str());
    }
}

}  // namespace zarp::editor

// Starting the game: plainly after a save, or as a test play of the stage being edited.
#include <QDir>
#include <QFile>

#include "common/paths/Paths.h"
#include "editor/MainWindow.h"

namespace zarp::editor {

void MainWindow::StartGame() {
    // Always through the save dialog; the game is the one found from the working folder.
    if (!SaveDocument(false)) return;
    services_.StartProgram(QStringLiteral("./zarp"), QStringList(), QDir::currentPath());
}

void MainWindow::TestPlayStage() {
    std::string path;
    std::string error;
    if (!TestPlayFile(path, &error)) {
        Message(QString::fromUtf8(kApplicationTitle), QString::fromLocal8Bit(error),
                QMessageBox::Ok, QMessageBox::Critical);
        return;
    }
    // The whole set goes to the test file; the document keeps its name and caption.
    if (!WriteDocument(QFile::decodeName(path.c_str()))) return;
    services_.StartProgram(QString::fromLocal8Bit(services_.ProgramFolder()) + "zarp",
                           QStringList{QString::number(currentStage)}, QString());
}

}  // namespace zarp::editor

// Opening, New, Save, Save As, quitting, and the window position kept in zarp.dat.
#include <QCloseEvent>
#include <QFile>
#include <algorithm>
#include <cstdio>

#include "common/paths/Paths.h"
#include "common/profile/Profile.h"
#include "editor/TForm1.h"

namespace zarp::editor {

namespace {

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The reader's and writer's messages name the file already; add it when one does not.
QString FileErrorText(const QString& path, const std::string& error) {
    QString text = QString::fromLocal8Bit(error);
    if (!text.contains(path)) text = path + QStringLiteral("\n") + text;
    return text;
}

}  // namespace

bool TForm1::ReadDocument(const QString& path) {
    // Read into fresh tables so that a file that fails leaves the document untouched.
    auto blocks = std::make_unique<EditorBlockTable>();
    auto entities = std::make_unique<EditorEntityTable>();
    StageReadResult result = ReadStageFile(LocalPath(path), *blocks, *entities);
    if (!result.ok) {
        Message(QString::fromUtf8(kApplicationTitle), FileErrorText(path, result.error),
                QMessageBox::Ok, QMessageBox::Critical);
        return false;
    }
    stageBlockTable = std::move(blocks);
    stageEntityTable = std::move(entities);
    stageTotal = std::clamp(result.stageTotal, 1, kStageSlots);
    stageAuthor = result.author;
    if (!result.warnings.empty()) {
        QStringList lines;
        for (const std::string& warning : result.warnings) {
            lines.append(QString::fromLocal8Bit(warning));
        }
        Message(QString::fromUtf8("注意"), lines.join(u'\n'), QMessageBox::Ok,
                QMessageBox::Information);
    }
    UpdateStageRange();
    Redraw();
    return true;
}

bool TForm1::WriteDocument(const QString& path) {
    StageWriteResult result = WriteStageFile(LocalPath(path), *stageBlockTable, *stageEntityTable,
                                             stageTotal, stageAuthor, currentStage);
    for (const StageWarning& warning : result.warnings) {
        Message(QString::fromUtf8("注意"), QString::fromStdString(warning.text), QMessageBox::Ok,
                QMessageBox::Information);
    }
    if (!result.ok) {
        Message(QString::fromUtf8(kApplicationTitle), FileErrorText(path, result.error),
                QMessageBox::Ok, QMessageBox::Critical);
        return false;
    }
    return true;
}

void TForm1::selectfileClick() {
    QString chosen = services_.OpenFileName(this, lastOpenName_);
    if (chosen.isEmpty()) return;
    lastOpenName_ = chosen;
    // The file already open is not read again, so its unsaved edits stay.
    if (chosen != fileName) {
        if (!ReadDocument(chosen)) return;
        fileName = chosen;
    }
    Redraw();
    setWindowTitle(fileName);
}

void TForm1::New1Click() {
    QMessageBox::StandardButton answer =
        Message(QString::fromUtf8(kApplicationTitle), QString::fromUtf8("新規作成します"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::NoIcon);
    if (answer != QMessageBox::No) FormCreate(false);
}

bool TForm1::SaveDocument(bool overwrite) {
    return SaveDocumentOutcome(overwrite) == SaveOutcome::Saved;
}

TForm1::SaveOutcome TForm1::SaveDocumentOutcome(bool overwrite) {
    if (overwrite && !fileName.isEmpty()) {
        if (!WriteDocument(fileName)) return SaveOutcome::Failed;
        setWindowTitle(fileName);
        return SaveOutcome::Saved;
    }
    QString chosen = services_.SaveFileName(this, fileName);
    if (chosen.isEmpty()) return SaveOutcome::Cancelled;
    // Anywhere in the path, as a name like "sets.zrp/first" shows.
    if (!chosen.contains(QStringLiteral(".zrp"), Qt::CaseSensitive)) {
        chosen += QStringLiteral(".zrp");
    }
    if (!WriteDocument(chosen)) return SaveOutcome::Failed;
    fileName = chosen;
    setWindowTitle(fileName);
    return SaveOutcome::Saved;
}

void TForm1::KK1Click() {
    SaveDocument(true);
}

void TForm1::saveClick() {
    SaveDocument(false);
}

void TForm1::exitClick() {
    close();
}

bool TForm1::FormCloseQuery() {
    QMessageBox::StandardButton answer = Message(
        QString::fromUtf8(kApplicationTitle), QString::fromUtf8("終了する前に保存しますか？"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::NoIcon);
    bool mayClose = answer != QMessageBox::Cancel;
    // Yes always shows the save dialog and closes even when it is cancelled; a set that could
    // not be written keeps the window open, so the edits are not lost with it.
    if (answer == QMessageBox::Yes && SaveDocumentOutcome(false) == SaveOutcome::Failed) {
        mayClose = false;
    }
    // Whatever the answer: the position is kept and the test file goes.
    StoreWindowPosition();
    DeleteTestFile();
    return mayClose;
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TForm1::StoreWindowPosition() {
    const int32_t left = x();
    const int32_t top = y();
    std::string error;
    if (!UpdateProfile(
            services_.ProgramFolder() + "zarp.dat",
            [left, top](IniFile& profile) {
                profile.SetInt("Editor", "Left", left);
                profile.SetInt("Editor", "Top", top);
            },
            &error)) {
        // Not worth a question at closing time; the next start is centred instead.
        std::fprintf(stderr, "zarp-editor: %s\n", error.c_str());
    }
}

void TForm1::DeleteTestFile() {
    std::string path;
    std::string error;
    if (TestPlayFile(path, &error)) QFile::remove(QFile::decodeName(path.c_str()));
}

}  // namespace zarp::editor

// Opening, New, Save, Save As, quitting, the recovery file, and the window position kept in
// zarp.dat.
#include <QCloseEvent>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QUndoStack>
#include <algorithm>
#include <cstdio>

#include "common/paths/Paths.h"
#include "common/profile/Profile.h"
#include "editor/MainWindow.h"
#include "editor/Recovery.h"

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

bool MainWindow::ReadDocument(const QString& path) {
    // Read into fresh tables so that a file that fails leaves the document untouched. They start
    // as a new document's: the slots past the file's stages hold a start and settings, so a
    // stage brought back by raising the number of stages is a fresh, playable one.
    auto blocks = std::make_unique<EditorBlockTable>();
    auto entities = std::make_unique<EditorEntityTable>();
    ResetEditorTables(*blocks, *entities);
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
    StartFreshHistory();
    if (!result.warnings.empty()) {
        QStringList lines;
        for (const std::string& warning : result.warnings) {
            lines.append(QString::fromLocal8Bit(warning));
        }
        Message(tr("注意"), lines.join(u'\n'), QMessageBox::Ok, QMessageBox::Information);
    }
    UpdateStageRange();
    Redraw();
    return true;
}

bool MainWindow::WriteDocument(const QString& path) {
    StageWriteResult result = WriteStageFile(LocalPath(path), *stageBlockTable, *stageEntityTable,
                                             stageTotal, stageAuthor, currentStage);
    for (const StageWarning& warning : result.warnings) {
        const QString text = warning.tooManyCoins
                                 ? tr("ステージ%1はコインが多すぎるので、減らしてください")
                                 : tr("ステージ%1はブロックが多すぎるので、減らしてください");
        Message(tr("注意"), text.arg(warning.slot), QMessageBox::Ok, QMessageBox::Information);
    }
    if (!result.ok) {
        Message(QString::fromUtf8(kApplicationTitle), FileErrorText(path, result.error),
                QMessageBox::Ok, QMessageBox::Critical);
        return false;
    }
    return true;
}

bool MainWindow::MayReplaceDocument() {
    if (!HasUnsavedChanges()) return true;
    QMessageBox::StandardButton answer =
        Message(QString::fromUtf8(kApplicationTitle), tr("開く前に保存しますか？"),
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::NoIcon);
    // Yes saves as the quit question's Yes does, through the save dialog; a save that does not
    // happen keeps the document, so nothing is lost.
    if (answer == QMessageBox::Yes) return SaveDocumentOutcome(false) == SaveOutcome::Saved;
    return answer == QMessageBox::No;
}

void MainWindow::OpenFile() {
    if (!MayReplaceDocument()) return;
    QString chosen = services_.OpenFileName(
        this, lastOpenName_.isEmpty() ? StageFolderForDialogs() : lastOpenName_);
    if (chosen.isEmpty()) return;
    lastOpenName_ = chosen;
    // The file already open is not read again, so its unsaved edits stay.
    if (chosen != fileName) {
        if (!ReadDocument(chosen)) return;
        fileName = chosen;
    }
    Redraw();
    SetCaption(fileName);
}

void MainWindow::NewDocument() {
    QMessageBox::StandardButton answer =
        Message(QString::fromUtf8(kApplicationTitle), QString::fromUtf8("新規作成します"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::NoIcon);
    if (answer != QMessageBox::No) ResetDocument(false);
}

bool MainWindow::SaveDocument(bool overwrite) {
    return SaveDocumentOutcome(overwrite) == SaveOutcome::Saved;
}

MainWindow::SaveOutcome MainWindow::SaveDocumentOutcome(bool overwrite) {
    if (overwrite && !fileName.isEmpty()) {
        if (!WriteDocument(fileName)) return SaveOutcome::Failed;
        SetCaption(fileName);
        DocumentSaved();
        return SaveOutcome::Saved;
    }
    QString chosen =
        services_.SaveFileName(this, fileName.isEmpty() ? StageFolderForDialogs() : fileName);
    if (chosen.isEmpty()) return SaveOutcome::Cancelled;
    // Anywhere in the path, as a name like "sets.zrp/first" shows.
    if (!chosen.contains(QStringLiteral(".zrp"), Qt::CaseSensitive)) {
        chosen += QStringLiteral(".zrp");
        // The dialog asked about the name as typed; the name with ".zrp" may be another file.
        if (QFileInfo::exists(chosen) &&
            Message(QString::fromUtf8(kApplicationTitle),
                    tr("%1 は既に存在します。\n置き換えますか？").arg(chosen),
                    QMessageBox::Yes | QMessageBox::No, QMessageBox::Warning) != QMessageBox::Yes) {
            return SaveOutcome::Cancelled;
        }
    }
    if (!WriteDocument(chosen)) return SaveOutcome::Failed;
    fileName = chosen;
    SetCaption(fileName);
    DocumentSaved();
    return SaveOutcome::Saved;
}

void MainWindow::Save() {
    SaveDocument(true);
}

void MainWindow::SaveAs() {
    SaveDocument(false);
}

void MainWindow::Quit() {
    close();
}

bool MainWindow::AskBeforeClosing() {
    QMessageBox::StandardButton answer = Message(
        QString::fromUtf8(kApplicationTitle), QString::fromUtf8("終了する前に保存しますか？"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::NoIcon);
    bool mayClose = answer != QMessageBox::Cancel;
    // Yes always shows the save dialog and closes even when it is cancelled; a set that could
    // not be written keeps the window open, so the edits are not lost with it.
    SaveOutcome saved = SaveOutcome::Cancelled;
    if (answer == QMessageBox::Yes) {
        saved = SaveDocumentOutcome(false);
        if (saved == SaveOutcome::Failed) mayClose = false;
    }
    if (mayClose) {
        if (answer == QMessageBox::Yes && saved == SaveOutcome::Cancelled) {
            // The author meant to save and did not: the recovery stays for the next start.
            WriteRecovery();
        } else if (recovery_) {
            recovery_->Remove();
        }
    }
    // Whatever the answer: the position is kept and the test file goes.
    StoreWindowPosition();
    DeleteTestFile();
    return mayClose;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (AskBeforeClosing()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::StoreWindowPosition() {
    const int32_t left = x();
    const int32_t top = y();
    const bool windowed = windowedTestPlayAction->isChecked();
    std::string error;
    if (!UpdateProfile(
            SettingsFile(),
            [left, top, windowed](IniFile& profile) {
                profile.SetInt("Editor", "Left", left);
                profile.SetInt("Editor", "Top", top);
                profile.SetInt("Editor", kWindowedTestPlayKey, windowed ? 1 : 0);
            },
            &error)) {
        // Not worth a question at closing time; the next start is centred instead.
        std::fprintf(stderr, "zarp-editor: %s\n", error.c_str());
    }
}

std::string MainWindow::SettingsFile() {
    const Layout layout = services_.ProgramLayout();
    std::string error;
    if (!PrepareUserFolders(layout, &error))
        std::fprintf(stderr, "zarp-editor: %s\n", error.c_str());
    return layout.settingsFile;
}

QString MainWindow::StageFolderForDialogs() {
    const Layout layout = services_.ProgramLayout();
    if (layout.userStageFolder.empty()) return QString();
    std::string error;
    if (!PrepareUserFolders(layout, &error))
        std::fprintf(stderr, "zarp-editor: %s\n", error.c_str());
    return QFile::decodeName(layout.userStageFolder.c_str()) + u'/';
}

void MainWindow::DeleteTestFile() {
    std::string path;
    std::string error;
    if (TestPlayFile(path, &error)) QFile::remove(QFile::decodeName(path.c_str()));
}

void MainWindow::StartFreshHistory() {
    undoStack->clear();
    ++revision_;
    if (recovery_) recovery_->Remove();
}

void MainWindow::DocumentSaved() {
    undoStack->setClean();
    if (recovery_) recovery_->Remove();
}

bool MainWindow::HasUnsavedChanges() const {
    return !undoStack->isClean();
}

void MainWindow::WriteRecovery() {
    if (!HasUnsavedChanges()) {
        if (recovery_) recovery_->Remove();
        return;
    }
    if (recovery_ && recovery_->Exists() && recoveryRevision_ == revision_) return;
    std::string error;
    if (!recovery_) {
        std::string folder;
        if (!UserStateFolder(folder, &error)) {
            if (!recoveryErrorShown_)
                std::fprintf(stderr, "zarp-editor: no recovery file: %s\n", error.c_str());
            recoveryErrorShown_ = true;
            return;
        }
        recovery_ = std::make_unique<RecoveryFile>(folder);
    }
    // Every slot goes into the copy, also those beyond the stage total that raising it brings
    // back; the writer works on copies, so its warnings change nothing here.
    auto blocks = std::make_unique<EditorBlockTable>(*stageBlockTable);
    auto entities = std::make_unique<EditorEntityTable>(*stageEntityTable);
    std::string text;
    FormatStageFile(text, *blocks, *entities, kStageSlots, stageAuthor, currentStage);
    const RecoveryInfo info{fileName, stageTotal, currentStage, QDateTime::currentSecsSinceEpoch()};
    if (!recovery_->Write(text, info, &error)) {
        if (!recoveryErrorShown_)
            std::fprintf(stderr, "zarp-editor: no recovery file: %s\n", error.c_str());
        recoveryErrorShown_ = true;
        return;
    }
    recoveryRevision_ = revision_;
}

void MainWindow::OfferRecovery() {
    const std::string folder = UserStateFolderPath();
    if (folder.empty()) return;
    for (const OrphanRecovery& orphan : RecoveryFile::FindOrphans(folder)) {
        const QString file = orphan.info.fileName.isEmpty() ? QString::fromUtf8(kNewFileCaption)
                                                            : orphan.info.fileName;
        const QString time = QLocale().toString(QDateTime::fromSecsSinceEpoch(orphan.info.savedAt),
                                                QLocale::ShortFormat);
        QMessageBox::StandardButton answer =
            Message(QString::fromUtf8(kApplicationTitle),
                    tr("保存されていない編集内容が残っています。\n\nファイル: %1\n時刻: %2\n\n"
                       "復元しますか？")
                        .arg(file, time),
                    QMessageBox::Yes | QMessageBox::No, QMessageBox::Question);
        if (answer != QMessageBox::Yes) {
            RecoveryFile::Remove(orphan);
            continue;
        }
        if (RestoreRecovery(orphan)) return;
    }
}

bool MainWindow::RestoreRecovery(const OrphanRecovery& orphan) {
    auto blocks = std::make_unique<EditorBlockTable>();
    auto entities = std::make_unique<EditorEntityTable>();
    ResetEditorTables(*blocks, *entities);
    StageReadResult result = ReadStageFile(orphan.stagePath, *blocks, *entities);
    if (!result.ok) {
        Message(QString::fromUtf8(kApplicationTitle),
                FileErrorText(QFile::decodeName(orphan.stagePath.c_str()), result.error),
                QMessageBox::Ok, QMessageBox::Critical);
        RecoveryFile::Remove(orphan);
        return false;
    }
    stageBlockTable = std::move(blocks);
    stageEntityTable = std::move(entities);
    const int32_t total = orphan.info.stageTotal;
    stageTotal =
        total >= 2 && total <= kStageSlots ? total : std::clamp(result.stageTotal, 2, kStageSlots);
    stageAuthor = result.author;
    fileName = orphan.info.fileName;
    SetCaption(fileName.isEmpty() ? QString::fromUtf8(kNewFileCaption) : fileName);
    // A fresh history whose clean state is out of reach: the restored document is unsaved.
    StartFreshHistory();
    undoStack->resetClean();
    currentStage = std::clamp(orphan.info.currentStage, 1, stageTotal - 1);
    UpdateStageRange();
    Redraw();
    // This editor's own copy replaces the one it came from.
    WriteRecovery();
    RecoveryFile::Remove(orphan);
    return true;
}

}  // namespace zarp::editor

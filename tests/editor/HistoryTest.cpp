// The editor never loses an author's work: stages brought back by raising the number of stages,
// undo and redo, the modified mark and the questions that guard it, and the recovery file.
#include <sys/file.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>
#include <functional>
#include <map>
#include <memory>

#include "common/paths/UniqueFd.h"
#include "common/stage/Stage.h"
#include "editor/MainWindow.h"
#include "tests/editor/ScriptedServices.h"

using zarp::EditorBlockTable;
using zarp::EditorEntityTable;
using zarp::editor::MainWindow;
using namespace editor_test;

namespace {

// The document as the writer saves it, and again with every slot (those beyond the stage total
// are kept in memory and come back when the total is raised).
std::string Snapshot(const MainWindow& form) {
    std::string text;
    for (int32_t total : {form.stageTotal, zarp::kStageSlots}) {
        auto blocks = std::make_unique<EditorBlockTable>(*form.stageBlockTable);
        auto entities = std::make_unique<EditorEntityTable>(*form.stageEntityTable);
        std::string part;
        zarp::FormatStageFile(part, *blocks, *entities, total, form.stageAuthor, 1);
        text += part + "|";
    }
    return text;
}

// Every entry of the tables, erased or not, and the counts.
bool SameTables(const MainWindow& form, const EditorBlockTable& blocks,
                const EditorEntityTable& entities) {
    const EditorBlockTable& b = *form.stageBlockTable;
    const EditorEntityTable& e = *form.stageEntityTable;
    return b.x == blocks.x && b.y == blocks.y && b.type == blocks.type && b.count == blocks.count &&
           e.x == entities.x && e.y == entities.y && e.count == entities.count;
}

// Stage 1: blocks at (16, 16) type 0, (96, 96) type 5 and (160, 160) type 10; the start at
// (48, 48), angle 10, 3 shots; coins at (200, 200), (240, 200) and (280, 200). Stage 2: a block
// at (320, 320) type 6, the start at (64, 64), angle 0, 5 shots.
QByteArray RichSet() {
    QList<QByteArray> lines = {"3",
                               "rich",
                               "*",
                               "*",
                               "*",
                               "16",
                               "16",
                               "0",
                               "96",
                               "96",
                               "5",
                               "160",
                               "160",
                               "10",
                               "*",
                               "*",
                               "*",
                               "320",
                               "320",
                               "6",
                               "*",
                               "*",
                               "*",
                               "*",
                               "*",
                               "*",
                               "*",
                               "*",
                               "## other data",
                               "*",
                               "*",
                               "48",
                               "48",
                               "10",
                               "3",
                               "200",
                               "200",
                               "240",
                               "200",
                               "280",
                               "200",
                               "*",
                               "*",
                               "64",
                               "64",
                               "0",
                               "5",
                               "*",
                               "*"};
    return lines.join("\r\n") + "\r\n";
}

}  // namespace

class HistoryTest : public QObject, public EditorHarness {
    Q_OBJECT

  private:
    QTemporaryDir state_;

    QString StatePath() const { return state_.filePath(QStringLiteral("zarpane")); }
    QStringList RecoveryFiles() const {
        return QDir(StatePath()).entryList({QStringLiteral("editor-*")}, QDir::Files, QDir::Name);
    }

    // Ends the window the way a crash does: no question, no tidying up.
    void Crash() { form_.reset(); }

  private slots:
    void initTestCase() {
        QVERIFY(state_.isValid());
        SetUpFolders(state_.path());
    }

    void cleanup() {
        form_.reset();
        services_.reset();
        QDir(StatePath()).removeRecursively();
    }

    void raisedStagesArePlayable_data() {
        QTest::addColumn<QString>("route");
        QTest::newRow("command line") << "argument";
        QTest::newRow("F2") << "open";
        QTest::newRow("drop") << "drop";
    }
    void raisedStagesArePlayable() {
        QFETCH(QString, route);
        const QString path = WorkPath("two.zrp");
        WriteBytes(path, SmallSet("abc"));  // two stages
        MainWindow& form = NewForm(route == "argument" ? QStringList{path} : QStringList{});
        if (route == "open") {
            services_->openNames = {path};
            form.openAction->trigger();
        } else if (route == "drop") {
            form.FilesDropped({path});
        }
        QCOMPARE(form.fileName, path);

        services_->inputs = {std::nullopt, QStringLiteral("4")};  // keep the author, 4 stages
        form.setSettingsAction->trigger();
        // The stages brought back hold a new document's start and settings.
        for (int32_t slot : {3, 4}) {
            QCOMPARE(form.stageEntityTable->count[slot], 2);
            QCOMPARE(form.stageEntityTable->x[slot][0], 32);
            QCOMPARE(form.stageEntityTable->y[slot][1], 5);
        }
        form.stageSlider->setValue(4);
        form.startModeButton->setChecked(true);
        Press(Qt::LeftButton, 200, 150);
        form.coinModeButton->setChecked(true);
        Press(Qt::LeftButton, 300, 100);
        Press(Qt::LeftButton, 400, 300);
        services_->inputs = {QStringLiteral("90"), QStringLiteral("3")};
        form.stageDetailsAction->trigger();
        const QString saved = WorkPath("four.zrp");
        services_->saveNames = {saved};
        form.saveAsAction->trigger();

        EditorBlockTable blocks;
        EditorEntityTable entities;
        zarp::StageReadResult read = zarp::ReadStageFile(saved.toStdString(), blocks, entities);
        QVERIFY2(read.ok, read.error.c_str());
        QCOMPARE(read.stageTotal, 5);
        QCOMPARE(blocks.count[4], 0);
        QCOMPARE(entities.count[4], 4);
        const QList<QPoint> expected = {{192, 144}, {45, 3}, {288, 96}, {400, 288}};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(QPoint(entities.x[4][i], entities.y[4][i]), expected[i]);
        }
        // The game reads the stage brought back untouched as a new document's.
        zarp::GameBlockTable gameBlocks;
        zarp::GameEntityTable gameEntities;
        read = zarp::ReadStageFile(saved.toStdString(), gameBlocks, gameEntities, false);
        QVERIFY2(read.ok, read.error.c_str());
        QCOMPARE(gameEntities.count[3], 2);
        QCOMPARE(QPoint(gameEntities.x[3][0], gameEntities.y[3][0]), QPoint(32, 32));
        QCOMPARE(QPoint(gameEntities.x[3][1], gameEntities.y[3][1]), QPoint(0, 5));
        QCOMPARE(gameEntities.count[4], 4);
        QVERIFY(services_->messages.empty());
    }

    void undoAndRedoRestoreTheDocument_data() {
        QTest::addColumn<QString>("change");
        for (const char* change : {"place block", "place coin", "move start", "erase block",
                                   "erase coin", "exchange", "stage details", "set settings"}) {
            QTest::newRow(change) << change;
        }
    }
    void undoAndRedoRestoreTheDocument() {
        QFETCH(QString, change);
        const QString path = WorkPath("rich.zrp");
        WriteBytes(path, RichSet());
        MainWindow& form = NewForm({path});
        if (change.contains("coin")) form.coinModeButton->setChecked(true);
        if (change == "move start") form.startModeButton->setChecked(true);
        const std::string before = Snapshot(form);
        const auto blocksBefore = std::make_unique<EditorBlockTable>(*form.stageBlockTable);
        const auto entitiesBefore = std::make_unique<EditorEntityTable>(*form.stageEntityTable);

        const std::map<QString, std::function<void()>> changes = {
            {"place block", [&] { Press(Qt::LeftButton, 400, 300); }},
            {"place coin", [&] { Press(Qt::LeftButton, 400, 300); }},
            {"move start", [&] { Press(Qt::LeftButton, 400, 100); }},
            // The first of three: undoing must put it back in its place, not after the others.
            {"erase block", [&] { Press(Qt::RightButton, 40, 40); }},
            {"erase coin", [&] { Press(Qt::RightButton, 205, 205); }},
            {"exchange",
             [&] {
                 services_->inputs = {QStringLiteral("2")};
                 form.exchangeStagesAction->trigger();
             }},
            {"stage details",
             [&] {
                 services_->inputs = {QStringLiteral("180"), QStringLiteral("7")};
                 form.stageDetailsAction->trigger();
             }},
            {"set settings",
             [&] {
                 services_->inputs = {QStringLiteral("someone"), QStringLiteral("1")};
                 form.setSettingsAction->trigger();
             }},
        };
        changes.at(change)();
        const std::string after = Snapshot(form);
        QVERIFY(after != before);
        QVERIFY(form.isWindowModified());
        QVERIFY(form.undoAction->isEnabled());
        QVERIFY(!form.redoAction->isEnabled());

        form.undoAction->trigger();
        QCOMPARE(Snapshot(form), before);
        QVERIFY(SameTables(form, *blocksBefore, *entitiesBefore));
        QVERIFY(!form.isWindowModified());
        QVERIFY(!form.undoAction->isEnabled());
        QVERIFY(form.redoAction->isEnabled());

        form.redoAction->trigger();
        QCOMPARE(Snapshot(form), after);
        QVERIFY(form.isWindowModified());
        QCOMPARE(form.undoStack->count(), 1);
    }

    void undoShowsTheStageItChanges() {
        MainWindow& form = NewForm();
        form.stageSlider->setValue(3);
        Press(Qt::LeftButton, 100, 100);
        form.stageSlider->setValue(1);
        form.undoAction->trigger();
        QCOMPARE(form.currentStage, 3);
        QCOMPARE(form.stageLabel->text(), QStringLiteral("STAGE:3"));
        QCOMPARE(form.stageBlockTable->count[3], 0);
        form.stageSlider->setValue(2);
        form.redoAction->trigger();
        QCOMPARE(form.currentStage, 3);
        QCOMPARE(form.stageBlockTable->count[3], 1);
    }

    void pressesThatChangeNothingLeaveNoHistory() {
        const QString path = WorkPath("rich.zrp");
        WriteBytes(path, RichSet());
        MainWindow& form = NewForm({path});
        form.gridFreeAction->trigger();
        Press(Qt::RightButton, 500, 400);  // nothing there
        form.coinModeButton->setChecked(true);
        Press(Qt::LeftButton, 200, 200);  // a coin lies there already
        form.startModeButton->setChecked(true);
        Press(Qt::LeftButton, 48, 48);  // where the start is
        services_->inputs = {QStringLiteral("2")};
        form.stageSlider->setValue(2);
        form.exchangeStagesAction->trigger();  // with itself
        QCOMPARE(form.undoStack->count(), 0);
        QVERIFY(!form.isWindowModified());
    }

    void undoingAnEraseInAFullStageTakesNoNewEntry() {
        // A stage of 500 blocks, the most a stage holds while editing.
        QList<QByteArray> lines = {"2", "", "*", "*", "*"};
        for (int i = 0; i < zarp::kEditorEntriesPerSlot; ++i) {
            lines << QByteArray::number(16 + (i % 19) * 32)
                  << QByteArray::number(16 + (i / 19 % 13) * 32) << "5";
        }
        lines << "*"
              << "*"
              << "*"
              << "*"
              << "*"
              << "*"
              << "*"
              << "*"
              << "## other data"
              << "*"
              << "*"
              << "32"
              << "32"
              << "0"
              << "5"
              << "*"
              << "*";
        const QString path = WorkPath("full.zrp");
        WriteBytes(path, lines.join("\r\n") + "\r\n");
        MainWindow& form = NewForm({path});
        QCOMPARE(form.stageBlockTable->count[1], zarp::kEditorEntriesPerSlot);

        Press(Qt::RightButton, 20, 20);  // erases every block at (16, 16)
        QCOMPARE(form.stageBlockTable->x[1][0], zarp::kEmptyMarker);
        form.undoAction->trigger();
        QCOMPARE(form.stageBlockTable->count[1], zarp::kEditorEntriesPerSlot);
        QCOMPARE(form.stageBlockTable->x[1][0], 16);
        // The stage is full: a block is refused and leaves nothing to undo.
        Press(Qt::LeftButton, 100, 100);
        QCOMPARE(form.stageBlockTable->count[1], zarp::kEditorEntriesPerSlot);
        QVERIFY(form.redoAction->isEnabled());
        form.redoAction->trigger();
        QCOMPARE(form.stageBlockTable->count[1], zarp::kEditorEntriesPerSlot);
        QCOMPARE(form.stageBlockTable->x[1][0], zarp::kEmptyMarker);
    }

    void modifiedMarkFollowsTheSavedState() {
        MainWindow& form = NewForm();
        QCOMPARE(Caption(form), QStringLiteral("New file"));
        Press(Qt::LeftButton, 100, 100);
        QCOMPARE(Caption(form), QStringLiteral("New file*"));
        const QString path = WorkPath("marked.zrp");
        services_->saveNames = {path};
        form.saveAction->trigger();
        QCOMPARE(Caption(form), path);
        Press(Qt::LeftButton, 200, 100);
        QCOMPARE(Caption(form), path + "*");
        // Undoing back to what was saved is the saved state again; redoing leaves it.
        form.undoAction->trigger();
        QCOMPARE(Caption(form), path);
        form.redoAction->trigger();
        QCOMPARE(Caption(form), path + "*");
        form.saveAction->trigger();
        QCOMPARE(Caption(form), path);
        form.undoAction->trigger();
        QCOMPARE(Caption(form), path + "*");
        // New starts a fresh history.
        services_->answers = {QMessageBox::Yes};
        form.newAction->trigger();
        QCOMPARE(Caption(form), QStringLiteral("New file"));
        QVERIFY(!form.undoAction->isEnabled());
        QVERIFY(!form.redoAction->isEnabled());
        // A caption holding the mark's own characters shows them as they are.
        const QString odd = WorkPath("odd[*].zrp");
        services_->saveNames = {odd};
        form.saveAsAction->trigger();
        QCOMPARE(Caption(form), odd);
    }

    void openingOverChangesAsks_data() {
        QTest::addColumn<QString>("route");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveAs");  // the save dialog's answer; empty: cancelled
        QTest::addColumn<bool>("opened");
        for (const char* route : {"open", "drop"}) {
            const QByteArray name(route);
            QTest::newRow(name + ", unchanged") << route << false << 0 << QString() << true;
            QTest::newRow(name + ", Cancel")
                << route << true << int(QMessageBox::Cancel) << QString() << false;
            QTest::newRow(name + ", No")
                << route << true << int(QMessageBox::No) << QString() << true;
            QTest::newRow(name + ", Yes")
                << route << true << int(QMessageBox::Yes) << "kept.zrp" << true;
            QTest::newRow(name + ", Yes, dialog cancelled")
                << route << true << int(QMessageBox::Yes) << QString() << false;
        }
    }
    void openingOverChangesAsks() {
        QFETCH(QString, route);
        QFETCH(bool, changed);
        QFETCH(int, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, opened);
        const QString path = WorkPath("other.zrp");
        WriteBytes(path, SmallSet("other"));
        MainWindow& form = NewForm();
        if (changed) Press(Qt::LeftButton, 400, 400);
        if (answer != 0) services_->answers = {QMessageBox::StandardButton(answer)};
        if (!saveAs.isEmpty()) services_->saveNames = {WorkPath(saveAs)};
        if (route == "open") {
            services_->openNames = {path};
            form.openAction->trigger();
        } else {
            form.FilesDropped({path});
        }

        if (changed) {
            QCOMPARE(services_->messages.size(), size_t{1});
            QCOMPARE(services_->messages[0].text, QString::fromUtf8("開く前に保存しますか？"));
            QCOMPARE(services_->messages[0].caption, kTitle);
            QCOMPARE(services_->messages[0].buttons,
                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        } else {
            QVERIFY(services_->messages.empty());
        }
        QCOMPARE(form.fileName, opened ? path : saveAs.isEmpty() ? QString() : WorkPath(saveAs));
        QCOMPARE(form.isWindowModified(), !opened);
        if (!saveAs.isEmpty()) {
            // Saved first, with the edit.
            EditorBlockTable blocks;
            EditorEntityTable entities;
            QVERIFY(zarp::ReadStageFile(WorkPath(saveAs).toStdString(), blocks, entities).ok);
            QCOMPARE(blocks.count[1], 1);
        }
        if (!opened) QCOMPARE(form.stageBlockTable->count[1], 1);
    }

    void savingAsAsksBeforeReplacingTheNameWithZrp_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("Yes") << int(QMessageBox::Yes) << true;
        QTest::newRow("No") << int(QMessageBox::No) << false;
    }
    void savingAsAsksBeforeReplacingTheNameWithZrp() {
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        const QString existing = WorkPath("there.zrp");
        WriteBytes(existing, SmallSet("old"));
        MainWindow& form = NewForm();
        Press(Qt::LeftButton, 100, 100);
        services_->saveNames = {WorkPath("there")};  // the dialog knew nothing of ".zrp"
        services_->answers = {QMessageBox::StandardButton(answer)};
        QCOMPARE(form.SaveDocument(false), replaced);
        QCOMPARE(services_->messages.size(), size_t{1});
        QVERIFY(services_->messages[0].text.contains(existing));
        QCOMPARE(services_->messages[0].icon, QMessageBox::Warning);
        QFile file(existing);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll() == SmallSet("old"), !replaced);
        QCOMPARE(form.isWindowModified(), !replaced);
        QCOMPARE(form.fileName, replaced ? existing : QString());
    }

    void recoveryFollowsTheUnsavedChanges() {
        MainWindow& form = NewForm();
        QCOMPARE(form.recoveryTimer->interval(), zarp::editor::kRecoveryIntervalMs);
        QVERIFY(form.recoveryTimer->isActive());
        form.WriteRecovery();
        QVERIFY(RecoveryFiles().isEmpty());  // nothing unsaved

        // Raise the number of stages and lower it again: the hidden stage is kept too.
        services_->inputs = {std::nullopt, QStringLiteral("19")};
        form.setSettingsAction->trigger();
        form.stageSlider->setValue(19);
        Press(Qt::LeftButton, 100, 100);
        services_->inputs = {std::nullopt, QStringLiteral("3")};
        form.setSettingsAction->trigger();
        form.WriteRecovery();
        const QStringList files = RecoveryFiles();
        QCOMPARE(files.size(), 3);  // the set, what it belongs to, the lock
        const QString set = QDir(StatePath()).filePath(files.filter(".zrp").value(0));
        EditorBlockTable blocks;
        EditorEntityTable entities;
        zarp::StageReadResult read = zarp::ReadStageFile(set.toStdString(), blocks, entities);
        QVERIFY2(read.ok, read.error.c_str());
        QCOMPARE(read.stageTotal, zarp::kStageSlots);
        QCOMPARE(blocks.count[19], 1);

        // Saving removes it; so does undoing back to what was saved.
        services_->saveNames = {WorkPath("recovered.zrp")};
        form.saveAction->trigger();
        QVERIFY(RecoveryFiles().isEmpty());
        Press(Qt::LeftButton, 200, 200);
        form.WriteRecovery();
        QCOMPARE(RecoveryFiles().size(), 3);
        form.undoAction->trigger();
        form.WriteRecovery();
        QVERIFY(RecoveryFiles().isEmpty());
        // New and opening remove it at once.
        Press(Qt::LeftButton, 200, 200);
        form.WriteRecovery();
        services_->answers = {QMessageBox::Yes};
        form.newAction->trigger();
        QVERIFY(RecoveryFiles().isEmpty());
        // A normal quit removes it; one whose save dialog was cancelled after Yes keeps it.
        Press(Qt::LeftButton, 200, 200);
        form.WriteRecovery();
        services_->answers = {QMessageBox::No};
        QVERIFY(form.close());
        QVERIFY(RecoveryFiles().isEmpty());
        Press(Qt::LeftButton, 240, 200);
        services_->answers = {QMessageBox::Yes};
        QVERIFY(form.close());
        QCOMPARE(RecoveryFiles().size(), 3);
    }

    void recoveryOfACrashedEditorIsOffered_data() {
        QTest::addColumn<bool>("restore");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }
    void recoveryOfACrashedEditorIsOffered() {
        QFETCH(bool, restore);
        const QString path = WorkPath("crashed.zrp");
        WriteBytes(path, SmallSet("abc"));
        {
            MainWindow& form = NewForm({path});
            form.stageSlider->setValue(2);
            Press(Qt::LeftButton, 300, 300);
            form.WriteRecovery();
            Crash();
        }
        QCOMPARE(RecoveryFiles().size(), 3);

        MainWindow& form = NewForm();
        services_->answers = {restore ? QMessageBox::Yes : QMessageBox::No};
        form.OfferRecovery();
        QCOMPARE(services_->messages.size(), size_t{1});
        QVERIFY(services_->messages[0].text.contains(path));
        QCOMPARE(services_->messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
        if (restore) {
            QCOMPARE(form.fileName, path);
            QCOMPARE(Caption(form), path + "*");
            QCOMPARE(form.stageTotal, 3);
            QCOMPARE(form.currentStage, 2);
            QCOMPARE(form.stageBlockTable->count[2], 1);
            QCOMPARE(form.stageAuthor, std::string("abc"));
            // Undo cannot reach a saved state: the restored document was never saved here.
            QVERIFY(!form.undoAction->isEnabled());
            // This editor's copy took the place of the crashed one's.
            QCOMPARE(RecoveryFiles().size(), 3);
            form.WriteRecovery();
            Crash();
            NewForm();
            services_->answers = {QMessageBox::No};
            form_->OfferRecovery();
            QCOMPARE(services_->messages.size(), size_t{1});
        } else {
            QCOMPARE(form.fileName, QString());
            QVERIFY(!form.isWindowModified());
        }
        QVERIFY(RecoveryFiles().isEmpty());
    }

    void recoveryOfARunningEditorIsLeftAlone() {
        MainWindow& first = NewForm();
        Press(Qt::LeftButton, 300, 300);
        first.WriteRecovery();
        ScriptedServices services;
        MainWindow second(services, {});
        second.OfferRecovery();
        QVERIFY(services.messages.empty());
        QCOMPARE(RecoveryFiles().size(), 3);
    }
};

QTEST_MAIN(HistoryTest)
#include "HistoryTest.moc"

// Checking the stage shown from the editor: the game's solver on a worker thread, the result in
// words, the solution's path on the field until the next edit, and Cancel.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <memory>
#include <vector>

#include "common/stage/Stage.h"
#include "editor/MainWindow.h"
#include "editor/StageCheck.h"
#include "tests/editor/ScriptedServices.h"

using zarp::editor::MainWindow;
using namespace editor_test;

namespace {

struct Block {
    int32_t x, y, type;
};

// Stage 1 of the window's document becomes: these blocks, the ball at (96, 112) aimed right
// (angle 0) with `shots` shots, and these coins.
void MakeStage(MainWindow& form, const std::vector<Block>& blocks, int32_t shots,
               const std::vector<QPoint>& coins) {
    zarp::EditorBlockTable& b = *form.stageBlockTable;
    zarp::EditorEntityTable& e = *form.stageEntityTable;
    b.count[1] = static_cast<int32_t>(blocks.size());
    for (size_t i = 0; i < blocks.size(); ++i) {
        b.x[1][i] = blocks[i].x;
        b.y[1][i] = blocks[i].y;
        b.type[1][i] = blocks[i].type;
    }
    e.x[1][0] = 96;
    e.y[1][0] = 112;
    e.x[1][1] = 0;
    e.y[1][1] = shots;
    e.count[1] = 2 + static_cast<int32_t>(coins.size());
    for (size_t i = 0; i < coins.size(); ++i) {
        e.x[1][2 + i] = coins[i].x();
        e.y[1][2 + i] = coins[i].y();
    }
    form.Redraw();
}

// The goal at (320, 224) inside a ring of eight blocks of `type`.
std::vector<Block> RingedGoal(int32_t type) {
    std::vector<Block> blocks{{320, 224, 10}};
    for (int32_t dx : {-32, 0, 32}) {
        for (int32_t dy : {-32, 0, 32}) {
            if (dx != 0 || dy != 0) blocks.push_back({320 + dx, 224 + dy, type});
        }
    }
    return blocks;
}

}  // namespace

class CheckTest : public QObject, public EditorHarness {
    Q_OBJECT

  private slots:
    void initTestCase() { SetUpFolders(); }

    void cleanup() {
        form_.reset();
        services_.reset();
    }

    void resultInWords_data() {
        QTest::addColumn<QString>("stage");
        QTest::addColumn<QString>("words");
        QTest::addColumn<bool>("path");
        QTest::newRow("clearable")
            << "clearable"
            << QString::fromUtf8("ステージ1は 3 手中 1 手でクリアできます（コイン 1 / 1 枚）。")
            << true;
        QTest::newRow("unclearable within its shots")
            << "needles"
            << QString::fromUtf8("ステージ1は 1 手ではクリアする道が見つかりませんでした。")
            << false;
        QTest::newRow("no goal") << "no goal"
                                 << QString::fromUtf8(
                                        "ステージ1にはゴールがありません。クリアできません。")
                                 << false;
    }
    void resultInWords() {
        QFETCH(QString, stage);
        QFETCH(QString, words);
        QFETCH(bool, path);
        MainWindow& form = NewForm();
        if (stage == "clearable") {
            // Straight right: the coin on the way, then the goal.
            MakeStage(form, {{320, 112, 10}}, 3, {{200, 112}});
        } else if (stage == "needles") {
            MakeStage(form, RingedGoal(8), 1, {});
        } else {
            MakeStage(form, {{320, 112, 5}}, 3, {});
        }
        form.checkStageAction->trigger();
        QVERIFY(form.CheckRunning());
        QVERIFY(!form.checkStageAction->isEnabled());
        QVERIFY(form.cancelCheckButton->isVisibleTo(&form));
        QTRY_VERIFY_WITH_TIMEOUT(!form.CheckRunning(), 60000);
        QVERIFY(form.checkStageAction->isEnabled());
        QVERIFY(!form.cancelCheckButton->isVisibleTo(&form));
        QCOMPARE(services_->messages.size(), size_t{1});
        QCOMPARE(services_->messages[0].text, words);
        QCOMPARE(form.lastCheckText, words);

        const auto& shots = form.stageField->overlay.shots;
        QCOMPARE(!shots.empty(), path);
        if (!path) return;
        // One shot, from the start to the goal.
        QCOMPARE(shots.size(), size_t{1});
        QCOMPARE(shots[0].front(), QPointF(96, 112));
        QVERIFY(shots[0].back().x() > 290);
        QCOMPARE(shots[0].back().y(), 112.0);
        // Drawn on another stage's view: not there; back on the stage: there again.
        form.stageSlider->setValue(2);
        QVERIFY(form.stageField->overlay.shots.empty());
        form.stageSlider->setValue(1);
        QVERIFY(!form.stageField->overlay.shots.empty());
        // The next edit takes it away, and so does undoing it.
        QTest::mouseClick(form.stageField, Qt::LeftButton, Qt::NoModifier, QPoint(500, 400));
        QVERIFY(form.stageField->overlay.shots.empty());
    }

    void stageIsTakenAsTheGameReadsTheFile_data() {
        QTest::addColumn<int>("blocks");    // placed, one in five of them erased
        QTest::addColumn<int>("entities");  // start, settings and coins, one coin in five erased
        QTest::newRow("small") << 7 << 6;
        QTest::newRow("just within the game's tables") << 500 << 62;
        QTest::newRow("beyond them") << 500 << 500;
        QTest::newRow("no entries") << 0 << 0;
    }
    void stageIsTakenAsTheGameReadsTheFile() {
        QFETCH(int, blocks);
        QFETCH(int, entities);
        auto editorBlocks = std::make_unique<zarp::EditorBlockTable>();
        auto editorEntities = std::make_unique<zarp::EditorEntityTable>();
        zarp::ResetEditorTables(*editorBlocks, *editorEntities);
        const int32_t slot = 3;
        editorBlocks->count[slot] = blocks;
        for (int i = 0; i < blocks; ++i) {
            editorBlocks->x[slot][i] = i % 5 == 2 ? zarp::kEmptyMarker : 16 + i;
            editorBlocks->y[slot][i] = 20 + i;
            editorBlocks->type[slot][i] = i % 18;
        }
        editorEntities->count[slot] = entities;
        for (int i = 0; i < entities; ++i) {
            editorEntities->x[slot][i] = i >= 2 && i % 5 == 0 ? zarp::kEmptyMarker : 30 + i;
            editorEntities->y[slot][i] = 40 + i;
        }
        // What the writer saves and the game's reader reads back.
        std::string text;
        QVERIFY(zarp::FormatStageFile(text, *editorBlocks, *editorEntities, 5, "", 1).ok);
        auto readBlocks = std::make_unique<zarp::GameBlockTable>();
        auto readEntities = std::make_unique<zarp::GameEntityTable>();
        QVERIFY(zarp::ReadStageLines("set", zarp::SplitStageLines(text), *readBlocks, *readEntities,
                                     false)
                    .ok);
        auto blocksTaken = std::make_unique<zarp::GameBlockTable>();
        auto entitiesTaken = std::make_unique<zarp::GameEntityTable>();
        zarp::editor::GameSlotOf(*editorBlocks, *editorEntities, slot, *blocksTaken,
                                 *entitiesTaken);
        QCOMPARE(blocksTaken->count[slot], readBlocks->count[slot]);
        QCOMPARE(entitiesTaken->count[slot], readEntities->count[slot]);
        QVERIFY(blocksTaken->x[slot] == readBlocks->x[slot]);
        QVERIFY(blocksTaken->y[slot] == readBlocks->y[slot]);
        QVERIFY(blocksTaken->type[slot] == readBlocks->type[slot]);
        QVERIFY(entitiesTaken->x[slot] == readEntities->x[slot]);
        QVERIFY(entitiesTaken->y[slot] == readEntities->y[slot]);
    }

    void cancelEndsTheWorkerPromptly() {
        MainWindow& form = NewForm();
        // Needles round the goal and nine shots: a search of many minutes.
        MakeStage(form, RingedGoal(8), 9, {});
        form.CheckStage();
        QTest::qWait(300);
        QVERIFY(form.CheckRunning());
        // The window goes on while the worker searches: edits are taken.
        QTest::mouseClick(form.stageField, Qt::LeftButton, Qt::NoModifier, QPoint(500, 400));
        QCOMPARE(form.undoStack->count(), 1);
        QElapsedTimer timer;
        timer.start();
        form.cancelCheckButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!form.CheckRunning(), 10000);
        // Promptly: a small part of what the search would take.
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(services_->messages.empty());
        QVERIFY(form.stageField->overlay.shots.empty());
    }

    void closingTheWindowStopsTheCheck() {
        MainWindow& form = NewForm();
        MakeStage(form, RingedGoal(8), 9, {});
        form.CheckStage();
        QTest::qWait(100);
        QElapsedTimer timer;
        timer.start();
        form_.reset();  // waits for the worker, which is told to stop
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_MAIN(CheckTest)
#include "CheckTest.moc"

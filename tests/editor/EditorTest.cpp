// The editor's window, driven offscreen through its services with scripted answers.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <deque>
#include <memory>
#include <optional>

#include "common/paths/Paths.h"
#include "common/profile/Profile.h"
#include "common/stage/Stage.h"
#include "editor/MainWindow.h"
#include "tests/editor/ScriptedServices.h"

using zarp::EditorBlockTable;
using zarp::EditorEntityTable;
using zarp::editor::MainWindow;

using namespace editor_test;

class EditorTest : public QObject, public EditorHarness {
    Q_OBJECT

  private:
    static std::string TestFilePath() {
        std::string path;
        std::string error;
        if (!zarp::TestPlayFile(path, &error)) qWarning("%s", error.c_str());
        return path;
    }

  private slots:
    void initTestCase() { SetUpFolders(); }

    void cleanup() {
        if (form_) {
            // Let the window close without a question left over in the scripts.
            services_->answers.clear();
            services_->answers.push_back(QMessageBox::No);
            form_->hide();
        }
        form_.reset();
        services_.reset();
    }

    void windowMatchesTheForm() {
        MainWindow& form = NewForm();
        // The field's visible 416 rows, then the controls, none over another.
        QCOMPARE(form.centralWidget()->width(), 640);
        QCOMPARE(form.stageField->geometry(), QRect(0, -16, 630, 432));
        const QRect client = form.centralWidget()->rect();
        QList<QRect> placed;
        for (QWidget* control : std::initializer_list<QWidget*>{
                 form.blockPreviewFrame, form.blockTypeSlider, form.itemGroup, form.stageLabel,
                 form.stageSlider, form.blockTypeName, form.blockTypeDescription}) {
            const QRect box = control->geometry();
            QVERIFY2(client.contains(box) && box.top() >= 416, control->metaObject()->className());
            for (const QRect& other : placed)
                QVERIFY(!box.intersects(other));
            placed.append(box);
        }
        // Each item button's caption is whole, none under another.
        QRect previous;
        for (QRadioButton* button :
             {form.blockModeButton, form.coinModeButton, form.startModeButton}) {
            QVERIFY(button->width() >= button->sizeHint().width());
            QVERIFY(!button->geometry().intersects(previous));
            previous = button->geometry();
        }
        QCOMPARE(form.blockModeButton->text(), QStringLiteral("BlockButton"));
        QCOMPARE(form.blockTypeSlider->minimum(), 0);
        QCOMPARE(form.blockTypeSlider->maximum(), 17);
        QCOMPARE(form.stageSlider->minimum(), 1);
        QCOMPARE(form.stageSlider->maximum(), 15);
        QCOMPARE(form.stageLabel->text(), QStringLiteral("STAGE:1"));
        QVERIFY(form.blockModeButton->isChecked());
        QCOMPARE(Caption(form), QStringLiteral("New file"));
        QCOMPARE(form.gridSize, 16);
        QVERIFY(form.grid16Action->isChecked());
        QVERIFY(form.gridGroup->isExclusive());
        QCOMPARE(form.font().pixelSize(), 12);

        struct Item {
            QAction* action;
            const char* caption;
            QKeySequence shortcut;
        };
        const Item items[] = {
            {form.fileMenu->menuAction(), "ファイル(&F)", {}},
            {form.openAction, "ファイルを開く(&L)", Qt::Key_F2},
            {form.newAction, "新規作成(&N)", Qt::CTRL | Qt::Key_N},
            {form.saveAction, "上書き保存する(&S)", Qt::CTRL | Qt::Key_S},
            {form.saveAsAction, "名前を付けて保存する(&A)", Qt::Key_F9},
            {form.startGameAction, "ゲーム本体を起動する(&G)", Qt::Key_F5},
            {form.testPlayAction, "今編集しているステージを起動する(&I)", Qt::CTRL | Qt::Key_F5},
            {form.quitAction, "終了(&X)", Qt::Key_F12},
            {form.settingsMenu->menuAction(), "設定(&S)", {}},
            {form.gridMenu->menuAction(), "マス目変更(&M)", {}},
            {form.gridFreeAction, "free", {}},
            {form.grid8Action, "8x8", {}},
            {form.grid16Action, "16x16", {}},
            {form.grid32Action, "32x32", {}},
            {form.grid64Action, "64x64", {}},
            {form.exchangeStagesAction, "ステージ入れ替え(&C)", Qt::Key_F7},
            {form.stageDetailsAction, "ステージ詳細設定(&S)", Qt::Key_F8},
            {form.setSettingsAction, "このゲームの設定", Qt::Key_F11},
            {form.versionMenu->menuAction(), "バージョン情報(&V)", {}},
            {form.versionAction, "バージョン情報", {}},
            {form.editMenu->menuAction(), "編集(&E)", {}},
            {form.undoAction, "元に戻す(&U)", Qt::CTRL | Qt::Key_Z},
            {form.redoAction, "やり直す(&R)", Qt::CTRL | Qt::Key_Y},
        };
        for (const Item& item : items) {
            QCOMPARE(item.action->text(), QString::fromUtf8(item.caption));
            QCOMPARE(item.action->shortcut(), item.shortcut);
        }
        // Menu order, separators included.
        QList<QAction*> fileItems = form.fileMenu->actions();
        QCOMPARE(fileItems.size(), 9);
        QVERIFY(fileItems[4]->isSeparator());
        QVERIFY(fileItems[7]->isSeparator());
        QCOMPARE(form.redoAction->shortcuts(),
                 (QList<QKeySequence>{Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z}));
        QCOMPARE(form.menuBar()->actions(),
                 (QList<QAction*>{form.fileMenu->menuAction(), form.editMenu->menuAction(),
                                  form.viewMenu->menuAction(), form.settingsMenu->menuAction(),
                                  form.versionMenu->menuAction()}));
    }

    void placingSnapsToTheGrid_data() {
        QTest::addColumn<int>("grid");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("placed");
        QTest::newRow("16, inside") << 16 << QPoint(40, 40) << QPoint(32, 32);
        QTest::newRow("16, left of the origin") << 16 << QPoint(10, 20) << QPoint(16, 16);
        QTest::newRow("free") << 0 << QPoint(37, 53) << QPoint(37, 53);
        QTest::newRow("8") << 8 << QPoint(31, 24) << QPoint(24, 24);
        QTest::newRow("32") << 32 << QPoint(100, 47) << QPoint(80, 16);
        QTest::newRow("64") << 64 << QPoint(150, 200) << QPoint(144, 144);
    }
    void placingSnapsToTheGrid() {
        QFETCH(int, grid);
        QFETCH(QPoint, press);
        QFETCH(QPoint, placed);
        MainWindow& form = NewForm();
        QAction* item = grid == 0    ? form.gridFreeAction
                        : grid == 8  ? form.grid8Action
                        : grid == 16 ? form.grid16Action
                        : grid == 32 ? form.grid32Action
                                     : form.grid64Action;
        item->trigger();
        QCOMPARE(form.gridSize, grid);
        QVERIFY(item->isChecked());
        form.blockTypeSlider->setValue(7);

        Press(Qt::LeftButton, press.x(), press.y());
        const EditorBlockTable& blocks = *form.stageBlockTable;
        QCOMPARE(blocks.count[1], 1);
        QCOMPARE(QPoint(blocks.x[1][0], blocks.y[1][0]), placed);
        QCOMPARE(blocks.type[1][0], 7);

        // The same press places a coin at the same spot (the player's start moved out of its
        // way), and moves the player there.
        form.stageEntityTable->x[1][0] = 500;
        form.coinModeButton->setChecked(true);
        Press(Qt::LeftButton, press.x(), press.y());
        const EditorEntityTable& entities = *form.stageEntityTable;
        QCOMPARE(entities.count[1], 3);
        QCOMPARE(QPoint(entities.x[1][2], entities.y[1][2]), placed);
        form.startModeButton->setChecked(true);
        Press(Qt::LeftButton, press.x(), press.y());
        QCOMPARE(QPoint(entities.x[1][0], entities.y[1][0]), placed);
        QCOMPARE(entities.count[1], 3);
        QVERIFY(services_->messages.empty());
    }

    void blockTypeBringsBackBlockMode() {
        MainWindow& form = NewForm();
        form.coinModeButton->setChecked(true);
        form.blockTypeSlider->setValue(3);
        QVERIFY(form.blockModeButton->isChecked());
    }

    void coinOnAnotherEntryIsRefused() {
        MainWindow& form = NewForm();
        form.gridFreeAction->trigger();
        form.coinModeButton->setChecked(true);
        const EditorEntityTable& entities = *form.stageEntityTable;
        Press(Qt::LeftButton, 32, 32);  // the player's start
        QCOMPARE(entities.count[1], 2);
        Press(Qt::LeftButton, 100, 100);
        Press(Qt::LeftButton, 100, 100);
        QCOMPARE(entities.count[1], 3);
        Press(Qt::LeftButton, 101, 100);
        QCOMPARE(entities.count[1], 4);
        // Stage settings (0, 5) sit at entry 1, off the field; a coin there is refused too.
        Press(Qt::LeftButton, 0, 5);
        QCOMPARE(entities.count[1], 4);
    }

    void erasingIsStrictOnEverySide_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<bool>("erased");
        // A 32 x 32 block at (48, 48) and a 64 x 64 block at (48, 48).
        QTest::newRow("left edge") << 5 << QPoint(48, 60) << false;
        QTest::newRow("top edge") << 5 << QPoint(60, 48) << false;
        QTest::newRow("right edge") << 5 << QPoint(80, 60) << false;
        QTest::newRow("bottom edge") << 5 << QPoint(60, 80) << false;
        QTest::newRow("just inside top-left") << 5 << QPoint(49, 49) << true;
        QTest::newRow("just inside bottom-right") << 5 << QPoint(79, 79) << true;
        QTest::newRow("big, inside") << 0 << QPoint(111, 111) << true;
        QTest::newRow("big, right edge") << 0 << QPoint(112, 60) << false;
    }
    void erasingIsStrictOnEverySide() {
        QFETCH(int, type);
        QFETCH(QPoint, press);
        QFETCH(bool, erased);
        MainWindow& form = NewForm();
        form.blockTypeSlider->setValue(type);
        Press(Qt::LeftButton, 48, 48);
        Press(Qt::RightButton, press.x(), press.y());
        const EditorBlockTable& blocks = *form.stageBlockTable;
        QCOMPARE(blocks.count[1], 1);  // erasing never lowers the count
        QCOMPARE(blocks.x[1][0] == zarp::kEmptyMarker, erased);
        if (erased) {
            QCOMPARE(blocks.y[1][0], zarp::kEmptyMarker);
            QCOMPARE(blocks.type[1][0], zarp::kEmptyMarker);
        }
    }

    void rightPressErasesEverythingUnderThePointer() {
        MainWindow& form = NewForm();
        form.blockTypeSlider->setValue(0);
        Press(Qt::LeftButton, 32, 32);  // 64 x 64 at (32, 32)
        form.blockTypeSlider->setValue(6);
        Press(Qt::LeftButton, 48, 48);  // 32 x 32 at (48, 48)
        Press(Qt::LeftButton, 200, 200);
        // Player mode: the blocks go, the player's start at (32, 32) stays.
        form.startModeButton->setChecked(true);
        Press(Qt::RightButton, 50, 50);
        const EditorBlockTable& blocks = *form.stageBlockTable;
        QCOMPARE(blocks.x[1][0], zarp::kEmptyMarker);
        QCOMPARE(blocks.x[1][1], zarp::kEmptyMarker);
        QCOMPARE(blocks.x[1][2], 192);
        const EditorEntityTable& entities = *form.stageEntityTable;
        QCOMPARE(QPoint(entities.x[1][0], entities.y[1][0]), QPoint(32, 32));
        QCOMPARE(QPoint(entities.x[1][1], entities.y[1][1]), QPoint(0, 5));

        // Coin mode erases coins only, never the start or the settings.
        form.gridFreeAction->trigger();
        form.coinModeButton->setChecked(true);
        Press(Qt::LeftButton, 300, 300);
        Press(Qt::LeftButton, 200, 200);  // on the remaining block
        Press(Qt::RightButton, 308, 308);
        Press(Qt::RightButton, 40, 40);  // over the player's start
        QCOMPARE(entities.x[1][2], zarp::kEmptyMarker);
        QCOMPARE(entities.x[1][3], 200);
        QCOMPARE(QPoint(entities.x[1][0], entities.y[1][0]), QPoint(32, 32));
        QCOMPARE(blocks.x[1][2], 192);
    }

    void fullSlotWarnsAndRefuses_data() {
        QTest::addColumn<bool>("coins");
        QTest::newRow("blocks") << false;
        QTest::newRow("coins") << true;
    }
    void fullSlotWarnsAndRefuses() {
        QFETCH(bool, coins);
        MainWindow& form = NewForm();
        form.gridFreeAction->trigger();
        if (coins) form.coinModeButton->setChecked(true);
        int32_t& count = coins ? form.stageEntityTable->count[1] : form.stageBlockTable->count[1];
        count = 490;
        Press(Qt::LeftButton, 100, 100);
        QCOMPARE(count, 491);
        QCOMPARE(services_->messages.size(), size_t{1});
        QCOMPARE(services_->messages[0].caption, kNotice);
        QCOMPARE(services_->messages[0].text, kTooMany);
        QCOMPARE(services_->messages[0].icon, QMessageBox::Information);
        QCOMPARE(services_->messages[0].buttons, QMessageBox::Ok);
        // From then on every press warns, an erasing one too.
        Press(Qt::RightButton, 300, 300);
        QCOMPARE(count, 491);
        QCOMPARE(services_->messages.size(), size_t{2});
        services_->messages.clear();

        count = zarp::kEditorEntriesPerSlot;
        Press(Qt::LeftButton, 120, 120);
        QCOMPARE(count, zarp::kEditorEntriesPerSlot);
        QCOMPARE(services_->messages.size(), size_t{1});
        QCOMPARE(services_->messages[0].text, kTooMany);
    }

    void stageDetails_data() {
        QTest::addColumn<QString>("angle");
        QTest::addColumn<QString>("tries");
        QTest::addColumn<int>("startAngle");
        QTest::addColumn<int>("rest");
        QTest::newRow("90 degrees, 3 tries") << "90"
                                             << "3" << 45 << 3;
        QTest::newRow("91 truncates") << "91"
                                      << "9" << 45 << 9;
        QTest::newRow("720 is the most") << "720"
                                         << "1" << 360 << 1;
        QTest::newRow("721 starts at 0") << "721"
                                         << "5" << 0 << 5;
        QTest::newRow("negative") << "-4"
                                  << "2" << 0 << 2;
        QTest::newRow("0 tries") << "0"
                                 << "0" << 0 << 5;
        QTest::newRow("10 tries") << "180"
                                  << "10" << 90 << 5;
        QTest::newRow("spaces around") << " 30 "
                                       << "4" << 15 << 4;
    }
    void stageDetails() {
        QFETCH(QString, angle);
        QFETCH(QString, tries);
        QFETCH(int, startAngle);
        QFETCH(int, rest);
        MainWindow& form = NewForm();
        form.stageSlider->setValue(4);
        services_->inputs = {angle, tries};
        form.stageDetailsAction->trigger();
        const EditorEntityTable& entities = *form.stageEntityTable;
        QCOMPARE(entities.x[4][1], startAngle);
        QCOMPARE(entities.y[4][1], rest);
        QCOMPARE(services_->asked.size(), size_t{2});
        QCOMPARE(services_->asked[0].caption, kTitle);
        QCOMPARE(services_->asked[0].prompt,
                 QString::fromUtf8("カーソルの初期角度を入力してください (0-360)"));
        QCOMPARE(services_->asked[0].defaultText, QStringLiteral("0"));
        QCOMPARE(services_->asked[1].prompt, QString::fromUtf8("残機数を入力してください(1-9)"));
        QCOMPARE(services_->asked[1].defaultText, QStringLiteral("5"));

        // The next time the defaults show the stored values, the angle in degrees; Cancel
        // re-applies them.
        services_->inputs = {std::nullopt, std::nullopt};
        form.EditStageDetails();
        QCOMPARE(services_->asked[2].defaultText, QString::number(startAngle * 2));
        QCOMPARE(services_->asked[3].defaultText, QString::number(rest));
        QCOMPARE(entities.x[4][1], startAngle);
        QCOMPARE(entities.y[4][1], rest);
        QVERIFY(services_->messages.empty());
        QCOMPARE(entities.x[1][1], 0);  // other stages untouched
    }

    void emptyOrWrongAnswers() {
        MainWindow& form = NewForm();
        const EditorEntityTable& entities = *form.stageEntityTable;
        // An empty angle skips the tries question.
        services_->inputs = {QString()};
        form.EditStageDetails();
        QCOMPARE(services_->asked.size(), size_t{1});
        // A wrong angle ends the command with the conversion error.
        services_->inputs = {QStringLiteral("abc")};
        form.EditStageDetails();
        QCOMPARE(services_->asked.size(), size_t{2});
        QCOMPARE(services_->messages.size(), size_t{1});
        QCOMPARE(services_->messages[0].text, QStringLiteral("'abc' is not a valid integer value"));
        QCOMPARE(services_->messages[0].caption, kTitle);
        // A wrong tries answer keeps the angle already changed.
        services_->inputs = {QStringLiteral("90"), QStringLiteral("7x")};
        form.EditStageDetails();
        QCOMPARE(entities.x[1][1], 45);
        QCOMPARE(entities.y[1][1], 5);
        QCOMPARE(services_->messages.size(), size_t{2});
        // Numbers beyond 32 bits are no numbers either.
        services_->inputs = {QStringLiteral("99999999999")};
        form.EditStageDetails();
        QCOMPARE(entities.x[1][1], 45);
        QCOMPARE(services_->messages.size(), size_t{3});
    }

    void stageTotal_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("current");
        QTest::newRow("0 gives 16") << "0" << 16 << 10;
        QTest::newRow("1 gives one stage") << "1" << 2 << 1;
        QTest::newRow("20 is the most") << "20" << 21 << 10;
        QTest::newRow("21 gives 16") << "21" << 16 << 10;
        QTest::newRow("3 keeps stage 3 at most") << "3" << 4 << 3;
        QTest::newRow("far too many") << "2147483647" << 16 << 10;
    }
    void stageTotal() {
        QFETCH(QString, answer);
        QFETCH(int, total);
        QFETCH(int, current);
        MainWindow& form = NewForm();
        form.stageSlider->setValue(10);
        services_->inputs = {std::nullopt, answer};
        form.setSettingsAction->trigger();
        QCOMPARE(services_->asked.size(), size_t{2});
        QCOMPARE(services_->asked[1].prompt,
                 QString::fromUtf8("ステージの合計を入力してください(1-20)"));
        QCOMPARE(services_->asked[1].defaultText, QStringLiteral("15"));
        QCOMPARE(form.stageTotal, total);
        QCOMPARE(form.stageSlider->maximum(), total - 1);
        QCOMPARE(form.currentStage, current);
        QCOMPARE(form.stageSlider->value(), current);
        QCOMPARE(form.stageLabel->text(), QStringLiteral("STAGE:%1").arg(current));
    }

    void fewerStagesKeepTheOthersInMemory() {
        MainWindow& form = NewForm();
        form.stageSlider->setValue(12);
        Press(Qt::LeftButton, 100, 100);
        services_->inputs = {std::nullopt, QStringLiteral("5")};
        form.EditSetSettings();
        QCOMPARE(form.currentStage, 5);
        services_->inputs = {std::nullopt, QStringLiteral("15")};
        form.EditSetSettings();
        form.stageSlider->setValue(12);
        QCOMPARE(form.stageBlockTable->count[12], 1);
    }

    void authorLine() {
        // A Windows set: "テスト" in Shift-JIS.
        const QByteArray shiftJis("\x83\x65\x83\x58\x83\x67");
        const QString path = WorkPath("sjis.zrp");
        WriteBytes(path, SmallSet(shiftJis));
        MainWindow& form = NewForm({path});
        QCOMPARE(form.fileName, QFileInfo(path).absoluteFilePath());
        QCOMPARE(form.AuthorText(), QString::fromUtf8("テスト"));
        // Cancel keeps the bytes, and the file gets them back unchanged.
        services_->inputs = {std::nullopt, std::nullopt};
        form.EditSetSettings();
        QCOMPARE(services_->asked[0].defaultText, QString::fromUtf8("テスト"));
        QCOMPARE(services_->asked[0].prompt,
                 QString::fromUtf8("制作者の名前を入力してください（半角１６文字まで）"));
        QCOMPARE(QByteArray::fromStdString(form.stageAuthor), shiftJis);
        const QString copy = WorkPath("sjis-copy.zrp");
        services_->saveNames = {copy};
        QVERIFY(form.SaveDocument(false));
        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().split('\n').value(1), shiftJis + "\r");

        // An edited name is kept in UTF-8, on one line; longer than 16 bytes warns and stays.
        services_->inputs = {QString::fromUtf8("山田\n太郎"), std::nullopt};
        form.EditSetSettings();
        QCOMPARE(QString::fromStdString(form.stageAuthor), QString::fromUtf8("山田太郎"));
        QVERIFY(services_->messages.empty());
        services_->inputs = {QStringLiteral("seventeen letters"), std::nullopt};
        form.EditSetSettings();
        QCOMPARE(form.stageAuthor, std::string("seventeen letters"));
        QCOMPARE(services_->messages.size(), size_t{1});
        QCOMPARE(services_->messages[0].caption, kTitle);
    }

    void exchangingStages() {
        MainWindow& form = NewForm();
        form.stageSlider->setValue(3);
        form.blockTypeSlider->setValue(2);
        Press(Qt::LeftButton, 100, 100);
        form.coinModeButton->setChecked(true);
        Press(Qt::LeftButton, 200, 200);
        form.startModeButton->setChecked(true);
        Press(Qt::LeftButton, 300, 300);
        services_->inputs = {QStringLiteral("270"), QStringLiteral("2")};
        form.EditStageDetails();
        form.stageSlider->setValue(1);

        // Stage 3 comes to stage 1 whole, and stage 1's empty content goes to 3.
        services_->inputs = {QStringLiteral("3")};
        form.exchangeStagesAction->trigger();
        QCOMPARE(services_->asked.back().prompt,
                 QString::fromUtf8("現ステージと入れ替えるところを入力してください"));
        QCOMPARE(services_->asked.back().defaultText, QString());
        QCOMPARE(form.currentStage, 1);
        const EditorBlockTable& blocks = *form.stageBlockTable;
        const EditorEntityTable& entities = *form.stageEntityTable;
        QCOMPARE(blocks.count[1], 1);
        QCOMPARE(QPoint(blocks.x[1][0], blocks.y[1][0]), QPoint(96, 96));
        QCOMPARE(blocks.type[1][0], 2);
        QCOMPARE(entities.count[1], 3);
        QCOMPARE(QPoint(entities.x[1][0], entities.y[1][0]), QPoint(288, 288));
        QCOMPARE(QPoint(entities.x[1][1], entities.y[1][1]), QPoint(135, 2));
        QCOMPARE(QPoint(entities.x[1][2], entities.y[1][2]), QPoint(192, 192));
        QCOMPARE(blocks.count[3], 0);
        QCOMPARE(entities.count[3], 2);
        QCOMPARE(QPoint(entities.x[3][0], entities.y[3][0]), QPoint(32, 32));
        QCOMPARE(QPoint(entities.x[3][1], entities.y[3][1]), QPoint(0, 5));

        // With itself, out of the document, or no answer: nothing changes.
        for (const char* answer : {"1", "16", "0", "-3", ""}) {
            services_->inputs = {QString::fromUtf8(answer)};
            form.ExchangeStages();
            QCOMPARE(blocks.count[1], 1);
            QCOMPARE(entities.x[1][1], 135);
        }
        QVERIFY(services_->messages.empty());
    }

    void savingAsksForANameWhileUntitled() {
        MainWindow& form = NewForm();
        const QString name = WorkPath("first");
        services_->saveNames = {name};
        form.saveAction->trigger();
        QCOMPARE(services_->saveInitial.size(), size_t{1});
        QCOMPARE(services_->saveInitial[0], QString());
        QCOMPARE(form.fileName, name + ".zrp");
        QCOMPARE(Caption(form), name + ".zrp");
        QVERIFY(QFileInfo::exists(name + ".zrp"));
        // Once named, Ctrl+S saves in place without a dialog; F9 always asks.
        Press(Qt::LeftButton, 100, 100);
        form.Save();
        QCOMPARE(services_->saveInitial.size(), size_t{1});
        EditorBlockTable blocks;
        EditorEntityTable entities;
        zarp::StageReadResult read =
            zarp::ReadStageFile((name + ".zrp").toStdString(), blocks, entities);
        QVERIFY2(read.ok, read.error.c_str());
        QCOMPARE(read.stageTotal, 16);
        QCOMPARE(blocks.count[1], 1);
        form.SaveAs();
        QCOMPARE(services_->saveInitial.size(), size_t{2});
        QCOMPARE(services_->saveInitial[1], name + ".zrp");
        QCOMPARE(form.fileName, name + ".zrp");  // cancelled: unchanged
    }

    void extensionIsAppendedOnlyWithoutZrp_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no extension") << "set"
                                      << "set.zrp";
        QTest::newRow("ends in .zrp") << "set.zrp"
                                      << "set.zrp";
        QTest::newRow("other extension") << "set.txt"
                                         << "set.txt.zrp";
        QTest::newRow(".zrp in the folder") << "dir.zrp/set"
                                            << "dir.zrp/set";
        QTest::newRow("upper case is not it") << "SET.ZRP"
                                              << "SET.ZRP.zrp";
    }
    void extensionIsAppendedOnlyWithoutZrp() {
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QDir(work_.path()).mkpath(QStringLiteral("dir.zrp"));
        MainWindow& form = NewForm();
        services_->saveNames = {WorkPath(typed)};
        QVERIFY(form.SaveDocument(false));
        QCOMPARE(form.fileName, WorkPath(saved));
        QVERIFY(QFileInfo::exists(WorkPath(saved)));
    }

    void fileErrorsKeepTheDocument() {
        MainWindow& form = NewForm();
        Press(Qt::LeftButton, 100, 100);
        // Saving into a folder that does not exist.
        const QString missing = WorkPath("no-such-folder/set.zrp");
        services_->saveNames = {missing};
        QVERIFY(!form.SaveDocument(false));
        QCOMPARE(form.fileName, QString());
        QCOMPARE(Caption(form), QStringLiteral("New file*"));
        QCOMPARE(services_->messages.size(), size_t{1});
        QVERIFY(services_->messages[0].text.contains(missing));
        QCOMPARE(services_->messages[0].icon, QMessageBox::Critical);

        // Opening a missing file and a broken one (the question whether to save first answered No).
        const QString broken = WorkPath("broken.zrp");
        WriteBytes(broken, "3\r\nme\r\n16\r\n");
        services_->openNames = {WorkPath("missing.zrp"), broken};
        services_->answers = {QMessageBox::No, QMessageBox::Ok, QMessageBox::No};
        form.OpenFile();
        form.OpenFile();
        QCOMPARE(services_->messages.size(), size_t{5});
        QVERIFY(services_->messages[2].text.contains(WorkPath("missing.zrp")));
        QVERIFY(services_->messages[4].text.contains(broken));
        QVERIFY(form.HasUnsavedChanges());
        QCOMPARE(form.fileName, QString());
        QCOMPARE(form.stageTotal, 16);
        QCOMPARE(form.stageBlockTable->count[1], 1);
    }

    void openingReadsUnlessItIsTheOpenFile() {
        const QString path = WorkPath("small.zrp");
        WriteBytes(path, SmallSet("abc"));
        MainWindow& form = NewForm();
        form.stageSlider->setValue(7);
        services_->openNames = {path};
        form.openAction->trigger();
        QCOMPARE(form.fileName, path);
        QCOMPARE(Caption(form), path);
        QCOMPARE(form.stageTotal, 3);
        QCOMPARE(form.stageAuthor, std::string("abc"));
        QCOMPARE(form.currentStage, 2);  // beyond the set: the last stage
        QCOMPARE(form.stageSlider->maximum(), 2);
        QCOMPARE(form.stageEntityTable->x[1][1], 10);

        // Choosing the open file again keeps the unsaved edits.
        Press(Qt::LeftButton, 100, 100);
        services_->openNames = {path};
        services_->answers = {QMessageBox::No};
        form.OpenFile();
        QCOMPARE(services_->openInitial.back(), path);
        QCOMPARE(form.stageBlockTable->count[2], 1);
        // Cancelled: nothing changes.
        form.OpenFile();
        QCOMPARE(form.fileName, path);
    }

    void droppedFiles() {
        const QString first = WorkPath("drop1.zrp");
        const QString second = WorkPath("drop2.zrp");
        WriteBytes(first, SmallSet("one"));
        WriteBytes(second, SmallSet("two"));
        MainWindow& form = NewForm();
        form.FilesDropped({first, second});
        QCOMPARE(form.fileName, second);
        QCOMPARE(form.stageAuthor, std::string("two"));
        QCOMPARE(Caption(form), second);
        // Another extension, or a name whose only ".zrp" is in its folder, is ignored.
        QDir(work_.path()).mkpath(QStringLiteral("d.zrp"));
        WriteBytes(WorkPath("d.zrp/plain.txt"), SmallSet("three"));
        form.FilesDropped({WorkPath("d.zrp/plain.txt")});
        QCOMPARE(form.fileName, second);
        QCOMPARE(form.stageAuthor, std::string("two"));
        QVERIFY(services_->messages.empty());
    }

    void otherArgumentsAreNotOpened() {
        WriteBytes(WorkPath("notes.txt"), SmallSet("notes"));
        MainWindow& form = NewForm({WorkPath("notes.txt")});
        QCOMPARE(Caption(form), QStringLiteral("New file"));
        QCOMPARE(form.stageAuthor, std::string());
        QVERIFY(form.acceptDrops());
    }

    void newAsksFirst() {
        const QString path = WorkPath("new.zrp");
        WriteBytes(path, SmallSet("abc"));
        MainWindow& form = NewForm({path});
        form.grid8Action->trigger();
        services_->answers = {QMessageBox::No};
        form.newAction->trigger();
        QCOMPARE(form.fileName, QFileInfo(path).absoluteFilePath());
        QCOMPARE(services_->messages[0].text, QString::fromUtf8("新規作成します"));
        QCOMPARE(services_->messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
        services_->answers = {QMessageBox::Yes};
        form.NewDocument();
        QCOMPARE(form.fileName, QString());
        QCOMPARE(Caption(form), QStringLiteral("New file"));
        QCOMPARE(form.stageTotal, 16);
        QCOMPARE(form.stageAuthor, std::string());
        QCOMPARE(form.stageBlockTable->count[1], 0);
        QCOMPARE(form.stageEntityTable->count[1], 2);
        QCOMPARE(form.gridSize, 16);
        QVERIFY(form.grid16Action->isChecked());
        QVERIFY(!form.grid8Action->isChecked());
    }

    void quitQuestion_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveAs");  // empty: the save dialog is cancelled
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saveAsked");
        QTest::newRow("Cancel") << int(QMessageBox::Cancel) << QString() << false << false;
        QTest::newRow("No") << int(QMessageBox::No) << QString() << true << false;
        QTest::newRow("Yes, save cancelled") << int(QMessageBox::Yes) << QString() << true << true;
        QTest::newRow("Yes, saved") << int(QMessageBox::Yes) << "kept" << true << true;
        // A set that could not be written keeps the window, so the edits are not lost.
        QTest::newRow("Yes, write fails")
            << int(QMessageBox::Yes) << "no-such-folder/kept" << false << true;
    }
    void quitQuestion() {
        QFETCH(int, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, closed);
        QFETCH(bool, saveAsked);
        QFile::remove(WorkPath("zarp.dat"));
        QFile::remove(WorkPath("kept.zrp"));
        WriteBytes(WorkPath("zarp.dat"), "[Score]\r\n1st=500\r\n[Editor]\r\nLeft=1\r\n");
        MainWindow& form = NewForm();
        form.show();
        form.move(123, 45);
        const QString testFile = QString::fromStdString(TestFilePath());
        WriteBytes(testFile, "stale");

        services_->answers = {static_cast<QMessageBox::StandardButton>(answer)};
        if (!saveAs.isEmpty()) services_->saveNames = {WorkPath(saveAs)};
        form.quitAction->trigger();
        QCOMPARE(form.isVisible(), !closed);
        QCOMPARE(services_->messages[0].caption, kTitle);
        QCOMPARE(services_->messages[0].text, QString::fromUtf8("終了する前に保存しますか？"));
        QCOMPARE(services_->messages[0].buttons,
                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(services_->messages[0].icon, QMessageBox::NoIcon);
        QCOMPARE(services_->saveInitial.size(), size_t{saveAsked ? 1u : 0u});
        QCOMPARE(QFileInfo::exists(WorkPath("kept.zrp")), saveAs == QStringLiteral("kept"));
        QVERIFY(!QFileInfo::exists(testFile));

        zarp::IniFile profile;
        std::string error;
        QVERIFY(zarp::ReadProfile(WorkPath("zarp.dat").toStdString(), profile, &error));
        QCOMPARE(profile.GetInt("Editor", "Left", 0), 123);
        QCOMPARE(profile.GetInt("Editor", "Top", 0), 45);
        QCOMPARE(profile.GetInt("Score", "1st", 0), 500);  // the game's sections stay
    }

    void windowPositionFromZarpDat_data() {
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<bool>("centred");
        QTest::newRow("stored") << QByteArray("[Editor]\r\nLeft=200\r\nTop=100\r\n") << false;
        QTest::newRow("only top") << QByteArray("[Editor]\r\nTop=70\r\n") << false;
        QTest::newRow("both 0") << QByteArray("[Editor]\r\nLeft=0\r\nTop=0\r\n") << true;
        QTest::newRow("missing") << QByteArray() << true;
    }
    void windowPositionFromZarpDat() {
        QFETCH(QByteArray, profile);
        QFETCH(bool, centred);
        QFile::remove(WorkPath("zarp.dat"));
        if (!profile.isEmpty()) WriteBytes(WorkPath("zarp.dat"), profile);
        MainWindow& form = NewForm();
        if (centred) {
            QRect area = form.screen()->availableGeometry();
            QCOMPARE(form.x(), area.x() + (area.width() - form.width()) / 2);
            QCOMPARE(form.y(), area.y() + (area.height() - form.height()) / 2);
        } else if (profile.contains("Left")) {
            QCOMPARE(form.pos(), QPoint(200, 100));
        } else {
            QCOMPARE(form.pos(), QPoint(0, 70));
        }
    }

    void testPlayWritesTheSetAndStartsTheGame() {
        MainWindow& form = NewForm();
        form.stageSlider->setValue(3);
        form.blockTypeSlider->setValue(10);  // a goal
        Press(Qt::LeftButton, 100, 100);
        form.testPlayAction->trigger();
        QCOMPARE(services_->started.size(), size_t{1});
        const StartedProgram& start = services_->started[0];
        QCOMPARE(start.program, QString::fromStdString(services_->programFolder) + "zarp");
        QCOMPARE(start.arguments, QStringList{QStringLiteral("3")});
        QCOMPARE(form.fileName, QString());
        QCOMPARE(Caption(form), QStringLiteral("New file*"));  // still unsaved
        QVERIFY(services_->saveInitial.empty());

        EditorBlockTable blocks;
        EditorEntityTable entities;
        zarp::StageReadResult read = zarp::ReadStageFile(TestFilePath(), blocks, entities);
        QVERIFY2(read.ok, read.error.c_str());
        QCOMPARE(read.stageTotal, 16);
        QCOMPARE(blocks.count[3], 1);
        QCOMPARE(QPoint(blocks.x[3][0], blocks.y[3][0]), QPoint(96, 96));
    }

    void testPlayShowsTheWritersWarnings_data() {
        QTest::addColumn<int>("blockSlot");   // slot given 401 blocks, 0: none
        QTest::addColumn<int>("entitySlot");  // slot given 51 entity entries, 0: none
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<int>("blocksLeft");  // stage 2's counts afterwards (3 blocks before)
        QTest::addColumn<int>("entitiesLeft");
        const QString blocks =
            QString::fromUtf8("ステージ%1はブロックが多すぎるので、減らしてください");
        const QString coins =
            QString::fromUtf8("ステージ%1はコインが多すぎるので、減らしてください");
        QTest::newRow("blocks of the stage edited")
            << 2 << 0 << QStringList{blocks.arg(2)} << 400 << 2;
        QTest::newRow("coins of the stage edited")
            << 0 << 2 << QStringList{coins.arg(2)} << 3 << 50;
        // Another slot's surplus takes the entry off the stage edited, but never its start and
        // settings.
        QTest::newRow("coins of another stage") << 0 << 5 << QStringList{coins.arg(5)} << 3 << 2;
        QTest::newRow("both, blocks first")
            << 7 << 5 << QStringList{blocks.arg(7), coins.arg(5)} << 2 << 2;
    }
    void testPlayShowsTheWritersWarnings() {
        QFETCH(int, blockSlot);
        QFETCH(int, entitySlot);
        QFETCH(QStringList, warnings);
        QFETCH(int, blocksLeft);
        QFETCH(int, entitiesLeft);
        MainWindow& form = NewForm();
        form.stageSlider->setValue(2);
        form.stageBlockTable->count[2] = 3;
        form.stageBlockTable->type[2][0] = 10;  // a goal
        if (blockSlot != 0) form.stageBlockTable->count[blockSlot] = 401;
        if (entitySlot != 0) form.stageEntityTable->count[entitySlot] = 51;
        form.TestPlayStage();
        QStringList shown;
        for (const ShownMessage& message : services_->messages) {
            shown << message.text;
            QCOMPARE(message.caption, kNotice);
            QCOMPARE(message.icon, QMessageBox::Information);
            QCOMPARE(message.buttons, QMessageBox::Ok);
        }
        QCOMPARE(shown, warnings);
        QCOMPARE(form.stageBlockTable->count[2], blocksLeft);
        QCOMPARE(form.stageEntityTable->count[2], entitiesLeft);
        // The file holds every record all the same, and the game starts.
        EditorBlockTable blocks;
        EditorEntityTable entities;
        zarp::StageReadResult read = zarp::ReadStageFile(TestFilePath(), blocks, entities);
        QVERIFY2(read.ok, read.error.c_str());
        if (blockSlot != 0) QCOMPARE(blocks.count[blockSlot], 401);
        QCOMPARE(services_->started.size(), size_t{1});
    }

    void testPlayRefusesAForeignFolder() {
        // The private folder is a symlink: nothing is written there and nothing starts.
        QTemporaryDir other;
        QTemporaryDir elsewhere;
        QVERIFY(QFile::link(elsewhere.path(), other.filePath("zarpane")));
        qputenv("XDG_RUNTIME_DIR", other.path().toLocal8Bit());
        MainWindow& form = NewForm();
        services_->answers = {QMessageBox::Yes};  // no goal, tried all the same
        form.TestPlayStage();
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        QCOMPARE(services_->messages.size(), size_t{2});
        QCOMPARE(services_->messages[1].icon, QMessageBox::Critical);
        QVERIFY(services_->started.empty());
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }

    void startingTheGameSavesFirst() {
        const QString path = WorkPath("named.zrp");
        WriteBytes(path, SmallSet("abc"));
        MainWindow& form = NewForm({path});
        form.startGameAction->trigger();  // cancelled
        QCOMPARE(services_->saveInitial.size(), size_t{1});
        QVERIFY(services_->started.empty());
        services_->saveNames = {WorkPath("played")};
        form.StartGame();
        QCOMPARE(services_->started.size(), size_t{1});
        QCOMPARE(services_->started[0].program, QStringLiteral("./zarp"));
        QVERIFY(services_->started[0].arguments.isEmpty());
        QCOMPARE(services_->started[0].workingFolder, QDir::currentPath());
        QCOMPARE(form.fileName, WorkPath("played.zrp"));
    }

    void versionBox() {
        MainWindow& form = NewForm();
        services_->answers = {QMessageBox::No};
        form.versionAction->trigger();
        QCOMPARE(services_->messages.size(), size_t{1});
        QCOMPARE(services_->messages[0].caption, QStringLiteral("Version"));
        QCOMPARE(services_->messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(services_->messages[0].icon, QMessageBox::Information);
        services_->answers = {QMessageBox::Yes};
        form.ShowVersion();
        QCOMPARE(services_->messages.size(), size_t{3});
        QCOMPARE(services_->messages[2].buttons, QMessageBox::Ok);
        QCOMPARE(services_->messages[2].icon, QMessageBox::NoIcon);
    }

    void fieldPicture() {
#ifdef ZARP_EDITOR_SHEETS
        // The generated sheets are linked in and readable.
        for (const char* name : {"block", "coin", "player"}) {
            QImage sheet(QStringLiteral(":/sheets/%1.bmp").arg(QLatin1String(name)));
            QVERIFY2(!sheet.isNull(), name);
        }
        QCOMPARE(QImage(QStringLiteral(":/sheets/block.bmp")).size(), QSize(384, 96));
#endif
        MainWindow& form = NewForm();
        const QImage& picture = form.stageField->picture;
        QCOMPARE(picture.size(), QSize(630, 432));
        QCOMPARE(picture.pixel(15, 200), form.palette().color(QPalette::Button).rgb());
        QCOMPARE(picture.pixel(16 + 16, 200), qRgb(128, 128, 128));  // a grid line
        QCOMPARE(picture.pixel(16 + 17, 203), qRgb(0, 0, 0));
        QCOMPARE(picture.pixel(16 + 16, 429), qRgb(0, 0, 0));  // lines stop above 429
        // A block shows its sheet cell copied as it is.
        form.blockTypeSlider->setValue(9);
        Press(Qt::LeftButton, 200, 200);
        bool coloured = false;
        for (int y = 192; y < 224; ++y) {
            for (int x = 192; x < 224; ++x) {
                const QRgb pixel = picture.pixel(x, y);
                if (pixel != qRgb(0, 0, 0) && pixel != qRgb(128, 128, 128)) coloured = true;
            }
        }
        QVERIFY(coloured);
        form.gridFreeAction->trigger();
        QCOMPARE(picture.pixel(16 + 16, 300), qRgb(0, 0, 0));
    }

    void gridLines_data() {
        QTest::addColumn<int>("grid");
        QTest::addColumn<int>("vertical");    // lines crossing row 20, inside the picture
        QTest::addColumn<int>("horizontal");  // lines crossing column 20
        QTest::newRow("free") << 0 << 0 << 0;
        QTest::newRow("8") << 8 << 77 << 52;  // down to y 424: 55 lines, the last ones clipped
        QTest::newRow("16") << 16 << 39 << 26;
        QTest::newRow("32") << 32 << 20 << 13;
        QTest::newRow("64") << 64 << 10 << 7;
    }
    void gridLines() {
        QFETCH(int, grid);
        QFETCH(int, vertical);
        QFETCH(int, horizontal);
        MainWindow& form = NewForm();
        QAction* item = grid == 0    ? form.gridFreeAction
                        : grid == 8  ? form.grid8Action
                        : grid == 16 ? form.grid16Action
                        : grid == 32 ? form.grid32Action
                                     : form.grid64Action;
        item->trigger();
        const QImage& picture = form.stageField->picture;
        const QRgb grey = qRgb(128, 128, 128);
        int across = 0;
        for (int x = 0; x < picture.width(); ++x)
            across += picture.pixel(x, 20) == grey ? 1 : 0;
        int down = 0;
        for (int y = 0; y < picture.height(); ++y)
            down += picture.pixel(20, y) == grey ? 1 : 0;
        QCOMPARE(across, vertical);
        QCOMPARE(down, horizontal);
        const QRgb face = form.palette().color(QPalette::Button).rgb();
        QCOMPARE(picture.pixel(15, 16), face);
        QCOMPARE(picture.pixel(625, 16), face);
        QCOMPARE(picture.pixel(624, 431), qRgb(0, 0, 0));
        if (grid != 0) {
            // Vertical lines run from row 16 to row 428, horizontal ones from 16 to 624.
            QCOMPARE(picture.pixel(16, 16), grey);
            QCOMPARE(picture.pixel(16, 428), grey);
            QCOMPARE(picture.pixel(16, 429), qRgb(0, 0, 0));
            QCOMPARE(picture.pixel(624, 16), grey);
        }
    }

    void blockCells_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QRect>("cell");
        QTest::newRow("0") << 0 << QRect(0, 0, 64, 64);
        QTest::newRow("4") << 4 << QRect(256, 0, 64, 64);
        QTest::newRow("5") << 5 << QRect(0, 64, 32, 32);
        QTest::newRow("9") << 9 << QRect(128, 64, 32, 32);
        QTest::newRow("10") << 10 << QRect(320, 0, 32, 32);
        QTest::newRow("11") << 11 << QRect(160, 64, 32, 32);
        QTest::newRow("15") << 15 << QRect(288, 64, 32, 32);
        // The blinking types show their own cells, not the looks the game gives them.
        QTest::newRow("16") << 16 << QRect(320, 64, 32, 32);
        QTest::newRow("17") << 17 << QRect(352, 64, 32, 32);
    }
    void blockCells() {
        QFETCH(int, type);
        QFETCH(QRect, cell);
        MainWindow& form = NewForm();
        const QImage sheet = zarp::editor::LoadEditorSheets().block;
        form.gridFreeAction->trigger();
        form.blockTypeSlider->setValue(type);
        Press(Qt::LeftButton, 100, 120);
        // Copied as it is, black included, over the field.
        QCOMPARE(form.stageField->picture.copy(QRect(QPoint(100, 120), cell.size())),
                 sheet.copy(cell));
        // The preview shows the whole cell in its 32 x 32 box, a small block as it is.
        const QImage preview =
            form.blockPreview->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(
            preview,
            zarp::editor::BlockPreviewPicture(sheet, cell).convertToFormat(QImage::Format_RGB32));
        if (cell.width() == 32) QCOMPARE(preview, sheet.copy(cell));
    }

    void ctrlF5StartsTheTestPlay() {
        MainWindow& form = NewForm();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.stageSlider->setValue(5);
        services_->answers = {QMessageBox::Yes};  // no goal, tried all the same
        QTest::keyClick(&form, Qt::Key_F5, Qt::ControlModifier);
        QCOMPARE(services_->started.size(), size_t{1});
        QCOMPARE(services_->started[0].arguments, QStringList{QStringLiteral("5")});
    }

    void testPlayWithoutAGoalAsksFirst_data() {
        QTest::addColumn<QString>("stage");  // blocks of stage 1: type@index, x for erased
        QTest::addColumn<int>("answer");     // 0: not asked
        QTest::addColumn<bool>("started");
        QTest::newRow("goal") << "10" << 0 << true;
        QTest::newRow("no goal, No") << "0" << int(QMessageBox::No) << false;
        QTest::newRow("no goal, Yes") << "0" << int(QMessageBox::Yes) << true;
        QTest::newRow("goal erased") << "10x" << int(QMessageBox::No) << false;
        // The game reads 400 blocks of a stage: a goal after them is not there.
        QTest::newRow("goal as block 401") << "401:10" << int(QMessageBox::No) << false;
        QTest::newRow("goal as block 400") << "400:10" << 0 << true;
    }
    void testPlayWithoutAGoalAsksFirst() {
        QFETCH(QString, stage);
        QFETCH(int, answer);
        QFETCH(bool, started);
        MainWindow& form = NewForm();
        EditorBlockTable& blocks = *form.stageBlockTable;
        const int index = stage.contains(':') ? stage.section(':', 0, 0).toInt() - 1 : 0;
        blocks.count[1] = index + 1;
        blocks.type[1][index] = stage.section(':', -1).remove('x').toInt();
        if (stage.endsWith('x')) blocks.x[1][index] = zarp::kEmptyMarker;
        if (answer != 0) services_->answers = {QMessageBox::StandardButton(answer)};
        form.TestPlayStage();
        QCOMPARE(services_->messages.size(), size_t{answer != 0 ? 1u : 0u});
        if (answer != 0) {
            QCOMPARE(services_->messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
        }
        QCOMPARE(services_->started.size(), size_t{started ? 1u : 0u});
    }
};

QTEST_MAIN(EditorTest)
#include "EditorTest.moc"

// What the editor shows of the stage: the information strip, the start angle's arrow, the zoom
// and where clicks land at it, the window's place on the screen, the windowed test play and the
// English translation.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>

#include "common/profile/Profile.h"
#include "common/stage/BlockTypes.h"
#include "editor/MainWindow.h"
#include "editor/Translations.h"
#include "tests/editor/ScriptedServices.h"

using zarp::editor::MainWindow;
using namespace editor_test;

class ViewTest : public QObject, public EditorHarness {
    Q_OBJECT

  private:
    // A press at a point of the field widget, in its own (zoomed) pixels.
    void PressWidget(Qt::MouseButton button, QPoint at) {
        QTest::mouseClick(form_->stageField, button, Qt::NoModifier, at);
    }

  private slots:
    void initTestCase() { SetUpFolders(); }

    void cleanup() {
        form_.reset();
        services_.reset();
        QFile::remove(WorkPath("zarp.dat"));
    }

    void stripShowsTheStageAsStored() {
        MainWindow& form = NewForm();
        QCOMPARE(form.countInfo->text(),
                 QString::fromUtf8("ブロック 0/400　コイン 0/48　記録 2/500"));
        QCOMPARE(form.settingsInfo->text(), QString::fromUtf8("角度 0°　残機 5"));
        // Entered 45 and 12: kept as 44 degrees and 5 shots, and shown so at once.
        services_->inputs = {QStringLiteral("45"), QStringLiteral("12")};
        form.stageDetailsAction->trigger();
        QCOMPARE(form.settingsInfo->text(), QString::fromUtf8("角度 44°　残機 5"));
        form.gridFreeAction->trigger();
        QTest::mouseClick(form.stageField, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QTest::mouseClick(form.stageField, Qt::LeftButton, Qt::NoModifier, QPoint(200, 100));
        form.coinModeButton->setChecked(true);
        QTest::mouseClick(form.stageField, Qt::LeftButton, Qt::NoModifier, QPoint(300, 100));
        // An erased block no longer counts for the game, but still takes its entry.
        form.blockModeButton->setChecked(true);
        QTest::mouseClick(form.stageField, Qt::RightButton, Qt::NoModifier, QPoint(110, 110));
        QCOMPARE(form.countInfo->text(),
                 QString::fromUtf8("ブロック 1/400　コイン 1/48　記録 3/500"));
        // Another stage shows its own.
        form.stageSlider->setValue(2);
        QCOMPARE(form.settingsInfo->text(), QString::fromUtf8("角度 0°　残機 5"));

        QMouseEvent move(QEvent::MouseMove, QPointF(50, 90), QPointF(50, 90), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form.stageField, &move);
        QCOMPARE(form.pointerInfo->text(), QString::fromUtf8("位置 50, 90（マス 1, 2）"));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(form.stageField, &leave);
        QCOMPARE(form.pointerInfo->text(), QString::fromUtf8("位置 -"));
    }

    void stripMarksWhatTheGameDrops() {
        MainWindow& form = NewForm();
        form.stageEntityTable->count[1] = 51;  // 49 coins
        form.Redraw();
        QVERIFY(form.countInfo->text().contains(QStringLiteral("c00000\">49/48<")));
    }

    void arrowPointsTheWayTheGameShoots_data() {
        QTest::addColumn<QString>("degrees");
        QTest::addColumn<QPoint>("towards");  // the direction as signs of x and y
        QTest::newRow("0 points right") << "0" << QPoint(1, 0);
        QTest::newRow("90 points down") << "90" << QPoint(0, 1);
        QTest::newRow("180 points left") << "180" << QPoint(-1, 0);
        QTest::newRow("270 points up") << "270" << QPoint(0, -1);
    }
    void arrowPointsTheWayTheGameShoots() {
        QFETCH(QString, degrees);
        QFETCH(QPoint, towards);
        MainWindow& form = NewForm();
        services_->inputs = {degrees, QStringLiteral("5")};
        form.stageDetailsAction->trigger();
        const auto& overlay = form.stageField->overlay;
        QVERIFY(overlay.hasStart);
        QCOMPARE(overlay.start, QPointF(32, 32));
        const QPointF direction(std::cos(overlay.startAngle), std::sin(overlay.startAngle));
        QCOMPARE(QPoint(std::lround(direction.x()), std::lround(direction.y())), towards);
        // Drawn over the picture, not into it: the field picture stays the document's.
        const QPoint along = QPoint(40, 40) + towards * 18;
        const QImage shown = form.stageField->grab().toImage();
        QCOMPARE(form.stageField->picture.pixel(along), qRgb(0, 0, 0));
        QVERIFY(shown.pixel(along) != form.stageField->picture.pixel(along));
    }

    void clicksLandOnTheSameCellAtEveryZoom_data() {
        QTest::addColumn<int>("grid");
        QTest::addColumn<QPoint>("press");  // in field pixels
        QTest::addColumn<QPoint>("placed");
        QTest::newRow("16") << 16 << QPoint(40, 47) << QPoint(32, 32);
        QTest::newRow("16, left of the origin") << 16 << QPoint(10, 20) << QPoint(16, 16);
        QTest::newRow("32") << 32 << QPoint(111, 79) << QPoint(80, 48);
        QTest::newRow("free") << 0 << QPoint(37, 53) << QPoint(37, 53);
        QTest::newRow("free, far corner") << 0 << QPoint(624, 431) << QPoint(624, 431);
    }
    void clicksLandOnTheSameCellAtEveryZoom() {
        QFETCH(int, grid);
        QFETCH(QPoint, press);
        QFETCH(QPoint, placed);
        MainWindow& form = NewForm();
        form.ChooseGrid(grid);
        for (int zoom : {1, 2, 3}) {
            form.ChooseZoom(zoom);
            QCOMPARE(form.stageField->size(), QSize(630 * zoom, 432 * zoom));
            QCOMPARE(form.stageField->pos(), QPoint(0, -16 * zoom));
            // Every screen pixel of a field pixel: its top-left and its bottom-right.
            for (int corner : {0, zoom - 1}) {
                const int32_t before = form.stageBlockTable->count[1];
                PressWidget(Qt::LeftButton, press * zoom + QPoint(corner, corner));
                QCOMPARE(form.stageBlockTable->count[1], before + 1);
                QCOMPARE(
                    QPoint(form.stageBlockTable->x[1][before], form.stageBlockTable->y[1][before]),
                    placed);
            }
        }
        // Erasing maps back the same way: a press one field pixel inside the block's corner.
        form.ChooseZoom(3);
        PressWidget(Qt::RightButton, (placed + QPoint(1, 1)) * 3 + QPoint(2, 2));
        QCOMPARE(form.stageBlockTable->x[1][0], zarp::kEmptyMarker);
    }

    void zoomResizesTheWindowAroundTheField() {
        MainWindow& form = NewForm();
        QCOMPARE(form.zoom, 1);
        QVERIFY(form.zoom1Action->isChecked());
        QVERIFY(!form.zoomOutAction->isEnabled());
        const QSize small = form.centralWidget()->size();
        form.zoomInAction->trigger();
        QCOMPARE(form.zoom, 2);
        QVERIFY(form.zoom2Action->isChecked());
        QCOMPARE(form.centralWidget()->height(), small.height() + 416);
        QCOMPARE(form.centralWidget()->width(), 1270);
        form.zoomInAction->trigger();
        QCOMPARE(form.zoom, 3);
        QVERIFY(!form.zoomInAction->isEnabled());
        form.zoomInAction->trigger();
        QCOMPARE(form.zoom, 3);
        form.zoom1Action->trigger();
        QCOMPARE(form.centralWidget()->size(), small);
        QCOMPARE(form.zoomInAction->shortcuts(), QKeySequence::keyBindings(QKeySequence::ZoomIn));
        QCOMPARE(form.zoomOutAction->shortcuts(), QKeySequence::keyBindings(QKeySequence::ZoomOut));
        // The controls keep their size, under the field.
        const QRect slider = form.blockTypeSlider->geometry();
        form.ChooseZoom(2);
        QCOMPARE(form.blockTypeSlider->size(), slider.size());
        QCOMPARE(form.blockTypeSlider->y(), slider.y() + 416);
    }

    void windowIsNeverPlacedOffTheScreen_data() {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<bool>("used");
        QTest::newRow("on the screen") << 100 << 80 << true;
        QTest::newRow("off to the right") << 100000 << 80 << false;
        QTest::newRow("above the screen") << 100 << -5000 << false;
    }
    void windowIsNeverPlacedOffTheScreen() {
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(bool, used);
        std::string error;
        QVERIFY(zarp::UpdateProfile(
            WorkPath("zarp.dat").toStdString(),
            [&](zarp::IniFile& profile) {
                profile.SetInt("Editor", "Left", left);
                profile.SetInt("Editor", "Top", top);
            },
            &error));
        MainWindow& form = NewForm();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        if (used) {
            QCOMPARE(form.pos(), QPoint(left, top));
        } else {
            QVERIFY(screen.contains(form.frameGeometry().topLeft()));
        }
        // Growing with the zoom keeps it on the screen.
        form.move(screen.right() - 100, screen.bottom() - 100);
        form.ChooseZoom(2);
        QVERIFY(screen.contains(form.frameGeometry().topLeft()));
        if (form.frameGeometry().width() <= screen.width()) {
            QVERIFY(form.frameGeometry().right() <= screen.right());
        }
    }

    void windowedTestPlayIsRemembered() {
        MainWindow& form = NewForm();
        QVERIFY(!form.windowedTestPlayAction->isChecked());
        form.stageBlockTable->type[4][0] = 10;  // a goal on stage 4 and, below, on stage 1
        form.stageBlockTable->count[4] = 1;
        form.stageBlockTable->count[1] = 1;
        form.stageBlockTable->type[1][0] = 10;
        form.testPlayAction->trigger();
        QCOMPARE(services_->started.back().arguments, QStringList{QStringLiteral("1")});
        form.windowedTestPlayAction->trigger();
        form.stageSlider->setValue(4);
        form.testPlayAction->trigger();
        // The game takes the last number it is given, so the window letter goes first.
        QCOMPARE(services_->started.back().arguments, (QStringList{"w", "4"}));
        // An editor told its language tells the game too, before the game's own letters.
        form.gameOptions = {QStringLiteral("--lang"), QStringLiteral("en")};
        form.testPlayAction->trigger();
        QCOMPARE(services_->started.back().arguments, (QStringList{"--lang", "en", "w", "4"}));
        zarp::IniFile profile;
        std::string error;
        QVERIFY(zarp::ReadProfile(WorkPath("zarp.dat").toStdString(), profile, &error));
        QCOMPARE(profile.GetInt("Editor", "TestPlayWindowed", 0), 1);
        // A new editor starts with it on.
        MainWindow& again = NewForm();
        QVERIFY(again.windowedTestPlayAction->isChecked());
    }

    void blockTypesAreNamedInFullWithoutCuts_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("ja") << int(zarp::Language::japanese);
        QTest::newRow("en") << int(zarp::Language::english);
    }
    void blockTypesAreNamedInFullWithoutCuts() {
        QFETCH(int, language);
        const zarp::editor::Translations translations{zarp::Language(language)};
        MainWindow& form = NewForm();
        for (const zarp::BlockTypeInfo& info : zarp::kBlockTypes) {
            form.blockTypeSlider->setValue(info.type);
            const QString name = form.blockTypeName->text();
            const QString english = QString::fromUtf8(info.name.data());
            // Japanese shows every name translated, English the table's own.
            if (language == int(zarp::Language::japanese)) {
                QVERIFY2(name != english && !name.isEmpty(), qPrintable(english));
                QVERIFY(form.blockTypeDescription->text() != QString::fromUtf8(info.effect.data()));
            } else {
                QCOMPARE(name, english);
                QCOMPARE(form.blockTypeDescription->text(), QString::fromUtf8(info.effect.data()));
            }
            QCOMPARE(form.blockTypeSlider->toolTip(),
                     name + QStringLiteral(": ") + form.blockTypeDescription->text());
            // Whole at the default size.
            QVERIFY2(form.blockTypeName->sizeHint().width() <= form.blockTypeName->width(),
                     qPrintable(name));
            QVERIFY2(
                form.blockTypeDescription->sizeHint().width() <= form.blockTypeDescription->width(),
                qPrintable(form.blockTypeDescription->text()));
        }
        form_.reset();  // before the translations go
    }

    void englishIsATranslation_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("notice");
        QTest::newRow("ja") << int(zarp::Language::japanese)
                            << QString::fromUtf8("ファイルを開く(&L)")
                            << QString::fromUtf8("開く前に保存しますか？");
        QTest::newRow("en") << int(zarp::Language::english) << QStringLiteral("&Open...")
                            << QStringLiteral("Save before opening?");
    }
    void englishIsATranslation() {
        QFETCH(int, language);
        QFETCH(QString, open);
        QFETCH(QString, notice);
        const zarp::editor::Translations translations{zarp::Language(language)};
        QVERIFY(translations.Translated());
        MainWindow& form = NewForm();
        QCOMPARE(form.openAction->text(), open);
        QTest::mouseClick(form.stageField, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        services_->answers = {QMessageBox::Cancel};
        form.openAction->trigger();
        QCOMPARE(services_->messages.back().text, notice);
        form_.reset();  // before the translations go
    }
};

QTEST_MAIN(ViewTest)
#include "ViewTest.moc"

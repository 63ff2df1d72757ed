// The editor installed: zarp.dat in the user's data folder, the dialogs in the player's stage
// folder, F5 starting the game beside the editor where the set was saved, and nothing written
// into the installed tree. (The portable editor is what the other editor tests drive.)
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "common/paths/Paths.h"
#include "common/profile/Profile.h"
#include "editor/MainWindow.h"
#include "tests/editor/ScriptedServices.h"

using zarp::editor::MainWindow;

using namespace editor_test;

class LayoutTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir scratch_;
    std::unique_ptr<ScriptedServices> services_;
    std::unique_ptr<MainWindow> form_;

    QString Path(const QString& name) const { return scratch_.filePath(name); }
    QString Bin() const { return Path("tree/bin/"); }
    QString UserFolder() const { return Path("data/zarpane"); }
    QString Stages() const { return Path("data/zarpane/stages"); }

    // Every file of the installed tree with its size, to see that nothing was written there.
    QStringList TreeFiles() const {
        QStringList files;
        QDirIterator it(Path("tree"), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            files.append(it.filePath() + " " + QString::number(it.fileInfo().size()));
        }
        files.sort();
        return files;
    }

    MainWindow& NewForm(const QStringList& arguments = {}) {
        form_.reset();
        services_ = std::make_unique<ScriptedServices>();
        services_->programFolder = Bin().toStdString();
        // The rule as the real editor applies it: no palette.dat beside the program.
        services_->layout = zarp::FindLayout(services_->programFolder);
        form_ = std::make_unique<MainWindow>(*services_, arguments);
        return *form_;
    }

    zarp::IniFile Settings() {
        zarp::IniFile profile;
        std::string error;
        if (!zarp::ReadProfile((UserFolder() + "/zarp.dat").toStdString(), profile, &error)) {
            qWarning("%s", error.c_str());
        }
        return profile;
    }

  private slots:
    void initTestCase() {
        QVERIFY(scratch_.isValid());
        QVERIFY(QDir().mkpath(Path("tree/bin")));
        QVERIFY(QDir().mkpath(Path("tree/share/zarpane/examples")));
        WriteBytes(Path("tree/share/zarpane/palette.dat"), "colours");
        WriteBytes(Path("tree/share/zarpane/examples/first.zrp"), SmallSet("example"));
        QVERIFY(QDir().mkpath(Path("run")));
        QFile::setPermissions(Path("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_DATA_HOME", Path("data").toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", Path("run").toLocal8Bit());
        qputenv("XDG_STATE_HOME", Path("state").toLocal8Bit());
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void cleanup() {
        if (form_) {
            services_->answers = {QMessageBox::No};
            form_->close();
        }
        form_.reset();
        QDir(Path("data")).removeRecursively();
    }

    void settingsLiveInTheUserDataFolder() {
        const QStringList tree = TreeFiles();
        QVERIFY(QDir().mkpath(UserFolder()));
        WriteBytes(
            UserFolder() + "/zarp.dat",
            "[Score]\r\n1st=500\r\n[Editor]\r\nLeft=200\r\nTop=100\r\nTestPlayWindowed=1\r\n");
        MainWindow& form = NewForm();
        QCOMPARE(form.pos(), QPoint(200, 100));
        QVERIFY(form.windowedTestPlayAction->isChecked());

        form.windowedTestPlayAction->trigger();  // kept at once
        QCOMPARE(Settings().GetInt("Editor", "TestPlayWindowed", -1), 0);
        form.show();
        form.move(123, 45);
        services_->answers = {QMessageBox::No};
        form.quitAction->trigger();
        QVERIFY(!form.isVisible());
        const zarp::IniFile profile = Settings();
        QCOMPARE(profile.GetInt("Editor", "Left", 0), 123);
        QCOMPARE(profile.GetInt("Editor", "Top", 0), 45);
        QCOMPARE(profile.GetInt("Score", "1st", 0), 500);  // the game's sections stay
        QCOMPARE(TreeFiles(), tree);
    }

    void theFirstStartMakesTheStageFolderWhereTheDialogsStart() {
        QVERIFY(!QFileInfo::exists(Stages()));
        MainWindow& form = NewForm();
        QCOMPARE(QFile(Stages() + "/first.zrp").size(), SmallSet("example").size());

        form.saveAsAction->trigger();  // cancelled
        QCOMPARE(services_->saveInitial.at(0), Stages() + "/");
        services_->openNames = {Stages() + "/first.zrp"};
        form.openAction->trigger();
        QCOMPARE(services_->openInitial.at(0), Stages() + "/");
        QCOMPARE(form.fileName, Stages() + "/first.zrp");

        // A named set: the dialogs start at its name, as they always did.
        form.saveAsAction->trigger();
        QCOMPARE(services_->saveInitial.at(1), Stages() + "/first.zrp");
        form.openAction->trigger();
        QCOMPARE(services_->openInitial.at(1), Stages() + "/first.zrp");
    }

    void f5StartsTheGameBesideTheEditorInTheSavedSetsFolder_data() {
        QTest::addColumn<QString>("saveAs");  // relative to the scratch folder, or to the stages
        QTest::addColumn<QString>("folder");
        QTest::newRow("in the stage folder")
            << QString("data/zarpane/stages/mine") << QString("data/zarpane/stages");
        QTest::newRow("elsewhere") << QString("sets/mine.zrp") << QString("sets");
    }
    void f5StartsTheGameBesideTheEditorInTheSavedSetsFolder() {
        QFETCH(QString, saveAs);
        QFETCH(QString, folder);
        QVERIFY(QDir().mkpath(Path("sets")));
        MainWindow& form = NewForm();
        services_->saveNames = {Path(saveAs)};
        form.startGameAction->trigger();
        QCOMPARE(services_->started.size(), size_t{1});
        QCOMPARE(services_->started[0].program, Bin() + "zarp");
        QCOMPARE(services_->started[0].workingFolder, QDir(Path(folder)).absolutePath());
        QVERIFY(QFileInfo::exists(Path(folder) + "/mine.zrp"));
        QDir(Path("sets")).removeRecursively();
    }
};

QTEST_MAIN(LayoutTest)
#include "LayoutTest.moc"

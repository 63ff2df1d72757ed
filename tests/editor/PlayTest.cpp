// A set made and saved by the editor plays in the game: zarp-headless lists it among the user
// sets, plays it from the title, and a straight shot takes the coin and touches the goal. The
// editor's test play file plays the same way.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <deque>

#include "editor/MainWindow.h"
#include "tests/editor/ScriptedServices.h"

using editor_test::ScriptedServices;
using editor_test::WriteBytes;
using zarp::editor::MainWindow;

namespace {

// A short silent mono PCM WAV.
QByteArray SilentWav() {
    const QByteArray samples(1600, '\0');
    QByteArray wav;
    auto u32 = [&wav](quint32 v) {
        for (int i = 0; i < 4; ++i)
            wav.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto u16 = [&wav](quint16 v) {
        wav.append(static_cast<char>(v & 0xFF));
        wav.append(static_cast<char>(v >> 8));
    };
    wav.append("RIFF");
    u32(36 + static_cast<quint32>(samples.size()));
    wav.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(22050);
    u32(44100);
    u16(2);
    u16(16);
    wav.append("data");
    u32(static_cast<quint32>(samples.size()));
    wav.append(samples);
    return wav;
}

struct Frame {
    int scene = -1;
    int score = 0;
    double x = 0;
};

}  // namespace

class PlayTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir runtime_;
    QTemporaryDir game_;  // the game's working and program folder

    // Runs the game there with the key script; returns its trace, one entry per frame.
    QList<Frame> RunGame(const QByteArray& keys, const QStringList& gameArguments) {
        WriteBytes(game_.filePath("keys.txt"), keys);
        QFile::remove(game_.filePath("trace.jsonl"));
        QProcess game;
        game.setProcessChannelMode(QProcess::MergedChannels);
        QStringList arguments = {
            "--workdir", game_.path(), "--program-dir", game_.path(),
            "--frames",  "700",        "--keys",        game_.filePath("keys.txt"),
            "--seed",    "1",          "--trace",       game_.filePath("trace.jsonl"),
            "--"};
        arguments += gameArguments;
        game.start(QStringLiteral(ZARP_HEADLESS), arguments);
        if (!game.waitForFinished(60000)) {
            game.kill();
            game.waitForFinished();
        }
        if (game.exitStatus() != QProcess::NormalExit || game.exitCode() != 0) {
            qWarning("%s", game.readAll().constData());
        }
        QList<Frame> trace;
        QFile file(game_.filePath("trace.jsonl"));
        if (!file.open(QIODevice::ReadOnly)) return trace;
        while (!file.atEnd()) {
            QJsonObject line = QJsonDocument::fromJson(file.readLine()).object();
            trace.append({line.value("scene").toInt(-1), line.value("score").toInt(),
                          line.value("x").toDouble()});
        }
        return trace;
    }

    static qsizetype FirstFrameOf(const QList<Frame>& trace, int scene, qsizetype from = 0) {
        for (qsizetype i = from; i < trace.size(); ++i) {
            if (trace[i].scene == scene) return i;
        }
        return -1;
    }

    // Stage 1: the ball starts at (48, 208) facing right, a coin lies on its way at (128, 216)
    // and the goal block at (208, 208); one playable stage, 3 shots.
    void MakeSet(MainWindow& form, ScriptedServices& services) {
        form.gridFreeAction->trigger();
        form.startModeButton->setChecked(true);
        form.FieldPressed(Qt::LeftButton, Qt::NoModifier, 48, 208);
        form.blockTypeSlider->setValue(10);
        form.FieldPressed(Qt::LeftButton, Qt::NoModifier, 208, 208);
        form.coinModeButton->setChecked(true);
        form.FieldPressed(Qt::LeftButton, Qt::NoModifier, 128, 216);
        services.inputs = {"0", "3", "EDITOR", "1"};
        form.EditStageDetails();
        form.EditSetSettings();
    }

  private slots:
    void initTestCase() {
        QVERIFY(runtime_.isValid());
        QVERIFY(game_.isValid());
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        QVERIFY(QFile::copy(QStringLiteral(ZARP_PALETTE_FILE), game_.filePath("palette.dat")));
        const QByteArray wav = SilentWav();
        for (const char* name : {"waa",    "trub",  "replay", "Click", "tick",  "shya",  "clear",
                                 "needle", "chr",   "rub",    "kir",   "shot",  "coin1", "coin2",
                                 "coin3",  "coin4", "coin5",  "coin6", "coin7", "coin8"}) {
            WriteBytes(game_.filePath(QString::fromLatin1(name) + ".wav"), wav);
        }
        const QByteArray midi("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\5\x87\x40\xFF\x2F\0", 27);
        for (const char* name : {"bgm00.mid", "bgm01.mid", "bgm02.mid", "bgm03.mid"}) {
            WriteBytes(game_.filePath(QString::fromLatin1(name)), midi);
        }
    }

    void savedSetPlaysAsAUserSet() {
        ScriptedServices services;
        services.programFolder = game_.path().toStdString() + "/";
        MainWindow form(services, {});
        MakeSet(form, services);
        services.saveNames = {game_.filePath("made")};
        QVERIFY(form.SaveDocument(false));
        QVERIFY(QFile::exists(game_.filePath("made.zrp")));
        QVERIFY(services.messages.empty());

        // Skip the opening, go down to USER'S STAGE, choose the only set, then press Space now
        // and then: the first press in play fires the shot, which reaches the goal long before
        // the next one.
        QByteArray keys = "1 Space\n20 Down\n35 Down\n50 Space\n";
        for (int frame = 70; frame < 700; frame += 40)
            keys += QByteArray::number(frame) + " Space\n";
        QList<Frame> trace = RunGame(keys, {});
        const qsizetype select = FirstFrameOf(trace, 14);
        QVERIFY2(select >= 0, "the user stage selection was not reached");
        const qsizetype play = FirstFrameOf(trace, 1, select);
        QVERIFY2(play >= 0, "play was not reached");
        QCOMPARE(trace[play].x, 48.0);  // the editor's start
        const qsizetype clear = FirstFrameOf(trace, 2, play);
        QVERIFY2(clear >= 0, "the goal was not reached");
        QVERIFY(trace[clear].score >= 50);  // the coin on the way
    }

    void testPlayFilePlays() {
        ScriptedServices services;
        services.programFolder = game_.path().toStdString() + "/";
        MainWindow form(services, {});
        MakeSet(form, services);
        form.TestPlayStage();
        QCOMPARE(services.started.size(), size_t{1});
        QCOMPARE(services.started[0].program, game_.filePath("zarp"));
        QCOMPARE(services.started[0].arguments, QStringList{"1"});

        QByteArray keys;
        for (int frame = 20; frame < 700; frame += 40)
            keys += QByteArray::number(frame) + " Space\n";
        QList<Frame> trace = RunGame(keys, services.started[0].arguments);
        const qsizetype play = FirstFrameOf(trace, 1);
        QVERIFY2(play >= 0, "play was not reached");
        const qsizetype clear = FirstFrameOf(trace, 2, play);
        QVERIFY2(clear >= 0, "the goal was not reached");
        QVERIFY(trace[clear].score >= 50);
    }
};

QTEST_MAIN(PlayTest)
#include "PlayTest.moc"

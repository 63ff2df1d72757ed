// What the editor's tests share: services that answer from scripts and record what was asked,
// a window driven through them in folders of its own, a small stage set, and the window title
// as it is shown.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/EditorServices.h"
#include "editor/MainWindow.h"

namespace editor_test {

struct ShownMessage {
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon;
};

struct AskedInput {
    QString caption;
    QString prompt;
    QString defaultText;
};

struct StartedProgram {
    QString program;
    QStringList arguments;
    QString workingFolder;
};

// Answers from queues; an empty queue answers as a user who presses Escape would.
class ScriptedServices : public zarp::editor::EditorServices {
  public:
    std::deque<std::optional<QString>> inputs;  // nullopt: Cancel
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<QString> openNames;
    std::deque<QString> saveNames;
    std::vector<AskedInput> asked;
    std::vector<ShownMessage> messages;
    std::vector<QString> openInitial;
    std::vector<QString> saveInitial;
    std::vector<StartedProgram> started;
    std::string programFolder;
    // Unset: portable from programFolder.
    std::optional<zarp::Layout> layout;

    QString InputBox(QWidget*, const QString& caption, const QString& prompt,
                     const QString& defaultText) override {
        asked.push_back({caption, prompt, defaultText});
        if (inputs.empty()) return defaultText;
        std::optional<QString> answer = inputs.front();
        inputs.pop_front();
        return answer ? *answer : defaultText;
    }
    QMessageBox::StandardButton MessageBox(QWidget*, const QString& caption, const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::Icon icon) override {
        messages.push_back({caption, text, buttons, icon});
        if (!answers.empty()) {
            QMessageBox::StandardButton answer = answers.front();
            answers.pop_front();
            return answer;
        }
        if (buttons & QMessageBox::Cancel) return QMessageBox::Cancel;
        if (buttons & QMessageBox::No) return QMessageBox::No;
        return QMessageBox::Ok;
    }
    QString OpenFileName(QWidget*, const QString& initialName) override {
        openInitial.push_back(initialName);
        if (openNames.empty()) return QString();
        QString name = openNames.front();
        openNames.pop_front();
        return name;
    }
    QString SaveFileName(QWidget*, const QString& initialName) override {
        saveInitial.push_back(initialName);
        if (saveNames.empty()) return QString();
        QString name = saveNames.front();
        saveNames.pop_front();
        return name;
    }
    bool StartProgram(const QString& program, const QStringList& arguments,
                      const QString& workingFolder) override {
        started.push_back({program, arguments, workingFolder});
        return true;
    }
    std::string ProgramFolder() override { return programFolder; }
    zarp::Layout ProgramLayout() override {
        return layout ? *layout : zarp::PortableLayout(programFolder);
    }
};

inline const QString kTitle = QString::fromUtf8("Zarpane Stage Editor");
inline const QString kNotice = QString::fromUtf8("注意");
inline const QString kTooMany = QString::fromUtf8("諸般の事情によりいったん終了してください");

// A small set: stage 1 has a block of type 0 at (16, 16), the player at (48, 48), angle 10,
// 3 tries and a coin at (100, 100); stage 2 is empty. Author line as given (bytes).
inline QByteArray SmallSet(const QByteArray& author) {
    QList<QByteArray> lines = {
        "3",  author, "*",  "*",  "*",  "16", "16",  "0",   "*", "*",
        "*",  "*",    "*",  "*",  "*",  "*",  "*",   "*",   "*", "## other data",
        "*",  "*",    "48", "48", "10", "3",  "100", "100", "*", "*",
        "32", "32",   "0",  "5",  "*",  "*"};
    return lines.join("\r\n") + "\r\n";
}

// The title as the window manager shows it: the modified mark "[*]" resolved.
inline QString Caption(const QWidget& window) {
    QString title = window.windowTitle();
    title.replace(QStringLiteral("[*][*]"), QStringLiteral("\x01"));
    title.replace(QStringLiteral("[*]"),
                  window.isWindowModified() ? QStringLiteral("*") : QString());
    return title.replace(QStringLiteral("\x01"), QStringLiteral("[*]"));
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// One editor window at a time with scripted services; the test-play and state folders in a
// temporary folder of the run, the program folder (zarp.dat) in another.
class EditorHarness {
  protected:
    QTemporaryDir runtime_;
    QTemporaryDir work_;
    std::unique_ptr<ScriptedServices> services_;
    std::unique_ptr<zarp::editor::MainWindow> form_;

    // For initTestCase: the folders exist and the environment points at them (the state folder
    // at `stateHome`, by default the runtime folder); windows stay when the last one closes.
    void SetUpFolders(const QString& stateHome = QString()) {
        QVERIFY(runtime_.isValid());
        QVERIFY(work_.isValid());
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        qputenv("XDG_STATE_HOME",
                (stateHome.isEmpty() ? runtime_.path() : stateHome).toLocal8Bit());
        QApplication::setQuitOnLastWindowClosed(false);
    }

    QString WorkPath(const QString& name) const { return work_.filePath(name); }

    zarp::editor::MainWindow& NewForm(const QStringList& arguments = {}) {
        form_.reset();
        services_ = std::make_unique<ScriptedServices>();
        services_->programFolder = QDir(work_.path()).absolutePath().toStdString() + "/";
        form_ = std::make_unique<zarp::editor::MainWindow>(*services_, arguments);
        return *form_;
    }

    // A press on the field at field point (x, y), at 1x.
    void Press(Qt::MouseButton button, int x, int y) {
        QTest::mouseClick(form_->stageField, button, Qt::NoModifier, QPoint(x, y));
    }
};

}  // namespace editor_test

// The platform facilities the editor uses: input boxes, message boxes, the open and save
// dialogs, starting the game and the program folder. The window talks to them only through
// this interface, so tests can drive the whole window with scripted answers.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <string>

#include "common/paths/Paths.h"

class QWidget;

namespace zarp::editor {

// The one entry of the open and save dialogs' filter.
inline constexpr const char* kStageFileFilter = "Zarpaneステージファイル (*.zrp)";

class EditorServices {
  public:
    virtual ~EditorServices() = default;

    // Returns the edited text on OK and `defaultText` on Cancel.
    virtual QString InputBox(QWidget* parent, const QString& caption, const QString& prompt,
                             const QString& defaultText) = 0;
    // Returns the button pressed; closing the box counts as its escape button.
    virtual QMessageBox::StandardButton MessageBox(QWidget* parent, const QString& caption,
                                                   const QString& text,
                                                   QMessageBox::StandardButtons buttons,
                                                   QMessageBox::Icon icon) = 0;
    // Both return the chosen path, or an empty string when the dialog was cancelled. The open
    // dialog only accepts an existing file; the save dialog asks before replacing one.
    virtual QString OpenFileName(QWidget* parent, const QString& initialName) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& initialName) = 0;
    // Starts a program detached; an empty working folder keeps the editor's own.
    virtual bool StartProgram(const QString& program, const QStringList& arguments,
                              const QString& workingFolder) = 0;
    // Folder of the editor's program file, with a trailing '/'.
    virtual std::string ProgramFolder() = 0;
    // Where zarp.dat is kept and the user's sets live: portable beside the program, or
    // installed (see zarp::Layout).
    virtual zarp::Layout ProgramLayout() = 0;
};

// The real dialogs and process start.
class QtEditorServices : public EditorServices {
  public:
    QString InputBox(QWidget* parent, const QString& caption, const QString& prompt,
                     const QString& defaultText) override;
    QMessageBox::StandardButton MessageBox(QWidget* parent, const QString& caption,
                                           const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::Icon icon) override;
    QString OpenFileName(QWidget* parent, const QString& initialName) override;
    QString SaveFileName(QWidget* parent, const QString& initialName) override;
    bool StartProgram(const QString& program, const QStringList& arguments,
                      const QString& workingFolder) override;
    std::string ProgramFolder() override;
    zarp::Layout ProgramLayout() override;
};

}  // namespace zarp::editor

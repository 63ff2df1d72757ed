#include "editor/EditorServices.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QProcess>

#include "common/paths/Paths.h"

namespace zarp::editor {

QString QtEditorServices::InputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                   const QString& defaultText) {
    bool ok = false;
    QString text =
        QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : defaultText;
}

QMessageBox::StandardButton QtEditorServices::MessageBox(QWidget* parent, const QString& caption,
                                                         const QString& text,
                                                         QMessageBox::StandardButtons buttons,
                                                         QMessageBox::Icon icon) {
    QMessageBox box(icon, caption, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString QtEditorServices::OpenFileName(QWidget* parent, const QString& initialName) {
    return QFileDialog::getOpenFileName(parent, QString(), initialName,
                                        QString::fromUtf8(kStageFileFilter));
}

QString QtEditorServices::SaveFileName(QWidget* parent, const QString& initialName) {
    // The dialog asks before replacing a file that exists.
    return QFileDialog::getSaveFileName(parent, QString(), initialName,
                                        QString::fromUtf8(kStageFileFilter));
}

bool QtEditorServices::StartProgram(const QString& program, const QStringList& arguments,
                                    const QString& workingFolder) {
    return QProcess::startDetached(program, arguments, workingFolder);
}

std::string QtEditorServices::ProgramFolder() {
    return zarp::ProgramFolder();
}

zarp::Layout QtEditorServices::ProgramLayout() {
    return zarp::FindLayout(zarp::ProgramFolder());
}

}  // namespace zarp::editor

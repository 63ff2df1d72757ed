// zarp-editor: the stage editor. One optional argument: a stage file to open.
#include <QApplication>
#include <QFont>
#include <QTimer>

#include "editor/EditorServices.h"
#include "editor/MainWindow.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setApplicationName(QString::fromUtf8(zarp::editor::kApplicationTitle));
    QFont font(QStringList{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPixelSize(12);
    QApplication::setFont(font);

    zarp::editor::QtEditorServices services;
    zarp::editor::MainWindow form(services, QApplication::arguments().mid(1));
    // Tests that kill the editor on purpose need the recovery sooner than every half minute.
    bool ok = false;
    const int interval = qEnvironmentVariableIntValue("ZARP_EDITOR_RECOVERY_MS", &ok);
    if (ok && interval > 0) form.recoveryTimer->setInterval(interval);
    form.show();
    // Once the window is up: what an editor that did not end normally left behind.
    QTimer::singleShot(0, &form, [&form] { form.OfferRecovery(); });
    return QApplication::exec();
}

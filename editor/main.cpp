// zarp-editor: the stage editor. One optional argument: a stage file to open.
#include <QApplication>
#include <QFont>

#include "editor/EditorServices.h"
#include "editor/TForm1.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setApplicationName(QString::fromUtf8(zarp::editor::kApplicationTitle));
    QFont font(QStringList{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPixelSize(12);
    QApplication::setFont(font);

    zarp::editor::QtEditorServices services;
    zarp::editor::TForm1 form(services, QApplication::arguments().mid(1));
    form.show();
    return QApplication::exec();
}

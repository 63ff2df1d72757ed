// zarp-editor: the stage editor. One optional argument: a stage file to open; `--lang ja|en`
// chooses the language instead of the locale.
#include <QApplication>
#include <QFont>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "common/language/Language.h"
#include "editor/EditorServices.h"
#include "editor/MainWindow.h"
#include "editor/Translations.h"

namespace {

// An exception that reaches the entry, from start-up or out of any event, is shown with its
// text; the editor then ends with exit status 1.
constexpr int kExceptionStatus = 1;

void ShowException(const char* text) {
    QMessageBox::critical(nullptr, QString::fromUtf8(zarp::editor::kApplicationTitle),
                          QString::fromLocal8Bit(text));
}

class Application : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& exception) {
            ShowException(exception.what());
        } catch (...) {
            ShowException("unknown exception");
        }
        exit(kExceptionStatus);
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    Application application(argc, argv);
    application.setApplicationName(QString::fromUtf8(zarp::editor::kApplicationTitle));
    QFont font(QStringList{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPixelSize(12);
    QApplication::setFont(font);

    std::vector<std::string> arguments;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        arguments.push_back(argument.toLocal8Bit().toStdString());
    }
    std::optional<zarp::Language> language;
    std::string error;
    if (!zarp::TakeLanguageOption(arguments, language, &error)) {
        std::fprintf(stderr, "zarp-editor: %s\n", error.c_str());
        return 2;
    }
    const zarp::editor::Translations translations(language.value_or(zarp::LocaleLanguage()));
    QStringList rest;
    for (const std::string& argument : arguments)
        rest.append(QString::fromLocal8Bit(argument));

    try {
        zarp::editor::QtEditorServices services;
        zarp::editor::MainWindow form(services, rest);
        // The game started from here speaks the language the editor was told to.
        if (language) {
            form.gameOptions = {QStringLiteral("--lang"), *language == zarp::Language::english
                                                              ? QStringLiteral("en")
                                                              : QStringLiteral("ja")};
        }
        // Tests that kill the editor on purpose need the recovery sooner than every half minute.
        bool ok = false;
        const int interval = qEnvironmentVariableIntValue("ZARP_EDITOR_RECOVERY_MS", &ok);
        if (ok && interval > 0) form.recoveryTimer->setInterval(interval);
        form.show();
        // Once the window is up: what an editor that did not end normally left behind.
        QTimer::singleShot(0, &form, [&form] { form.OfferRecovery(); });
        return QApplication::exec();
    } catch (const std::exception& exception) {
        ShowException(exception.what());
    } catch (...) {
        ShowException("unknown exception");
    }
    return kExceptionStatus;
}

#include "editor/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace zarp::editor {

namespace {

std::unique_ptr<QTranslator> Load(const QString& name, const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, folder) || !QCoreApplication::installTranslator(translator.get())) {
        return nullptr;
    }
    return translator;
}

}  // namespace

Translations::Translations(Language language) {
    if (language == Language::english) {
        // Built into the program from translations/zarpane_editor_en.ts.
        editor_ = Load(QStringLiteral("zarpane_editor_en"), QStringLiteral(":/translations"));
    } else {
        // The block types' names come from a table shared with zrptool, written in English.
        editor_ = Load(QStringLiteral("zarpane_editor_ja"), QStringLiteral(":/translations"));
        // Qt speaks English by itself; Japanese comes from Debian's Qt translations, when there.
        qt_ = Load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
}

Translations::~Translations() {
    if (editor_) QCoreApplication::removeTranslator(editor_.get());
    if (qt_) QCoreApplication::removeTranslator(qt_.get());
}

}  // namespace zarp::editor

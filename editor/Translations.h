// The editor's language: its own texts are Japanese, translated to English when that is the
// language chosen; Qt's own dialogs and buttons follow the same choice.
#pragma once

#include <QTranslator>
#include <memory>

#include "common/language/Language.h"

namespace zarp::editor {

// Installs the translators for `language` into the application for as long as it lives.
class Translations {
  public:
    explicit Translations(Language language);
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // Whether the editor's own translation was loaded, for tests.
    bool Translated() const { return editor_ != nullptr; }

  private:
    std::unique_ptr<QTranslator> editor_;
    std::unique_ptr<QTranslator> qt_;
};

}  // namespace zarp::editor

#include "common/language/Language.h"

#include <cstdlib>

namespace zarp {

std::optional<Language> ParseLanguage(const std::string& name) {
    if (name == "ja") return Language::japanese;
    if (name == "en") return Language::english;
    return std::nullopt;
}

Language LocaleLanguage() {
    std::string locale;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && value[0] != '\0') {
            locale = value;
            break;
        }
    }
    // "ja_JP.UTF-8", "C.UTF-8", "POSIX": the part before the territory, codeset or modifier.
    const std::string name = locale.substr(0, locale.find_first_of("_.@"));
    if (name.empty() || name == "ja" || name == "C" || name == "POSIX") return Language::japanese;
    return Language::english;
}

bool TakeLanguageOption(std::vector<std::string>& arguments, std::optional<Language>& language,
                        std::string* error) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string value;
        size_t taken = 0;
        if (arguments[i] == "--lang") {
            if (i + 1 >= arguments.size()) {
                if (error) *error = "--lang needs a language: ja or en";
                return false;
            }
            value = arguments[i + 1];
            taken = 2;
        } else if (arguments[i].rfind("--lang=", 0) == 0) {
            value = arguments[i].substr(7);
            taken = 1;
        } else {
            continue;
        }
        const std::optional<Language> parsed = ParseLanguage(value);
        if (!parsed) {
            if (error) *error = "--lang " + value + ": the languages are ja and en";
            return false;
        }
        language = parsed;
        arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                        arguments.begin() + static_cast<std::ptrdiff_t>(i + taken));
        --i;
    }
    return true;
}

}  // namespace zarp

// The language of the programs' messages: Japanese, the one they are written in, or English.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zarp {

enum class Language { japanese, english };

// "ja" or "en"; anything else is not a language the programs speak.
std::optional<Language> ParseLanguage(const std::string& name);

// The locale's language: the first non-empty of LC_ALL, LC_MESSAGES and LANG. A Japanese, C or
// POSIX locale, or none, is Japanese; any other is English.
Language LocaleLanguage();

// Takes "--lang NAME" or "--lang=NAME" out of `arguments`. Returns false (with a message) when
// NAME is missing or not a language; `language` is then left as it was.
bool TakeLanguageOption(std::vector<std::string>& arguments, std::optional<Language>& language,
                        std::string* error);

}  // namespace zarp

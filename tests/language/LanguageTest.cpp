#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "common/language/Language.h"

namespace zarp {
namespace {

TEST(Language, TheLocaleDecidesJapaneseOrEnglish) {
    struct Case {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        Language expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, Language::japanese},
        {nullptr, nullptr, "C", Language::japanese},
        {nullptr, nullptr, "C.UTF-8", Language::japanese},
        {nullptr, nullptr, "POSIX", Language::japanese},
        {nullptr, nullptr, "ja_JP.UTF-8", Language::japanese},
        {nullptr, nullptr, "en_US.UTF-8", Language::english},
        {nullptr, nullptr, "en_GB", Language::english},
        {nullptr, nullptr, "de_DE.UTF-8", Language::english},
        // LC_ALL before LC_MESSAGES before LANG; an empty one does not count.
        {"ja_JP.UTF-8", "en_US.UTF-8", "en_US.UTF-8", Language::japanese},
        {"", "en_US.UTF-8", "ja_JP.UTF-8", Language::english},
        {nullptr, "C", "en_US.UTF-8", Language::japanese},
        {nullptr, "", "en_US.UTF-8", Language::english},
    };
    for (const Case& c : cases) {
        for (const auto& [name, value] :
             {std::pair{"LC_ALL", c.lcAll}, {"LC_MESSAGES", c.lcMessages}, {"LANG", c.lang}}) {
            if (value) {
                ::setenv(name, value, 1);
            } else {
                ::unsetenv(name);
            }
        }
        EXPECT_EQ(LocaleLanguage(), c.expected)
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
            << (c.lang ? c.lang : "-");
    }
}

TEST(Language, TheOptionIsTakenOutOfTheArguments) {
    struct Case {
        std::vector<std::string> arguments;
        bool ok;
        std::optional<Language> language;
        std::vector<std::string> rest;
    };
    const Case cases[] = {
        {{"w", "3"}, true, std::nullopt, {"w", "3"}},
        {{"--lang", "en", "w"}, true, Language::english, {"w"}},
        {{"w", "--lang=ja"}, true, Language::japanese, {"w"}},
        {{"--lang", "en", "--lang", "ja"}, true, Language::japanese, {}},
        {{"--lang"}, false, std::nullopt, {"--lang"}},
        {{"--lang", "fr"}, false, std::nullopt, {"--lang", "fr"}},
        {{"--lang="}, false, std::nullopt, {"--lang="}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        std::optional<Language> language;
        std::string error;
        EXPECT_EQ(TakeLanguageOption(arguments, language, &error), c.ok) << c.arguments.size();
        EXPECT_EQ(language, c.language);
        EXPECT_EQ(arguments, c.rest);
        EXPECT_EQ(error.empty(), c.ok) << error;
    }
}

}  // namespace
}  // namespace zarp

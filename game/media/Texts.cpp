#include "game/media/Texts.h"

#include <array>
#include <utility>

namespace zarp {

namespace {

constexpr std::array<std::pair<const char*, const char*>, 7> kEnglish = {{
    {text::kTooManySets,
     "There are 19 or more stage files (*.zrp), so some of them could not be listed"},
    {text::kQuestion, "Question"},
    {text::kNoSound,
     "The sound device could not be set up.\nBeeps will stand in for the sounds (some machines "
     "cannot play them)."},
    {text::kNoDisplay, "The display could not be set up"},
    {text::kNoPalette, "The palette could not be set"},
    {text::kAnswerMe, "Answer me!?"},
    {text::kFullScreenPlease, "I don't like these colours. Shall we go full screen?"},
}};

}  // namespace

std::string GameText(Language language, const std::string& text) {
    if (language != Language::english) return text;
    for (const auto& [japanese, english] : kEnglish) {
        if (text == japanese) return english;
    }
    return text;
}

}  // namespace zarp

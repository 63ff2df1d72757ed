// The language of the game's message boxes. Their texts are written in Japanese; with English
// chosen (--lang en, or an English locale) the known ones are shown in English. Texts that come
// from elsewhere (a file's name and what was wrong with it) are shown as they are.
#pragma once

#include <string>

#include "common/language/Language.h"
#include "game/platform/Platform.h"

namespace zarp {

// The game's own texts, as it shows them in Japanese.
namespace text {
inline constexpr const char* kTooManySets =
    "ステージファイル(*.zrp) が１９個以上あるので、一部読み込めませんでした";
inline constexpr const char* kQuestion = "質問";
inline constexpr const char* kNoSound =
    "DirectSoundの初期化に失敗しました\nビープ音で代用しますね（一部の機種では再生できませんが）";
inline constexpr const char* kNoDisplay = "DirectDrawの初期化に失敗しました";
inline constexpr const char* kNoPalette = "パレット設定に失敗しました";
inline constexpr const char* kAnswerMe = "答えて！？";
inline constexpr const char* kFullScreenPlease =
    "この色好みじゃないから、フルスクリーンにしよっか？";
}  // namespace text

// The English of one of the game's Japanese texts; any other text unchanged.
std::string GameText(Language language, const std::string& text);

// The dialogs of a platform, speaking `language`.
class TranslatedDialogs : public platform::Dialogs {
  public:
    TranslatedDialogs(platform::Dialogs& dialogs, Language language)
        : dialogs_(dialogs), language_(language) {}
    platform::Answer MessageBox(const std::string& caption, const std::string& text,
                                platform::Buttons buttons, platform::Icon icon) override {
        return dialogs_.MessageBox(GameText(language_, caption), GameText(language_, text), buttons,
                                   icon);
    }

  private:
    platform::Dialogs& dialogs_;
    Language language_;
};

}  // namespace zarp

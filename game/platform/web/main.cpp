// The game in a browser page. The page shows an overlay until the player clicks or presses a
// key (which also lets the page play sound), then runs the game as the native program does;
// when the game ends (EXIT, F9) the overlay offers to play again.
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "game/platform/web/Page.h"
#include "game/platform/web/WebPlatform.h"
#include "game/shell/Form.h"

namespace {

using namespace zarp;

constexpr const char* kFolder = "/zarp/";

// Between frames: the pacing clock, the ranking kept in the browser's storage as soon as it
// changes (a tab can close without the game's shutdown), and sets the player added.
class PageHooks : public FrameHooks {
  public:
    explicit PageHooks(web::PageEvents& page) : page_(page) {}

    void BeforeCreate(TForm1& /*form*/) override { saved_.reset(); }

    void AfterFrame(TForm1& form, int64_t /*frame*/) override {
        web::zarp_frame_done(form.scene);
        if (!saved_) {
            saved_ = form.ranking;  // as read at start-up
        } else if (form.ranking != *saved_ && form.ranking.Save(form.files.ranking)) {
            saved_ = form.ranking;
            web::zarp_store_file(form.files.ranking.c_str());
        }
        // The list is rebuilt while the selection is not on screen.
        if (page_.setsChanged && form.scene != SceneUserStageSelect::kId) {
            page_.setsChanged = false;
            form.ListUserStages();
        }
    }

  private:
    web::PageEvents& page_;
    std::optional<Ranking> saved_;
};

}  // namespace

int main() {
    // The page's files are one portable folder in the page's memory: the data, zarp.dat and the
    // sets the player added side by side, kept in the browser's storage (page.js).
    const Layout layout = PortableLayout(kFolder);
    web::zarp_prepare_files(kFolder);
    if (chdir(kFolder) != 0) return 1;
    web::PageEvents page;
    PageHooks hooks(page);
    std::string invitation = "Click or press a key to start";
    for (;;) {
        web::zarp_wait_for_player(invitation.c_str());
        int32_t status = 0;
        {
            web::WebClock clock;
            web::WebKeyboard keyboard;
            web::WebJoystick joystick;
            web::WebScreen screen;
            web::WebDialogs dialogs;
            web::WebAudio audio;
            web::WebMusic music;
            web::WebMessages messages(keyboard, music, page);
            platform::Platform platform{clock,  messages, keyboard, joystick,
                                        screen, dialogs,  audio,    music};
            // Windowed: the page scales the picture; full screen is the page's button. The
            // messages speak the browser's language, which the page gives as LANG.
            status = RunGame(platform, layout, {"w"}, &hooks, LocaleLanguage());
        }
        web::zarp_store_file(layout.settingsFile.c_str());
        invitation = status == 0 ? "Thanks for playing. Click or press a key to play again"
                                 : "The game could not start. Click or press a key to try again";
    }
}

// zarp: the game in a real window.
#include <SDL.h>
#include <sys/prctl.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "common/paths/Paths.h"
#include "game/platform/sdl/SdlAudio.h"
#include "game/platform/sdl/SdlPlatform.h"
#include "game/shell/Form.h"

namespace {

volatile std::sig_atomic_t signalled = 0;
void OnSignal(int) {
    signalled = 1;
}

constexpr const char* kUsage =
    "usage: zarp [ARGUMENT...]\n"
    "  (none)      start in full screen with sound effects\n"
    "  w           an argument holding the letter w starts in a window\n"
    "  b           an argument holding the letter b replaces the sound effects by a beep\n"
    "  N           a stage number as the last argument test-plays that stage of the stage\n"
    "              editor's test file\n"
    "  FILE.zrp    a first argument holding .zrp starts the game normally\n"
    "  --lang ja|en  the language of the message boxes (default: the locale's; Japanese for a\n"
    "              Japanese, C or POSIX locale, English for any other)\n"
    "  --help, --version\n"
    "In the game: F9 quits, Esc leaves play (and quits on the title), F5 leaves play,\n"
    "F6 abandons a flying shot.\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && arguments[0] == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        std::printf("zarp %s\n", ZARP_VERSION);
        return 0;
    }

    // The frame wait sleeps to just before its due time; a tight timer slack keeps it on time.
    prctl(PR_SET_TIMERSLACK, 1000UL, 0, 0, 0);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK) !=
        0) {
        std::fprintf(stderr, "zarp: %s\n", SDL_GetError());
        SDL_Init(SDL_INIT_EVENTS);
    }
    SDL_StopTextInput();
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);

    int32_t status = 0;
    {
        zarp::sdl::SdlClock clock;
        zarp::sdl::SdlKeyboard keyboard;
        zarp::sdl::SdlJoystick joystick;
        zarp::sdl::SdlScreen screen;
        zarp::sdl::SdlDialogs dialogs(screen);
        zarp::sdl::SdlAudio audio;
        audio.desktopBell = [&screen] { screen.Bell(); };
        zarp::sdl::SdlMusic music;
        zarp::sdl::SdlMessages messages(keyboard, joystick, screen, signalled);
        messages.musicEventType = zarp::sdl::MusicEventType();
        zarp::platform::Platform platform{clock,  messages, keyboard, joystick,
                                          screen, dialogs,  audio,    music};
        // The window speaks the desktop's language unless --lang says otherwise.
        status = zarp::RunGame(platform, zarp::FindLayout(zarp::ProgramFolder()), arguments,
                               nullptr, zarp::LocaleLanguage());
    }
    SDL_Quit();
    return status & 0xFF;
}

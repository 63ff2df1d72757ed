// palette.dat through MediaDevices::LoadPalette, the game's only reader of it: any file sets a
// palette or is refused, and never reads past what it holds.
#include <cstddef>
#include <cstdint>

#include "fuzz/TempFile.h"
#include "game/media/MediaDevices.h"
#include "game/platform/headless/Headless.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zarp;
    headless::EventLog log;
    headless::VirtualClock clock;
    headless::LoggedMusic music(log, clock);
    headless::ScriptedMessages messages(music);
    headless::ScriptedKeyboard keyboard;
    headless::NoJoystick joystick;
    headless::MemoryScreen screen;
    headless::ScriptedDialogs dialogs(log);
    headless::LoggedAudio audio(log, clock);
    platform::Platform platform{clock, messages, keyboard, joystick, screen, dialogs, audio, music};
    Random random;
    MediaDevices media(platform, random, "/nonexistent/");
    // An 8-bit display, as CreateDisplay leaves it, without the screen-sized surfaces.
    media.requestedDepth = 8;
    media.desktopDepth = 8;

    fuzz::TempFile file(data, size, "palette");
    if (!media.LoadPalette(file.path()) || !media.displayPalette) __builtin_trap();
    media.SetPaletteRamp(0x000000, 0xFFFFFF, 0, static_cast<int32_t>(size % 300), 0);
    return 0;
}

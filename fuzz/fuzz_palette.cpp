// palette.dat through MediaDevices::LoadPalette, the game's only reader of it: any file sets a
// palette or is refused, and never reads past what it holds.
#include <cstddef>
#include <cstdint>

#include "fuzz/TempFile.h"
#include "game/media/MediaDevices.h"
#include "game/platform/headless/Headless.h"

namespace {

// One machine for the whole run, as the game has one: each input is a new palette.dat for it.
struct Machine {
    zarp::headless::Machine devices;
    zarp::Random random;
    zarp::MediaDevices media{devices.platform, random, "/nonexistent/"};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto* machine = [] {
        auto* made = new Machine;
        // An 8-bit display, as CreateDisplay leaves it, without the screen-sized surfaces.
        made->media.requestedDepth = 8;
        made->media.desktopDepth = 8;
        return made;
    }();
    zarp::MediaDevices& media = machine->media;
    media.displayPalette.reset();

    zarp::fuzz::TempFile file(data, size, "palette");
    if (!media.LoadPalette(file.path()) || !media.displayPalette) __builtin_trap();
    media.SetPaletteRamp(0x000000, 0xFFFFFF, 0, static_cast<int32_t>(size % 300), 0);
    return 0;
}

#include "game/scenes/SceneOpening.h"

#include "game/media/Media.h"
#include "game/media/SheetCells.h"
#include "game/scenes/SceneTitle.h"
#include "game/shell/Shell.h"

namespace zarp {

namespace {
constexpr int32_t kLogoEnd = 120;  // the band is in place from this frame on
constexpr int32_t kFadeStart = 200;
constexpr int32_t kOpeningEnd = 232;

constexpr uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}
}  // namespace

void SceneOpening::Frame(const Context& c) {
    MediaDevices& media = c.media.MediaDevices;
    const int32_t t = openingFrame;

    // The maker's cry, centre, left, right.
    if (t == 0) media.PlayEffect("waa.wav", 0);
    if (t == 2) media.PlayEffect("waa.wav", -8000);
    if (t == 4) media.PlayEffect("waa.wav", 8000);

    // Button A cuts the sounds off and jumps past the logo.
    if (media.IsPressed(ActA)) {
        for (int32_t slot = 0; slot < kVoiceSlots; ++slot) {
            if (media.voiceBuffer[slot]) media.ReleaseVoice(slot);
        }
        openingFrame = kOpeningEnd;
    }

    const int32_t f = openingFrame;
    if (f > 0 && f < kLogoEnd) {
        // The band grows from its top-left corner while sliding into place; its source
        // rectangle stays empty until frame 78.
        const Rect growing{cell::kLogoBand.left, cell::kLogoBand.top, static_cast<int32_t>(4.8 * f),
                           static_cast<int32_t>(1.5 * f)};
        media.DrawSprite(static_cast<int32_t>((kLogoEnd - f) * 4.8 + 32),
                         static_cast<int32_t>((kLogoEnd - f) * 1.5 + 180), growing,
                         c.media.titleSheet.get());
    }
    if (f >= kLogoEnd && f < kOpeningEnd)
        media.DrawSprite(32, 180, cell::kLogoBand, c.media.titleSheet.get());

    if (f > kFadeStart && f < kOpeningEnd) {
        // Fade the logo's two colour runs towards black.
        const uint32_t v = static_cast<uint32_t>((8 * (kFadeStart - f)) & 0xFF);
        const uint32_t w = static_cast<uint32_t>((16 * (kFadeStart - f)) & 0xFF);
        media.SetPaletteRamp(Rgb(v, 0, 0), Rgb(v, 0, 0), 0, 3, 20);
        media.SetPaletteRamp(Rgb(v, w, v), Rgb(v, v, v), 0, 3, 25);
    }

    if (f > kOpeningEnd) {
        c.shell.ChangeScene(SceneTitle::kId);
        media.LoadPalette(c.media.paletteFile);  // undoes the fade
    }

    openingFrame = f + 1;
    media.Present();
    media.ClearBackBuffer();
}

}  // namespace zarp

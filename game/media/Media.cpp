#include "game/media/Media.h"

#include <algorithm>
#include <utility>

#include "game/media/SheetCells.h"

namespace zarp {

Media::Media(platform::Platform& platform, Random& random, const std::string& folder,
             std::string palette, platform::MessageSink& sink)
    : MediaDevices(platform, random, folder),
      MediaPlayer1(platform.music),
      musicFolder(folder),
      paletteFile(std::move(palette)),
      platform_(platform),
      sink_(sink) {}

void Media::LoadSheets() {
    playerSheet = MediaDevices.LoadSheet("player");
    coinSheet = MediaDevices.LoadSheet("coin");
    blockSheet = MediaDevices.LoadSheet("block");
    fontSheet = MediaDevices.LoadSheet("Font");
    titleSheet = MediaDevices.LoadSheet("title");
    cwinSheet = MediaDevices.LoadSheet("cwin");
    backgroundSurface = MediaDevices.CreateSurface(kScreenWidth, kScreenHeight);
}

void Media::ReleaseSurfaces() {
    playerSheet.reset();
    coinSheet.reset();
    blockSheet.reset();
    fontSheet.reset();
    titleSheet.reset();
    cwinSheet.reset();
    backgroundSurface.reset();
}

void Media::DrawText(int32_t x, int32_t y, const std::string& text) {
    zarp::DrawText(MediaDevices, fontSheet.get(), x, y, text);
}

void Media::DrawTextScaled(int32_t x, int32_t y, const std::string& text, double scale) {
    zarp::DrawTextScaled(MediaDevices, fontSheet.get(), x, y, text, scale);
}

void Media::WipeScreen() {
    // Two curtains of alternating dark columns: the top one moves down, the bottom one up.
    constexpr int32_t kColumns = kScreenWidth / 40;
    for (int32_t s = 0; s <= kScreenHeight; s += 8) {
        for (int32_t r = 0; r < 8; ++r) {
            for (int32_t k = 0; k < kColumns; ++k) {
                MediaDevices.DrawSprite(40 * k, s + r, cell::kCurtainDown, cwinSheet.get());
            }
        }
        for (int32_t r = 0; r < 8; ++r) {
            for (int32_t k = 0; k < kColumns; ++k) {
                MediaDevices.DrawSprite(40 * k, kScreenHeight - r - s, cell::kCurtainUp,
                                        cwinSheet.get());
            }
        }
        Pace(24);
        MediaDevices.Present();
        ProcessMessages();
    }
}

void Media::Pace(uint32_t ms) {
    platform::Clock& clock = platform_.clock;
    if (platform_.keyboard.AsyncKeyState(platform::vk::Shift)) return;
    // Measured from the end of the previous Pace, so work in between counts toward the wait.
    // The comparison is a plain unsigned one: a due time past the counter's wrap is already
    // reached. The end is read again after the messages, since a wipe run by a key handler
    // paces too and moves it.
    const uint32_t start = clock.Ticks();
    // Should the counter wrap to zero during the wait, it would not reach the due time again
    // for 49 days: the wait is over instead.
    const auto waiting = [&](uint32_t now) { return now < lastPaceTick + ms && now >= start; };
    for (uint32_t now = start; waiting(now); now = clock.Ticks()) {
        ProcessMessages();
        now = clock.Ticks();
        if (waiting(now)) clock.SleepUntil(now + std::min<uint32_t>(lastPaceTick + ms - now, 4));
    }
    lastPaceTick = clock.Ticks();
}

void Media::RestoreStagePicture() {
    if (backgroundSurface && MediaDevices.backBuffer) {
        BltFast(*MediaDevices.backBuffer, 0, 0, *backgroundSurface, kScreenRect, false);
    }
}

void Media::StartMusic(const std::string& name, bool repeat, PreviousPiece previous) {
    musicRepeat = repeat;
    if (previous == PreviousPiece::stop) MediaPlayer1.Stop();
    MediaPlayer1.Close();
    MediaPlayer1.FileName = musicFolder + name;
    MediaPlayer1.Open();
    MediaPlayer1.Play();
}

void Media::StopMusic() {
    musicRepeat = false;
    MediaPlayer1.Stop();
}

void Media::ProcessMessages() {
    platform_.messages.Pump(sink_);
}

}  // namespace zarp

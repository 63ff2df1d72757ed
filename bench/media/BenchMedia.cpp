// Frames per second of a full-screen draw-and-present loop: about 300 sprites, a line of text
// at 1:1 and one stretched, then Present to a screen that turns indices into colours through
// the palette as a backend does. The goal is above 5,000 frames per second.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

#include "game/media/MediaDevices.h"
#include "game/platform/Platform.h"

namespace zarp {
namespace {

struct IdleClock : platform::Clock {
    uint32_t Ticks() override { return 0; }
    void WaitUntil(uint32_t) override {}
};
struct IdleMessages : platform::Messages {
    void Pump(platform::MessageSink&) override {}
};
struct IdleKeyboard : platform::Keyboard {
    bool AsyncKeyState(int) override { return false; }
};
struct IdleJoystick : platform::Joystick {
    bool GetCaps(platform::JoyCaps&) override { return false; }
    bool GetPos(platform::JoyInfo&) override { return false; }
};
struct IdleDialogs : platform::Dialogs {
    platform::Answer MessageBox(const std::string&, const std::string&, platform::Buttons,
                                platform::Icon) override {
        return platform::Answer::Ok;
    }
};
struct IdleAudio : platform::Audio {
    bool Init() override { return true; }
    bool PlayVoice(int, const platform::PcmFormat&, const uint8_t*, size_t, int,
                   const std::string&) override {
        return true;
    }
    bool IsVoicePlaying(int) override { return false; }
    void StopVoice(int) override {}
    void Beep() override {}
};
struct IdleMusic : platform::Music {
    bool Open(const std::string&) override { return true; }
    bool Play(bool) override { return true; }
    void Stop(bool) override {}
    void Close(bool) override {}
};

// Converts every shown frame to 32-bit colours, rebuilding its colour table only when the
// palette changes.
struct ConvertingScreen : platform::Screen {
    std::vector<uint32_t> rgba =
        std::vector<uint32_t>(platform::kScreenWidth * platform::kScreenHeight);
    platform::Palette tablePalette{};
    std::array<uint32_t, 256> table{};
    bool Open(bool) override { return true; }
    int DesktopDepth() override { return 8; }
    void Show(const uint8_t* pixels, const platform::Palette& palette) override {
        if (palette != tablePalette) {
            tablePalette = palette;
            for (size_t i = 0; i < 256; ++i) {
                table[i] = 0xFF000000u | (uint32_t{palette[i].blue} << 16) |
                           (uint32_t{palette[i].green} << 8) | palette[i].red;
            }
        }
        for (size_t i = 0; i < rgba.size(); ++i)
            rgba[i] = table[pixels[i]];
    }
    void ShowCursor(bool) override {}
};

Surface Sheet(int32_t width, int32_t height) {
    Surface sheet{width, height, std::vector<uint8_t>(static_cast<size_t>(width * height))};
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            // Transparent corners, like a ball or a glyph.
            const bool edge = (x + y) % 7 == 0;
            sheet.At(x, y) = edge ? 0 : static_cast<uint8_t>(1 + (x * 3 + y) % 200);
        }
    }
    return sheet;
}

void BM_DrawAndPresentFrame(benchmark::State& state) {
    IdleClock clock;
    IdleMessages messages;
    IdleKeyboard keyboard;
    IdleJoystick joystick;
    ConvertingScreen screen;
    IdleDialogs dialogs;
    IdleAudio audio;
    IdleMusic music;
    platform::Platform platform{clock, messages, keyboard, joystick, screen, dialogs, audio, music};
    Random random;
    MediaDevices media(platform, random, "");
    media.CreateDisplay(true);
    platform::Palette palette{};
    for (size_t i = 0; i < 256; ++i) {
        palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                      static_cast<uint8_t>(i * 3), 0};
    }
    media.displayPalette = palette;
    const Surface blocks = Sheet(384, 96);
    const Surface font = Sheet(311, 167);
    const Surface background = Sheet(640, 480);

    int64_t frame = 0;
    for (auto _ : state) {
        // A stage frame: the background, 19 x 13 blocks and some more sprites (about 300 in
        // all, some half off the screen), a line of text at 1:1 and one stretched.
        BltFast(*media.backBuffer, 0, 0, background, {0, 0, 640, 480}, false);
        for (int32_t row = 0; row < 14; ++row) {
            for (int32_t column = 0; column < 20; ++column) {
                const int32_t cell = (row + column + static_cast<int32_t>(frame)) % 12;
                media.DrawSprite(column * 32 - 8, row * 32 + 8, {cell * 32, 0, cell * 32 + 32, 32},
                                 &blocks);
            }
        }
        for (int32_t i = 0; i < 20; ++i) {
            media.DrawSprite((i * 37 + static_cast<int32_t>(frame)) % 660 - 10, i * 23,
                             {0, 32, 32, 64}, &blocks);
        }
        DrawText(media, &font, 8, 452, "SCORE 0012345 REST 3 STAGE 10");
        DrawTextScaled(media, &font, 100, 200, "STAGE CLEAR", 2.0);
        media.Present();
        media.ClearBackBuffer();
        ++frame;
    }
    benchmark::DoNotOptimize(screen.rgba.data());
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(frame), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawAndPresentFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zarp

BENCHMARK_MAIN();

// Play frames per second with drawing and presenting: the game's own ScenePlay on a platform
// with a virtual clock and a screen that keeps the picture (as the headless driver does), a ball
// kept in flight over a stage of 40 blocks.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "game/play/Physics.h"
#include "game/shell/Form.h"

namespace zarp {
namespace {

class JumpClock final : public platform::Clock {
  public:
    uint32_t now = 1000;
    uint32_t Ticks() override { return now; }
    void WaitUntil(uint32_t due) override {
        if (static_cast<int32_t>(due - now) > 0) now = due;
    }
};
class NoMessages final : public platform::Messages {
  public:
    void Pump(platform::MessageSink&) override {}
};
class SpaceKey final : public platform::Keyboard {
  public:
    bool space = false;
    bool AsyncKeyState(int key) override { return space && key == platform::vk::Space; }
};
class NoJoystick final : public platform::Joystick {
  public:
    bool GetCaps(platform::JoyCaps&) override { return false; }
    bool GetPos(platform::JoyInfo&) override { return false; }
};
// Keeps each presented picture, as the headless backend's screen does.
class KeepingScreen final : public platform::Screen {
  public:
    bool Open(bool) override { return true; }
    int DesktopDepth() override { return 8; }
    void Show(const uint8_t* source, const platform::Palette& colours) override {
        std::copy(source, source + pixels.size(), pixels.begin());
        palette = colours;
        benchmark::DoNotOptimize(pixels.data());
    }
    void ShowCursor(bool) override {}
    std::vector<uint8_t> pixels = std::vector<uint8_t>(640 * 480);
    platform::Palette palette{};
};
class OkDialogs final : public platform::Dialogs {
  public:
    platform::Answer MessageBox(const std::string&, const std::string&, platform::Buttons,
                                platform::Icon) override {
        return platform::Answer::Ok;
    }
};
class NoAudio final : public platform::Audio {
  public:
    bool Init() override { return false; }
    bool PlayVoice(int, const platform::PcmFormat&, const uint8_t*, size_t, int,
                   const std::string&) override {
        return false;
    }
    bool IsVoicePlaying(int) override { return false; }
    void StopVoice(int) override {}
    void Beep() override {}
};
class NoMusic final : public platform::Music {
  public:
    bool Open(const std::string&) override { return false; }
    bool Play(bool) override { return false; }
    void Stop(bool) override {}
    void Close(bool) override {}
};

void PlayFrames(benchmark::State& state) {
    JumpClock clock;
    NoMessages messages;
    SpaceKey keys;
    NoJoystick joystick;
    KeepingScreen screen;
    OkDialogs dialogs;
    NoAudio audio;
    NoMusic music;
    platform::Platform machine{clock, messages, keys, joystick, screen, dialogs, audio, music};
    auto form = std::make_unique<TForm1>(machine, "./", std::vector<std::string>{});
    MediaDevices& media = form->MediaDevices;
    media.CreateDisplay(false);
    form->playerSheet = media.LoadSheet("player");
    form->coinSheet = media.LoadSheet("coin");
    form->blockSheet = media.LoadSheet("block");
    form->fontSheet = media.LoadSheet("Font");
    form->backgroundSurface = media.CreateSurface(640, 480);

    // 40 blocks in a ring around the field's middle, a few toggle blocks, ten coins.
    auto& blocks = form->StageBlockTable;
    for (int i = 0; i < 40; ++i) {
        const double a = i * (6.2831853 / 40);
        blocks.x[1][i] = 304 + static_cast<int>(180 * std::cos(a));
        blocks.y[1][i] = 208 + static_cast<int>(150 * std::sin(a));
        blocks.type[1][i] = i % 10 == 0 ? 16 : 5 + i % 3;
    }
    blocks.count[1] = 40;
    auto& entities = form->StageEntityTable;
    entities.x[1][0] = 300;
    entities.y[1][0] = 220;
    entities.x[1][1] = 0;
    entities.y[1][1] = 9;
    for (int i = 2; i < 12; ++i) {
        entities.x[1][i] = 200 + 20 * i;
        entities.y[1][i] = 180;
    }
    entities.count[1] = 12;
    form->stageNo = 1;
    form->stageTotal = 2;
    form->scene = SceneStageStart::kId;
    keys.space = false;
    while (form->scene == SceneStageStart::kId)
        form->AppIdle();

    int64_t shots = 0;
    for (auto _ : state) {
        // Keep a ball in flight: fire again as soon as it rests.
        keys.space = !form->Player.flying && !keys.space;
        if (form->Player.flying) keys.space = false;
        if (form->Player.rest < 2) form->Player.rest = 9;
        if (form->scene != ScenePlay::kId) form->scene = ScenePlay::kId;
        form->AppIdle();
        if (form->play.shotLatch && keys.space) ++shots;
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["shots"] = static_cast<double>(shots);
}
BENCHMARK(PlayFrames)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zarp

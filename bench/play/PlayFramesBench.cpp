// Play frames per second with drawing and presenting: the game's own ScenePlay on a platform
// with a virtual clock and a screen that keeps the picture (as the headless driver does), a ball
// kept in flight over a stage of 40 blocks.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

#include "game/platform/headless/Headless.h"
#include "game/play/Physics.h"
#include "game/shell/Form.h"

namespace zarp {
namespace {

void PlayFrames(benchmark::State& state) {
    auto machine = std::make_unique<headless::Machine>();
    auto form = std::make_unique<TForm1>(machine->platform, "./", std::vector<std::string>{});
    MediaDevices& media = form->media.MediaDevices;
    media.CreateDisplay(false);
    form->media.playerSheet = media.LoadSheet("player");
    form->media.coinSheet = media.LoadSheet("coin");
    form->media.blockSheet = media.LoadSheet("block");
    form->media.fontSheet = media.LoadSheet("Font");
    form->media.backgroundSurface = media.CreateSurface(640, 480);

    // 40 blocks in a ring around the field's middle, a few toggle blocks, ten coins.
    auto& blocks = form->stages.StageBlockTable;
    for (int i = 0; i < 40; ++i) {
        const double a = i * (6.2831853 / 40);
        blocks.x[1][i] = 304 + static_cast<int>(180 * std::cos(a));
        blocks.y[1][i] = 208 + static_cast<int>(150 * std::sin(a));
        blocks.type[1][i] = i % 10 == 0 ? 16 : 5 + i % 3;
    }
    blocks.count[1] = 40;
    auto& entities = form->stages.StageEntityTable;
    entities.x[1][0] = 300;
    entities.y[1][0] = 220;
    entities.x[1][1] = 0;
    entities.y[1][1] = 9;
    for (int i = 2; i < 12; ++i) {
        entities.x[1][i] = 200 + 20 * i;
        entities.y[1][i] = 180;
    }
    entities.count[1] = 12;
    form->session.stageNo = 1;
    form->stages.stageTotal = 2;
    form->scene = SceneStageStart::kId;
    bool space = false;
    machine->keyboard.SetHeld({});
    while (form->scene == SceneStageStart::kId)
        form->AppIdle();

    int64_t shots = 0;
    for (auto _ : state) {
        // Keep a ball in flight: fire again as soon as it rests.
        space = !form->session.Player.flying && !space;
        if (form->session.Player.flying) space = false;
        machine->keyboard.SetHeld(space ? std::set<int>{platform::vk::Space} : std::set<int>{});
        if (form->session.Player.rest < 2) form->session.Player.rest = 9;
        if (form->scene != ScenePlay::kId) form->scene = ScenePlay::kId;
        form->AppIdle();
        if (form->scenes.play.shotLatch && space) ++shots;
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["shots"] = static_cast<double>(shots);
}
BENCHMARK(PlayFrames)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zarp

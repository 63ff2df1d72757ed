#include "game/play/ScenePlay.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "game/play/Physics.h"
#include "game/shell/Form.h"

namespace zarp {

namespace {

// The actions as the devices answer them, at the moment the rules ask.
class DeviceInput final : public PlayInput {
  public:
    explicit DeviceInput(MediaDevices& media) : media_(media) {}
    bool Pressed(int32_t action) override { return media_.IsPressed(action); }

  private:
    MediaDevices& media_;
};

void PlayEffects(TForm1& form, const PlayEvents& events) {
    const int32_t n = std::min(events.effectCount, PlayEvents::kMaxEffects);
    for (int32_t i = 0; i < n; ++i) {
        const EffectEvent& e = events.effects[static_cast<size_t>(i)];
        form.MediaDevices.PlayEffect(EffectFile(e.effect), e.pan);
    }
}

// Present, then copy the whole stage picture back for the next frame.
void PresentAndRestore(TForm1& form) {
    MediaDevices& media = form.MediaDevices;
    media.Present();
    if (form.backgroundSurface && media.backBuffer) {
        BltFast(*media.backBuffer, 0, 0, *form.backgroundSurface, {0, 0, 640, 480}, false);
    }
}

void DrawBall(TForm1& form) {
    const Player& p = form.Player;
    form.MediaDevices.DrawSprite(Trunc(p.x), Trunc(p.y), {0, 0, 16, 16}, form.playerSheet.get());
}

}  // namespace

void ScenePlay::Frame(TForm1& form) {
    MediaDevices& media = form.MediaDevices;
    Player& p = form.Player;
    const StageSlotView stage = SlotView(form.StageBlockTable, form.StageEntityTable, form.stageNo);
    PlayWorld world{p,
                    stage,
                    form.coinPresent,
                    form.blinkTimer,
                    form.toggleBlockCount,
                    form.playerStartX,
                    form.playerStartY,
                    StageStartOf(stage).startAngle,
                    shotLatch};
    DeviceInput input(media);
    PlayEvents events;
    events.Clear();

    // The brake latch, the conveyor flag and the toggle blocks' clock; the status line and the
    // coins; the toggle blocks' current faces, which always match their effect.
    BeginPlayFrame(world, input);
    form.DrawHud();
    form.DrawCoins();
    if (form.toggleBlockCount != 0) {
        for (int32_t i = 0; i < stage.blockCount; ++i) {
            const int32_t type = stage.blockType[i];
            if (type != kBlockToggleA && type != kBlockToggleB) continue;
            const bool firstPhase = form.blinkTimer < 80;
            const bool reboundLook = (type == kBlockToggleA) == firstPhase;
            media.DrawSprite(stage.blockX[i], stage.blockY[i], {352, 0, 384, 32},
                             form.blockSheet.get());
            media.DrawSprite(stage.blockX[i], stage.blockY[i],
                             reboundLook ? Rect{0, 64, 32, 96} : Rect{96, 64, 128, 96},
                             form.blockSheet.get());
        }
    }

    if (!p.flying) {
        // Aiming: turn the marker around the resting ball, then fire.
        Aim(world, input, events);
        PlayEffects(form, events);
        DrawBall(form);
        media.DrawSprite(Trunc(p.x + 24 * std::cos(p.angle * kAngleUnit)),
                         Trunc(p.y + 24 * std::sin(p.angle * kAngleUnit)), {16, 0, 32, 16},
                         form.playerSheet.get());
        media.Present();
        if (form.backgroundSurface && media.backBuffer) {
            Blt(*media.backBuffer, {0, 0, 640, 480}, *form.backgroundSurface, {0, 0, 640, 480},
                false);
        }
        events.Clear();
        TryFire(world, input, events);
        PlayEffects(form, events);
        return;
    }

    // A needle's frames: the picture stands still.
    const bool moves = FlightPrelude(world, events);
    PlayEffects(form, events);
    if (!moves) return;
    if (events.ringStarted) {
        ringX = events.ringX;
        ringY = events.ringY;
    }
    if (events.ringDrawn) {
        // The booster ring grows from 11.7 to 120 pixels over 20 frames; the status line is
        // drawn again so that the ring never covers it.
        const int32_t t = events.ringTime;
        media.DrawEllipse(322 - 16 * t, 0xFFFFFF, ringX, ringY, (400 - t * t) * 0.3, 1.0, 1.0);
        form.DrawHud();
    }

    events.Clear();
    FlightMove(world, input, events);
    PlayEffects(form, events);
    if (events.goal) form.scene = SceneStageClear::kId;
    if (events.gameOver) form.scene = SceneGameOver::kId;

    // Hit texts stand still for 39 frames, then blink for 40.
    for (int32_t i = 2; i < stage.entityCount; ++i) {
        const auto e = static_cast<size_t>(i);
        const int32_t t = p.hitTextTime[e];
        if ((t >= 41 && t <= 79) || (t <= 40 && t % 2 == 1)) {
            form.DrawText(p.hitTextX[e], p.hitTextY[e], std::to_string(p.hitNumber[e]) + "Hit!");
        }
    }
    DrawBall(form);
    PresentAndRestore(form);
}

}  // namespace zarp

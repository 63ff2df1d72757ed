#include "game/play/ScenePlay.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "game/media/Media.h"
#include "game/media/SheetCells.h"
#include "game/media/Trig.h"
#include "game/play/Hud.h"
#include "game/play/Physics.h"
#include "game/play/PlayField.h"
#include "game/play/SceneStageClear.h"
#include "game/play/StageSet.h"
#include "game/scenes/SceneGameOver.h"
#include "game/shell/Session.h"
#include "game/shell/Shell.h"

namespace zarp {

namespace {

// The actions as the devices answer them, at the moment the rules ask.
class DeviceInput final : public PlayInput {
  public:
    explicit DeviceInput(MediaDevices& devices) : devices_(devices) {}
    bool Pressed(int32_t action) override { return devices_.IsPressed(action); }

  private:
    MediaDevices& devices_;
};

void PlayEffects(MediaDevices& devices, const PlayEvents& events) {
    const int32_t n = std::min(events.effectCount, PlayEvents::kMaxEffects);
    for (int32_t i = 0; i < n; ++i) {
        const EffectEvent& e = events.effects[static_cast<size_t>(i)];
        devices.PlayEffect(EffectFile(e.effect), e.pan);
    }
}

void DrawBall(Media& media, const Player& p) {
    media.MediaDevices.DrawSprite(Trunc(p.x), Trunc(p.y), cell::kBall, media.playerSheet.get());
}

}  // namespace

void ScenePlay::Frame(const Context& c) {
    Media& media = c.media;
    MediaDevices& devices = media.MediaDevices;
    Session& session = c.session;
    PlayField& field = c.field;
    Player& p = session.Player;
    const StageSlotView stage = c.stages.Slot(session.stageNo);
    PlayWorld world{p,
                    stage,
                    field.coinPresent,
                    field.blinkTimer,
                    field.toggleBlockCount,
                    field.playerStartX,
                    field.playerStartY,
                    StageStartOf(stage).startAngle,
                    shotLatch};
    DeviceInput input(devices);
    PlayEvents events;
    events.Clear();

    // The brake latch, the conveyor flag and the toggle blocks' clock; the status line and the
    // coins; the toggle blocks' current faces, which always match their effect.
    BeginPlayFrame(world, input);
    DrawHud(media, session);
    DrawCoins(media, c.stages, session, field);
    if (field.toggleBlockCount != 0) {
        for (int32_t i = 0; i < stage.blockCount; ++i) {
            const int32_t type = stage.blockType[i];
            if (!IsToggleBlock(type)) continue;
            const bool firstPhase = field.blinkTimer < 80;
            const bool reboundLook = (type == kBlockToggleA) == firstPhase;
            devices.DrawSprite(stage.blockX[i], stage.blockY[i], cell::kFieldTile,
                               media.blockSheet.get());
            devices.DrawSprite(stage.blockX[i], stage.blockY[i],
                               reboundLook ? cell::kSmallRebound : cell::kSmallNeedle,
                               media.blockSheet.get());
        }
    }

    if (!p.flying) {
        // Aiming: turn the marker around the resting ball, then fire.
        Aim(world, input, events);
        PlayEffects(devices, events);
        DrawBall(media, p);
        devices.DrawSprite(Trunc(p.x + 24 * Cos(p.angle * kAngleUnit)),
                           Trunc(p.y + 24 * Sin(p.angle * kAngleUnit)), cell::kAimMarker,
                           media.playerSheet.get());
        devices.Present();
        media.RestoreStagePicture();
        events.Clear();
        TryFire(world, input, events);
        PlayEffects(devices, events);
        return;
    }

    // A needle's frames: the picture stands still.
    const bool moves = FlightPrelude(world, events);
    PlayEffects(devices, events);
    if (!moves) return;
    if (events.ringStarted) {
        ringX = events.ringX;
        ringY = events.ringY;
    }
    if (events.ringDrawn) {
        // The booster ring grows from 11.7 to 120 pixels over 20 frames; the status line is
        // drawn again so that the ring never covers it.
        const int32_t t = events.ringTime;
        devices.DrawEllipse(BoosterRingStep(t), 0xFFFFFF, ringX, ringY, BoosterRingRadius(t), 1.0,
                            1.0);
        DrawHud(media, session);
    }

    events.Clear();
    FlightMove(world, input, events);
    PlayEffects(devices, events);
    if (events.goal) c.shell.ChangeScene(SceneStageClear::kId);
    if (events.gameOver) c.shell.ChangeScene(SceneGameOver::kId);

    // Hit texts stand still for 39 frames, then blink for 40.
    for (int32_t i = 2; i < stage.entityCount; ++i) {
        const auto e = static_cast<size_t>(i);
        const int32_t t = p.hitTextTime[e];
        if ((t >= 41 && t <= 79) || (t <= 40 && t % 2 == 1)) {
            media.DrawText(p.hitTextX[e], p.hitTextY[e], std::to_string(p.hitNumber[e]) + "Hit!");
        }
    }
    DrawBall(media, p);
    devices.Present();
    media.RestoreStagePicture();
}

}  // namespace zarp

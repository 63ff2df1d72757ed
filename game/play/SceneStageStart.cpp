#include "game/play/SceneStageStart.h"

#include <algorithm>
#include <string>

#include "game/play/Physics.h"
#include "game/shell/Form.h"

namespace zarp {

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kFieldGrey = 0xC8C8C8;  // RGB (200, 200, 200)
constexpr Rect kBackgroundTile{352, 0, 384, 32};

// The block sheet's cell of a block type; false for types that are not drawn.
bool BlockCell(int32_t type, Rect& cell) {
    if (type >= 0 && type <= 4) {
        cell = {64 * type, 0, 64 * type + 64, 64};
    } else if (type >= 5 && type <= 9) {
        const int32_t t = type - 5;
        cell = {32 * t, 64, 32 * t + 32, 96};
    } else if (type == kBlockGoal) {
        cell = {320, 0, 352, 32};
    } else if (type >= 11 && type <= 15) {
        const int32_t t = type - 6;
        cell = {32 * t, 64, 32 * t + 32, 96};
    } else if (type == kBlockToggleA) {
        cell = {0, 64, 32, 96};  // the look of type 5
    } else if (type == kBlockToggleB) {
        cell = {96, 64, 128, 96};  // the look of type 8
    } else {
        return false;
    }
    return true;
}

void DrawTitle(TForm1& form) {
    const int32_t tx = form.stageNo < 10 ? 80 : 40;
    form.DrawTextScaled(tx, 150, "STAGE:" + std::to_string(form.stageNo), 3);
}

void CopyField(TForm1& form) {
    if (form.backgroundSurface && form.MediaDevices.backBuffer) {
        Blt(*form.MediaDevices.backBuffer, {0, 0, 640, 448}, *form.backgroundSurface,
            {0, 0, 640, 448}, false);
    }
}

}  // namespace

int32_t PaintStageField(Surface& background, const Surface* blockSheet,
                        const StageSlotView& stage) {
    // The field is 19 x 13 tiles, from (16, 16) to (624, 432).
    if (blockSheet) {
        for (int32_t i = 0; i <= 18; ++i) {
            for (int32_t j = 0; j <= 12; ++j) {
                BltFast(background, 16 + 32 * i, 16 + 32 * j, *blockSheet, kBackgroundTile, true);
            }
        }
    }
    // The blocks in table order, later ones over earlier ones, colour-keyed and not clipped.
    int32_t toggles = 0;
    for (int32_t i = 0; i < stage.blockCount; ++i) {
        Rect cell;
        if (!BlockCell(stage.blockType[i], cell)) continue;
        if (blockSheet)
            BltFast(background, stage.blockX[i], stage.blockY[i], *blockSheet, cell, true);
        if (stage.blockType[i] == kBlockToggleA || stage.blockType[i] == kBlockToggleB) ++toggles;
    }
    return toggles;
}

void SceneStageStart::Frame(TForm1& form) {
    MediaDevices& media = form.MediaDevices;
    const int32_t f = frame;
    if (f == 0) {
        // Set-up; nothing is presented.
        form.musicRepeat = true;
        media.FillRectRgb(media.backBuffer.get(), 0, 0, 640, 480, kBlack);
        media.FillRectRgb(media.primarySurface.get(), 0, 0, 640, 480, kBlack);
        media.FillRectRgb(form.backgroundSurface.get(), 0, 0, 640, 480, kBlack);
        media.FillRectRgb(form.backgroundSurface.get(), 0, 0, 640, 448, kFieldGrey);
        const StageSlotView stage =
            SlotView(form.StageBlockTable, form.StageEntityTable, form.stageNo);
        const StageStart start = StageStartOf(stage);
        Player& p = form.Player;
        form.playerStartX = start.x;
        form.playerStartY = start.y;
        p.x = start.x;
        p.y = start.y;
        p.flying = false;
        p.needleTime = 0;
        p.angle = start.startAngle;
        p.rest = start.rest;
        p.maxHit = 0;
        p.boostTime = 0;
        p.brakeTime = 0;
        // The ice flag of the last block test belongs to the stage that ended (its goal may
        // lie on ice); the first flight frame reads it before any block test of this stage, so
        // every stage starts as the stage solver's proofs do, on no ice.
        p.noFriction = false;
        form.blinkTimer = 0;
        form.toggleBlockCount = 0;
        // The stage's clear begins at its first frame, even if the last one was cut short.
        form.stageClear.Restart();

        if (form.backgroundSurface) {
            form.toggleBlockCount =
                PaintStageField(*form.backgroundSurface, form.blockSheet.get(), stage);
        } else {
            form.toggleBlockCount = CountToggleBlocks(stage);
        }
        for (int32_t i = 0; i < stage.entityCount; ++i)
            form.coinPresent[static_cast<size_t>(i)] = 1;
        form.Pace(600);
    } else if (f >= 1 && f <= 19) {
        // The title alone on black.
        DrawTitle(form);
        media.Present();
        media.ClearBackBuffer();
        form.Pace(32);
    } else if (f >= 21 && f <= 49) {
        if (!wipeDone) {
            // Growing squares reveal the field, 16 frames.
            if (form.backgroundSurface && media.backBuffer) {
                const int32_t s = wipeStep;
                for (int32_t c = 0; c <= 39; ++c) {
                    for (int32_t r = 0; r <= 27; ++r) {
                        const Rect square{16 * c, 16 * r, 16 * c + s, 16 * r + s};
                        Blt(*media.backBuffer, square, *form.backgroundSurface, square, false);
                    }
                }
            }
            wipeStep += 1;
            if (wipeStep == 17) {
                wipeStep = 1;
                wipeDone = true;
            }
            form.Pace(16);
        } else {
            CopyField(form);
            form.DrawHud();
            if (f == 49) wipeDone = false;
        }
        form.Pace(32);
        DrawTitle(form);
        media.Present();
        media.ClearBackBuffer();
    } else if (f == 51) {
        // The coins appear one after the other, each running through the cells 7 down to 0.
        const StageSlotView stage =
            SlotView(form.StageBlockTable, form.StageEntityTable, form.stageNo);
        if (appearCount == 0) {
            appearTimer.fill(16);
            appearCount = 1;
        }
        CopyField(form);
        form.DrawHud();
        for (int32_t i = 2; i < appearCount && i < stage.entityCount; ++i) {
            int32_t& timer = appearTimer[static_cast<size_t>(i)];
            timer = std::max(timer - 1, 0);
            const int32_t k = timer / 2;
            media.DrawSprite(stage.entityX[i], stage.entityY[i], {16 * k, 0, 16 * k + 16, 16},
                             form.coinSheet.get());
        }
        if (appearCount < stage.entityCount) appearCount += 1;
        const bool noCoins = stage.entityCount <= 2;
        if (noCoins || appearTimer[static_cast<size_t>(stage.entityCount - 1)] == 0) {
            appearCount = 0;  // the counter moves on to 52 below
        } else {
            frame = 50;  // the counter stays at 51 through the phase
        }
        form.Pace(48);
        media.Present();
    } else if (f == 52) {
        form.scene = ScenePlay::kId;
        form.DrawCoins();
        frame = -1;
    }
    // Frames 20 and 50 do nothing at all.
    frame += 1;
}

}  // namespace zarp

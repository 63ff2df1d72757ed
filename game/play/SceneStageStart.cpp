#include "game/play/SceneStageStart.h"

#include <algorithm>
#include <string>

#include "game/media/Media.h"
#include "game/media/SheetCells.h"
#include "game/play/Hud.h"
#include "game/play/Physics.h"
#include "game/play/PlayField.h"
#include "game/play/ScenePlay.h"
#include "game/play/StageSet.h"
#include "game/shell/Session.h"
#include "game/shell/Shell.h"

namespace zarp {

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kFieldGrey = 0xC8C8C8;  // RGB (200, 200, 200)
// The field and its frame: the screen above the status strip.
constexpr Rect kFieldArea{0, 0, kScreenWidth, 448};

// The block sheet's cell of a block type; false for types that are not drawn.
bool BlockCell(int32_t type, Rect& picture) {
    if (type >= kBlockRebound10 && type <= kBlockIce) {
        picture = cell::BigBlock(type - kBlockRebound10);
    } else if (type >= kBlockRebound10Small && type <= kBlockIceSmall) {
        picture = cell::SmallBlock(type - kBlockRebound10Small);
    } else if (type == kBlockGoal) {
        picture = cell::kGoal;
    } else if (type >= kBlockConveyorRight && type <= kBlockBooster) {
        // The small row goes on after the five small blocks.
        picture = cell::SmallBlock(5 + type - kBlockConveyorRight);
    } else if (type == kBlockToggleA) {
        picture = cell::kSmallRebound;  // its first phase
    } else if (type == kBlockToggleB) {
        picture = cell::kSmallNeedle;
    } else {
        return false;
    }
    return true;
}

void DrawTitle(Media& media, int32_t stageNo) {
    const int32_t tx = stageNo < 10 ? 80 : 40;
    media.DrawTextScaled(tx, 150, "STAGE:" + std::to_string(stageNo), 3);
}

void CopyField(Media& media) {
    if (media.backgroundSurface && media.MediaDevices.backBuffer) {
        Blt(*media.MediaDevices.backBuffer, kFieldArea, *media.backgroundSurface, kFieldArea,
            false);
    }
}

}  // namespace

int32_t PaintStageField(Surface& background, const Surface* blockSheet,
                        const StageSlotView& stage) {
    // The field is 19 x 13 tiles, from (16, 16) to (624, 432).
    if (blockSheet) {
        for (int32_t i = 0; i <= 18; ++i) {
            for (int32_t j = 0; j <= 12; ++j) {
                BltFast(background, 16 + 32 * i, 16 + 32 * j, *blockSheet, cell::kFieldTile, true);
            }
        }
    }
    // The blocks in table order, later ones over earlier ones, colour-keyed and not clipped.
    int32_t toggles = 0;
    for (int32_t i = 0; i < stage.blockCount; ++i) {
        Rect picture;
        if (!BlockCell(stage.blockType[i], picture)) continue;
        if (blockSheet)
            BltFast(background, stage.blockX[i], stage.blockY[i], *blockSheet, picture, true);
        if (IsToggleBlock(stage.blockType[i])) ++toggles;
    }
    return toggles;
}

void SceneStageStart::Frame(const Context& c) {
    Media& media = c.media;
    MediaDevices& devices = media.MediaDevices;
    Session& session = c.session;
    PlayField& field = c.field;
    const int32_t f = frame;
    if (f == 0) {
        // Set-up; nothing is presented.
        media.musicRepeat = true;
        devices.FillRectRgb(devices.backBuffer.get(), 0, 0, kScreenWidth, kScreenHeight, kBlack);
        devices.FillRectRgb(devices.primarySurface.get(), 0, 0, kScreenWidth, kScreenHeight,
                            kBlack);
        devices.FillRectRgb(media.backgroundSurface.get(), 0, 0, kScreenWidth, kScreenHeight,
                            kBlack);
        devices.FillRectRgb(media.backgroundSurface.get(), kFieldArea.left, kFieldArea.top,
                            kFieldArea.right, kFieldArea.bottom, kFieldGrey);
        const StageSlotView stage = c.stages.Slot(session.stageNo);
        const StageStart start = StageStartOf(stage);
        Player& p = session.Player;
        field.playerStartX = start.x;
        field.playerStartY = start.y;
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
        field.blinkTimer = 0;
        field.toggleBlockCount = 0;

        if (media.backgroundSurface) {
            field.toggleBlockCount =
                PaintStageField(*media.backgroundSurface, media.blockSheet.get(), stage);
        } else {
            field.toggleBlockCount = CountToggleBlocks(stage);
        }
        for (int32_t i = 0; i < stage.entityCount; ++i)
            field.coinPresent[static_cast<size_t>(i)] = 1;
        media.Pace(600);
    } else if (f >= 1 && f <= 19) {
        // The title alone on black.
        DrawTitle(media, session.stageNo);
        devices.Present();
        devices.ClearBackBuffer();
        media.Pace(32);
    } else if (f >= 21 && f <= 49) {
        if (!wipeDone) {
            // Growing squares reveal the field, 16 frames.
            if (media.backgroundSurface && devices.backBuffer) {
                const int32_t s = wipeStep;
                for (int32_t col = 0; col <= 39; ++col) {
                    for (int32_t row = 0; row <= 27; ++row) {
                        const Rect square{16 * col, 16 * row, 16 * col + s, 16 * row + s};
                        Blt(*devices.backBuffer, square, *media.backgroundSurface, square, false);
                    }
                }
            }
            wipeStep += 1;
            if (wipeStep == 17) {
                wipeStep = 1;
                wipeDone = true;
            }
            media.Pace(16);
        } else {
            CopyField(media);
            DrawHud(media, session);
            if (f == 49) wipeDone = false;
        }
        media.Pace(32);
        DrawTitle(media, session.stageNo);
        devices.Present();
        devices.ClearBackBuffer();
    } else if (f == 51) {
        // The coins appear one after the other, each running through the cells 7 down to 0.
        const StageSlotView stage = c.stages.Slot(session.stageNo);
        if (appearCount == 0) {
            appearTimer.fill(16);
            appearCount = 1;
        }
        CopyField(media);
        DrawHud(media, session);
        for (int32_t i = 2; i < appearCount && i < stage.entityCount; ++i) {
            int32_t& timer = appearTimer[static_cast<size_t>(i)];
            timer = std::max(timer - 1, 0);
            devices.DrawSprite(stage.entityX[i], stage.entityY[i], cell::CoinFrame(timer / 2),
                               media.coinSheet.get());
        }
        if (appearCount < stage.entityCount) appearCount += 1;
        const bool noCoins = stage.entityCount <= 2;
        if (noCoins || appearTimer[static_cast<size_t>(stage.entityCount - 1)] == 0) {
            appearCount = 0;  // the counter moves on to 52 below
        } else {
            frame = 50;  // the counter stays at 51 through the phase
        }
        media.Pace(48);
        devices.Present();
    } else if (f == 52) {
        c.shell.ChangeScene(ScenePlay::kId);
        DrawCoins(media, c.stages, session, field);
        frame = -1;
    }
    // Frames 20 and 50 do nothing at all.
    frame += 1;
}

}  // namespace zarp

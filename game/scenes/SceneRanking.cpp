#include "game/scenes/SceneRanking.h"

#include <algorithm>
#include <string>
#include <utility>

#include "game/media/Media.h"
#include "game/scenes/SceneTitle.h"
#include "game/shell/Ranking.h"
#include "game/shell/Session.h"
#include "game/shell/Shell.h"

namespace zarp {

namespace {
constexpr int32_t kPlaces = kRankingPlaces;
// Place labels: the font draws the brackets and the bar as ordinal endings and as "10".
constexpr const char* kPlaceLabel[kPlaces] = {"1{", "2}", "3[", "4]", "5]",
                                              "6]", "7]", "8]", "9]", "|]"};
constexpr uint32_t kYellow = 0x0000FFFF;    // red 255, green 255, blue 0
constexpr uint32_t kDarkCyan = 0x007F7F00;  // red 0, green 127, blue 127
constexpr int32_t kHoldFrames = 4;          // a direction held longer than this moves once
constexpr int32_t kButtonDelay = 5;

std::string LastChars(const std::string& text, size_t count) {
    return text.size() > count ? text.substr(text.size() - count) : text;
}

// Stars fall at 1, 2 or 3 pixels per frame and come back in at the top, each in its column.
constexpr int32_t kStarSpeed = 6;
constexpr StarField::Reentry kStarReentry{false, 10, -10};
}  // namespace

void SceneRanking::RankingFrame(const Context& c, bool nameEntry) {
    Media& media = c.media;
    MediaDevices& devices = media.MediaDevices;
    Ranking& ranking = c.ranking;

    rankLatch.ClearIfUp(devices.IsPressed(ActA));

    if (!rankStarted) {
        stars.Scatter(c.random);
        if (nameEntry) {
            // A final score that beats the tenth place goes in, to be named here.
            const int32_t place = ranking.Insert(c.session.Player.score, c.session.stageNo);
            if (place >= 0) entryPlace = place;
        }
        if (!nameEntry) entryPlace = kNoEntry;
        devices.ClearBackBuffer();
        // Every way in has stopped the music already.
        media.StartMusic("bgm02.mid", /*repeat=*/true, PreviousPiece::alreadyStopped);
        rankStarted = true;
    }

    stars.Fall(kStarSpeed, c.random, kStarReentry);
    stars.Draw(devices, media.blockSheet.get());

    media.DrawText(0, 30, "RANK");
    media.DrawText(140, 30, "SCORE");
    media.DrawText(290, 30, "STAGE");
    media.DrawText(470, 30, "NAME");
    for (int32_t i = 0; i < kPlaces; ++i) {
        const int32_t y = 70 + 30 * i;
        media.DrawText(20, y, kPlaceLabel[i]);
        media.DrawText(120, y, LastChars("000000" + std::to_string(ranking.rankScore[i]), 7));
        media.DrawText(318, y, LastChars("0" + std::to_string(ranking.rankStage[i]), 2));
        media.DrawText(410, y, ranking.rankName[i]);
    }

    if (entryPlace == kNoEntry) {
        media.DrawText(120, 400, "Press Any Button...");
        if ((devices.IsPressed(ActA) || devices.IsPressed(ActB)) && rankLatch.Open()) Leave(c);
    } else {
        NameEntryFrame(c);
    }

    devices.Present();
    devices.ClearBackBuffer();
}

void SceneRanking::NameEntryFrame(const Context& c) {
    Media& media = c.media;
    MediaDevices& devices = media.MediaDevices;
    std::string& name = c.ranking.rankName[entryPlace];

    // The name cursor blinks: 5 frames of every 11.
    if (++blinkTick > 10) blinkTick = 0;
    if (blinkTick < 5) {
        devices.FillRectRgb(devices.backBuffer.get(), 410 + 23 * nameLen, 80 + 30 * entryPlace,
                            423 + 23 * nameLen, 93 + 30 * entryPlace, kYellow);
    }

    // Held directions move the grid cursor once every 5 frames; short presses add up.
    if (devices.IsPressed(ActLeft)) --holdX;
    if (devices.IsPressed(ActRight)) ++holdX;
    if (devices.IsPressed(ActUp)) --holdY;
    if (devices.IsPressed(ActDown)) ++holdY;
    if (holdX < -kHoldFrames) {
        holdX = 0;
        --gridCol;
    }
    if (holdX > kHoldFrames) {
        holdX = 0;
        ++gridCol;
    }
    if (holdY < -kHoldFrames) {
        holdY = 0;
        --gridRow;
    }
    if (holdY > kHoldFrames) {
        holdY = 0;
        ++gridRow;
    }
    if (gridCol < 0) gridCol = kGridColumns - 1;
    if (gridCol > kGridColumns - 1) gridCol = 0;
    if (gridRow < 0) gridRow = kGridRows - 1;
    if (gridRow > kGridRows - 1) gridRow = 0;

    devices.FillRectRgb(devices.backBuffer.get(), 20 + 23 * gridCol, 380 + 30 * gridRow,
                        44 + 23 * gridCol, 404 + 30 * gridRow, kDarkCyan);
    for (int32_t row = 0; row < kGridRows; ++row)
        media.DrawText(20, 380 + 30 * row, kLetterGrid[row]);

    if (delayA > 0) --delayA;
    if (delayB > 0) --delayB;

    // B deletes while held, one character every 5 frames.
    if (devices.IsPressed(ActB) && delayB == 0) {
        if (nameLen > 0) --nameLen;
        name.resize(std::min(name.size(), static_cast<size_t>(nameLen)));
        delayB = kButtonDelay;
    }

    if (rankLatch.Open() && devices.IsPressed(ActA) && delayA == 0) {
        delayA = kButtonDelay;
        devices.PlayEffect("Click.wav", 0);
        const bool onLastRow = gridRow == kGridRows - 1;
        if (onLastRow && gridCol == kEndColumn) {
            Leave(c);
        } else if (onLastRow && gridCol == kDeleteColumn && nameLen > 0) {
            --nameLen;
            name.resize(std::min(name.size(), static_cast<size_t>(nameLen)));
            rankLatch.Set();
        } else {
            rankLatch.Set();
            if (!(onLastRow && gridCol == kDeleteColumn)) {
                const char letter = kLetterGrid[gridRow][gridCol];
                name.push_back(letter);
                ++nameLen;
                if (nameLen == kNameMax) {
                    // Full: the cursor jumps to the end mark; another letter replaces the tenth.
                    gridCol = kEndColumn;
                    gridRow = kGridRows - 1;
                    nameLen = kNameMax - 1;
                    name.resize(static_cast<size_t>(nameLen));
                    name.push_back(letter);
                }
            }
        }
    }
}

void SceneRanking::Leave(const Context& c) {
    c.shell.ChangeScene(SceneTitle::kId);
    rankLatch.Set();
    nameLen = 0;
    gridRow = 0;
    gridCol = 0;
    entryPlace = kNoEntry;
    rankStarted = false;
    c.media.WipeScreen();
    c.media.StopMusic();
}

}  // namespace zarp

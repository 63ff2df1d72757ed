#include "game/scenes/SceneRanking.h"

#include <algorithm>
#include <string>
#include <utility>

#include "game/shell/Form.h"

namespace zarp {

namespace {
constexpr int32_t kPlaces = 10;
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

Rect StarPixel(int32_t i) {
    return Rect{320 + i % 20, 32, 321 + i % 20, 33};
}
}  // namespace

void SceneRanking::RankingFrame(TForm1& form, bool nameEntry) {
    MediaDevices& media = form.MediaDevices;

    if (!media.IsPressed(ActA)) rankLatch = false;

    if (!rankStarted) {
        for (int32_t i = 0; i < kStars; ++i) {
            starX[i] = form.random.Next() % 640;
            starY[i] = form.random.Next() % 480;
        }
        if (nameEntry && form.Player.score > form.rankScore[kPlaces - 1]) InsertScore(form);
        if (!nameEntry) entryPlace = kNoEntry;
        media.ClearBackBuffer();
        form.MediaPlayer1.Close();
        form.MediaPlayer1.FileName = form.exeDir + "bgm02.mid";
        form.MediaPlayer1.Open();
        form.MediaPlayer1.Play();
        form.musicRepeat = true;
        rankStarted = true;
    }

    // Stars fall at 1, 2 or 3 pixels per frame and come back in at the top.
    for (int32_t i = 0; i < kStars; ++i) {
        starY[i] += i % 3 + 1;
        if (starY[i] > 480) starY[i] = form.random.Next() % 10 - 10;
        media.DrawSprite(starX[i], starY[i], StarPixel(i), form.blockSheet.get());
    }

    form.DrawText(0, 30, "RANK");
    form.DrawText(140, 30, "SCORE");
    form.DrawText(290, 30, "STAGE");
    form.DrawText(470, 30, "NAME");
    for (int32_t i = 0; i < kPlaces; ++i) {
        const int32_t y = 70 + 30 * i;
        form.DrawText(20, y, kPlaceLabel[i]);
        form.DrawText(120, y, LastChars("000000" + std::to_string(form.rankScore[i]), 7));
        form.DrawText(318, y, LastChars("0" + std::to_string(form.rankStage[i]), 2));
        form.DrawText(410, y, form.rankName[i]);
    }

    if (entryPlace == kNoEntry) {
        form.DrawText(120, 400, "Press Any Button...");
        if ((media.IsPressed(ActA) || media.IsPressed(ActB)) && !rankLatch) Leave(form);
    } else {
        NameEntryFrame(form);
    }

    media.Present();
    media.ClearBackBuffer();
}

// Puts the final score below every equal or better one; the former tenth place drops out.
void SceneRanking::InsertScore(TForm1& form) {
    const int32_t score = form.Player.score;
    int32_t p = 0;
    while (p < kPlaces && form.rankScore[p] >= score)
        ++p;
    if (p >= kPlaces) return;
    // The new table is made beside the old one and then swapped in, so that whatever happens
    // on the way the form holds one whole ranking or the other.
    auto scores = form.rankScore;
    auto stages = form.rankStage;
    auto names = form.rankName;
    for (int32_t k = kPlaces - 1; k > p; --k) {
        scores[k] = scores[k - 1];
        stages[k] = stages[k - 1];
        names[k] = std::move(names[k - 1]);
    }
    scores[p] = score;
    stages[p] = form.stageNo;
    names[p].clear();
    form.rankScore = scores;
    form.rankStage = stages;
    form.rankName.swap(names);
    entryPlace = p;
}

void SceneRanking::NameEntryFrame(TForm1& form) {
    MediaDevices& media = form.MediaDevices;
    std::string& name = form.rankName[entryPlace];

    // The name cursor blinks: 5 frames of every 11.
    if (++blinkTick > 10) blinkTick = 0;
    if (blinkTick < 5) {
        media.FillRectRgb(media.backBuffer.get(), 410 + 23 * nameLen, 80 + 30 * entryPlace,
                          423 + 23 * nameLen, 93 + 30 * entryPlace, kYellow);
    }

    // Held directions move the grid cursor once every 5 frames; short presses add up.
    if (media.IsPressed(ActLeft)) --holdX;
    if (media.IsPressed(ActRight)) ++holdX;
    if (media.IsPressed(ActUp)) --holdY;
    if (media.IsPressed(ActDown)) ++holdY;
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

    media.FillRectRgb(media.backBuffer.get(), 20 + 23 * gridCol, 380 + 30 * gridRow,
                      44 + 23 * gridCol, 404 + 30 * gridRow, kDarkCyan);
    for (int32_t row = 0; row < kGridRows; ++row)
        form.DrawText(20, 380 + 30 * row, kLetterGrid[row]);

    if (delayA > 0) --delayA;
    if (delayB > 0) --delayB;

    // B deletes while held, one character every 5 frames.
    if (media.IsPressed(ActB) && delayB == 0) {
        if (nameLen > 0) --nameLen;
        name.resize(std::min(name.size(), static_cast<size_t>(nameLen)));
        delayB = kButtonDelay;
    }

    if (!rankLatch && media.IsPressed(ActA) && delayA == 0) {
        delayA = kButtonDelay;
        media.PlayEffect("Click.wav", 0);
        const bool onLastRow = gridRow == kGridRows - 1;
        if (onLastRow && gridCol == kEndColumn) {
            Leave(form);
        } else if (onLastRow && gridCol == kDeleteColumn && nameLen > 0) {
            --nameLen;
            name.resize(std::min(name.size(), static_cast<size_t>(nameLen)));
            rankLatch = true;
        } else {
            rankLatch = true;
            if (!(onLastRow && gridCol == kDeleteColumn)) {
                const char c = kLetterGrid[gridRow][gridCol];
                name.push_back(c);
                ++nameLen;
                if (nameLen == kNameMax) {
                    // Full: the cursor jumps to the end mark; another letter replaces the tenth.
                    gridCol = kEndColumn;
                    gridRow = kGridRows - 1;
                    nameLen = kNameMax - 1;
                    name.resize(static_cast<size_t>(nameLen));
                    name.push_back(c);
                }
            }
        }
    }
}

void SceneRanking::Leave(TForm1& form) {
    form.scene = SceneTitle::kId;
    rankLatch = true;
    nameLen = 0;
    gridRow = 0;
    gridCol = 0;
    entryPlace = kNoEntry;
    rankStarted = false;
    form.WipeScreen();
    form.MediaPlayer1.Stop();
    form.musicRepeat = false;
}

}  // namespace zarp

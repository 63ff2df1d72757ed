#include "game/scenes/SceneEnding.h"

#include <algorithm>
#include <string>

#include "game/scenes/Credits.h"
#include "game/shell/Form.h"

namespace zarp {

namespace {
constexpr const char* kCongratulations = "Congratulations!!!";
constexpr const char* kThankYouTyped = "THANK YOU FOR YOUR PLAYING!!!";
constexpr const char* kThankYou = "THANK YOU FOR YOUR PLAYING!!";
constexpr double kCongratsScale = 1.7;
constexpr int32_t kTopSpeed = 128;

Rect StarPixel(int32_t i) {
    return Rect{320 + i % 20, 32, 321 + i % 20, 33};
}

std::string Prefix(const char* text, int32_t count) {
    return std::string(text).substr(0, static_cast<size_t>(std::max(count, 0)));
}
}  // namespace

// The first `lines` credit lines, each `dropY` rows below its place.
void SceneEnding::DrawCredits(TForm1& form, int32_t lines, int32_t dropY) {
    if (lines >= 2) {
        form.DrawText(50, 160 + dropY, " GAME DESIGN / PROGRAM");
        form.DrawText(50, 190 + dropY, kDesignNameLine);
    }
    if (lines >= 4) {
        form.DrawText(50, 240 + dropY, "        MUSIC");
        form.DrawText(50, 270 + dropY, kMusicNameLine);
    }
    if (lines >= 6) {
        // A user set credits its own map designer, centred at 12 pixels per character.
        if (form.userStageMode) {
            form.DrawText(50, 330 + dropY, "      MAP DESIGN");
        } else {
            form.DrawText(50, 330 + dropY, "     TEST PLAYER");
            form.stageAuthor = kTestPlayersLine;
        }
        const int32_t length = static_cast<int32_t>(form.stageAuthor.size());
        form.DrawText(320 - 12 * length, 360 + dropY, form.stageAuthor);
    }
}

void SceneEnding::Frame(TForm1& form) {
    MediaDevices& media = form.MediaDevices;
    const int32_t e = endingFrame;

    if (!media.IsPressed(ActA)) endingLatch = false;

    if (e == 0) {
        for (int32_t i = 0; i < kStars; ++i) {
            starX[i] = form.random.Next() % 640;
            starY[i] = form.random.Next() % 480;
        }
        form.musicRepeat = false;  // the ending's piece plays once
        form.StartMusic("bgm03.mid");
    }

    // Each star keeps the colour of its index through every respawn.
    for (int32_t i = 0; i < kStars; ++i) {
        media.DrawSprite(starX[i], starY[i], StarPixel(i), form.blockSheet.get());
    }

    // The congratulation is typed, rises, waits, then shrinks away.
    if (e > 12 && e < 48) {
        form.DrawTextScaled(0, 200, Prefix(kCongratulations, (e - 12) / 2), kCongratsScale);
        if (e % 2 == 0) media.PlayEffect("shya.wav", 0);
        form.Pace(32);
    }
    if (e > 47 && e < 61) {
        form.DrawTextScaled(0, 670 - 10 * e, "Congratulations!", kCongratsScale);
        form.Pace(32);
    }
    if (e > 60 && e < 100) {
        form.DrawTextScaled(0, 60, "Congratulations!", kCongratsScale);
        form.Pace(32);
    }
    if (e > 62 && e < 100) {
        form.Pace(60);
        DrawCredits(form, e > 82 ? 6 : e > 72 ? 4 : 2, 0);
    }
    if (e > 99 && e < 116) {
        congratsScale -= 0.1;
        form.DrawTextScaled(0, 60, "Congratulations!", congratsScale);
        DrawCredits(form, 6, 0);
        if (e == 115) congratsScale = kCongratsScale;
    }

    // The credits fall away while the stars race downward.
    if (e > 115 && e < 330) {
        if (e < 170) DrawCredits(form, 6, fallOffset / 2);
        fallSpeed = std::min(fallSpeed + 1, kTopSpeed);
        fallOffset += fallSpeed;
        for (int32_t i = 0; i < kStars; ++i) {
            starY[i] += (i % 3 + 1) * fallSpeed / 6;
            if (starY[i] > 480) {
                starX[i] = form.random.Next() % 640;
                starY[i] = form.random.Next() % 30 - 80;
            }
        }
        if (e == 329) {
            fallSpeed = 0;
            fallOffset = 0;
        }
    }

    // The stars slow down to a stop.
    if (e > 329 && e < 460) {
        slowSpeed = std::max(slowSpeed - 1, 0);
        for (int32_t i = 0; i < kStars; ++i) {
            starY[i] += (i % 3 + 1) * slowSpeed / 6;
            if (starY[i] > 480) {
                starX[i] = form.random.Next() % 640;
                starY[i] = form.random.Next() % 10 - 64;
            }
        }
        if (e == 459) slowSpeed = kTopSpeed;
    }

    if (e > 459 && e < 545) {
        if (e % 3 == 0) media.PlayEffect("shya.wav", 0);
        form.DrawText(0, 200, Prefix(kThankYouTyped, (e - 459) / 3));
    }
    if (e > 544) {
        form.DrawText(0, 200, kThankYou);
        if (e > 560) form.DrawTextScaled(70, 300, kCopyrightLine, 0.8);
        if (e == 561) media.PlayEffect("clear.wav", 0);
    }

    endingFrame = e + 1;

    if (!endingLatch && media.IsPressed(ActA) && endingFrame > 570) {
        form.MediaPlayer1.Stop();
        form.musicRepeat = false;
        form.WipeScreen();
        form.scene = form.userStageMode ? SceneTitle::kId : SceneRanking::kEntryId;
        endingLatch = true;
        endingFrame = 0;
    }

    media.Present();
    media.ClearBackBuffer();
}

}  // namespace zarp

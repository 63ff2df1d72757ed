#include "game/scenes/SceneEnding.h"

#include <algorithm>
#include <string>

#include "game/media/Media.h"
#include "game/play/StageSet.h"
#include "game/scenes/Credits.h"
#include "game/scenes/SceneRanking.h"
#include "game/scenes/SceneTitle.h"
#include "game/shell/Session.h"
#include "game/shell/Shell.h"

namespace zarp {

namespace {
constexpr const char* kCongratulations = "Congratulations!!!";
constexpr const char* kThankYouTyped = "THANK YOU FOR YOUR PLAYING!!!";
constexpr const char* kThankYou = "THANK YOU FOR YOUR PLAYING!!";
constexpr double kCongratsScale = 1.7;
constexpr int32_t kTopSpeed = 128;
// While the credits fall the stars race in from far above; then they slow down to a stop.
constexpr StarField::Reentry kRaceReentry{true, 30, -80};
constexpr StarField::Reentry kSlowReentry{true, 10, -64};

std::string Prefix(const char* text, int32_t count) {
    return std::string(text).substr(0, static_cast<size_t>(std::max(count, 0)));
}
}  // namespace

// The first `lines` credit lines, each `dropY` rows below its place.
void SceneEnding::DrawCredits(const Context& c, int32_t lines, int32_t dropY) {
    Media& media = c.media;
    if (lines >= 2) {
        media.DrawText(50, 160 + dropY, " GAME DESIGN / PROGRAM");
        media.DrawText(50, 190 + dropY, kDesignNameLine);
    }
    if (lines >= 4) {
        media.DrawText(50, 240 + dropY, "        MUSIC");
        media.DrawText(50, 270 + dropY, kMusicNameLine);
    }
    if (lines >= 6) {
        // A user set credits its own map designer, centred at 12 pixels per character; the
        // built-in set its test players.
        const bool userSet = c.session.userStageMode;
        media.DrawText(50, 330 + dropY, userSet ? "      MAP DESIGN" : "     TEST PLAYER");
        const std::string names = userSet ? c.stages.stageAuthor : std::string(kTestPlayersLine);
        const int32_t length = static_cast<int32_t>(names.size());
        media.DrawText(320 - 12 * length, 360 + dropY, names);
    }
}

void SceneEnding::Frame(const Context& c) {
    Media& media = c.media;
    MediaDevices& devices = media.MediaDevices;
    const int32_t e = endingFrame;

    endingLatch.ClearIfUp(devices.IsPressed(ActA));

    if (e == 0) {
        stars.Scatter(c.random);
        media.StartMusic("bgm03.mid", /*repeat=*/false);  // the ending's piece plays once
    }

    stars.Draw(devices, media.blockSheet.get());

    // The congratulation is typed, rises, waits, then shrinks away.
    if (e > 12 && e < 48) {
        media.DrawTextScaled(0, 200, Prefix(kCongratulations, (e - 12) / 2), kCongratsScale);
        if (e % 2 == 0) devices.PlayEffect("shya.wav", 0);
        media.Pace(32);
    }
    if (e > 47 && e < 61) {
        media.DrawTextScaled(0, 670 - 10 * e, "Congratulations!", kCongratsScale);
        media.Pace(32);
    }
    if (e > 60 && e < 100) {
        media.DrawTextScaled(0, 60, "Congratulations!", kCongratsScale);
        media.Pace(32);
    }
    if (e > 62 && e < 100) {
        media.Pace(60);
        DrawCredits(c, e > 82 ? 6 : e > 72 ? 4 : 2, 0);
    }
    if (e > 99 && e < 116) {
        congratsScale -= 0.1;
        media.DrawTextScaled(0, 60, "Congratulations!", congratsScale);
        DrawCredits(c, 6, 0);
        if (e == 115) congratsScale = kCongratsScale;
    }

    // The credits fall away while the stars race downward.
    if (e > 115 && e < 330) {
        if (e < 170) DrawCredits(c, 6, fallOffset / 2);
        fallSpeed = std::min(fallSpeed + 1, kTopSpeed);
        fallOffset += fallSpeed;
        stars.Fall(fallSpeed, c.random, kRaceReentry);
        if (e == 329) {
            fallSpeed = 0;
            fallOffset = 0;
        }
    }

    // The stars slow down to a stop.
    if (e > 329 && e < 460) {
        slowSpeed = std::max(slowSpeed - 1, 0);
        stars.Fall(slowSpeed, c.random, kSlowReentry);
        if (e == 459) slowSpeed = kTopSpeed;
    }

    if (e > 459 && e < 545) {
        if (e % 3 == 0) devices.PlayEffect("shya.wav", 0);
        media.DrawText(0, 200, Prefix(kThankYouTyped, (e - 459) / 3));
    }
    if (e > 544) {
        media.DrawText(0, 200, kThankYou);
        if (e > 560) media.DrawTextScaled(70, 300, kCopyrightLine, 0.8);
        if (e == 561) devices.PlayEffect("clear.wav", 0);
    }

    endingFrame = e + 1;

    if (endingLatch.Open() && devices.IsPressed(ActA) && endingFrame > 570) {
        media.StopMusic();
        media.WipeScreen();
        c.shell.ChangeScene(c.session.userStageMode ? SceneTitle::kId : SceneRanking::kEntryId);
        endingLatch.Set();
        endingFrame = 0;
    }

    devices.Present();
    devices.ClearBackBuffer();
}

}  // namespace zarp

// The form's media: the devices, the music player and the pictures every scene draws with,
// and the drawing, waiting and music operations the scenes share.
#pragma once

#include <cstdint>
#include <string>

#include "game/media/MediaDevices.h"
#include "game/media/MediaPlayer.h"
#include "game/media/Random.h"
#include "game/platform/Platform.h"

namespace zarp {

// How StartMusic leaves the piece before: stopped first (the usual way), or only closed, for a
// scene that every way in has already stopped the music.
enum class PreviousPiece { stop, alreadyStopped };

struct Media {
    // `folder` holds the sound effects and the music (with its trailing separator); `palette`
    // is the palette file. Pending messages go to `sink` whenever a wipe or a wait lets them in.
    Media(platform::Platform& platform, Random& random, const std::string& folder,
          std::string palette, platform::MessageSink& sink);
    Media(const Media&) = delete;
    Media& operator=(const Media&) = delete;

    zarp::MediaDevices MediaDevices;
    MediaPlayer MediaPlayer1;
    std::string musicFolder;  // with trailing separator
    std::string paletteFile;
    // The background music is started again when it ends.
    bool musicRepeat = false;

    // The sheets and the stage picture, released at shutdown in this order.
    SurfacePtr playerSheet, coinSheet, blockSheet, fontSheet, titleSheet, cwinSheet,
        backgroundSurface;

    // The end of the previous Pace.
    uint32_t lastPaceTick = 0;

    // The six built-in sheets and the empty stage picture; a sheet that fails stays absent.
    void LoadSheets();
    void ReleaseSurfaces();

    void DrawText(int32_t x, int32_t y, const std::string& text);
    void DrawTextScaled(int32_t x, int32_t y, const std::string& text, double scale);
    // Two curtains close over the screen, letting messages in between their steps.
    void WipeScreen();
    // Waits until `ms` after the end of the previous Pace, letting messages in; Shift skips it.
    void Pace(uint32_t ms);
    // The stage picture back into the back buffer, for the next frame to draw over.
    void RestoreStagePicture();
    // Stops the piece before (see PreviousPiece), closes it, opens `name` from the music
    // folder and plays it; `repeat` says whether it starts again when it ends.
    void StartMusic(const std::string& name, bool repeat,
                    PreviousPiece previous = PreviousPiece::stop);
    // The music stops and stays off until a scene starts it again.
    void StopMusic();
    void ProcessMessages();

  private:
    platform::Platform& platform_;
    platform::MessageSink& sink_;
};

}  // namespace zarp

// What the game asks of the page: the functions of library_zarp.js, which hand each call to the
// page's script (page.js).
#pragma once

#include <cstdint>

namespace zarp::web {

// Events of zarp_next_event besides key-downs (0..255, virtual-key codes).
inline constexpr int kEventSetsChanged = 256;  // the player added stage sets

extern "C" {
// Milliseconds of the page's clock, with fractions.
double zarp_now();
// Sleeps (through ASYNCIFY) until the page's clock reads `dueMs`.
void zarp_sleep_until(double dueMs);
// The next event for the game, or -1.
int zarp_next_event();
int zarp_key_held(int virtualKey);
// x, y (0..65535) and the button mask of the first game pad; 0 without one.
int zarp_gamepad(int32_t* xyButtons);
int zarp_screen_open();
// Draws 640 x 480 pixels, 4 bytes each in canvas order.
void zarp_present(const uint32_t* rgba);
void zarp_dialog_open(const char* caption, const char* text, int buttons, int icon);
// The answer of the open dialog (platform::Answer), or -1 while it waits.
int zarp_dialog_answer();
int zarp_audio_init();
// Seconds of the audio clock.
double zarp_audio_time();
int zarp_voice_play(int slot, int channels, int rate, int bits, const uint8_t* data, int size,
                    double leftGain, double rightGain);
int zarp_voice_playing(int slot);
void zarp_voice_stop(int slot);
void zarp_beep();
void zarp_music_start(const char* recording, double offsetSeconds);
void zarp_music_stop();
// Copies the page's data into the game's folder, with what the browser's storage kept.
void zarp_prepare_files(const char* folder);
// Keeps the file in the browser's storage under its name.
void zarp_store_file(const char* path);
// Shows the overlay with `text` and sleeps until the player clicks or presses a key.
void zarp_wait_for_player(const char* text);
// Notes the end of a frame and the scene it ended in, for the pacing figures and the tests.
void zarp_frame_done(int scene);
}

}  // namespace zarp::web

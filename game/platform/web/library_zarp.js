// The functions the game calls (game/platform/web/Page.h), each handed to the page's script
// (page.js, ZarpPage). The two that wait sleep through ASYNCIFY.
mergeInto(LibraryManager.library, {
  zarp_now: function () { return performance.now(); },
  zarp_sleep_until: function (due) {
    return Asyncify.handleSleep(function (wakeUp) { ZarpPage.sleepUntil(due, wakeUp); });
  },
  zarp_wait_for_player: function (text) {
    return Asyncify.handleSleep(function (wakeUp) {
      ZarpPage.waitForPlayer(UTF8ToString(text), wakeUp);
    });
  },
  zarp_next_event: function () { return ZarpPage.nextEvent(); },
  zarp_key_held: function (key) { return ZarpPage.keyHeld(key) ? 1 : 0; },
  zarp_gamepad: function (out) { return ZarpPage.gamepad(out); },
  zarp_screen_open: function () { return ZarpPage.screenOpen() ? 1 : 0; },
  zarp_present: function (rgba) { ZarpPage.present(rgba); },
  zarp_dialog_open: function (caption, text, buttons, icon) {
    ZarpPage.dialogOpen(UTF8ToString(caption), UTF8ToString(text), buttons, icon);
  },
  zarp_dialog_answer: function () { return ZarpPage.dialogAnswer(); },
  zarp_audio_init: function () { return ZarpPage.audioInit() ? 1 : 0; },
  zarp_audio_time: function () { return ZarpPage.audioTime(); },
  zarp_voice_play: function (slot, channels, rate, bits, data, size, left, right) {
    return ZarpPage.voicePlay(slot, channels, rate, bits, data, size, left, right) ? 1 : 0;
  },
  zarp_voice_playing: function (slot) { return ZarpPage.voicePlaying(slot) ? 1 : 0; },
  zarp_voice_stop: function (slot) { ZarpPage.voiceStop(slot); },
  zarp_beep: function () { ZarpPage.beep(); },
  zarp_music_start: function (name, offset) { ZarpPage.musicStart(UTF8ToString(name), offset); },
  zarp_music_stop: function () { ZarpPage.musicStop(); },
  zarp_prepare_files: function (folder) { ZarpPage.prepareFiles(UTF8ToString(folder)); },
  zarp_store_file: function (path) { ZarpPage.storeFile(UTF8ToString(path)); },
  zarp_frame_done: function (scene) { ZarpPage.frameDone(scene); },
});

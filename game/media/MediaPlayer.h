// The hidden media player of the form: a file name, Open, Play, Stop, Close, and for the next
// command only a Notify and a Wait choice. Ends arrive as MusicNotify messages.
#pragma once

#include <string>

#include "game/platform/Platform.h"

namespace zarp {

class MediaPlayer {
  public:
    explicit MediaPlayer(platform::Music& music) : music_(music) {}

    std::string FileName;

    void Open() {
        TakeChoices();
        opened_ = music_.Open(FileName);
    }
    void Play() {
        const bool notify = TakeChoices();
        if (!opened_) return;
        music_.Play(notify);
        playNotify_ = notify;
    }
    // Stopping or closing a piece that plays with notification raises it (the device reports
    // the play as ended), whatever this command's own choice.
    void Stop() {
        TakeChoices();
        music_.Stop(playNotify_);
    }
    void Close() {
        TakeChoices();
        music_.Close(playNotify_);
        opened_ = false;
    }
    // Each applies to the next command only; without a choice a command asks for notification.
    void SetNotify(bool notify) {
        notify_ = notify;
        notifySet_ = true;
    }
    void SetWait(bool wait) { wait_ = wait; }

  private:
    // The notify choice for this command; both choices then go back to their defaults.
    bool TakeChoices() {
        const bool notify = notifySet_ ? notify_ : true;
        notifySet_ = false;
        wait_ = false;
        return notify;
    }
    platform::Music& music_;
    bool opened_ = false;
    bool notify_ = true;
    bool notifySet_ = false;
    bool wait_ = false;        // commands never block the game; kept for the form's set-up
    bool playNotify_ = false;  // the piece now playing asked for notification
};

}  // namespace zarp

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

    void Open() { opened_ = music_.Open(FileName); TakeNotify(); }
    void Play() { if (opened_) music_.Play(TakeNotify()); else TakeNotify(); }
    void Stop() { music_.Stop(TakeNotify()); }
    void Close() { music_.Close(TakeNotify()); opened_ = false; }
    // Applies to the next command only; without it a command asks for notification.
    void SetNotify(bool notify) { notify_ = notify; notifySet_ = true; }
    void SetWait(bool wait) { wait_ = wait; }

private:
    bool TakeNotify() {
        bool notify = notifySet_ ? notify_ : true;
        notifySet_ = false;
        return notify;
    }
    platform::Music& music_;
    bool opened_ = false;
    bool notify_ = true;
    bool notifySet_ = false;
    bool wait_ = false;
};

}  // namespace zarp

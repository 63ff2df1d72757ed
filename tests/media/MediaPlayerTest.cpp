// The form's media player: the notify choice holds for the next command only, and stopping or
// closing a piece reports its end when the piece was playing with notification.
#include <gtest/gtest.h>

#include <functional>

#include "game/media/MediaPlayer.h"

namespace zarp::test {
namespace {

// A music device that writes down every command with the notify flag it was given.
struct RecordingMusic : platform::Music {
    bool openResult = true;
    std::vector<std::string> commands;
    bool Open(const std::string& path) override {
        commands.push_back("open " + path);
        return openResult;
    }
    bool Play(bool notify) override {
        commands.push_back(notify ? "play notify" : "play");
        return true;
    }
    void Stop(bool notify) override { commands.push_back(notify ? "stop notify" : "stop"); }
    void Close(bool notify) override { commands.push_back(notify ? "close notify" : "close"); }
};

TEST(MediaPlayer, NotifyChoiceAndWhatStopAndCloseReport) {
    struct Case {
        const char* what;
        std::function<void(MediaPlayer&)> commands;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"every command asks for notification by default",
         [](MediaPlayer& p) {
             p.Open();
             p.Play();
             p.Stop();
             p.Close();
         },
         {"open a.mid", "play notify", "stop notify", "close notify"}},
        {"a piece playing without notification is stopped and closed silently",
         [](MediaPlayer& p) {
             p.Open();
             p.SetNotify(false);
             p.Play();
             p.Stop();
             p.Close();
         },
         {"open a.mid", "play", "stop", "close"}},
        {"a piece playing with notification reports its stop whatever the stop's choice",
         [](MediaPlayer& p) {
             p.Open();
             p.Play();
             p.SetNotify(false);
             p.Stop();
         },
         {"open a.mid", "play notify", "stop notify"}},
        {"the choice holds for the next command only",
         [](MediaPlayer& p) {
             p.SetNotify(false);
             p.Open();
             p.Play();
         },
         {"open a.mid", "play notify"}},
        {"the handler's Notify := true after Play",
         [](MediaPlayer& p) {
             p.Open();
             p.SetNotify(false);
             p.Play();
             p.SetNotify(true);
             p.Play();
         },
         {"open a.mid", "play", "play notify"}},
        {"nothing open: Play does nothing",
         [](MediaPlayer& p) {
             p.Play();
             p.Open();
             p.Close();
             p.Play();
         },
         {"open a.mid", "close"}},
    };
    for (const Case& c : cases) {
        RecordingMusic music;
        MediaPlayer player(music);
        player.FileName = "a.mid";
        c.commands(player);
        EXPECT_EQ(music.commands, c.expected) << c.what;
    }
}

}  // namespace
}  // namespace zarp::test

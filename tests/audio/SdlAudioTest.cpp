// The SDL sound and music backend on SDL's dummy and disk audio drivers (no sound card):
// voices with pan, the beep, and every piece rendered through SDL2_mixer and FluidSynth.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "game/platform/sdl/SdlAudio.h"
#include "tests/support/Files.h"
#include "tests/support/MidiBytes.h"
#include "tools/assetgen/audio/Score.h"

namespace fs = std::filesystem;
using zarp::sdl::SdlAudio;
using zarp::sdl::SdlMusic;

namespace {

const fs::path kDist = ZARP_TEST_DIST_DIR;

// No sound card is needed: the dummy driver mixes in real time and throws the sound away;
// the disk driver, with a delay of 1 ms per mix, renders many times faster than real time.
void UseHeadlessAudio(bool fast) {
    setenv("SDL_AUDIODRIVER", fast ? "disk" : "dummy", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
}

// Waits (in wall time, bounded) until `done` holds.
template <typename F>
bool WaitFor(F done, double seconds = 20) {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Collects the final mix (signed 16-bit stereo, as the mixer is opened) after every pass.
struct Capture {
    std::mutex mutex;
    std::vector<int16_t> samples;
    size_t wanted = 0;

    static void SDLCALL Take(void* self, Uint8* stream, int length) {
        auto* c = static_cast<Capture*>(self);
        std::lock_guard lock(c->mutex);
        if (c->samples.size() >= c->wanted) return;
        auto* s = reinterpret_cast<const int16_t*>(stream);
        c->samples.insert(c->samples.end(), s, s + length / 2);
    }
    bool Full() {
        std::lock_guard lock(mutex);
        return samples.size() >= wanted;
    }
};

double RmsDb(const std::vector<int16_t>& s, size_t from, size_t to, int channel = -1) {
    double sum = 0;
    size_t count = 0;
    for (size_t i = from; i < to && i < s.size(); ++i) {
        if (channel >= 0 && static_cast<int>(i % 2) != channel) continue;
        sum += (s[i] / 32768.0) * (s[i] / 32768.0);
        ++count;
    }
    return count == 0 || sum == 0 ? -200 : 10 * std::log10(sum / count);
}

bool MixerIsStereo16() {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    return Mix_QuerySpec(&rate, &format, &channels) != 0 && format == AUDIO_S16SYS && channels == 2;
}

std::vector<uint8_t> Tone(double seconds, double hz = 440) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < static_cast<int>(22050 * seconds); ++i) {
        auto v = static_cast<int16_t>(12000 * std::sin(2 * M_PI * hz * i / 22050));
        bytes.push_back(static_cast<uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
    return bytes;
}

bool PendingMusicEvent() {
    SDL_PumpEvents();
    SDL_Event event;
    return SDL_PeepEvents(&event, 1, SDL_GETEVENT, zarp::sdl::MusicEventType(),
                          zarp::sdl::MusicEventType()) == 1;
}

bool HaveSoundFont() {
    return !zarp::sdl::FindSoundFont(std::getenv("SDL_SOUNDFONTS")).empty();
}

TEST(PanGains, FarSideIsAttenuatedByHundredthsOfADecibel) {
    struct Case {
        int pan;
        uint8_t left, right;
    };
    const Case cases[] = {{0, 255, 255},    {-600, 255, 128}, {600, 128, 255},
                          {-2000, 255, 26}, {-8000, 255, 0},  {8000, 0, 255},
                          {-10000, 255, 0}, {-30000, 255, 0}, {30000, 0, 255}};
    for (const auto& c : cases) {
        EXPECT_EQ(zarp::sdl::GainsForPan(c.pan), (zarp::sdl::PanGains{c.left, c.right}))
            << "pan " << c.pan;
    }
}

TEST(FindSoundFont, TheSettingComesFirstThenTheSystemFonts) {
    EXPECT_EQ(zarp::sdl::FindSoundFont("/my/own.sf2"), "/my/own.sf2");
    std::string system = zarp::sdl::FindSoundFont(nullptr);
    EXPECT_EQ(zarp::sdl::FindSoundFont(""), system);
    if (!system.empty()) {
        EXPECT_EQ(system.rfind("/usr/share/sounds/sf2/", 0), 0u);
    }
}

TEST(SdlAudioVoices, AVoicePlaysForItsLengthAndStopsOnRequest) {
    UseHeadlessAudio(false);
    SdlAudio audio;
    ASSERT_TRUE(audio.Init()) << SDL_GetError();
    zarp::platform::PcmFormat format;  // 22050 Hz mono 16-bit
    auto tone = Tone(0.4);

    ASSERT_TRUE(audio.PlayVoice(3, format, tone.data(), tone.size(), 0, "tone.wav"));
    EXPECT_TRUE(audio.IsVoicePlaying(3));
    EXPECT_FALSE(audio.IsVoicePlaying(2));
    EXPECT_TRUE(WaitFor([&] { return !audio.IsVoicePlaying(3); }));

    ASSERT_TRUE(audio.PlayVoice(0, format, tone.data(), tone.size(), -8000, "tone.wav"));
    EXPECT_TRUE(audio.IsVoicePlaying(0));
    audio.StopVoice(0);
    EXPECT_FALSE(audio.IsVoicePlaying(0));
}

TEST(SdlAudioVoices, BadRequestsFailWithoutHarm) {
    UseHeadlessAudio(false);
    SdlAudio audio;
    zarp::platform::PcmFormat format;
    auto tone = Tone(0.05);
    EXPECT_FALSE(audio.PlayVoice(0, format, tone.data(), tone.size(), 0, "before Init"));
    ASSERT_TRUE(audio.Init());

    zarp::platform::PcmFormat bits24 = format, noChannels = format, slowRate = format;
    bits24.bitsPerSample = 24;
    noChannels.channels = 0;
    slowRate.samplesPerSec = 10;
    struct Case {
        int slot;
        zarp::platform::PcmFormat format;
        const uint8_t* data;
        size_t size;
    };
    const Case cases[] = {
        {-1, format, tone.data(), tone.size()},  {8, format, tone.data(), tone.size()},
        {0, bits24, tone.data(), tone.size()},   {0, noChannels, tone.data(), tone.size()},
        {0, slowRate, tone.data(), tone.size()}, {0, format, nullptr, 100}};
    for (const auto& c : cases) {
        EXPECT_FALSE(audio.PlayVoice(c.slot, c.format, c.data, c.size, 0, "bad"));
        EXPECT_FALSE(audio.IsVoicePlaying(c.slot));
    }
    // A torn last sample frame is dropped; an empty sound plays nothing.
    EXPECT_TRUE(audio.PlayVoice(1, format, tone.data(), tone.size() - 1, 0, "odd"));
    EXPECT_TRUE(audio.PlayVoice(2, format, tone.data(), 0, 0, "empty"));
    EXPECT_FALSE(audio.IsVoicePlaying(2));
    audio.StopVoice(-5);
    audio.StopVoice(99);
}

TEST(SdlAudioVoices, PanLeftLeavesTheRightSideSilentAndTheBeepKeepsOffTheVoices) {
    UseHeadlessAudio(false);
    SdlAudio audio;
    ASSERT_TRUE(audio.Init());
    if (!MixerIsStereo16()) GTEST_SKIP() << "mixer is not 16-bit stereo";
    Capture capture;
    capture.wanted = 44100 * 2 / 4;  // a quarter second
    zarp::platform::PcmFormat format;
    auto tone = Tone(2.0);
    ASSERT_TRUE(audio.PlayVoice(5, format, tone.data(), tone.size(), -8000, "left"));
    Mix_SetPostMix(&Capture::Take, &capture);
    ASSERT_TRUE(WaitFor([&] { return capture.Full(); }));
    Mix_SetPostMix(nullptr, nullptr);
    double left = RmsDb(capture.samples, 0, capture.samples.size(), 0);
    double right = RmsDb(capture.samples, 0, capture.samples.size(), 1);
    EXPECT_GT(left, -30);
    EXPECT_LT(right, left - 40);

    audio.StopVoice(5);
    audio.Beep();
    EXPECT_TRUE(Mix_Playing(zarp::sdl::kVoiceChannels) ||
                Mix_Playing(zarp::sdl::kVoiceChannels + 1));
    for (int slot = 0; slot < zarp::sdl::kVoiceChannels; ++slot)
        EXPECT_FALSE(audio.IsVoicePlaying(slot)) << slot;
}

TEST(SdlMusicRender, EveryPieceSoundsFromItsFirstBeat) {
    if (!HaveSoundFont()) GTEST_SKIP() << "no General MIDI soundfont";
    UseHeadlessAudio(true);
    for (const char* name : {"bgm00.mid", "bgm01.mid", "bgm02.mid", "bgm03.mid"}) {
        SCOPED_TRACE(name);
        SdlMusic music;
        ASSERT_TRUE(music.Open((kDist / name).string())) << Mix_GetError();
        if (!MixerIsStereo16()) GTEST_SKIP() << "mixer is not 16-bit stereo";
        Capture capture;
        capture.wanted = 44100 * 2 * 4;  // four seconds
        Mix_SetPostMix(&Capture::Take, &capture);
        ASSERT_TRUE(music.Play(false));
        ASSERT_TRUE(WaitFor([&] { return capture.Full(); }));
        Mix_SetPostMix(nullptr, nullptr);
        music.Close(false);

        // The first non-silent mix marks where the piece began.
        const auto& s = capture.samples;
        size_t start = 0;
        while (start < s.size() && std::abs(s[start]) < 64)
            ++start;
        ASSERT_LT(start, s.size()) << "silence";
        double whole = RmsDb(s, start, s.size());
        double opening = RmsDb(s, start, start + 44100 / 2);  // its first quarter second
        int peak = 0;
        for (int16_t v : s)
            peak = std::max(peak, std::abs(static_cast<int>(v)));
        std::printf("%s: %.1f dBFS RMS over 4 s, %.1f dBFS in the first 0.25 s, peak %.1f dBFS\n",
                    name, whole, opening, 20 * std::log10(std::max(peak, 1) / 32768.0));
        EXPECT_GT(whole, -30.0);
        EXPECT_GT(opening, -40.0);
        EXPECT_LT(peak, 32767) << "clipping";
    }
}

// A short piece for the notification cases, written with the generator itself.
fs::path WritePiece(const zarp::testing_support::TempDir& folder, const std::string& name,
                    const std::string& score) {
    auto parse = zarp::audiogen::ParseScore(score, name);
    EXPECT_EQ(parse.error, "");
    auto bytes = zarp::audiogen::MidiBytes(parse.score);
    fs::path path = folder.dir() / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

TEST(SdlMusicNotify, TheEndIsReportedOnlyWhenTheLastCommandAskedForIt) {
    const zarp::testing_support::TempDir folder("zarp-audio");
    if (!HaveSoundFont()) GTEST_SKIP() << "no General MIDI soundfont";
    UseHeadlessAudio(true);
    fs::path shortPiece =
        WritePiece(folder, "short.mid", "tempo 200\ntrack p channel=1\n| c5/4 e g c6 |\n");
    fs::path longPiece = WritePiece(folder, "long.mid",
                                    "tempo 30\ntrack p channel=1\n| c5/1 | e5/1 | g5/1 | c6/1 |\n");
    SdlMusic music;
    EXPECT_FALSE(music.Play(true)) << "nothing open";
    EXPECT_FALSE(music.Open((fs::temp_directory_path() / "no-such-piece.mid").string()));
    ASSERT_TRUE(music.Open(shortPiece.string()));
    while (PendingMusicEvent()) {
    }

    // Played with notification: the end arrives as one event. Playing again starts over.
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(music.Play(true));
        EXPECT_TRUE(WaitFor([] { return PendingMusicEvent(); })) << "round " << round;
        EXPECT_FALSE(PendingMusicEvent());
    }

    // Played without: it ends in silence.
    ASSERT_TRUE(music.Play(false));
    EXPECT_TRUE(WaitFor([] { return Mix_PlayingMusic() == 0; }));
    EXPECT_FALSE(PendingMusicEvent());

    // Stop and Close of a playing piece notify when asked; of a stopped one, never.
    ASSERT_TRUE(music.Open(longPiece.string()));
    struct Case {
        bool close, notify, expectEvent;
    };
    for (const Case c : {Case{false, true, true}, Case{false, false, false}, Case{true, true, true},
                         Case{true, false, false}}) {
        SCOPED_TRACE(std::string(c.close ? "Close" : "Stop") + (c.notify ? "(notify)" : "()"));
        ASSERT_TRUE(music.Open(longPiece.string()));
        ASSERT_TRUE(music.Play(true));
        if (c.close)
            music.Close(c.notify);
        else
            music.Stop(c.notify);
        EXPECT_EQ(PendingMusicEvent(), c.expectEvent);
        EXPECT_FALSE(PendingMusicEvent());
        music.Stop(true);
        music.Close(true);
        EXPECT_FALSE(PendingMusicEvent()) << "a piece that no longer plays";
    }
    fs::remove(shortPiece);
    fs::remove(longPiece);
}

// Counts the frames mixed while music plays, until its end notification is queued.
struct EndClock {
    std::mutex mutex;
    size_t frames = 0;
    size_t framesAtEvent = 0;

    static void SDLCALL Count(void* self, Uint8* /*stream*/, int length) {
        auto* c = static_cast<EndClock*>(self);
        std::lock_guard lock(c->mutex);
        if (c->framesAtEvent != 0 || Mix_PlayingMusic() == 0) return;
        c->frames += static_cast<size_t>(length) / 4;  // 16-bit stereo
        SDL_Event event;
        if (SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, zarp::sdl::MusicEventType(),
                           zarp::sdl::MusicEventType()) == 1)
            c->framesAtEvent = c->frames;
    }
    size_t AtEvent() {
        std::lock_guard lock(mutex);
        return framesAtEvent;
    }
};

TEST(SdlMusicNotify, TheEndComesWithTheLastBarNotAfterTheNotesHaveFaded) {
    const zarp::testing_support::TempDir folder("zarp-audio");
    if (!HaveSoundFont()) GTEST_SKIP() << "no General MIDI soundfont";
    UseHeadlessAudio(true);
    // One bar at 240 beats a minute: one second, with a long string chord to the end.
    fs::path piece =
        WritePiece(folder, "bar.mid",
                   "tempo 240\ntrack p channel=1 program=49 reverb=127 gate=1\n| c4+e4+g4/1 |\n");
    SdlMusic music;
    ASSERT_TRUE(music.Open(piece.string()));
    if (!MixerIsStereo16()) GTEST_SKIP() << "mixer is not 16-bit stereo";
    while (PendingMusicEvent()) {
    }
    EndClock clock;
    Mix_SetPostMix(&EndClock::Count, &clock);
    ASSERT_TRUE(music.Play(true));
    ASSERT_TRUE(WaitFor([&] { return clock.AtEvent() != 0; }));
    Mix_SetPostMix(nullptr, nullptr);
    EXPECT_NEAR(clock.AtEvent() / 44100.0, 1.0, 0.06);
    EXPECT_TRUE(PendingMusicEvent());
    fs::remove(piece);
}

TEST(SdlMusicNotify, StopPausesAndPlayGoesOnFromThere) {
    const zarp::testing_support::TempDir folder("zarp-audio");
    if (!HaveSoundFont()) GTEST_SKIP() << "no General MIDI soundfont";
    UseHeadlessAudio(true);
    fs::path piece = WritePiece(folder, "pause.mid",
                                "tempo 30\ntrack p channel=1\n| c5/1 | e5/1 | g5/1 | c6/1 |\n");
    SdlMusic music;
    ASSERT_TRUE(music.Open(piece.string()));
    ASSERT_TRUE(music.Play(false));
    music.Stop(false);
    EXPECT_TRUE(Mix_PausedMusic());
    ASSERT_TRUE(music.Play(false));
    EXPECT_FALSE(Mix_PausedMusic());
    EXPECT_TRUE(Mix_PlayingMusic());
    music.Close(false);
    fs::remove(piece);
}

// Lines on standard error that name a music file.
int MusicLines(const std::string& err) {
    int lines = 0;
    for (size_t at = err.find("zarp: music "); at != std::string::npos;
         at = err.find("zarp: music ", at + 1))
        ++lines;
    return lines;
}

TEST(SdlMusicFaults, WhatCannotPlayIsNamedOnceAndNotRestarted) {
    if (!HaveSoundFont()) GTEST_SKIP() << "no General MIDI soundfont";
    UseHeadlessAudio(true);
    const zarp::testing_support::TempDir scratch("zarp-audio");
    const fs::path folder = scratch.dir();
    const std::string endOfTrack("\x00\xFF\x2F\x00", 4);
    struct Case {
        const char* what;
        fs::path path;
        std::string bytes;  // written to `path` when not empty
        int starts;         // plays that start, each end answered with Play as the game does
        std::string line;   // a part of the one line on standard error; empty: none
    };
    const Case cases[] = {
        {"a WAV file", kDist / "shot.wav", "", 0, "not a standard MIDI file"},
        {"eight ticks of music", folder / "short.mid",
         zarp::testing_support::Smf(
             {std::string("\x00\x90\x3C\x64\x08\x80\x3C\x00", 8) + endOfTrack}),
         2, "it ended within a second of starting, twice in a row"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.bytes.empty()) std::ofstream(c.path, std::ios::binary) << c.bytes;
        SdlMusic music;
        while (PendingMusicEvent()) {
        }
        testing::internal::CaptureStderr();
        int starts = 0;
        for (int open = 0; open < 2; ++open) {
            if (!music.Open(c.path.string())) continue;
            while (starts < 10 && music.Play(true)) {
                ++starts;
                ASSERT_TRUE(WaitFor([] { return PendingMusicEvent(); }));
            }
        }
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(starts, c.starts);
        EXPECT_EQ(MusicLines(err), 1) << err;
        EXPECT_NE(err.find("zarp: music " + c.path.string() + ": " + c.line), std::string::npos)
            << err;
        if (!c.bytes.empty()) fs::remove(c.path);
    }
}

TEST(SdlMusicRender, RunningStatusAfterAMetaEventPlays) {
    if (!HaveSoundFont()) GTEST_SKIP() << "no General MIDI soundfont";
    UseHeadlessAudio(true);
    const zarp::testing_support::TempDir folder("zarp-audio");
    const fs::path path = folder.dir() / "running.mid";
    std::ofstream(path, std::ios::binary)
        << zarp::testing_support::Smf({zarp::testing_support::kRunningStatusAfterMeta});
    SdlMusic music;
    ASSERT_TRUE(music.Open(path.string()));
    if (!MixerIsStereo16()) GTEST_SKIP() << "mixer is not 16-bit stereo";
    Capture capture;
    capture.wanted = 44100 * 2;  // a second
    Mix_SetPostMix(&Capture::Take, &capture);
    ASSERT_TRUE(music.Play(false));
    ASSERT_TRUE(WaitFor([&] { return capture.Full(); }));
    Mix_SetPostMix(nullptr, nullptr);
    music.Close(false);
    EXPECT_GT(RmsDb(capture.samples, 0, capture.samples.size()), -40.0) << "silence";
    fs::remove(path);
}

TEST(SdlMixerDevice, SoundAndMusicShareTheDevice) {
    const zarp::testing_support::TempDir folder("zarp-audio");
    if (!HaveSoundFont()) GTEST_SKIP() << "no General MIDI soundfont";
    UseHeadlessAudio(true);
    fs::path piece =
        WritePiece(folder, "shared.mid", "tempo 240\ntrack p channel=1\n| c5/4 e g c6 |\n");
    SdlMusic music;
    {
        SdlAudio audio;
        ASSERT_TRUE(audio.Init());
        ASSERT_TRUE(music.Open(piece.string()));
    }  // the effects let go of the device; the music keeps it
    while (PendingMusicEvent()) {
    }
    ASSERT_TRUE(music.Play(true));
    EXPECT_TRUE(WaitFor([] { return PendingMusicEvent(); }));
    fs::remove(piece);
}

}  // namespace

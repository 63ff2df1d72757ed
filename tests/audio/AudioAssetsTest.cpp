// The effect WAVs and MIDI pieces the build put into the ready-to-run folder, and the
// generator's handling of its sources.
#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/audio/AudioFiles.h"
#include "tests/support/Files.h"
#include "tools/assetgen/audio/Effects.h"
#include "tools/assetgen/audio/Score.h"

namespace fs = std::filesystem;
using zarp::test::ParseMidi;
using zarp::test::ParseWav;
using zarp::test::ReadBytes;

namespace {

const fs::path kDist = ZARP_TEST_DIST_DIR;

const std::vector<std::string> kEffects = {
    "needle.wav", "chr.wav",   "coin1.wav",  "coin2.wav", "coin3.wav", "coin4.wav", "coin5.wav",
    "coin6.wav",  "coin7.wav", "coin8.wav",  "clear.wav", "shya.wav",  "rub.wav",   "kir.wav",
    "shot.wav",   "trub.wav",  "replay.wav", "Click.wav", "tick.wav",  "waa.wav"};

TEST(EffectFiles, EveryEffectIsShortCleanPcmThatDoesNotClip) {
    for (const auto& name : kEffects) {
        SCOPED_TRACE(name);
        auto wav = ParseWav(ReadBytes(kDist / name));
        ASSERT_EQ(wav.error, "");
        EXPECT_EQ(wav.formatTag, 1);
        EXPECT_EQ(wav.bits, 16);
        EXPECT_EQ(wav.channels, 1);
        EXPECT_EQ(wav.rate, 22050u);
        double seconds = wav.samples.size() / 22050.0;
        EXPECT_GE(seconds, 0.015);
        EXPECT_LE(seconds, 1.5);
        ASSERT_GT(wav.samples.size(), 100u);
        // No click at either end: the sound fades in from silence and back out to it.
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_LT(std::abs(wav.samples[i]), 328) << "sample " << i;
            EXPECT_LT(std::abs(wav.samples[wav.samples.size() - 1 - i]), 328) << "from end " << i;
        }
        int peak = 0;
        for (int16_t s : wav.samples)
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        EXPECT_LT(peak, 31000) << "clipping";
        EXPECT_GT(peak, 3000) << "too quiet";
        auto levels = zarp::audiogen::MeasureLevels(wav.samples, 22050);
        std::printf("%-11s %5.0f ms  peak %6.1f dBFS  loudest 50 ms %6.1f dBFS RMS\n", name.c_str(),
                    seconds * 1000, levels.peakDb, levels.rmsDb);
    }
}

TEST(EffectFiles, LevelsAreMatched) {
    double lowest = 0, highest = -200;
    for (const auto& name : kEffects) {
        auto wav = ParseWav(ReadBytes(kDist / name));
        ASSERT_EQ(wav.error, "") << name;
        double rms = zarp::audiogen::MeasureLevels(wav.samples, 22050).rmsDb;
        lowest = std::min(lowest, rms);
        highest = std::max(highest, rms);
    }
    EXPECT_LE(highest - lowest, 8.0);
    EXPECT_GT(lowest, -24.0);
}

// The pitch of a tone shows in how often it crosses zero.
double CrossingsPerSecond(const std::vector<int16_t>& s) {
    int crossings = 0;
    for (size_t i = 1; i < s.size(); ++i)
        if ((s[i - 1] < 0) != (s[i] < 0)) ++crossings;
    return crossings * 22050.0 / s.size();
}

TEST(EffectFiles, CoinsRiseInPitchWithTheCombo) {
    double previous = 0;
    for (int n = 1; n <= 8; ++n) {
        auto wav = ParseWav(ReadBytes(kDist / ("coin" + std::to_string(n) + ".wav")));
        ASSERT_EQ(wav.error, "") << n;
        double rate = CrossingsPerSecond(wav.samples);
        EXPECT_GT(rate, previous * 1.03) << "coin" << n;
        previous = rate;
    }
}

struct PieceCase {
    const char* name;
    double minSeconds, maxSeconds;
};

TEST(MusicFiles, EveryPieceIsAWellFormedGeneralMidiLoop) {
    const PieceCase cases[] = {{"bgm00.mid", 20, 120},
                               {"bgm01.mid", 20, 120},
                               {"bgm02.mid", 20, 120},
                               {"bgm03.mid", 50, 75}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto midi = ParseMidi(ReadBytes(kDist / c.name));
        ASSERT_EQ(midi.error, "");
        EXPECT_TRUE(midi.format == 0 || midi.format == 1);
        ASSERT_GT(midi.division, 0);
        ASSERT_FALSE(midi.notes.empty());
        ASSERT_FALSE(midi.trackEnds.empty());

        // Every track ends on the same bar line: the loop has no ragged tail.
        uint32_t end = midi.trackEnds.front();
        for (uint32_t e : midi.trackEnds)
            EXPECT_EQ(e, end);
        uint32_t bar = static_cast<uint32_t>(midi.division * 4 * midi.beatsPerBar / midi.beatUnit);
        EXPECT_EQ(end % bar, 0u);

        uint32_t first = UINT32_MAX, last = 0;
        std::map<int, int> perChannel;
        for (const auto& n : midi.notes) {
            EXPECT_LT(n.start, n.end);
            EXPECT_LE(n.end, end);
            first = std::min(first, n.start);
            last = std::max(last, n.end);
            ++perChannel[n.channel];
        }
        EXPECT_EQ(first, 0u) << "silence before the first note";
        EXPECT_GT(last, end - bar) << "a silent bar at the end";

        // Melody, bass and harmony on their own instruments, drums on channel 10.
        EXPECT_GT(perChannel[9], 16);
        int melodic = 0;
        for (const auto& [channel, count] : perChannel) {
            if (channel == 9) continue;
            ++melodic;
            ASSERT_TRUE(midi.firstProgram.count(channel)) << "channel " << channel + 1;
            EXPECT_EQ(midi.firstProgram[channel], 0u);
        }
        EXPECT_GE(melodic, 3);

        double seconds = zarp::test::MidiSeconds(midi, end);
        EXPECT_GE(seconds, c.minSeconds);
        EXPECT_LE(seconds, c.maxSeconds);
        std::printf("%s  %u bars  %.1f s  %zu notes\n", c.name, end / bar, seconds,
                    midi.notes.size());
    }
}

TEST(Generator, SameSourcesGiveTheSameBytes) {
    const zarp::testing_support::TempDir folder("zarp-audiogen");
    const fs::path out = folder.dir() / "out";
    fs::path src = ZARP_TEST_SOURCE_DIR;
    std::string command = std::string("'") + ZARP_TEST_AUDIOGEN + "' --out '" + out.string() +
                          "' --effects '" + (src / "assets/sounds/effects.txt").string() + "'";
    for (int n = 0; n < 4; ++n)
        command +=
            " --music '" + (src / "assets/music").string() + "/bgm0" + std::to_string(n) + ".txt'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<std::string> files = kEffects;
    for (int n = 0; n < 4; ++n)
        files.push_back("bgm0" + std::to_string(n) + ".mid");
    for (const auto& name : files) {
        auto fresh = ReadBytes(out / name);
        EXPECT_FALSE(fresh.empty()) << name;
        EXPECT_EQ(fresh, ReadBytes(kDist / name)) << name;
    }
}

struct BadSource {
    const char* text;
    int line;
    const char* says;
};

TEST(ScoreSource, MistakesAreReportedWithTheirLine) {
    const BadSource cases[] = {
        {"track a channel=1\n| c4/4 e g |\n", 2, "bar line"},
        {"track a channel=1\n| h4/1 |\n", 2, "a note like"},
        {"track a channel=1\n| c4/7 |\n", 2, "duration"},
        {"track a channel=1\n| c4/4.... |\n", 2, "duration"},
        {"track a channel=1\nplay nothing\n", 2, "play PATTERN"},
        {"track a program=3\n", 1, "channel="},
        {"track a channel=17\n", 1, "channel="},
        {"track a channel=1\ntrack b channel=1\n", 2, "one track per channel"},
        {"pattern p grid=16\nkick x..q\ntrack d channel=10\nplay p\n", 2, "steps"},
        {"pattern p grid=16\nkick x...\ntrack d channel=10\nplay p\n", 2, "whole bars"},
        {"pattern p grid=16\nboing x... .... .... ....\ntrack d channel=10\nplay p\n", 2, "drum"},
        {"tempo 9000\n", 1, "tempo BPM"},
        {"tempo 100\ntempo 90\n", 2, "time order"},
        {"meter 4/3\n", 1, "meter"},
        {"| c4/1 |\n", 1, "bar line starting"},
        {"track a channel=1 transpose=40\n| c9/1 |\n", 2, "MIDI range"},
        {"track a channel=1\n| r/1 |\n", 1, "some notes"},
        {"", 1, "at least one track"},
        {"track a channel=1\nplay\n", 2, "play PATTERN"},
        {"track a channel=1\n| c4/1 |\ntempo 60 at=5\n", 1, "inside the piece"},
        {"pattern p\n| r/1_1_1_1_1_1_1_1_1_1_1_1_1_1_1_1_1_1_1_1 |\ntrack a channel=1\nplay p "
         "x64\n",
         2, "at most 400 bars"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto parse = zarp::audiogen::ParseScore(c.text, "t.txt");
        EXPECT_EQ(parse.error.rfind("t.txt:" + std::to_string(c.line) + ": expected ", 0), 0u)
            << parse.error;
        EXPECT_NE(parse.error.find(c.says), std::string::npos) << parse.error;
        EXPECT_TRUE(parse.score.tracks.empty());
    }
}

TEST(ScoreSource, NotesKeepTheirOwnNoteOffAndThePieceEndsOnABarLine) {
    // The held c4 is struck again by the chord; a track stopping early still ends at the
    // piece's last bar line.
    auto parse = zarp::audiogen::ParseScore(
        "tempo 120\n"
        "track a channel=1 gate=1\n| c4/2 c4+e4/2 | c4+c4/4 r/4 r/2 |\n"
        "track b channel=2\n| g3/8 r/8 r/4 r/2 |\n",
        "t.txt");
    ASSERT_EQ(parse.error, "");
    auto midi = ParseMidi(zarp::audiogen::MidiBytes(parse.score));
    ASSERT_EQ(midi.error, "");
    ASSERT_EQ(midi.trackEnds.size(), 3u);
    for (uint32_t e : midi.trackEnds)
        EXPECT_EQ(e, 480u * 4 * 2);
    int c4 = 0;
    for (const auto& n : midi.notes)
        c4 += n.key == 60;
    EXPECT_EQ(c4, 3);
}

TEST(EffectSource, MistakesAreReportedWithTheirLine) {
    const BadSource cases[] = {
        {"sine freq=440\n", 1, "an 'effect' line"},
        {"effect a.wav\n", 1, "layers for a.wav"},
        {"effect a.wav\nsine len=100\n", 2, "freq="},
        {"effect a.wav\nsine freq=440 len=9000\n", 2, "5000 ms"},
        {"effect a.wav\nsine freq=440 wobble=3\n", 2, "wobble"},
        {"effect a.wav\nsine freq=440>0\n", 2, "sweep"},
        {"effect a.wav\nsine freq=-5\n", 2, "freq="},
        {"effect a.wav\nsine freq=440 amp=x\n", 2, "number"},
        {"effect ../a.wav\n", 1, "plain file name"},
        {"effect a.mp3\n", 1, "ending in .wav"},
        {"effect a.wav gain=99\nsine freq=1\n", 1, "gain"},
        {"effect a.wav\nsine freq=440\neffect a.wav\n", 3, "not used before"},
        {"effect a.wav\nbuzz freq=440\n", 2, "layer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto parse = zarp::audiogen::ParseEffects(c.text, "e.txt");
        EXPECT_EQ(parse.error.rfind("e.txt:" + std::to_string(c.line) + ": expected ", 0), 0u)
            << parse.error;
        EXPECT_NE(parse.error.find(c.says), std::string::npos) << parse.error;
        EXPECT_TRUE(parse.effects.empty());
    }
}

std::string ReadText(const fs::path& path) {
    auto bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

TEST(Sources, CutOrGarbledSourcesAreReportedNotCrashedOn) {
    fs::path src = ZARP_TEST_SOURCE_DIR;
    const char garble[] = {'|', '/', '+', '#', '.', '_', '=', '>', '9', '\0', '\n', 'x', '-'};
    uint32_t state = 12345;  // a fixed walk through the cases
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    for (int n = 0; n <= 4; ++n) {
        bool effects = n == 4;
        fs::path path = effects ? src / "assets/sounds/effects.txt"
                                : src / "assets/music" / ("bgm0" + std::to_string(n) + ".txt");
        std::string text = ReadText(path);
        ASSERT_FALSE(text.empty()) << path;
        for (int round = 0; round < 150; ++round) {
            std::string bad = text;
            if (round % 3 == 0) {
                bad.resize(next() % bad.size());
            } else {
                for (int k = 0; k < 1 + round % 4; ++k)
                    bad[next() % bad.size()] = garble[next() % sizeof(garble)];
            }
            if (effects) {
                auto parse = zarp::audiogen::ParseEffects(bad, "e.txt");
                if (parse.error.empty() && !parse.effects.empty()) {
                    EXPECT_FALSE(zarp::audiogen::RenderEffect(parse.effects.front()).empty());
                }
            } else {
                auto parse = zarp::audiogen::ParseScore(bad, "s.txt");
                if (parse.error.empty()) {
                    EXPECT_EQ(ParseMidi(zarp::audiogen::MidiBytes(parse.score)).error, "");
                }
            }
        }
    }
}

}  // namespace

// Music from text scores: a conductor (tempo, metre), reusable patterns, and tracks of
// bars written as note lists or, for drums, as step grids. Written out as a standard MIDI
// file (format 1) whose every track ends exactly at the last bar line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zarp::audiogen {

inline constexpr uint32_t kTicksPerQuarter = 480;

struct Note {
    uint32_t start = 0;
    uint32_t length = 0;
    uint8_t key = 60;
    uint8_t velocity = 90;
};

struct Track {
    std::string name;
    int channel = 0;  // 0-based; 9 is the drum channel
    int program = 0;  // 0-based General MIDI program
    int volume = 100;
    int pan = 64;
    int reverb = 40;
    int chorus = 0;
    std::vector<Note> notes;
};

struct TempoChange {
    uint32_t tick = 0;
    double bpm = 120;
};

struct Score {
    std::string title;
    int beatsPerBar = 4;
    int beatUnit = 4;
    std::vector<TempoChange> tempos;
    std::vector<Track> tracks;
    uint32_t length = 0;  // ticks; a whole number of bars, where every track ends

    uint32_t BarTicks() const { return kTicksPerQuarter * 4 * beatsPerBar / beatUnit; }
};

struct ScoreParse {
    Score score;
    std::string error;  // "file:line: what was expected"; empty on success
};

ScoreParse ParseScore(const std::string& text, const std::string& fileName);

std::vector<uint8_t> MidiBytes(const Score& score);

}  // namespace zarp::audiogen

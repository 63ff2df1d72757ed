// Readers for the generated WAV and MIDI files, strict enough to catch a malformed file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace zarp::test {

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline uint32_t Le(const std::vector<uint8_t>& b, size_t at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = (v << 8) | b[at + i];
    return v;
}

inline uint32_t Be(const std::vector<uint8_t>& b, size_t at, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | b[at + i];
    return v;
}

inline std::string Tag(const std::vector<uint8_t>& b, size_t at) {
    return at + 4 <= b.size() ? std::string(b.begin() + at, b.begin() + at + 4) : "";
}

struct Wav {
    std::string error;  // empty when the file is a PCM WAV with "fmt " first
    uint16_t formatTag = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    std::vector<int16_t> samples;
};

inline Wav ParseWav(const std::vector<uint8_t>& b) {
    Wav wav;
    if (b.size() < 12 || Tag(b, 0) != "RIFF" || Tag(b, 8) != "WAVE") {
        wav.error = "not RIFF WAVE";
        return wav;
    }
    if (Le(b, 4, 4) + 8 != b.size()) {
        wav.error = "RIFF size differs from the file size";
        return wav;
    }
    if (Tag(b, 12) != "fmt " || b.size() < 20 + 16) {
        wav.error = "first chunk is not \"fmt \"";
        return wav;
    }
    uint32_t fmtSize = Le(b, 16, 4);
    wav.formatTag = static_cast<uint16_t>(Le(b, 20, 2));
    wav.channels = static_cast<uint16_t>(Le(b, 22, 2));
    wav.rate = Le(b, 24, 4);
    wav.bits = static_cast<uint16_t>(Le(b, 34, 2));
    if (Le(b, 28, 4) != wav.rate * wav.channels * wav.bits / 8 ||
        Le(b, 32, 2) != static_cast<uint32_t>(wav.channels * wav.bits / 8)) {
        wav.error = "byte rate or block alignment inconsistent";
        return wav;
    }
    size_t at = 20 + fmtSize + (fmtSize & 1);
    while (at + 8 <= b.size()) {
        uint32_t size = Le(b, at + 4, 4);
        if (at + 8 + size > b.size()) break;
        if (Tag(b, at) == "data") {
            for (size_t i = 0; i + 1 < size; i += 2)
                wav.samples.push_back(static_cast<int16_t>(Le(b, at + 8 + i, 2)));
            return wav;
        }
        at += 8 + size + (size & 1);
    }
    wav.error = "no complete data chunk";
    return wav;
}

struct MidiNote {
    uint32_t start = 0, end = 0;
    int channel = 0, key = 0;
};

struct Midi {
    std::string error;  // empty when every chunk and event reads cleanly
    int format = -1, division = 0;
    std::vector<uint32_t> trackEnds;  // tick of each track's end-of-track event
    std::vector<MidiNote> notes;
    std::map<int, uint32_t> firstProgram;  // channel → tick of its first program change
    std::vector<std::pair<uint32_t, uint32_t>> tempos;  // tick, microseconds per quarter
    int beatsPerBar = 4, beatUnit = 4;
};

inline Midi ParseMidi(const std::vector<uint8_t>& b) {
    Midi midi;
    auto fail = [&](const std::string& why) {
        midi.error = why;
        return midi;
    };
    if (b.size() < 14 || Tag(b, 0) != "MThd" || Be(b, 4, 4) != 6) return fail("no MThd");
    midi.format = static_cast<int>(Be(b, 8, 2));
    int tracks = static_cast<int>(Be(b, 10, 2));
    midi.division = static_cast<int>(Be(b, 12, 2));
    size_t at = 14;
    for (int t = 0; t < tracks; ++t) {
        if (Tag(b, at) != "MTrk" || at + 8 > b.size()) return fail("missing MTrk");
        size_t end = at + 8 + Be(b, at + 4, 4);
        if (end > b.size()) return fail("track runs past the file");
        size_t p = at + 8;
        uint32_t tick = 0;
        uint8_t status = 0;
        std::map<std::pair<int, int>, uint32_t> sounding;
        bool ended = false;
        auto varLen = [&](uint32_t& v) {
            v = 0;
            for (int i = 0; i < 4; ++i) {
                if (p >= end) return false;
                uint8_t c = b[p++];
                v = (v << 7) | (c & 0x7F);
                if ((c & 0x80) == 0) return true;
            }
            return false;
        };
        while (p < end && !ended) {
            uint32_t delta = 0;
            if (!varLen(delta)) return fail("bad delta time");
            tick += delta;
            if (p >= end) return fail("event cut off");
            if (b[p] & 0x80) status = b[p++];
            if (status == 0xFF) {
                if (p >= end) return fail("meta cut off");
                uint8_t type = b[p++];
                uint32_t len = 0;
                if (!varLen(len) || p + len > end) return fail("meta length");
                if (type == 0x2F) {
                    ended = true;
                    midi.trackEnds.push_back(tick);
                } else if (type == 0x51 && len == 3) {
                    midi.tempos.emplace_back(tick, Be(b, p, 3));
                } else if (type == 0x58 && len == 4) {
                    midi.beatsPerBar = b[p];
                    midi.beatUnit = 1 << b[p + 1];
                }
                p += len;
                continue;
            }
            if (status == 0xF0 || status == 0xF7) {
                uint32_t len = 0;
                if (!varLen(len) || p + len > end) return fail("sysex length");
                p += len;
                continue;
            }
            if (status < 0x80) return fail("data byte without a status");
            int kind = status & 0xF0, channel = status & 0x0F;
            int size = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
            if (p + size > end) return fail("channel event cut off");
            uint8_t d1 = b[p], d2 = size == 2 ? b[p + 1] : 0;
            p += size;
            if ((d1 | d2) & 0x80) return fail("data byte above 127");
            if (kind == 0xC0 && !midi.firstProgram.count(channel))
                midi.firstProgram[channel] = tick;
            if (kind == 0x90 && d2 > 0) {
                if (sounding.count({channel, d1})) return fail("key struck while still sounding");
                sounding[{channel, d1}] = tick;
            } else if (kind == 0x80 || kind == 0x90) {
                auto it = sounding.find({channel, d1});
                if (it == sounding.end()) return fail("note-off without a note-on");
                midi.notes.push_back({it->second, tick, channel, d1});
                sounding.erase(it);
            }
        }
        if (!ended || p != end) return fail("track does not end with its end-of-track event");
        if (!sounding.empty()) return fail("a note is still on at the end of its track");
        at = end;
    }
    if (at != b.size()) return fail("bytes after the last track");
    return midi;
}

// Seconds from the start to `tick` through the tempo map (120 bpm before the first tempo).
inline double MidiSeconds(const Midi& midi, uint32_t tick) {
    double seconds = 0;
    uint32_t from = 0, micros = 500000;
    for (const auto& [at, value] : midi.tempos) {
        if (at >= tick) break;
        seconds += static_cast<double>(at - from) * micros / 1e6 / midi.division;
        from = at;
        micros = value;
    }
    return seconds + static_cast<double>(tick - from) * micros / 1e6 / midi.division;
}

}  // namespace zarp::test

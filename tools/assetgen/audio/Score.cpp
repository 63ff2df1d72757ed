#include "tools/assetgen/audio/Score.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "tools/assetgen/audio/Text.h"

namespace zarp::audiogen {

namespace {

constexpr uint32_t kWholeTicks = kTicksPerQuarter * 4;
constexpr uint32_t kMaxPieceTicks = kWholeTicks * 400;

struct Pattern {
    bool grid = false;   // drum grid rows rather than note lists
    int gridSteps = 16;  // steps in one bar
    std::vector<std::pair<size_t, std::string>> lines;
};

// What a track writes with: its defaults, and the running duration and octave of the note
// lists, which carry over from one note to the next as in hand-written parts.
struct Voice {
    int velocity = 90;
    double gate = 0.9;
    int transpose = 0;
    uint32_t duration = kTicksPerQuarter;
    int octave = 4;
};

struct Shift {
    int transpose = 0;
    int velocity = 0;
};

std::optional<int> DrumKey(const std::string& name) {
    static constexpr std::pair<const char*, int> kDrums[] = {
        {"kick", 36},  {"rim", 37},      {"snare", 38}, {"clap", 39},   {"snare2", 40},
        {"tom3", 43},  {"hh", 42},       {"ph", 44},    {"tom2", 47},   {"oh", 46},
        {"tom1", 50},  {"crash", 49},    {"ride", 51},  {"china", 52},  {"bell", 53},
        {"tamb", 54},  {"splash", 55},   {"cow", 56},   {"crash2", 57}, {"shaker", 70},
        {"block", 76}, {"triangle", 81}, {"otri", 81},  {"ctri", 80},   {"chimes", 84}};
    for (const auto& [drum, key] : kDrums)
        if (name == drum) return key;
    return std::nullopt;
}

// "c4", "f#5", "bb3", "e" (octave carried) → MIDI key; c4 is middle C (60).
std::optional<int> PitchKey(const std::string& s, int& octave) {
    if (s.empty() || s[0] < 'a' || s[0] > 'g') return std::nullopt;
    static constexpr int kSteps[] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
    int key = kSteps[s[0] - 'a'];
    size_t i = 1;
    if (i < s.size() && s[i] == '#') {
        ++key;
        ++i;
    } else if (i < s.size() && s[i] == 'b') {
        --key;
        ++i;
    }
    if (i < s.size()) {
        auto oct = ParseInt(s.substr(i));
        if (!oct || *oct < -1 || *oct > 9) return std::nullopt;
        octave = *oct;
    }
    int midi = (octave + 1) * 12 + key;
    if (midi < 0 || midi > 127) return std::nullopt;
    return midi;
}

// "4", "8.", "2_8", "12" → ticks; a whole note is 1920 ticks.
std::optional<uint32_t> Duration(const std::string& s) {
    uint32_t total = 0;
    size_t start = 0;
    while (start <= s.size()) {
        size_t end = s.find('_', start);
        if (end == std::string::npos) end = s.size();
        std::string term = s.substr(start, end - start);
        int dots = 0;
        while (!term.empty() && term.back() == '.') {
            term.pop_back();
            ++dots;
        }
        auto den = ParseInt(term);
        if (!den || *den <= 0 || kWholeTicks % *den != 0 || dots > 2) return std::nullopt;
        uint32_t ticks = kWholeTicks / *den;
        uint32_t part = ticks;
        for (int d = 0; d < dots; ++d) {
            if (part % 2 != 0) return std::nullopt;
            part /= 2;
            ticks += part;
        }
        total += ticks;
        start = end + 1;
    }
    return total;
}

class Parser {
  public:
    explicit Parser(std::string fileName) : fileName_(std::move(fileName)) {}

    ScoreParse Run(const std::string& text) {
        auto lines = Lines(text);
        for (size_t n = 0; n < lines.size() && error_.empty(); ++n)
            Line(n + 1, lines[n]);
        if (error_.empty()) Finish();
        ScoreParse result;
        if (error_.empty()) result.score = std::move(score_);
        result.error = error_;
        return result;
    }

  private:
    enum class Block { None, Pattern, Track };

    void Fail(size_t line, const std::string& what) {
        if (error_.empty()) error_ = fileName_ + ":" + std::to_string(line) + ": expected " + what;
    }

    void Line(size_t n, std::string_view text) {
        auto words = Words(text);
        if (words.empty()) return;
        const std::string& head = words[0];
        if (head == "title") {
            std::string_view rest = text.substr(text.find("title") + 5);
            while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
                rest.remove_prefix(1);
            while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\r'))
                rest.remove_suffix(1);
            score_.title = std::string(rest);
        } else if (head == "meter") {
            Meter(n, words);
        } else if (head == "tempo") {
            Tempo(n, words);
        } else if (head == "pattern") {
            StartPattern(n, words);
        } else if (head == "track") {
            StartTrack(n, words);
        } else if (head == "play") {
            if (block_ != Block::Track) return Fail(n, "'play' inside a track");
            Play(n, words);
        } else if (block_ == Block::Pattern) {
            patterns_[currentPattern_].lines.emplace_back(n, std::string(text));
        } else if (block_ == Block::Track && head[0] == '|') {
            Bars(n, std::string(text), Shift{});
        } else {
            Fail(n, "title, meter, tempo, pattern, track, play or a bar line starting with '|'");
        }
    }

    void Meter(size_t n, const std::vector<std::string>& w) {
        if (!score_.tracks.empty() || !score_.tempos.empty())
            return Fail(n, "the metre before tracks and tempos");
        size_t slash = w.size() == 2 ? w[1].find('/') : std::string::npos;
        if (slash == std::string::npos) return Fail(n, "meter BEATS/UNIT");
        auto beats = ParseInt(w[1].substr(0, slash));
        auto unit = ParseInt(w[1].substr(slash + 1));
        if (!beats || !unit || *beats < 1 || *beats > 12 ||
            (*unit != 2 && *unit != 4 && *unit != 8))
            return Fail(n, "meter BEATS/UNIT with 1..12 beats of 2, 4 or 8");
        score_.beatsPerBar = *beats;
        score_.beatUnit = *unit;
    }

    void Tempo(size_t n, const std::vector<std::string>& w) {
        auto bpm = w.size() >= 2 ? ParseNumber(w[1]) : std::nullopt;
        if (!bpm || *bpm < 20 || *bpm > 300) return Fail(n, "tempo BPM (20..300) [at=BAR[:BEAT]]");
        uint32_t tick = 0;
        for (size_t i = 2; i < w.size(); ++i) {
            auto [key, value] = KeyValue(w[i]);
            size_t colon = value.find(':');
            auto bar = ParseInt(value.substr(0, colon));
            auto beat = colon == std::string::npos ? std::optional<int>(1)
                                                   : ParseInt(value.substr(colon + 1));
            if (key != "at" || !bar || !beat || *bar < 1 || *bar > 400 || *beat < 1 ||
                *beat > score_.beatsPerBar)
                return Fail(n, "at=BAR or at=BAR:BEAT");
            tick = static_cast<uint32_t>(*bar - 1) * score_.BarTicks() +
                   static_cast<uint32_t>(*beat - 1) * (kWholeTicks / score_.beatUnit);
        }
        for (const auto& t : score_.tempos)
            if (t.tick >= tick) return Fail(n, "tempo changes in time order");
        score_.tempos.push_back({tick, *bpm});
    }

    void StartPattern(size_t n, const std::vector<std::string>& w) {
        if (w.size() < 2) return Fail(n, "pattern NAME [grid=STEPS]");
        if (patterns_.count(w[1])) return Fail(n, "a pattern name not used before: " + w[1]);
        Pattern p;
        for (size_t i = 2; i < w.size(); ++i) {
            auto [key, value] = KeyValue(w[i]);
            auto steps = ParseInt(value);
            if (key != "grid" || !steps || *steps < 1 || score_.BarTicks() % *steps != 0)
                return Fail(n, "grid=STEPS dividing the bar");
            p.gridSteps = *steps;
            p.grid = true;
        }
        patterns_[w[1]] = p;
        currentPattern_ = w[1];
        block_ = Block::Pattern;
    }

    void StartTrack(size_t n, const std::vector<std::string>& w) {
        if (w.size() < 2) return Fail(n, "track NAME channel=1..16 ...");
        if (score_.tracks.size() >= 15) return Fail(n, "at most 15 tracks");
        Track track;
        track.name = w[1];
        voice_ = Voice{};
        track.channel = -1;
        for (size_t i = 2; i < w.size(); ++i) {
            auto [key, value] = KeyValue(w[i]);
            if (key == "gate") {
                auto gate = ParseNumber(value);
                if (!gate || *gate <= 0 || *gate > 1) return Fail(n, "gate between 0 and 1");
                voice_.gate = *gate;
                continue;
            }
            auto v = ParseInt(value);
            auto in = [&](int lo, int hi) { return v && *v >= lo && *v <= hi; };
            if (key == "channel" && in(1, 16))
                track.channel = *v - 1;
            else if (key == "program" && in(1, 128))
                track.program = *v - 1;
            else if (key == "volume" && in(0, 127))
                track.volume = *v;
            else if (key == "pan" && in(0, 127))
                track.pan = *v;
            else if (key == "reverb" && in(0, 127))
                track.reverb = *v;
            else if (key == "chorus" && in(0, 127))
                track.chorus = *v;
            else if (key == "velocity" && in(1, 127))
                voice_.velocity = *v;
            else if (key == "transpose" && in(-48, 48))
                voice_.transpose = *v;
            else
                return Fail(n,
                            "channel=1..16, program=1..128, volume, pan, reverb, chorus, "
                            "velocity (0..127), gate or transpose; not '" +
                                w[i] + "'");
        }
        if (track.channel < 0) return Fail(n, "channel= for the track");
        for (const auto& other : score_.tracks)
            if (other.channel == track.channel) return Fail(n, "one track per channel");
        score_.tracks.push_back(track);
        cursor_ = 0;
        block_ = Block::Track;
    }

    void Play(size_t n, const std::vector<std::string>& w) {
        if (w.size() < 2 || !patterns_.count(w[1])) return Fail(n, "play PATTERN (defined above)");
        int times = 1;
        Shift shift;
        for (size_t i = 2; i < w.size(); ++i) {
            if (w[i].size() > 1 && w[i][0] == 'x') {
                auto t = ParseInt(w[i].substr(1));
                if (!t || *t < 1 || *t > 64) return Fail(n, "xTIMES between 1 and 64");
                times = *t;
                continue;
            }
            auto [key, value] = KeyValue(w[i]);
            auto v = ParseInt(value);
            if (key == "transpose" && v && *v >= -48 && *v <= 48)
                shift.transpose = *v;
            else if (key == "velocity" && v && *v >= -100 && *v <= 100)
                shift.velocity = *v;
            else
                return Fail(n, "xTIMES, transpose=SEMITONES or velocity=+-V");
        }
        const Pattern& p = patterns_[w[1]];
        for (int t = 0; t < times && error_.empty(); ++t) {
            if (p.grid) {
                Grid(p, shift);
            } else {
                for (const auto& [line, text] : p.lines)
                    Bars(line, text, shift);
            }
        }
    }

    uint8_t Velocity(int base, uint32_t at) const {
        uint32_t bar = score_.BarTicks();
        int accent =
            at % bar == 0 ? 6 : (score_.beatsPerBar % 2 == 0 && at % (bar / 2) == 0 ? 3 : 0);
        return static_cast<uint8_t>(std::clamp(base + accent, 1, 127));
    }

    void AddNote(int key, uint32_t start, uint32_t length, int velocity, size_t line) {
        if (key < 0 || key > 127)
            return Fail(line, "a note inside the MIDI range after transposing");
        if (start + length > kMaxPieceTicks) return Fail(line, "a piece of at most 400 bars");
        score_.tracks.back().notes.push_back({start, std::max<uint32_t>(length, 1),
                                              static_cast<uint8_t>(key),
                                              static_cast<uint8_t>(std::clamp(velocity, 1, 127))});
    }

    void Bars(size_t n, const std::string& text, const Shift& shift) {
        const uint32_t bar = score_.BarTicks();
        std::string line = text;
        // Bar lines may touch the notes: "|c5/4 e g|" reads like "| c5/4 e g |".
        std::string spaced;
        for (char c : line) {
            if (c == '|')
                spaced += " | ";
            else
                spaced += c;
        }
        for (const auto& word : Words(spaced)) {
            if (word == "|") {
                if (cursor_ % bar != 0)
                    return Fail(n, "a bar line at the end of a full bar (bar " +
                                       std::to_string(cursor_ / bar + 1) + " is " +
                                       std::to_string(cursor_ % bar) + " of " +
                                       std::to_string(bar) + " ticks)");
                continue;
            }
            Token(n, word, shift);
            if (!error_.empty()) return;
        }
    }

    void Token(size_t n, const std::string& word, const Shift& shift) {
        std::string body = word;
        int accent = 0;
        double gate = voice_.gate;
        while (!body.empty()) {
            char c = body.back();
            if (c == '!')
                accent += 16;
            else if (c == '?')
                accent -= 24;
            else if (c == '\'')
                gate = 0.45;
            else if (c == '~')
                gate = 1.0;
            else
                break;
            body.pop_back();
        }
        size_t slash = body.find('/');
        std::string pitches = body.substr(0, slash);
        if (slash != std::string::npos) {
            auto d = Duration(body.substr(slash + 1));
            if (!d) return Fail(n, "a duration like /4, /8., /2_8 or /12 in '" + word + "'");
            voice_.duration = *d;
        }
        uint32_t start = cursor_;
        if (voice_.duration > kMaxPieceTicks || cursor_ > kMaxPieceTicks - voice_.duration)
            return Fail(n, "a piece of at most 400 bars");
        cursor_ += voice_.duration;
        if (pitches == "r") return;
        std::vector<int> keys;
        size_t from = 0;
        while (from <= pitches.size()) {
            size_t plus = pitches.find('+', from);
            if (plus == std::string::npos) plus = pitches.size();
            auto key = PitchKey(pitches.substr(from, plus - from), voice_.octave);
            if (!key)
                return Fail(
                    n, "a note like c4, f#5, bb3, a chord like c4+e+g, or r; not '" + word + "'");
            keys.push_back(*key + voice_.transpose + shift.transpose);
            from = plus + 1;
        }
        uint32_t length = static_cast<uint32_t>(std::lround(voice_.duration * gate));
        if (gate < 1.0) length = std::min(length, voice_.duration - 1);
        int velocity = Velocity(voice_.velocity + accent + shift.velocity, start);
        for (int key : keys)
            AddNote(key, start, length, velocity, n);
    }

    void Grid(const Pattern& p, const Shift& shift) {
        const uint32_t step = score_.BarTicks() / static_cast<uint32_t>(p.gridSteps);
        size_t rowLength = 0;
        for (const auto& [n, text] : p.lines) {
            auto words = Words(text);
            std::string steps;
            for (size_t i = 1; i < words.size(); ++i)
                steps += words[i];
            if (rowLength == 0) rowLength = steps.size();
            if (steps.empty() || steps.size() != rowLength || steps.size() % p.gridSteps != 0)
                return Fail(n, "grid rows of equal length, whole bars of " +
                                   std::to_string(p.gridSteps) + " steps");
            int octave = 4;
            auto drum = DrumKey(words[0]);
            std::optional<int> key = drum;
            if (!drum) {
                key = PitchKey(words[0], octave);
                if (key) *key += voice_.transpose + shift.transpose;
            }
            if (!key) return Fail(n, "a drum name (kick, snare, hh, oh, crash, ...) or a note");
            for (size_t s = 0; s < steps.size(); ++s) {
                int velocity = 0;
                switch (steps[s]) {
                    case '.':
                    case '-':
                        break;
                    case 'x':
                        velocity = voice_.velocity;
                        break;
                    case 'X':
                        velocity = voice_.velocity + 24;
                        break;
                    case 'o':
                        velocity = voice_.velocity - 25;
                        break;
                    case 'g':
                        velocity = voice_.velocity - 45;
                        break;
                    default:
                        return Fail(n, "steps of . x X o g");
                }
                if (velocity == 0) continue;
                uint32_t start = cursor_ + static_cast<uint32_t>(s) * step;
                uint32_t length = std::max<uint32_t>(
                    1, std::min<uint32_t>(static_cast<uint32_t>(step * voice_.gate), step - 1));
                AddNote(*key, start, length, velocity + shift.velocity, n);
            }
        }
        if (rowLength * step > kMaxPieceTicks - cursor_)
            return Fail(p.lines.front().first, "a piece of at most 400 bars");
        cursor_ += static_cast<uint32_t>(rowLength) * step;
    }

    void Finish() {
        if (score_.tracks.empty()) return Fail(1, "at least one track");
        if (score_.tempos.empty() || score_.tempos.front().tick != 0)
            score_.tempos.insert(score_.tempos.begin(), TempoChange{0, 120});
        const uint32_t bar = score_.BarTicks();
        uint32_t end = 0;
        for (auto& track : score_.tracks) {
            // A key struck again while it still sounds ends the earlier note there, so every
            // note-on keeps its own note-off.
            auto& notes = track.notes;
            std::stable_sort(notes.begin(), notes.end(),
                             [](const Note& a, const Note& b) { return a.start < b.start; });
            std::vector<Note> kept;
            for (const Note& note : notes) {
                for (Note& earlier : kept)
                    if (earlier.key == note.key && earlier.start + earlier.length > note.start)
                        earlier.length = note.start - earlier.start;
                kept.push_back(note);
            }
            std::erase_if(kept, [](const Note& note) { return note.length == 0; });
            notes = kept;
            for (const Note& note : notes)
                end = std::max(end, note.start + note.length);
        }
        if (end == 0) return Fail(1, "some notes");
        score_.length = (end + bar - 1) / bar * bar;
        if (score_.tempos.back().tick >= score_.length)
            return Fail(1, "tempo changes inside the piece");
    }

    std::string fileName_;
    std::string error_;
    Score score_;
    std::map<std::string, Pattern> patterns_;
    std::string currentPattern_;
    Block block_ = Block::None;
    Voice voice_;
    uint32_t cursor_ = 0;
};

struct Event {
    uint32_t tick;
    int order;  // at one tick: names, then set-up, then note-offs, then note-ons
    std::vector<uint8_t> bytes;
};

void PutVarLen(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t buf[5];
    int n = 0;
    buf[n++] = v & 0x7F;
    while ((v >>= 7) != 0)
        buf[n++] = static_cast<uint8_t>(0x80 | (v & 0x7F));
    while (n > 0)
        out.push_back(buf[--n]);
}

std::vector<uint8_t> Meta(uint8_t type, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> bytes{0xFF, type};
    PutVarLen(bytes, static_cast<uint32_t>(data.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

std::vector<uint8_t> Text(const std::string& s) {
    return {s.begin(), s.end()};
}

void PutTrack(std::vector<uint8_t>& out, std::vector<Event> events, uint32_t length) {
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    events.push_back({length, 9, Meta(0x2F, {})});
    std::vector<uint8_t> body;
    uint32_t now = 0;
    for (const Event& e : events) {
        PutVarLen(body, e.tick - now);
        now = e.tick;
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    PutTag(out, "MTrk");
    PutBe32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

}  // namespace

ScoreParse ParseScore(const std::string& text, const std::string& fileName) {
    return Parser(fileName).Run(text);
}

std::vector<uint8_t> MidiBytes(const Score& score) {
    std::vector<uint8_t> out;
    PutTag(out, "MThd");
    PutBe32(out, 6);
    PutBe16(out, 1);
    PutBe16(out, static_cast<uint32_t>(score.tracks.size() + 1));
    PutBe16(out, kTicksPerQuarter);

    std::vector<Event> conductor;
    conductor.push_back({0, 0, Meta(0x03, Text(score.title))});
    uint8_t unitPower = static_cast<uint8_t>(score.beatUnit == 2 ? 1 : score.beatUnit == 4 ? 2 : 3);
    conductor.push_back(
        {0, 1, Meta(0x58, {static_cast<uint8_t>(score.beatsPerBar), unitPower, 24, 8})});
    for (const auto& t : score.tempos) {
        auto micros = static_cast<uint32_t>(std::lround(60000000.0 / t.bpm));
        conductor.push_back(
            {t.tick, 1,
             Meta(0x51, {static_cast<uint8_t>(micros >> 16), static_cast<uint8_t>(micros >> 8),
                         static_cast<uint8_t>(micros)})});
    }
    PutTrack(out, conductor, score.length);

    for (const auto& track : score.tracks) {
        std::vector<Event> events;
        auto ch = static_cast<uint8_t>(track.channel);
        events.push_back({0, 0, Meta(0x03, Text(track.name))});
        auto cc = [&](uint8_t controller, int value) {
            events.push_back(
                {0, 1, {static_cast<uint8_t>(0xB0 | ch), controller, static_cast<uint8_t>(value)}});
        };
        cc(121, 0);  // controllers back to their defaults when the piece starts again
        events.push_back(
            {0, 1, {static_cast<uint8_t>(0xC0 | ch), static_cast<uint8_t>(track.program)}});
        cc(7, track.volume);
        cc(10, track.pan);
        cc(91, track.reverb);
        cc(93, track.chorus);
        for (const Note& note : track.notes) {
            events.push_back(
                {note.start, 3, {static_cast<uint8_t>(0x90 | ch), note.key, note.velocity}});
            events.push_back(
                {note.start + note.length, 2, {static_cast<uint8_t>(0x80 | ch), note.key, 64}});
        }
        PutTrack(out, events, score.length);
    }
    return out;
}

}  // namespace zarp::audiogen

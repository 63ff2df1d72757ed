#include "game/media/Midi.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "game/media/FileBytes.h"

namespace zarp {

namespace {

// A music file far beyond any real size is not read.
constexpr size_t kMaxMidiBytes = 16u << 20;
constexpr uint8_t kMeta = 0xFF;
constexpr uint8_t kEndOfTrack = 0x2F;
constexpr uint8_t kTempo = 0x51;

uint32_t Be(std::span<const uint8_t> b, size_t at, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | b[at + static_cast<size_t>(i)];
    return v;
}

std::string Hex(uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

class Reader {
  public:
    explicit Reader(std::span<const uint8_t> b) : b_(b) {}

    // Fills the piece; false with piece.problem set when the file cannot be played.
    bool Read(MidiPiece& piece) {
        if (b_.size() < 14 || std::memcmp(b_.data(), "MThd", 4) != 0) {
            return Fail(piece, "not a standard MIDI file (it does not begin with MThd)");
        }
        const uint32_t headerLength = Be(b_, 4, 4);
        if (headerLength < 6 || headerLength > b_.size() - 8) {
            return Fail(piece, "the header is cut short");
        }
        const uint32_t tracks = Be(b_, 10, 2);
        division_ = Be(b_, 12, 2);
        if (division_ == 0 || (division_ & 0x8000) != 0) {
            return Fail(piece, "its time is not counted in ticks per beat");
        }
        if (tracks == 0) return Fail(piece, "it holds no tracks");
        size_t at = 8 + headerLength;
        for (uint32_t t = 1; t <= tracks;) {
            if (b_.size() - at < 8) {
                return Fail(piece, "track " + std::to_string(t) + " of " + std::to_string(tracks) +
                                       " is missing");
            }
            const size_t length = Be(b_, at + 4, 4);
            if (length > b_.size() - at - 8) {
                return Fail(piece, "track " + std::to_string(t) + " is cut short");
            }
            // Chunks of other kinds are skipped, as the format asks.
            if (std::memcmp(b_.data() + at, "MTrk", 4) == 0) {
                if (!Track(t, at, at + 8 + length, piece)) return false;
                ++t;
            }
            at += 8 + length;
        }
        piece.seconds = Seconds();
        Mend(piece);
        return true;
    }

  private:
    bool Fail(MidiPiece& piece, std::string problem) {
        piece.problem = std::move(problem);
        return false;
    }

    bool Track(uint32_t number, size_t chunk, size_t stop, MidiPiece& piece) {
        const auto fail = [&](const std::string& what, size_t at) {
            return Fail(piece, "track " + std::to_string(number) + ": " + what + " at byte " +
                                   std::to_string(at));
        };
        size_t p = chunk + 8;
        const auto varLen = [&](uint32_t& v) {
            v = 0;
            for (int i = 0; i < 4 && p < stop; ++i) {
                const uint8_t c = b_[p++];
                v = (v << 7) | (c & 0x7F);
                if ((c & 0x80) == 0) return true;
            }
            return false;
        };
        uint32_t tick = 0;
        uint8_t running = 0;       // the status of the last channel event
        bool afterSystem = false;  // the event before was a meta or system-exclusive one
        while (p < stop) {
            uint32_t delta = 0;
            if (!varLen(delta) || p >= stop) return fail("the track is cut short", p);
            tick += delta;
            const size_t event = p;
            uint8_t status = b_[p];
            if (status & 0x80) {
                ++p;
            } else if (running == 0) {
                return fail("a data byte where an event should begin", event);
            } else {
                status = running;
                if (afterSystem) inserts_.push_back({chunk, event, running});
            }
            if (status == kMeta || status == 0xF0 || status == 0xF7) {
                uint8_t type = 0;
                if (status == kMeta) {
                    if (p >= stop) return fail("the track is cut short", p);
                    type = b_[p++];
                }
                uint32_t length = 0;
                if (!varLen(length) || length > stop - p) {
                    return fail("the track is cut short", p);
                }
                if (status == kMeta && type == kTempo && length == 3) {
                    tempos_.emplace_back(tick, Be(b_, p, 3));
                }
                p += length;
                afterSystem = true;
                if (status == kMeta && type == kEndOfTrack) break;
            } else if (status >= 0xF0) {
                return fail("the event " + Hex(status) + ", which a file cannot hold,", event);
            } else {
                const size_t data = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
                if (data > stop - p) return fail("the track is cut short", p);
                p += data;
                running = status;
                afterSystem = false;
            }
        }
        end_ = std::max(end_, tick);
        return true;
    }

    double Seconds() {
        std::stable_sort(tempos_.begin(), tempos_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        double seconds = 0;
        uint32_t from = 0, micros = 500000;
        for (const auto& [tick, value] : tempos_) {
            if (tick >= end_) break;
            seconds += static_cast<double>(tick - from) * micros / 1e6 / division_;
            from = tick;
            micros = value;
        }
        return seconds + static_cast<double>(end_ - from) * micros / 1e6 / division_;
    }

    // The bytes with every status byte that running status left out after a meta or
    // system-exclusive event written in, and the lengths of the tracks that grew.
    void Mend(MidiPiece& piece) const {
        piece.bytes.assign(b_.begin(), b_.end());
        if (inserts_.empty()) return;
        std::vector<uint8_t> out;
        out.reserve(b_.size() + inserts_.size());
        size_t copied = 0;
        for (size_t i = 0; i < inserts_.size();) {
            const size_t chunk = inserts_[i].chunk;
            size_t added = 0;
            while (i + added < inserts_.size() && inserts_[i + added].chunk == chunk)
                ++added;
            // Up to the chunk's length field, the new length, then the track with its inserts.
            out.insert(out.end(), b_.begin() + static_cast<std::ptrdiff_t>(copied),
                       b_.begin() + static_cast<std::ptrdiff_t>(chunk + 4));
            const uint64_t length = Be(b_, chunk + 4, 4) + static_cast<uint64_t>(added);
            for (int shift = 24; shift >= 0; shift -= 8)
                out.push_back(static_cast<uint8_t>(length >> shift));
            copied = chunk + 8;
            for (size_t k = i; k < i + added; ++k) {
                out.insert(out.end(), b_.begin() + static_cast<std::ptrdiff_t>(copied),
                           b_.begin() + static_cast<std::ptrdiff_t>(inserts_[k].at));
                out.push_back(inserts_[k].status);
                copied = inserts_[k].at;
            }
            i += added;
        }
        out.insert(out.end(), b_.begin() + static_cast<std::ptrdiff_t>(copied), b_.end());
        piece.bytes = std::move(out);
    }

    struct Insert {
        size_t chunk;    // offset of the track's chunk
        size_t at;       // offset of the event whose status byte was left out
        uint8_t status;  // the status to write in front of it
    };

    std::span<const uint8_t> b_;
    uint32_t division_ = 0;
    uint32_t end_ = 0;
    std::vector<std::pair<uint32_t, uint32_t>> tempos_;  // tick, microseconds per quarter
    std::vector<Insert> inserts_;
};

}  // namespace

MidiPiece ReadMidi(std::span<const uint8_t> bytes) {
    MidiPiece piece;
    Reader reader(bytes);
    if (!reader.Read(piece)) {
        piece.bytes.clear();
        piece.seconds = 0;
    }
    return piece;
}

MidiPiece ReadMidiFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    MidiPiece piece;
    switch (ReadFileBytes(path, kMaxMidiBytes, bytes)) {
        case FileRead::Ok:
            return ReadMidi(bytes);
        case FileRead::CannotOpen:
            piece.problem = "cannot be opened";
            break;
        case FileRead::TooLarge:
            piece.problem = "larger than any piece of music (16 MiB)";
            break;
        case FileRead::ReadError:
            piece.problem = "cannot be read";
            break;
    }
    return piece;
}

void MusicComplaints::Silence(const std::string& path, const std::string& problem) {
    if (!silenced_.insert(path).second) return;
    std::fprintf(stderr, "zarp: music %s: %s (this piece stays silent)\n", path.c_str(),
                 problem.c_str());
}

bool MusicComplaints::EndedShort(const std::string& path, uint32_t playedMs) {
    shortEnds_ = playedMs < kShortPieceMs ? shortEnds_ + 1 : 0;
    if (shortEnds_ < 2) return false;
    Silence(path, "it ended within a second of starting, twice in a row");
    return true;
}

}  // namespace zarp

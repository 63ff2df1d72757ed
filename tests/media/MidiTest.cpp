// The MIDI reader both music players use: what it refuses, how long a piece lasts, and the
// bytes it hands on.
#include <gtest/gtest.h>

#include <span>
#include <string>

#include "game/media/Midi.h"
#include "tests/support/MidiBytes.h"

namespace zarp {
namespace {

using testing_support::kRunningStatusAfterMeta;
using testing_support::kRunningStatusMended;
using testing_support::Smf;

MidiPiece Read(const std::string& bytes) {
    return ReadMidi(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

std::string Text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(MidiReader, RefusesWhatCannotPlayMeasuresAndMendsTheRest) {
    const std::string endOfTrack("\x00\xFF\x2F\x00", 4);
    const std::string beat("\x00\x90\x3C\x64\x60\x80\x3C\x00", 8);
    const std::string tempo("\x00\xFF\x51\x03\x0F\x42\x40", 7);  // a beat a second
    const std::string smpte = [&] {
        std::string file = Smf({beat + endOfTrack});
        file[12] = static_cast<char>(0xE7);  // 25 frames a second
        return file;
    }();
    struct Case {
        const char* what;
        std::string bytes;
        std::string problem;  // a part of it; empty: accepted
        double seconds;
        std::string handedOn;  // empty: the bytes as they were
    };
    const Case cases[] = {
        {"a beat", Smf({beat + endOfTrack}), "", 0.5, ""},
        {"a slower tempo in the first track", Smf({tempo + endOfTrack, beat + endOfTrack}), "", 1.0,
         ""},
        {"no end of track", Smf({beat}), "", 0.5, ""},
        {"running status after a meta event", Smf({kRunningStatusAfterMeta}), "", 2.0,
         Smf({kRunningStatusMended})},
        {"running status after a system-exclusive event",
         Smf({std::string("\x00\x90\x3C\x64\x00\xF0\x01\xF7\x60\x3C\x00", 11) + endOfTrack}), "",
         0.5,
         Smf({std::string("\x00\x90\x3C\x64\x00\xF0\x01\xF7\x60\x90\x3C\x00", 12) + endOfTrack})},
        {"a chunk of another kind is skipped",
         Smf({beat + endOfTrack}).substr(0, 14) + "XFIR" + testing_support::Be32(2) + "ab" +
             Smf({beat + endOfTrack}).substr(14),
         "", 0.5, ""},
        {"a WAV file", "RIFF\x24\x00\x00\x00WAVEfmt ", "not a standard MIDI file", 0, ""},
        {"empty", "", "not a standard MIDI file", 0, ""},
        {"SMPTE time", smpte, "ticks per beat", 0, ""},
        {"no tracks", Smf({}), "no tracks", 0, ""},
        {"a track missing", Smf({beat}).substr(0, 14), "track 1 of 1 is missing", 0, ""},
        {"a track cut short", Smf({beat + endOfTrack}).substr(0, 30), "track 1 is cut short", 0,
         ""},
        {"a data byte first", Smf({std::string("\x00\x3C\x64", 3) + endOfTrack}),
         "a data byte where an event should begin", 0, ""},
        {"a realtime byte", Smf({std::string("\x00\xF8", 2) + endOfTrack}), "0xF8", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const MidiPiece piece = Read(c.bytes);
        if (c.problem.empty()) {
            EXPECT_EQ(piece.problem, "");
            EXPECT_DOUBLE_EQ(piece.seconds, c.seconds);
            EXPECT_EQ(Text(piece.bytes), c.handedOn.empty() ? c.bytes : c.handedOn);
            // What it hands on, it reads again unchanged.
            const MidiPiece again = ReadMidi(piece.bytes);
            EXPECT_EQ(again.bytes, piece.bytes);
            EXPECT_EQ(again.seconds, piece.seconds);
        } else {
            EXPECT_NE(piece.problem.find(c.problem), std::string::npos) << piece.problem;
            EXPECT_TRUE(piece.bytes.empty());
        }
    }
}

}  // namespace
}  // namespace zarp

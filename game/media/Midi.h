// Standard MIDI files as both music players read them: whether a file can be played, its length,
// and the bytes handed to the synthesiser.
#pragma once

#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace zarp {

struct MidiPiece {
    std::string problem;         // why the file cannot be played; empty when it can
    std::vector<uint8_t> bytes;  // the file as the synthesiser gets it (see ReadMidi)
    double seconds = 0;          // from the start to the last end of track, through the tempo map
};

// Reads a standard MIDI file with metrical time. Many real files let the running status of the
// channel events go on after a meta or system-exclusive event, which a strict reader takes as a
// broken file: such events get their status byte written out again in `bytes` (every other
// byte stays as it was), and the length counts them as the notes they are.
MidiPiece ReadMidi(std::span<const uint8_t> bytes);
// The same for a file; one that cannot be read has a problem too.
MidiPiece ReadMidiFile(const std::string& path);

// A piece that ends this soon after it started, twice in a row, is not started again: the
// synthesiser cannot play it, and restarting it at every end would only load the machine.
inline constexpr uint32_t kShortPieceMs = 1000;

// The music players' own say about the pieces they leave silent: one line on standard error per
// file and run, "zarp: music PATH: PROBLEM (this piece stays silent)".
class MusicComplaints {
  public:
    // True when the file was named already: it stays silent without another line.
    bool Silenced(const std::string& path) const { return silenced_.count(path) != 0; }
    void Silence(const std::string& path, const std::string& problem);
    // Counts the ends of a piece that played `playedMs` from its start; true when it ended
    // short twice in a row, which silences it.
    bool EndedShort(const std::string& path, uint32_t playedMs);
    void Opened() { shortEnds_ = 0; }

  private:
    std::set<std::string> silenced_;
    int shortEnds_ = 0;
};

}  // namespace zarp

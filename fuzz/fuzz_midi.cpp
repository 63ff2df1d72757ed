// The MIDI reader both music players use: whether a file plays, its length, and the mended bytes
// the synthesiser gets. What it accepts it must accept again as mended, unchanged.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

#include "game/media/Midi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const zarp::MidiPiece piece = zarp::ReadMidi(std::span<const uint8_t>(data, size));
    if (!piece.problem.empty()) {
        if (!piece.bytes.empty() || piece.seconds != 0) __builtin_trap();
        return 0;
    }
    if (!std::isfinite(piece.seconds) || piece.seconds < 0) __builtin_trap();
    const zarp::MidiPiece again = zarp::ReadMidi(piece.bytes);
    if (!again.problem.empty() || again.bytes != piece.bytes || again.seconds != piece.seconds) {
        __builtin_trap();
    }
    return 0;
}

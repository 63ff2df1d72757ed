// The length of a standard MIDI file, for the music players that must know when a piece ends.
#pragma once

#include <cstdint>
#include <span>

namespace zarp {

// Seconds from the start to the last end-of-track, through the file's tempo map. 0 when the
// bytes are not a standard MIDI file with metrical time that can be read that far.
double MidiSeconds(std::span<const uint8_t> bytes);

}  // namespace zarp

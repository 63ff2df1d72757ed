// The files a game folder for a test holds: a palette.dat, every sound effect as a short silent
// file, and four short pieces of music; all made here, byte by byte.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zarp::testing_support {

// black, the sheets' opaque near-black, a 6 x 6 x 6 colour cube (so pure yellow is exact), dark
// cyan and a grey ramp.
std::vector<uint8_t> FixturePaletteBytes();
// Entry i is the grey (i, i, i).
std::vector<uint8_t> GreyPaletteBytes();
// A short silent mono PCM WAV file.
std::vector<uint8_t> SilentWavBytes();
// A MIDI file of five seconds of silence.
std::string ShortMidiBytes();

// Every effect the game plays, as SilentWavBytes, so the log names what sounded.
void WriteEffects(const std::filesystem::path& folder);
// bgm00.mid to bgm03.mid, as ShortMidiBytes, so the log shows what played and what repeated.
void WriteMusic(const std::filesystem::path& folder);

}  // namespace zarp::testing_support

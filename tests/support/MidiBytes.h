// Small standard MIDI files for the music tests, written byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zarp::testing_support {

inline std::string Be32(uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

// A file of the given format with 96 ticks per beat (120 beats a minute unless a track says
// otherwise), one MTrk chunk per track body.
inline std::string Smf(const std::vector<std::string>& tracks, int format = 1) {
    std::string file = "MThd" + Be32(6) + std::string{0, static_cast<char>(format)} +
                       std::string{0, static_cast<char>(tracks.size())} + std::string{0, 96};
    for (const std::string& track : tracks)
        file += "MTrk" + Be32(static_cast<uint32_t>(track.size())) + track;
    return file;
}

// Middle C for four beats (two seconds), the note-off by running status after a text event: the
// way many real files are written. A strict reader finds a data byte where an event begins.
inline const std::string kRunningStatusAfterMeta = std::string(
    "\x00\x90\x3C\x64"   // note on
    "\x00\xFF\x01\x01x"  // a text event
    "\x83\x00\x3C\x00"   // 384 ticks later: note on with velocity 0, the status left out
    "\x00\xFF\x2F\x00",
    18);  // end of track
// The same track as a strict reader wants it: the status written out again.
inline const std::string kRunningStatusMended = std::string(
    "\x00\x90\x3C\x64"
    "\x00\xFF\x01\x01x"
    "\x83\x00\x90\x3C\x00"
    "\x00\xFF\x2F\x00",
    19);

}  // namespace zarp::testing_support

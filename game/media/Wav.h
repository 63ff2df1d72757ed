// Effect files: a RIFF "WAVE" file whose first sub-chunk holds a PCM format, with a "data"
// chunk after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "game/platform/Platform.h"

namespace zarp {

// Biggest effect file read (effects are a few seconds long).
inline constexpr size_t kMaxWavFileBytes = 32u * 1024 * 1024;

struct WavSamples {
    platform::PcmFormat format;
    size_t offset = 0;  // of the sample bytes in the file
    size_t size = 0;    // sample byte count
};

// Finds the format and the samples; false with `problem` set when the file is not accepted.
bool ParseWav(std::span<const uint8_t> bytes, WavSamples& samples, std::string& problem);

}  // namespace zarp

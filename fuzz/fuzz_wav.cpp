// The effect file reader: any bytes; accepted samples always lie inside the file.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "game/media/Wav.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zarp::WavSamples samples;
    std::string problem;
    if (!zarp::ParseWav(std::span<const uint8_t>(data, size), samples, problem)) {
        if (problem.empty()) __builtin_trap();  // a refusal always says why
        return 0;
    }
    if (samples.size == 0 || samples.offset > size || samples.size > size - samples.offset) {
        __builtin_trap();
    }
    // The voice copies the samples out of the file bytes, as PlayEffect does.
    std::vector<uint8_t> voice(data + samples.offset, data + samples.offset + samples.size);
    return voice.empty() ? 1 : 0;
}

#include "game/media/Wav.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "game/media/FileBytes.h"

namespace zarp {

namespace {

constexpr size_t kChunkHeader = 8;
constexpr uint16_t kFormatPcm = 1;
constexpr size_t kPcmFormatBytes = 16;  // tag, channels, rate, bytes per second, align, bits

bool IdIs(std::span<const uint8_t> bytes, size_t offset, const char* id) {
    return std::memcmp(bytes.data() + offset, id, 4) == 0;
}

struct Chunk {
    size_t header;  // offset of the chunk's identifier
    uint64_t size;  // as the chunk claims
    size_t Data() const { return header + kChunkHeader; }
    // Where the next chunk starts: sizes are padded to an even count.
    uint64_t End() const { return header + kChunkHeader + size + (size & 1); }
};

// The chunk whose header starts at `at`, if its header lies before `end`.
std::optional<Chunk> ChunkAt(std::span<const uint8_t> bytes, uint64_t at, uint64_t end) {
    if (at + kChunkHeader > end) return std::nullopt;
    return Chunk{static_cast<size_t>(at), Le32(bytes, static_cast<size_t>(at) + 4)};
}

// The first chunk from `at` on, before `end`, that `wanted` picks.
template <typename Wanted>
std::optional<Chunk> FindChunk(std::span<const uint8_t> bytes, uint64_t at, uint64_t end,
                               Wanted wanted) {
    while (auto chunk = ChunkAt(bytes, at, end)) {
        if (wanted(*chunk)) return chunk;
        at = chunk->End();
    }
    return std::nullopt;
}

}  // namespace

bool ParseWav(std::span<const uint8_t> bytes, WavSamples& samples, std::string& problem) {
    // The RIFF chunk of form "WAVE" among the file's top-level chunks.
    const auto riff = FindChunk(bytes, 0, bytes.size(), [&](const Chunk& chunk) {
        return IdIs(bytes, chunk.header, "RIFF") && chunk.Data() + 4 <= bytes.size() &&
               IdIs(bytes, chunk.Data(), "WAVE");
    });
    if (!riff) {
        problem = "not a RIFF WAVE file";
        return false;
    }
    // A RIFF size that claims more than the file holds ends where the file ends.
    const uint64_t riffEnd = std::min<uint64_t>(riff->Data() + riff->size, bytes.size());

    // The first sub-chunk is taken as the format, whatever its identifier.
    auto format = ChunkAt(bytes, riff->Data() + 4, riffEnd);
    if (!format) {
        problem = "no format chunk";
        return false;
    }
    if (format->size < kPcmFormatBytes || format->Data() + kPcmFormatBytes > bytes.size()) {
        problem = "format chunk too short";
        return false;
    }
    const size_t f = format->Data();
    const uint16_t tag = Le16(bytes, f);
    if (tag != kFormatPcm) {
        problem = "format tag " + std::to_string(tag) + " is not PCM (1)";
        return false;
    }
    platform::PcmFormat pcm;
    pcm.channels = Le16(bytes, f + 2);
    pcm.samplesPerSec = Le32(bytes, f + 4);
    pcm.blockAlign = Le16(bytes, f + 12);
    pcm.bitsPerSample = Le16(bytes, f + 14);
    // What a sound device takes as a plain PCM buffer.
    if (pcm.channels < 1 || pcm.channels > 2 ||
        (pcm.bitsPerSample != 8 && pcm.bitsPerSample != 16) ||
        pcm.blockAlign != pcm.channels * pcm.bitsPerSample / 8 || pcm.samplesPerSec < 100 ||
        pcm.samplesPerSec > 200000) {
        problem = "unplayable PCM format (" + std::to_string(pcm.channels) + " channels, " +
                  std::to_string(pcm.bitsPerSample) + " bits, " +
                  std::to_string(pcm.samplesPerSec) + " Hz, block " +
                  std::to_string(pcm.blockAlign) + ")";
        return false;
    }

    // The "data" chunk after the format chunk, inside the RIFF chunk.
    const auto data = FindChunk(bytes, format->End(), riffEnd, [&](const Chunk& chunk) {
        return IdIs(bytes, chunk.header, "data");
    });
    if (!data) {
        problem = "no data chunk";
        return false;
    }
    if (data->size == 0) {
        problem = "no samples";
        return false;
    }
    if (data->Data() + data->size > bytes.size()) {
        problem = "truncated: the data chunk claims " + std::to_string(data->size) +
                  " bytes, the file holds " + std::to_string(bytes.size() - data->Data());
        return false;
    }
    samples.format = pcm;
    samples.offset = data->Data();
    samples.size = static_cast<size_t>(data->size);
    return true;
}

}  // namespace zarp

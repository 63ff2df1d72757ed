// Small helpers for the media readers: whole-file reads with a size cap and little-endian fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zarp {

enum class FileRead { Ok, CannotOpen, TooLarge, ReadError };

// Reads the whole file into `bytes`. A file larger than `maxBytes` is refused before anything
// big is allocated.
FileRead ReadFileBytes(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes);

// Reads the first `count` bytes of the file, or all of a shorter one.
FileRead ReadFilePrefix(const std::string& path, size_t count, std::vector<uint8_t>& bytes);

// Fields of a byte buffer; the caller has checked that offset + size lies inside it.
inline uint16_t Le16(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}
inline uint32_t Le32(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

}  // namespace zarp

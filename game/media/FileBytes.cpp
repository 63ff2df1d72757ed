#include "game/media/FileBytes.h"

#include <cstdio>
#include <memory>

namespace zarp {

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
}  // namespace

FileRead ReadFileBytes(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes) {
    bytes.clear();
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return FileRead::CannotOpen;
    // Read in pieces rather than trusting a reported length: a pipe or a growing file says
    // nothing reliable, and the cap must hold whatever the file claims.
    std::vector<uint8_t> chunk(size_t{64} * 1024);
    for (;;) {
        size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get());
        if (got > 0) {
            if (bytes.size() + got > maxBytes) {
                bytes.clear();
                return FileRead::TooLarge;
            }
            bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<ptrdiff_t>(got));
        }
        if (got < chunk.size()) break;
    }
    if (std::ferror(file.get())) {
        bytes.clear();
        return FileRead::ReadError;
    }
    return FileRead::Ok;
}

FileRead ReadFilePrefix(const std::string& path, size_t count, std::vector<uint8_t>& bytes) {
    bytes.assign(count, 0);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        bytes.clear();
        return FileRead::CannotOpen;
    }
    const size_t got = std::fread(bytes.data(), 1, count, file.get());
    if (std::ferror(file.get())) {
        bytes.clear();
        return FileRead::ReadError;
    }
    bytes.resize(got);
    return FileRead::Ok;
}

}  // namespace zarp

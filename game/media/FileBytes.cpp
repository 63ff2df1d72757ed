#include "game/media/FileBytes.h"

#include "common/paths/AtomicFile.h"

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
    std::string text;
    switch (ReadWholeFile(path, text, nullptr, maxBytes)) {
        case ReadStatus::ok:
            bytes.assign(text.begin(), text.end());
            return FileRead::Ok;
        case ReadStatus::missing:
            return FileRead::CannotOpen;
        case ReadStatus::tooLarge:
            return FileRead::TooLarge;
        case ReadStatus::failed:
            break;
    }
    return FileRead::ReadError;
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

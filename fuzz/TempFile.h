// The palette and MIDI readers take a path: each input goes through a small file of its own,
// in memory-backed /dev/shm when there is one, removed again when the input is done.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace zarp::fuzz {

class TempFile {
  public:
    TempFile(const uint8_t* data, size_t size, const char* tag) {
        const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path_ = std::string(folder) + "/zarp-fuzz-" + tag + "-" + std::to_string(getpid());
        std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path_.c_str(), "wb"), fclose);
        if (!file) __builtin_trap();  // no place to write: the run would test nothing
        if (size != 0 && std::fwrite(data, 1, size, file.get()) != size) __builtin_trap();
    }
    ~TempFile() { std::remove(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace zarp::fuzz

// Small file helpers the tests share: a temporary folder that cleans up after itself, and
// whole-file reads and writes of bytes.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace zarp::testing_support {

class TempDir {
  public:
    explicit TempDir(const std::string& prefix = "zarp-test") {
        std::string pattern = std::filesystem::temp_directory_path() / (prefix + "-XXXXXX");
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (::mkdtemp(name.data())) path_ = name.data();
    }
    ~TempDir() {
        if (!path_.empty()) std::filesystem::remove_all(path_);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace zarp::testing_support

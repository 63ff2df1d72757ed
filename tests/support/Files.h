// Small file helpers the tests share: the one temporary folder, a working folder for the length
// of a scope, and whole-file reads and writes of bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zarp::testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it at the end
// (after giving the owner back any rights a test took away). ZARP_KEEP_FIXTURES in the
// environment keeps it for a look afterwards.
class TempDir {
  public:
    explicit TempDir(const std::string& prefix = "zarp-test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::filesystem::path dir() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    std::string Folder() const { return path_ + "/"; }  // with its trailing separator

  private:
    std::string path_;
};

// Runs in `folder` as the working folder until destroyed.
class WorkingFolder {
  public:
    explicit WorkingFolder(const std::filesystem::path& folder);
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

  private:
    std::filesystem::path previous_;
};

// The whole file, or nothing when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);
// Writes the file whole; a file that cannot be written fails the test that asked.
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

}  // namespace zarp::testing_support

#include "common/paths/AtomicFile.h"

#include "common/paths/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

namespace zarp {
namespace {

using Fd = UniqueFd;

void SetError(std::string* error, const std::string& path, const std::string& reason) {
    if (error) *error = path + ": " + reason;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The process umask without changing it (umask() cannot be read without setting it, which
// would race with other threads creating files).
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
        }
    }
    return 022;
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

ReadStatus ReadWholeFile(const std::string& path, std::string& bytes, std::string* error,
                         size_t maxBytes) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        const int err = errno;
        SetError(error, path, std::strerror(err));
        return err == ENOENT ? ReadStatus::missing : ReadStatus::failed;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        SetError(error, path, std::strerror(errno));
        return ReadStatus::failed;
    }
    if (S_ISDIR(st.st_mode)) {
        SetError(error, path, "is a folder, not a file");
        return ReadStatus::failed;
    }
    std::string result;
    std::vector<char> buffer(65536);
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            SetError(error, path, std::strerror(errno));
            return ReadStatus::failed;
        }
        if (n == 0) break;
        if (result.size() + static_cast<size_t>(n) > maxBytes) {
            SetError(error, path, "is larger than " + std::to_string(maxBytes) + " bytes");
            return ReadStatus::tooLarge;
        }
        result.append(buffer.data(), static_cast<size_t>(n));
    }
    bytes = std::move(result);
    return ReadStatus::ok;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error,
                         const std::function<void()>& beforeRename) {
    if (path.empty() || path.back() == '/') {
        SetError(error, path, "not a file name");
        return false;
    }
    const std::string folder = FolderOf(path);
    std::string tempName = folder + "/." + BaseOf(path) + ".XXXXXX";
    std::vector<char> name(tempName.begin(), tempName.end());
    name.push_back('\0');
    Fd fd(::mkostemp(name.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        SetError(error, path,
                 std::string("cannot create a file in its folder: ") + std::strerror(errno));
        return false;
    }
    tempName = name.data();

    auto fail = [&](const std::string& reason) {
        fd.Close();
        ::unlink(tempName.c_str());
        SetError(error, path, reason);
        return false;
    };

    // Keep the mode of a regular file being replaced; a new file gets the usual 0666 less umask.
    mode_t mode = 0666 & ~CurrentUmask();
    struct stat old {};
    if (::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) mode = old.st_mode & 07777;
    if (::fchmod(fd.get(), mode) != 0) return fail(std::strerror(errno));

    if (!WriteAll(fd.get(), bytes)) return fail(std::strerror(errno));
    if (::fsync(fd.get()) != 0) return fail(std::strerror(errno));
    if (!fd.Close()) {
        const int err = errno;
        ::unlink(tempName.c_str());
        SetError(error, path, std::strerror(err));
        return false;
    }
    if (beforeRename) beforeRename();
    if (::rename(tempName.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(tempName.c_str());
        SetError(error, path, std::strerror(err));
        return false;
    }
    // Make the rename itself durable; a failure here no longer endangers either version.
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return true;
}

}  // namespace zarp

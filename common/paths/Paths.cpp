#include "common/paths/Paths.h"

#include "common/paths/AtomicFile.h"
#include "common/paths/UniqueFd.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

// Under node the program is the script that node runs, not node itself.
// clang-format off
EM_JS(char*, ZarpScriptPath, (), {
    if (typeof process != 'object' || !process.argv || !process.argv[1]) return 0;
    return allocateUTF8(require('path').resolve(process.argv[1]));
});
// clang-format on
#endif

namespace zarp {
namespace {

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

std::string WithoutTrailingSlashes(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder == "/" ? "" : folder;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return WithoutTrailingSlashes(home);
    const passwd* entry = ::getpwuid(::geteuid());
    if (entry && entry->pw_dir && entry->pw_dir[0] == '/')
        return WithoutTrailingSlashes(entry->pw_dir);
    return {};
}

// Makes every missing folder of `path` (mode 0755 less the umask), leaving existing ones alone.
bool MakeParentFolders(const std::string& path, std::string* error) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string parent = path.substr(0, slash);
        if (::mkdir(parent.c_str(), 0755) != 0 && errno != EEXIST) {
            SetError(error, parent + ": cannot create the folder: " + std::strerror(errno));
            return false;
        }
    }
    return true;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Copies every stage set of `from` into `to`. A missing `from` copies nothing. The copies get the
// usual mode of a new file, so an example from a read-only tree can be saved over.
bool CopyStageSets(const std::string& from, const std::string& to, std::string* error) {
    for (const std::string& name : ListFiles(from, ".zrp")) {
        std::string bytes;
        if (ReadWholeFile(from + "/" + name, bytes, error) != ReadStatus::ok ||
            !WriteFileAtomically(to + "/" + name, bytes, error)) {
            return false;
        }
    }
    return true;
}

// Makes `path` with its missing parents; a new last folder is private to the user. What is there
// already is taken as long as it is a folder.
bool MakeUserFolder(const std::string& path, std::string* error) {
    if (!MakeParentFolders(path, error)) return false;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        SetError(error, path + ": cannot create the folder: " + std::strerror(errno));
        return false;
    }
    if (!IsFolder(path)) {
        SetError(error, path + ": is not a folder");
        return false;
    }
    return true;
}

}  // namespace

std::string ProgramFolder() {
#ifdef __EMSCRIPTEN__
    if (char* script = ZarpScriptPath()) {
        std::string path(script);
        std::free(script);
        const auto slash = path.rfind('/');
        return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
    }
#endif
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return "./";
        if (static_cast<size_t>(n) < buffer.size()) {
            std::string path(buffer.data(), static_cast<size_t>(n));
            const auto slash = path.rfind('/');
            return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string TestPlayFolderPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') return WithoutTrailingSlashes(runtime) + "/zarpane";
    return "/tmp/zarpane-" + std::to_string(::geteuid());
}

bool MakePrivateFolder(const std::string& folder, std::string* error) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        SetError(error, folder + ": cannot create the folder: " + std::strerror(errno));
        return false;
    }
    // Look at the folder through a handle that refuses to follow a symlink, so the checks and
    // the mode fix apply to the very folder we accept.
    const UniqueFd handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    const int fd = handle.get();
    if (fd < 0) {
        const int err = errno;
        struct stat st {};
        if (::lstat(folder.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
            SetError(error, folder + ": is a symbolic link; refusing to use it");
        } else if (err == ENOTDIR) {
            SetError(error, folder + ": is not a folder; refusing to use it");
        } else {
            SetError(error, folder + ": " + std::strerror(err));
        }
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    if (!ok) {
        SetError(error, folder + ": " + std::strerror(errno));
    } else if (!S_ISDIR(st.st_mode)) {
        SetError(error, folder + ": is not a folder; refusing to use it");
        ok = false;
    } else if (st.st_uid != ::geteuid()) {
        SetError(error, folder + ": belongs to another user (uid " + std::to_string(st.st_uid) +
                            "); refusing to use it");
        ok = false;
    } else if ((st.st_mode & 07777) != 0700 && ::fchmod(fd, 0700) != 0) {
        SetError(error, folder + ": cannot make the folder private: " + std::strerror(errno));
        ok = false;
    }
    return ok;
}

bool TestPlayFolder(std::string& folder, std::string* error) {
    const std::string path = TestPlayFolderPath();
    if (!MakePrivateFolder(path, error)) return false;
    folder = path;
    return true;
}

bool TestPlayFile(std::string& path, std::string* error) {
    std::string folder;
    if (!TestPlayFolder(folder, error)) return false;
    path = folder + "/" + kTestPlayFileName;
    return true;
}

std::string UserStateFolderPath() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return WithoutTrailingSlashes(state) + "/zarpane";
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.local/state/zarpane";
}

bool UserStateFolder(std::string& folder, std::string* error) {
    const std::string path = UserStateFolderPath();
    if (path.empty()) {
        SetError(error, "no home folder for the user's state files");
        return false;
    }
    if (!MakeParentFolders(path, error) || !MakePrivateFolder(path, error)) return false;
    folder = path;
    return true;
}

namespace {

char FoldedLetter(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWithFolded(const std::string& name, const std::string& extension) {
    if (name.size() < extension.size()) return false;
    return std::equal(extension.begin(), extension.end(), name.end() - extension.size(),
                      [](char a, char b) { return FoldedLetter(a) == FoldedLetter(b); });
}

bool ListedBefore(const std::string& a, const std::string& b) {
    const auto folded = [](char c) { return static_cast<unsigned char>(FoldedLetter(c)); };
    const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return folded(x) == folded(y); });
    if (mismatch.first != a.end() && mismatch.second != b.end()) {
        return folded(*mismatch.first) < folded(*mismatch.second);
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace

std::vector<std::string> ListFiles(const std::string& folder, const std::string& extension) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        struct stat info {};
        if (EndsWithFolded(name, extension) && ::stat((folder + "/" + name).c_str(), &info) == 0 &&
            S_ISREG(info.st_mode)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(), ListedBefore);
    return names;
}

std::string UserDataFolderPath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return WithoutTrailingSlashes(data) + "/zarpane";
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.local/share/zarpane";
}

Layout PortableLayout(const std::string& programFolder) {
    Layout layout;
    layout.dataFolder = programFolder;
    layout.settingsFile = programFolder + "zarp.dat";
    return layout;
}

Layout InstalledLayout(const std::string& programFolder) {
    Layout layout;
    layout.installed = true;
    // bin/../share/zarpane, written without the "..", so that messages name the real place.
    layout.dataFolder =
        std::filesystem::path(programFolder + "../share/zarpane/").lexically_normal().string();
    layout.startDataFolder = layout.dataFolder;
    layout.exampleFolder = layout.dataFolder + "examples";
    layout.userFolder = UserDataFolderPath();
    if (!layout.userFolder.empty()) {
        layout.settingsFile = layout.userFolder + "/zarp.dat";
        layout.userStageFolder = layout.userFolder + "/stages";
    }
    return layout;
}

Layout FindLayout(const std::string& programFolder) {
    return IsRegularFile(programFolder + kLayoutMarker) ? PortableLayout(programFolder)
                                                        : InstalledLayout(programFolder);
}

bool PrepareUserFolders(const Layout& layout, std::string* error) {
    if (!layout.installed) return true;
    if (layout.userFolder.empty()) {
        SetError(error, "no home folder for the user's data files");
        return false;
    }
    if (!MakeUserFolder(layout.userFolder, error)) return false;
    const std::string stages = layout.userStageFolder;
    if (stages.empty() || IsFolder(stages)) return true;
    // The examples go into a folder of their own that takes the stage folder's name only when
    // every copy is whole: an interrupted first run is simply done again at the next start.
    std::string pattern = stages + ".new-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        SetError(error, stages + ": cannot create the folder: " + std::strerror(errno));
        return false;
    }
    const std::string fresh = pattern;
    bool ok = CopyStageSets(layout.exampleFolder, fresh, error);
    if (ok && ::rename(fresh.c_str(), stages.c_str()) != 0) {
        // Another start made it meanwhile: theirs stays.
        if (!IsFolder(stages)) {
            SetError(error, stages + ": cannot create the folder: " + std::strerror(errno));
            ok = false;
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(fresh, ignored);
    return ok;
}

}  // namespace zarp

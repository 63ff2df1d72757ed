#include "editor/Recovery.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

#include "common/paths/AtomicFile.h"
#include "common/profile/Profile.h"

namespace zarp::editor {

namespace {

constexpr const char* kPrefix = "editor-";
constexpr const char* kInfoSuffix = ".info";
constexpr const char* kSection = "Recovery";
constexpr size_t kMaxInfoBytes = 64 * 1024;

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string InfoText(const RecoveryInfo& info) {
    IniFile profile;
    // Percent-encoded, so any byte of a path survives the one-line value.
    profile.Set(kSection, "File",
                QFile::encodeName(info.fileName).toPercentEncoding().toStdString());
    profile.SetInt(kSection, "StageTotal", info.stageTotal);
    profile.SetInt(kSection, "Stage", info.currentStage);
    profile.Set(kSection, "Time", std::to_string(info.savedAt));
    return profile.Text();
}

bool ReadInfo(const std::string& path, RecoveryInfo& info) {
    std::string text;
    if (ReadWholeFile(path, text, nullptr, kMaxInfoBytes) != ReadStatus::ok) return false;
    IniFile profile;
    profile.Parse(text);
    const std::optional<std::string> file = profile.Get(kSection, "File");
    const std::optional<std::string> time = profile.Get(kSection, "Time");
    if (!file || !time) return false;
    info.fileName =
        QFile::decodeName(QByteArray::fromPercentEncoding(QByteArray::fromStdString(*file)));
    info.stageTotal = profile.GetInt(kSection, "StageTotal", 0);
    info.currentStage = profile.GetInt(kSection, "Stage", 1);
    try {
        info.savedAt = std::stoll(*time);
    } catch (const std::exception&) {
        info.savedAt = 0;
    }
    return true;
}

}  // namespace

RecoveryFile::RecoveryFile(std::string folder) {
    // The process number and a random part, so that an editor given the process number of one
    // that crashed does not take over its files.
    std::random_device random;
    char tag[16];
    std::snprintf(tag, sizeof tag, "-%08x", static_cast<unsigned>(random()));
    const std::string base = folder + "/" + kPrefix + std::to_string(::getpid()) + tag;
    stagePath_ = base + ".zrp";
    infoPath_ = base + kInfoSuffix;
    lockPath_ = base + ".lock";
}

RecoveryFile::~RecoveryFile() = default;

bool RecoveryFile::Write(const std::string& stageText, const RecoveryInfo& info,
                         std::string* error) {
    if (!lock_.valid()) {
        UniqueFd lock(::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!lock.valid() || ::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
            if (error) *error = lockPath_ + ": " + std::strerror(errno);
            return false;
        }
        lock_ = std::move(lock);
    }
    // The set first: an info file always names a whole set.
    return WriteFileAtomically(stagePath_, stageText, error) &&
           WriteFileAtomically(infoPath_, InfoText(info), error);
}

void RecoveryFile::Remove() {
    if (!lock_.valid()) return;
    ::unlink(infoPath_.c_str());
    ::unlink(stagePath_.c_str());
    ::unlink(lockPath_.c_str());
    lock_.Close();
}

std::vector<OrphanRecovery> RecoveryFile::FindOrphans(const std::string& folder) {
    std::vector<OrphanRecovery> orphans;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return orphans;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name.rfind(kPrefix, 0) != 0 || !EndsWith(name, kInfoSuffix)) continue;
        const std::string base =
            folder + "/" + name.substr(0, name.size() - std::strlen(kInfoSuffix));
        OrphanRecovery orphan{base + ".zrp", base + kInfoSuffix, base + ".lock", {}};
        // A lock someone holds is a running editor's; a lock we can take, or none, is nobody's.
        UniqueFd lock(::open(orphan.lockPath.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
        if (lock.valid() && ::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) continue;
        if (!ReadInfo(orphan.infoPath, orphan.info)) {
            // An info file that cannot be read belongs to nothing that could be restored.
            Remove(orphan);
            continue;
        }
        orphans.push_back(orphan);
    }
    std::sort(orphans.begin(), orphans.end(), [](const OrphanRecovery& a, const OrphanRecovery& b) {
        return a.info.savedAt > b.info.savedAt;
    });
    return orphans;
}

void RecoveryFile::Remove(const OrphanRecovery& orphan) {
    ::unlink(orphan.infoPath.c_str());
    ::unlink(orphan.stagePath.c_str());
    ::unlink(orphan.lockPath.c_str());
}

}  // namespace zarp::editor

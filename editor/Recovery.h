// The recovery file: while a document has unsaved changes, the editor keeps a copy of it in the
// user's state folder, so that a crash or a killed editor loses at most the last half minute.
//
// Each running editor has its own three files there, named editor-PID-TAG with a random tag:
// .zrp (the whole set, all slots, written by the shared stage writer), .info (what the set
// belongs to) and .lock, which the editor holds locked while it runs. A recovery whose lock nobody
// holds belongs to an editor that ended without tidying up; the next editor offers to restore it.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "common/paths/UniqueFd.h"

namespace zarp::editor {

struct RecoveryInfo {
    QString fileName;          // the document's file; empty while untitled
    int32_t stageTotal = 0;    // the set's own total (the copy holds every slot)
    int32_t currentStage = 1;  // the stage that was shown
    int64_t savedAt = 0;       // seconds since the epoch
};

// A recovery left behind by an editor that is no longer running.
struct OrphanRecovery {
    std::string stagePath;
    std::string infoPath;
    std::string lockPath;
    RecoveryInfo info;
};

class RecoveryFile {
  public:
    // `folder`: the user's state folder (made by the caller).
    explicit RecoveryFile(std::string folder);
    ~RecoveryFile();
    RecoveryFile(const RecoveryFile&) = delete;
    RecoveryFile& operator=(const RecoveryFile&) = delete;

    // Replaces this editor's recovery with `stageText` and `info`, each by temporary file and
    // rename, so a reader finds the old copy or the new one, never a part.
    bool Write(const std::string& stageText, const RecoveryInfo& info, std::string* error);
    // Removes this editor's recovery, if it has one.
    void Remove();
    bool Exists() const { return lock_.valid(); }
    const std::string& StagePath() const { return stagePath_; }

    // The recoveries in `folder` that no running editor holds, newest first.
    static std::vector<OrphanRecovery> FindOrphans(const std::string& folder);
    static void Remove(const OrphanRecovery& orphan);

  private:
    std::string stagePath_;
    std::string infoPath_;
    std::string lockPath_;
    UniqueFd lock_;  // held from the first write until Remove
};

}  // namespace zarp::editor

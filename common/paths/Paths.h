// Where the programs find their files.
#pragma once

#include <string>
#include <vector>

namespace zarp {

// Folder of the running executable (not the working folder), with a trailing '/'.
std::string ProgramFolder();

inline constexpr const char* kTestPlayFileName = "$$$zrp$$$.tmp";

// The private per-user folder of the editor's test-play file: $XDG_RUNTIME_DIR/zarpane when
// XDG_RUNTIME_DIR is set, else /tmp/zarpane-UID. Created with mode 0700; refused (false with a
// message) unless it is a real directory, not a symlink, owned by the user.
bool TestPlayFolder(std::string& folder, std::string* error);
// The folder followed by "/$$$zrp$$$.tmp".
bool TestPlayFile(std::string& path, std::string* error);

// The path TestPlayFolder uses, without touching the disk. An empty or relative XDG_RUNTIME_DIR
// counts as unset.
std::string TestPlayFolderPath();
// Creates `folder` with mode 0700 if it is missing, then accepts it only when it is a real
// directory owned by the effective user; an accepted folder whose mode is not 0700 is set to 0700.
bool MakePrivateFolder(const std::string& folder, std::string* error);

// The user's folder for state worth keeping across runs but not worth backing up (the editor's
// recovery file): $XDG_STATE_HOME/zarpane, else ~/.local/state/zarpane. A relative
// XDG_STATE_HOME counts as unset. Without a home folder the path is empty.
std::string UserStateFolderPath();
// The same folder, made (with its missing parents) when it is not there yet; the zarpane folder
// itself is private to the user.
bool UserStateFolder(std::string& folder, std::string* error);

// The regular files of `folder` whose names end in `extension`, letter case ignored ("*.zrp"),
// as bare names in the order of the platform's listing: names compare with ASCII letters folded
// to small ones, and names that are then equal ("A.zrp", "a.zrp") by their bytes. A folder that
// cannot be read lists nothing.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& extension);

}  // namespace zarp

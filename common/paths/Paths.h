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

// The user's folder for files worth keeping (the ranking, the editor's settings, the user's stage
// sets): $XDG_DATA_HOME/zarpane, else ~/.local/share/zarpane. A relative XDG_DATA_HOME counts as
// unset. Without a home folder the path is empty.
std::string UserDataFolderPath();

// Where the programs find their data and keep what they write. Two layouts, told apart by one
// rule: a program whose own folder holds palette.dat runs portable, any other runs installed.
// - Portable (a build's dist/ folder): sounds, music and zarp.dat beside the program; stage.dat,
//   palette.dat and the stage sets in the working folder.
// - Installed (bin/ of an installed tree): every data file in ../share/zarpane beside bin/, found
//   from the program's own place, so a tree moved or unpacked elsewhere still runs; zarp.dat and
//   the user's stage sets in the user's data folder. Nothing is written into the tree.
inline constexpr const char* kLayoutMarker = "palette.dat";

struct Layout {
    bool installed = false;
    // The program's sounds and music; installed, every data file. With a trailing '/'.
    std::string dataFolder;
    // What stage.dat and palette.dat are read through: empty for the working folder (portable),
    // else the data folder.
    std::string startDataFolder;
    // zarp.dat: the ranking and the editor's settings. Empty when an installed program finds no
    // home folder.
    std::string settingsFile;
    // Installed: the user's data folder (UserDataFolderPath()), the user's stage sets in it
    // ("stages") and the example sets copied there when it is made; none with a trailing '/'.
    // All empty when portable.
    std::string userFolder;
    std::string userStageFolder;
    std::string exampleFolder;
};

// `programFolder` ends in '/'.
Layout PortableLayout(const std::string& programFolder);
Layout InstalledLayout(const std::string& programFolder);
// The layout the rule above gives for a program in `programFolder`.
Layout FindLayout(const std::string& programFolder);

// Installed: makes the layout's user folder (with its missing parents; a new one private to the
// user, one there already taken as it is, a link to a folder elsewhere included) and, when it is
// missing, the user's stage folder with a copy of every example set in it; a stage folder the
// user emptied stays empty. Portable: nothing to do.
bool PrepareUserFolders(const Layout& layout, std::string* error);

}  // namespace zarp

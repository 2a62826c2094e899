#pragma once

#include <string>

namespace quavert {

/// File name of the instrument and drum names.
inline constexpr const char* kGenmidiFileName = "genmidi.ini";
/// File name of the settings (the file opened last).
inline constexpr const char* kSettingsFileName = "quavert.ini";
/// Where an installed program's data lies, under the prefix it was installed to.
inline constexpr const char* kInstalledDataFolder = "share/quavert";

/// What the choice of the program's folders depends on.
struct FolderInputs {
  std::string ExecutableFolder;         ///< the folder of the running program
  bool ExecutableFolderWritable = false;
  bool Installed = false;               ///< it sits in PREFIX/bin with PREFIX/share/quavert beside it
  std::string QuavertHome;              ///< QUAVERT_HOME; "" when unset
  std::string XdgDataHome;              ///< XDG_DATA_HOME; "" when unset
  std::string XdgConfigHome;            ///< XDG_CONFIG_HOME; "" when unset
  std::string Home;                     ///< the user's home folder
};

/// Where the program keeps things.
struct ProgramFolders {
  std::string App;       ///< the working copy, the working files, logs/ and a genmidi.ini of one's own
  std::string Settings;  ///< the settings file's path
  std::string Data;      ///< where genmidi.ini is read when App has none; "" for nowhere else
  bool PerUser = false;  ///< App and the settings' folder are the user's, made when missing
  bool operator==(const ProgramFolders&) const = default;
};

/// QUAVERT_HOME, when set, holds everything. Otherwise a program run from a folder it can write
/// to (the build folder) keeps everything there. An installed one, or one whose folder is not
/// writable, keeps its files in $XDG_DATA_HOME/quavert (~/.local/share/quavert) and its settings
/// in $XDG_CONFIG_HOME/quavert (~/.config/quavert), and reads genmidi.ini from the installed data
/// folder (or its own folder) when the user has none. An XDG variable that is not an absolute
/// path is passed over; with no home folder at all, the program's folder is used as before.
ProgramFolders ChooseFolders(const FolderInputs& inputs);

/// The inputs of this process: /proc/self/exe, the file system and the environment.
FolderInputs FolderInputsOfThisProcess();

/// The folders of this process: ChooseFolders(FolderInputsOfThisProcess()).
ProgramFolders ProgramFoldersOfThisProcess();

/// Creates the per-user folders when missing; a failure is left for the program to meet later.
void MakeProgramFolders(const ProgramFolders& folders);

/// The genmidi.ini to read: the one in `app_folder` when it exists, else the one in
/// `data_folder` when that is given, else the (missing) one in `app_folder`.
std::string GenmidiFile(const std::string& app_folder, const std::string& data_folder);

}  // namespace quavert

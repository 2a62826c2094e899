#include "common/app_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "common/file_system.h"

namespace quavert {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// $XDG_..._HOME when it is an absolute path, else HOME/fallback; "" without either.
std::string BaseFolder(const std::string& xdg, const std::string& home, const char* fallback) {
  if (!xdg.empty() && xdg[0] == '/') return xdg;
  if (home.empty() || home[0] != '/') return {};
  return JoinPath(home, fallback);
}

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (!home.empty()) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr)
    home = found->pw_dir;
  return home;
}

std::string ExecutableFolder() {
  std::vector<char> buffer(PATH_MAX + 1);
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), PATH_MAX);
  if (length <= 0) return CurrentFolder();
  return FolderOf(std::string(buffer.data(), static_cast<std::size_t>(length)));
}

}  // namespace

ProgramFolders ChooseFolders(const FolderInputs& inputs) {
  ProgramFolders folders;
  const std::string prefix = FolderOf(inputs.ExecutableFolder);
  const std::string installed_data = inputs.Installed ? JoinPath(prefix, kInstalledDataFolder) : std::string();
  if (!inputs.QuavertHome.empty()) {
    folders.App = inputs.QuavertHome;
    folders.Settings = JoinPath(folders.App, kSettingsFileName);
    folders.Data = installed_data;
    return folders;
  }
  const std::string data_home = BaseFolder(inputs.XdgDataHome, inputs.Home, ".local/share");
  const std::string config_home = BaseFolder(inputs.XdgConfigHome, inputs.Home, ".config");
  const bool per_user = inputs.Installed || !inputs.ExecutableFolderWritable;
  if (per_user && !data_home.empty() && !config_home.empty()) {
    folders.App = JoinPath(data_home, "quavert");
    folders.Settings = JoinPath(JoinPath(config_home, "quavert"), kSettingsFileName);
    folders.Data = inputs.Installed ? installed_data : inputs.ExecutableFolder;
    folders.PerUser = true;
    return folders;
  }
  folders.App = inputs.ExecutableFolder;
  folders.Settings = JoinPath(folders.App, kSettingsFileName);
  return folders;
}

FolderInputs FolderInputsOfThisProcess() {
  FolderInputs inputs;
  inputs.ExecutableFolder = ExecutableFolder();
  inputs.ExecutableFolderWritable = ::access(inputs.ExecutableFolder.c_str(), W_OK) == 0;
  std::error_code ignored;
  inputs.Installed = NameOf(inputs.ExecutableFolder) == "bin" &&
                     std::filesystem::is_directory(JoinPath(FolderOf(inputs.ExecutableFolder), kInstalledDataFolder), ignored);
  inputs.QuavertHome = Environment("QUAVERT_HOME");
  inputs.XdgDataHome = Environment("XDG_DATA_HOME");
  inputs.XdgConfigHome = Environment("XDG_CONFIG_HOME");
  inputs.Home = HomeFolder();
  return inputs;
}

ProgramFolders ProgramFoldersOfThisProcess() { return ChooseFolders(FolderInputsOfThisProcess()); }

void MakeProgramFolders(const ProgramFolders& folders) {
  if (!folders.PerUser) return;
  std::error_code ignored;
  std::filesystem::create_directories(folders.App, ignored);
  std::filesystem::create_directories(FolderOf(folders.Settings), ignored);
}

std::string GenmidiFile(const std::string& app_folder, const std::string& data_folder) {
  const std::string own = JoinPath(app_folder, kGenmidiFileName);
  if (data_folder.empty() || FileExists(own)) return own;
  return JoinPath(data_folder, kGenmidiFileName);
}

}  // namespace quavert

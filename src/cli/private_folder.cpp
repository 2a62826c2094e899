#include "cli/private_folder.h"

#include <filesystem>

#include "common/app_folder.h"
#include "common/file_system.h"
#include "common/run_error.h"

namespace quavert::cli {

PrivateFolder::PrivateFolder() {
  try {
    path_ = MakeTemporaryFolder("quavert-cli");
  } catch (const RunError& failure) {
    throw RunError(failure.code(), "cannot create a temporary folder (" + failure.reason() + ")");
  }
  std::error_code ignored;
  std::filesystem::create_directory(JoinPath(path_, "logs"), ignored);
  const ProgramFolders folders = ProgramFoldersOfThisProcess();
  const std::string genmidi = GenmidiFile(folders.App, folders.Data);
  // Without genmidi.ini the names read "unknown"; the run goes on.
  std::filesystem::copy_file(genmidi, JoinPath(path_, kGenmidiFileName), ignored);
}

PrivateFolder::~PrivateFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace quavert::cli

#include "support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "common/file_system.h"

namespace quavert::testing {

TempFolder::TempFolder() : path_(MakeTemporaryFolder("quavert-test")) {}

TempFolder::~TempFolder() {
  std::error_code ignored;
  // Folders a test made read-only must become writable again to be removed.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
    if (it->is_directory(ignored))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Join(std::string_view name) const { return path_ + "/" + std::string(name); }

std::string TempFolder::Write(std::string_view name, std::string_view bytes) const {
  WriteFileBytes(Join(name), bytes);
  return Join(name);
}

}  // namespace quavert::testing

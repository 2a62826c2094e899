#include "cli/private_folder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "common/app_folder.h"
#include "common/file_system.h"

namespace quavert::cli {

PrivateFolder::PrivateFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/quavert-cli-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
  path_ = buffer.data();
  std::error_code ignored;
  std::filesystem::create_directory(JoinPath(path_, "logs"), ignored);
  const std::string genmidi = JoinPath(ApplicationFolder(), "genmidi.ini");
  // Without genmidi.ini the names read "unknown"; the run goes on.
  std::filesystem::copy_file(genmidi, JoinPath(path_, "genmidi.ini"), ignored);
}

PrivateFolder::~PrivateFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace quavert::cli

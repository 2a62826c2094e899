#include "common/app_folder.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "common/file_system.h"

namespace quavert {

std::string ApplicationFolder() {
  if (const char* home = std::getenv("QUAVERT_HOME"); home != nullptr && *home != '\0') return home;
  std::vector<char> buffer(PATH_MAX + 1);
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), PATH_MAX);
  if (length <= 0) return CurrentFolder();
  return FolderOf(std::string(buffer.data(), static_cast<std::size_t>(length)));
}

}  // namespace quavert

#include "shell/recent_files.h"

#include <algorithm>

namespace quavert {

std::vector<std::string> WithRecent(std::vector<std::string> recent, const std::string& path, std::size_t most) {
  if (path.empty()) return recent;
  std::erase(recent, path);
  recent.insert(recent.begin(), path);
  if (recent.size() > most) recent.resize(most);
  return recent;
}

std::vector<std::string> RecentBefore(const std::vector<std::string>& recent, const std::string& last,
                                      std::size_t most) {
  std::vector<std::string> before;
  const std::size_t room = last.empty() ? most : most - 1;
  for (const std::string& path : recent) {
    if (path != last && !path.empty() && before.size() < room) before.push_back(path);
  }
  return before;
}

}  // namespace quavert

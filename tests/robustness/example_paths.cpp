#include "robustness/example_paths.h"

#include <algorithm>
#include <filesystem>

namespace quavert::testing {

std::vector<std::string> ExamplePaths() {
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(QUAVERT_SOURCE_DIR) + "/examples"))
    if (entry.path().extension() == ".mid") paths.push_back(entry.path().string());
  std::sort(paths.begin(), paths.end());
  return paths;
}

}  // namespace quavert::testing

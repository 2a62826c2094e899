#include "robustness/road_support.h"

#include <algorithm>
#include <filesystem>

#include "support/session_fixture.h"

namespace quavert::testing {

RoadScratch::RoadScratch() : folders{root.Join("app"), root.Join("user"), root.Join("current")} {
  for (const std::string& folder : {folders.App, folders.User, folders.Current})
    std::filesystem::create_directory(folder);
  InstallGenmidi(folders.App);
}

std::vector<std::string> ExamplePaths() {
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(QUAVERT_SOURCE_DIR) + "/examples"))
    if (entry.path().extension() == ".mid") paths.push_back(entry.path().string());
  std::sort(paths.begin(), paths.end());
  return paths;
}

}  // namespace quavert::testing

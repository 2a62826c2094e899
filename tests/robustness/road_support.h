#pragma once

#include <string>
#include <vector>

#include "fuzz/road.h"
#include "support/temp_folder.h"

namespace quavert::testing {

/// The road's three folders under a temporary folder of their own, with the build's genmidi.ini.
struct RoadScratch {
  RoadScratch();
  TempFolder root;
  fuzz::RoadFolders folders;
};

/// Paths of the project's example files, examples/*.mid, in name order.
std::vector<std::string> ExamplePaths();

}  // namespace quavert::testing

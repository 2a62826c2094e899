#pragma once

#include <string>
#include <vector>

namespace quavert::testing {

/// Paths of the project's example files, examples/*.mid, in name order.
std::vector<std::string> ExamplePaths();

}  // namespace quavert::testing

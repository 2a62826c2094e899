#pragma once

#include <cstdint>
#include <string>

namespace quavert {

/// The last drum key looked up in genmidi.ini, by which row, and the name found.
struct DrumNameCache {
  int Key = -1;
  std::int64_t Index = -1;
  std::string Name;
};

}  // namespace quavert

#pragma once

#include <array>
#include <string>

namespace quavert {

/// One item of the event list: the main text (column 0) and sub-items 1..4.
struct ListItem {
  std::string Main;
  std::array<std::string, 4> Sub;
  bool operator==(const ListItem&) const = default;
};

}  // namespace quavert

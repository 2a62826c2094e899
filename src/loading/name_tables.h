#pragma once

#include <array>
#include <string>

namespace quavert {

/// Names for MIDI numbers that do not come from genmidi.ini. Entries are 1-based as they are
/// looked up; entry 0 and entries past the filled ones stay empty.
struct NameTables {
  std::array<std::string, 21> DrumKitName;     ///< entries 1..9
  std::array<std::string, 21> NoteName;        ///< entries 1..12, pitch class + 1
  std::array<int, 101> ControllerNumber{};     ///< entries 1..22, ended by -1
  std::array<std::string, 101> ControllerName; ///< parallel to ControllerNumber
};

/// Fills the tables, always with the same contents: drum kits, then notes, then controllers.
void FillNameTables(NameTables& tables);

}  // namespace quavert

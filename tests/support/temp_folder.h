#pragma once

#include <string>
#include <string_view>

#include "support/midi_bytes.h"

namespace quavert::testing {

/// A new empty folder under the system's temporary folder, removed with all it holds.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  /// Path() & "/" & name.
  std::string Join(std::string_view name) const;
  /// Writes `bytes` as the file `name` in the folder, replacing it; returns its path.
  std::string Write(std::string_view name, std::string_view bytes) const;

 private:
  std::string path_;
};

}  // namespace quavert::testing

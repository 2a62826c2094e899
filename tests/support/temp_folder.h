#pragma once

#include <string>
#include <string_view>

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

/// Writes `bytes` to `path`, replacing it.
void WriteFileBytes(const std::string& path, std::string_view bytes);
/// The whole content of `path`; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

}  // namespace quavert::testing

#pragma once

#include <string>

namespace quavert::cli {

/// A private application folder for one run: a new temporary folder holding a logs folder and a
/// copy of the genmidi.ini the window would read (the user's, else the installed one), removed
/// with everything in it at the end, so that runs may go on in parallel without touching each
/// other's working files.
class PrivateFolder {
 public:
  PrivateFolder();
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace quavert::cli

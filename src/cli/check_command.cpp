#include "cli/companion.h"

namespace quavert::cli {

int Check(const Options& options, std::ostream& out) {
  Companion companion(out, options);
  int status = 0;
  for (const std::string& path : options.Files) {
    if (companion.Open(path)) {
      const LoadedFile& file = companion.session.file;
      out << path << ": ok " << file.FileSize << " bytes, " << file.TotalTracks << " tracks, format "
          << file.FormatText << ", " << file.DeltaTicks << " ticks\n";
    } else {
      out << path << ": failed\n";
      status = 1;
    }
  }
  return status;
}

}  // namespace quavert::cli

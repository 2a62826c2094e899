#include "support/real_midi.h"

#include <cstdio>

namespace quavert::testing {
namespace {

std::vector<std::string> Fetch() {
  const std::string command = std::string("bash '") + QUAVERT_SOURCE_DIR + "/scripts/fetch-real-midi.sh' '" +
                              QUAVERT_BINARY_DIR + "/real-midi' 2>/dev/null";
  std::vector<std::string> paths;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return paths;
  std::string line;
  for (int c; (c = std::fgetc(pipe)) != EOF;) {
    if (c != '\n') {
      line.push_back(static_cast<char>(c));
    } else if (!line.empty()) {
      paths.push_back(line);
      line.clear();
    }
  }
  ::pclose(pipe);
  return paths;
}

}  // namespace

const std::vector<std::string>& RealMidiFiles() {
  static const std::vector<std::string> paths = Fetch();
  return paths;
}

}  // namespace quavert::testing

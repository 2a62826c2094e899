// Writes the fuzz target's seed corpus into a folder: every damaged file the robustness suite
// knows, as NAME.mid. The script that runs the fuzzer adds the examples.
//
//   quavert-fuzz-seeds FOLDER

#include <cstdio>
#include <fstream>
#include <string>

#include "robustness/damaged_files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quavert-fuzz-seeds FOLDER\n");
    return 2;
  }
  for (const quavert::testing::DamagedFile& damaged : quavert::testing::DamagedFiles()) {
    const std::string path = std::string(argv[1]) + "/" + damaged.name + ".mid";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(damaged.bytes.data(), static_cast<std::streamsize>(damaged.bytes.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "quavert-fuzz-seeds: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}

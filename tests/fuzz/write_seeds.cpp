// Writes the fuzz target's seed corpus into a folder: every damaged file the robustness suite
// knows, as NAME.mid, and each inside an RMID file as NAME.rmi. The script that runs the fuzzer
// adds the examples.
//
//   quavert-fuzz-seeds FOLDER

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>

#include "robustness/damaged_files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quavert-fuzz-seeds FOLDER\n");
    return 2;
  }
  const quavert::testing::Bytes info = "LIST" + quavert::testing::Hex("0C 00 00 00") + "INFOINAM" +
                                       quavert::testing::Hex("00 00 00 00");
  for (const quavert::testing::DamagedFile& damaged : quavert::testing::DamagedFiles())
    for (const auto& [extension, bytes] : {std::pair{".mid", damaged.bytes}, {".rmi", quavert::testing::Rmid(damaged.bytes, info)}}) {
      const std::string path = std::string(argv[1]) + "/" + damaged.name + extension;
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      if (!out.flush()) {
        std::fprintf(stderr, "quavert-fuzz-seeds: cannot write %s\n", path.c_str());
        return 1;
      }
    }
  return 0;
}

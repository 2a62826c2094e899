// Writes the fuzz target's seed corpus into a folder: every damaged file the robustness suite
// knows and every valid file at the corners of the format, as NAME.mid, and each damaged file
// inside an RMID file as NAME.rmi. The script that runs the fuzzer adds the examples.
//
//   quavert-fuzz-seeds FOLDER

#include <cstdio>
#include <fstream>
#include <string>

#include "robustness/damaged_files.h"
#include "support/valid_corners.h"

namespace {

bool WriteSeed(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (out.flush()) return true;
  std::fprintf(stderr, "quavert-fuzz-seeds: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quavert-fuzz-seeds FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const quavert::testing::Bytes info = "LIST" + quavert::testing::Hex("0C 00 00 00") + "INFOINAM" +
                                       quavert::testing::Hex("00 00 00 00");
  for (const quavert::testing::DamagedFile& damaged : quavert::testing::DamagedFiles())
    if (!WriteSeed(folder + "/" + damaged.name + ".mid", damaged.bytes) ||
        !WriteSeed(folder + "/" + damaged.name + ".rmi", quavert::testing::Rmid(damaged.bytes, info)))
      return 1;
  for (const quavert::testing::CornerFile& corner : quavert::testing::ValidCornerFiles())
    if (!WriteSeed(folder + "/valid-" + corner.name, corner.bytes)) return 1;
  return 0;
}

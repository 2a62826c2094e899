// libFuzzer's entry point: every input is a file the user opens in Quavert, driven through the
// whole program by the road. A failed check of the road aborts, so libFuzzer keeps the input.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz/lint_invariants.h"
#include "fuzz/road.h"

namespace {

namespace fs = std::filesystem;

// The folders of every road of this process: made at the first input, removed at exit.
class Scratch {
 public:
  Scratch() {
    const char* base = std::getenv("QUAVERT_FUZZ_TMP");
    std::string pattern = (base != nullptr && *base != '\0' ? std::string(base) : fs::temp_directory_path().string()) +
                          "/quavert-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("quavert-fuzz: cannot make a scratch folder");
      std::abort();
    }
    root_ = pattern;
    const char* genmidi = std::getenv("QUAVERT_GENMIDI");
    folders_ = quavert::fuzz::MakeRoadFolders(root_, genmidi != nullptr && *genmidi != '\0' ? genmidi : QUAVERT_GENMIDI_SOURCE);
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  const quavert::fuzz::RoadFolders& folders() const { return folders_; }

 private:
  std::string root_;
  quavert::fuzz::RoadFolders folders_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Scratch scratch;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  quavert::fuzz::RoadOutcome outcome = quavert::fuzz::RunRoad(scratch.folders(), input);
  for (std::string& fault : quavert::fuzz::CheckLint(scratch.folders(), input)) outcome.Faults.push_back(std::move(fault));
  if (outcome.Faults.empty()) return 0;
  for (const std::string& fault : outcome.Faults) std::fprintf(stderr, "road fault: %s\n", fault.c_str());
  for (const std::string& message : outcome.Messages) std::fprintf(stderr, "  message: %s\n", message.c_str());
  std::abort();
}

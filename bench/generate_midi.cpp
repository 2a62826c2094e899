// quavert-generate: writes the MIDI files the benchmarks read and the files of examples/.
// The same arguments always give the same bytes.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "bench_files.h"
#include "examples.h"

namespace {

using quavert::generate::Bytes;

constexpr int kFailed = 1;
constexpr int kUsage = 2;

constexpr char kUsageText[] =
    "usage: quavert-generate NAME FILE [--tracks N] [--events N] [--seed N]\n"
    "       quavert-generate examples FOLDER\n"
    "NAME is one of:\n"
    "  single    one track (format 0), 16,000 channel events on four channels\n"
    "  medium    16 tracks, 1,000,000 channel events\n"
    "  large     16 tracks, 6,400,000 channel events\n"
    "  drums     one track of 16,000 drum notes, no key next to the same key\n"
    "  programs  one track of 16,000 program changes, no program next to the same program\n"
    "--tracks (single, medium and large only) and --events change the counts; --seed the music.\n"
    "examples writes the files of the project's examples folder into FOLDER.\n";

int Usage(std::string_view problem) {
  std::fprintf(stderr, "quavert-generate: %.*s\n%s", static_cast<int>(problem.size()), problem.data(), kUsageText);
  return kUsage;
}

std::optional<long long> ParseCount(std::string_view text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool WriteFile(const std::string& path, const Bytes& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    std::fprintf(stderr, "quavert-generate: cannot create %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int error = errno;
  if (std::fclose(file) != 0 || !written) {
    std::fprintf(stderr, "quavert-generate: cannot write %s: %s\n", path.c_str(), std::strerror(written ? errno : error));
    return false;
  }
  std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
  return true;
}

int WriteExamples(const std::string& folder) {
  for (const quavert::generate::ExampleFile& example : quavert::generate::ExampleFiles()) {
    if (!WriteFile(folder + "/" + example.name, example.bytes)) return kFailed;
  }
  return 0;
}

int Run(int argc, char** argv) {
  if (argc < 3) return Usage("a name and a destination are needed");
  const std::string_view name = argv[1];
  const std::string destination = argv[2];
  if (name == "examples") return argc == 3 ? WriteExamples(destination) : Usage("examples takes no options");

  std::optional<quavert::generate::FileOptions> options = quavert::generate::Preset(name);
  if (!options) return Usage("unknown name \"" + std::string(name) + "\"");
  for (int i = 3; i < argc; i += 2) {
    const std::string_view option = argv[i];
    if (i + 1 >= argc) return Usage(std::string(option) + " needs a number");
    const std::optional<long long> value = ParseCount(argv[i + 1]);
    if (!value) return Usage(std::string(option) + " needs a number, not \"" + argv[i + 1] + "\"");
    if (option == "--tracks") {
      if (options->style != quavert::generate::Style::kSong) return Usage("--tracks is for single, medium and large");
      if (*value < 1 || *value > quavert::generate::kMaxTracks) return Usage("--tracks must be 1..72");
      options->tracks = static_cast<int>(*value);
    } else if (option == "--events") {
      if (*value > quavert::generate::kMaxEvents) return Usage("--events may be at most 30000000");
      options->events = *value;
    } else if (option == "--seed") {
      options->seed = static_cast<std::uint64_t>(*value);
    } else {
      return Usage("unknown option " + std::string(option) + " for " + std::string(name));
    }
  }
  return WriteFile(destination, quavert::generate::MakeFile(*options)) ? 0 : kFailed;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quavert-generate: %s\n", error.what());
    return kFailed;
  }
}

#include "lint/lint.h"

#include <algorithm>
#include <optional>

#include "common/binary_file.h"
#include "loading/chunk_headers.h"
#include "common/byte_reader.h"
#include "lint/report.h"
#include "lint/rmid.h"
#include "lint/track_lint.h"

namespace quavert {
namespace {

constexpr std::int64_t kHeaderLength = 14;
constexpr std::int64_t kHeaderDataLength = 6;
constexpr int kLargestFormat = 2;

// What the header says about the rest of the file.
struct HeaderFacts {
  std::int64_t next_chunk = 0;  // position of the first chunk after the header
  int tracks = 0;
};

bool IsPrintable(const std::string& id) {
  return std::all_of(id.begin(), id.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

class FileLint {
 public:
  FileLint(BinaryFile& file, const MidiRange& range, const ProblemSink& sink)
      : file_(file), range_(range), sink_(sink) {}

  void Run();

 private:
  void Error(std::int64_t position, const char* code, std::string message, std::optional<int> track = {}) {
    Report(sink_, Severity::kError, position, track, code, std::move(message));
  }
  void Warning(std::int64_t position, const char* code, std::string message, std::optional<int> track = {}) {
    Report(sink_, Severity::kWarning, position, track, code, std::move(message));
  }
  std::optional<HeaderFacts> CheckHeader();
  // Returns the position after the chunk, or nothing when the walk ends with it.
  std::optional<std::int64_t> CheckChunk(std::int64_t position);

  BinaryFile& file_;
  MidiRange range_;
  const ProblemSink& sink_;
  int tracks_ = 0;
};

void FileLint::Run() {
  const std::optional<HeaderFacts> header = CheckHeader();
  if (!header) return;
  for (std::optional<std::int64_t> position = header->next_chunk; position && *position <= range_.last;)
    position = CheckChunk(*position);
  if (tracks_ != header->tracks)
    Error(range_.first + 10, "track-count",
          "the header counts " + std::to_string(header->tracks) + " tracks; the file has " + std::to_string(tracks_) +
              " track chunks");
}

std::optional<HeaderFacts> FileLint::CheckHeader() {
  const std::int64_t first = range_.first;
  const std::int64_t size = range_.last - first + 1;
  ByteReader reader(file_, first, range_.last);
  if (size < 4 || reader.Bytes(4) != "MThd") {
    Error(first, "not-midi", "not a MIDI file: it does not begin with MThd");
    return std::nullopt;
  }
  if (size < kHeaderLength) {
    Error(first + size, "not-midi",
          "not a MIDI file: the header ends after " + std::to_string(size) + " bytes, 14 needed");
    return std::nullopt;
  }
  HeaderFacts facts;
  const std::int64_t length = reader.U32be();
  facts.next_chunk = first + kHeaderLength;
  if (length != kHeaderDataLength) {
    Error(first + 4, "header-length", "header length " + std::to_string(length) + ", not 6");
    // A longer header is passed by its length when the file holds it.
    if (length > kHeaderDataLength && first + kChunkHeaderLength + length - 1 <= range_.last)
      facts.next_chunk = first + kChunkHeaderLength + length;
  }
  const int format = reader.U16be();
  if (format > kLargestFormat)
    Error(format > 0xFF ? first + 8 : first + 9, "format", "format " + std::to_string(format) + " is none of 0, 1, 2");
  facts.tracks = reader.U16be();
  const int division_high = reader.U8();
  const int division = division_high * 256 + reader.U8();
  if (division_high >= 0x80)
    Warning(first + 12, "division-smpte",
            "an SMPTE division (" + std::to_string(256 - division_high) + " frames per second, " +
                std::to_string(division & 0xFF) + " ticks per frame): Quavert times only ticks per quarter note");
  else if (division == 0)
    Error(first + 12, "division-zero", "a division of 0 ticks per quarter note");
  return facts;
}

std::optional<std::int64_t> FileLint::CheckChunk(std::int64_t position) {
  const std::int64_t left = range_.last - position + 1;
  if (left < kChunkHeaderLength) {
    Warning(position, "trailing-bytes", std::to_string(left) + " bytes after the last chunk, too few for a chunk");
    return std::nullopt;
  }
  ByteReader reader(file_, position, range_.last);
  const std::string id = reader.Bytes(4);
  const std::int64_t length = reader.U32be();
  const std::int64_t data = position + kChunkHeaderLength;
  const std::int64_t end = data + length - 1;
  if (id == "MTrk") {
    const int track = ++tracks_;
    if (track == kLintMostTracks + 1)
      Warning(position, "too-many-tracks",
              "track chunk " + std::to_string(track) + ": Quavert reads at most " + std::to_string(kLintMostTracks),
              track);
    if (end > range_.last) {
      Error(position + 4, "chunk-overrun",
            "track chunk length " + std::to_string(length) + " runs " + std::to_string(end - range_.last) +
                " bytes past the end of the file",
            track);
    }
    LintTrackEvents(file_, track, data, std::min(end, range_.last), sink_);
    return end + 1;
  }
  if (IsPrintable(id) && end <= range_.last) {
    Warning(position, "foreign-chunk", "a chunk \"" + id + "\" of " + std::to_string(length) + " bytes, not a track");
    return end + 1;
  }
  Warning(position, "trailing-bytes", std::to_string(left) + " bytes after the last chunk that are no chunk");
  return std::nullopt;
}

}  // namespace

void Lint(BinaryFile& file, const ProblemSink& sink) {
  std::optional<RiffProblem> riff;
  const MidiRange range = FindMidiData(file, riff);
  if (riff) {
    Report(sink, Severity::kError, riff->position, std::nullopt, riff->code.c_str(),
           riff->message);
    if (riff->fatal) return;
  }
  FileLint(file, range, sink).Run();
}

std::vector<Problem> LintFile(const std::string& path) {
  BinaryFile file(path, BinaryFile::Mode::kRead);
  std::vector<Problem> problems;
  Lint(file, [&problems](const Problem& problem) { problems.push_back(problem); });
  std::stable_sort(problems.begin(), problems.end(),
                   [](const Problem& a, const Problem& b) { return a.offset < b.offset; });
  return problems;
}

}  // namespace quavert

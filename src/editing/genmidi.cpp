#include "editing/genmidi.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "common/binary_file.h"
#include "common/run_error.h"

namespace quavert {
namespace {

constexpr std::string_view kRhythmLine = "RHYTHM:";
constexpr std::string_view kUnknownName = "unknown";
constexpr std::int32_t kFirstDrumKey = 27;

// The lines of a text, without their line ends; a last line without an end still counts.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.push_back(bytes.substr(start, i - start));
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

void AppendFields(std::string_view line, std::vector<std::string>& fields) {
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::size_t comma;
    if (i < line.size() && line[i] == '"') {
      const std::size_t close = line.find('"', i + 1);
      const std::size_t end = close == std::string_view::npos ? line.size() : close;
      fields.emplace_back(line.substr(i + 1, end - i - 1));
      comma = end == line.size() ? std::string_view::npos : line.find(',', end);
    } else {
      comma = line.find(',', i);
      const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
      fields.emplace_back(line.substr(i, end - i));
    }
    if (comma == std::string_view::npos) return;
    i = comma + 1;
  }
}

}  // namespace

GenmidiNames ParseGenmidi(std::string_view bytes) {
  GenmidiNames names;
  names.Readable = true;
  for (std::string_view line : SplitLines(bytes)) {
    AppendFields(line, names.Fields);
    if (names.HasRhythm)
      names.DrumLines.emplace_back(line);
    else if (line == kRhythmLine)
      names.HasRhythm = true;
  }
  return names;
}

GenmidiNames ReadGenmidi(const std::string& path) {
  try {
    BinaryFile file(path, BinaryFile::Mode::kRead);
    std::string bytes(static_cast<std::size_t>(file.Length()), '\0');
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    file.Close();
    return ParseGenmidi(bytes);
  } catch (const RunError&) {
    return {};
  }
}

FileStamp StampOf(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::is_regular_file(status)) return {};
  FileStamp stamp;
  stamp.Exists = true;
  const auto size = fs::file_size(path, error);
  stamp.Size = error ? -1 : static_cast<std::int64_t>(size);
  const auto time = fs::last_write_time(path, error);
  if (!error)
    stamp.ModifiedNs = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
  return stamp;
}

std::string_view InstrumentName(const GenmidiNames& genmidi, std::int32_t program) {
  const std::int64_t field = static_cast<std::int64_t>(program) + 2;
  if (!genmidi.Readable || field < 1 || field > static_cast<std::int64_t>(genmidi.Fields.size()))
    return kUnknownName;
  const std::string_view text = genmidi.Fields[static_cast<std::size_t>(field - 1)];
  const std::size_t equals = text.find('=');
  return equals == std::string_view::npos ? text : text.substr(equals + 1);
}

std::string LookupInstrument(const GenmidiNames& genmidi, std::int32_t program) {
  return std::string(InstrumentName(genmidi, program));
}

std::string_view DrumName(const GenmidiNames& genmidi, std::int32_t key) {
  if (!genmidi.Readable || !genmidi.HasRhythm) return kUnknownName;
  if (key < kFirstDrumKey) return {};
  const std::size_t line = static_cast<std::size_t>(key - kFirstDrumKey);
  if (line >= genmidi.DrumLines.size()) return kUnknownName;
  return genmidi.DrumLines[line];
}

std::string LookupDrum(const GenmidiNames& genmidi, std::int32_t key) { return std::string(DrumName(genmidi, key)); }

}  // namespace quavert

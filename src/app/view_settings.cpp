#include "app/view_settings.h"

#include <array>
#include <utility>
#include <exception>

#include "common/binary_file.h"

namespace quavert {
namespace {

constexpr std::string_view kPianoRoll = "PianoRoll=";
constexpr std::string_view kFollowPlayback = "FollowPlayback=";
constexpr std::string_view kOffsetColumn = "OffsetColumn=";
constexpr std::string_view kBytesColumn = "BytesColumn=";
constexpr std::string_view kTimeColumn = "TimeColumn=";
constexpr std::string_view kBytesPane = "BytesPane=";
constexpr std::string_view kProblemsPane = "ProblemsPane=";
constexpr std::string_view kTextEncoding = "TextEncoding=";
constexpr std::string_view kRecent = "Recent=";
// The path's line may be long; the settings after it are short.
constexpr std::size_t kMostSettingsBytes = 128 * 1024;

std::string Line(std::string_view name, bool on) { return std::string(name) + (on ? "1" : "0") + "\n"; }

// Reads "NAME=0" or "NAME=1" from `line` into `value`.
void Take(std::string_view line, std::string_view name, bool& value) {
  if (line.size() != name.size() + 1 || line.substr(0, name.size()) != name) return;
  if (line.back() == '0' || line.back() == '1') value = line.back() == '1';
}

// Reads "TextEncoding=NAME" from `line` into `value`.
void TakeEncoding(std::string_view line, TextEncoding& value) {
  if (line.substr(0, kTextEncoding.size()) != kTextEncoding) return;
  if (const auto named = EncodingNamed(line.substr(kTextEncoding.size()))) value = *named;
}

}  // namespace

std::string ViewSettingsLines(const ViewSettings& view) {
  const ViewSettings defaults;
  std::string lines;
  if (view.PianoRoll != defaults.PianoRoll) lines += Line(kPianoRoll, view.PianoRoll);
  if (view.FollowPlayback != defaults.FollowPlayback) lines += Line(kFollowPlayback, view.FollowPlayback);
  const std::pair<std::string_view, bool ViewSettings::*> flags[] = {
      {kOffsetColumn, &ViewSettings::OffsetColumn}, {kBytesColumn, &ViewSettings::BytesColumn},
      {kTimeColumn, &ViewSettings::TimeColumn},     {kBytesPane, &ViewSettings::BytesPane},
      {kProblemsPane, &ViewSettings::ProblemsPane},
  };
  for (const auto& [name, flag] : flags)
    if (view.*flag != defaults.*flag) lines += Line(name, view.*flag);
  if (view.Encoding != defaults.Encoding)
    lines += std::string(kTextEncoding) + std::string(EncodingName(view.Encoding)) + "\n";
  for (const std::string& path : view.Recent) {
    // A path that a line cannot give back as it is stays unremembered.
    if (path.empty() || path.find('\n') != std::string::npos || path.back() == '\r') continue;
    lines += std::string(kRecent) + path + "\n";
  }
  return lines;
}

ViewSettings ParseViewSettings(std::string_view text) {
  ViewSettings view;
  std::size_t at = text.find('\n');
  while (at != std::string_view::npos && at + 1 < text.size()) {
    const std::size_t end = text.find('\n', at + 1);
    std::string_view line = text.substr(at + 1, end == std::string_view::npos ? std::string_view::npos : end - at - 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    Take(line, kPianoRoll, view.PianoRoll);
    Take(line, kFollowPlayback, view.FollowPlayback);
    Take(line, kOffsetColumn, view.OffsetColumn);
    Take(line, kBytesColumn, view.BytesColumn);
    Take(line, kTimeColumn, view.TimeColumn);
    Take(line, kBytesPane, view.BytesPane);
    Take(line, kProblemsPane, view.ProblemsPane);
    TakeEncoding(line, view.Encoding);
    if (line.size() > kRecent.size() && line.starts_with(kRecent)) view.Recent.emplace_back(line.substr(kRecent.size()));
    at = end;
  }
  return view;
}

ViewSettings ReadViewSettings(const std::string& path) {
  try {
    BinaryFile file(path, BinaryFile::Mode::kRead);
    std::string text(kMostSettingsBytes, '\0');
    text.resize(file.Read(text.data(), text.size()));
    return ParseViewSettings(text);
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace quavert

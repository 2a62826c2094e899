#include "shell/track_names.h"

#include "app/loaded_file.h"
#include "common/binary_file.h"
#include "timeline/played_walk.h"

namespace quavert {
namespace {

constexpr int kTrackNameMeta = 0x03;
constexpr std::size_t kLongestShownName = 40;

// The name as a chooser line can show it: control bytes become blanks, outer blanks go, and a
// long name is cut.
std::string Shown(const std::string& text) {
  std::string name;
  for (const char c : text) name += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
  const auto first = name.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  name = name.substr(first, name.find_last_not_of(' ') - first + 1);
  if (name.size() > kLongestShownName) name = name.substr(0, kLongestShownName - 3) + "...";
  return name;
}

}  // namespace

std::vector<std::string> ReadTrackNames(BinaryFile& file, const TrackTable& tracks) {
  std::vector<std::string> names;
  std::int64_t length = 0;
  try {
    length = file.Length();
  } catch (const std::exception&) {
  }
  for (int track = 1; track <= tracks.TrackCount; ++track) {
    std::string name;
    const TrackPlaceInFile place = PlaceOfTrack(tracks, track, length);
    WalkPlayedTrack(file, place.DataFirst, place.DataLast, true, [&name](const PlayedEvent& event) {
      if (event.Tick > 0) return false;
      if (event.MetaType != kTrackNameMeta) return true;
      name = Shown(event.Data);
      return false;
    });
    names.push_back(name);
  }
  return names;
}

std::string TrackChoiceText(int number, const std::string& name) {
  return name.empty() ? std::to_string(number) : std::to_string(number) + " - " + name;
}

}  // namespace quavert

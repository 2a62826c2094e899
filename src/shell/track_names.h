#pragma once

#include <string>
#include <vector>

namespace quavert {

class BinaryFile;
struct TrackTable;

/// The name of each track of `tracks` (entry 0 for track 1): the text of its first track-name meta
/// event at its start (tick 0), trimmed of blanks and control bytes; "" for a track without one.
/// Never throws for what the file holds.
std::vector<std::string> ReadTrackNames(BinaryFile& file, const TrackTable& tracks);

/// What the track chooser shows for track `number`: "N - Name", or "N" when it has no name.
std::string TrackChoiceText(int number, const std::string& name);

}  // namespace quavert

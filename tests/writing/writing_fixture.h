#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "commands/event_list.h"
#include "commands/load_driver.h"
#include "commands/save_track.h"
#include "commands/track_decoder.h"
#include "commands/track_selection.h"
#include "decoding/records.h"
#include "support/session_fixture.h"
#include "support/standard_reader.h"

namespace quavert::testing {

/// End of a track, with no delta in front.
inline const Bytes kEndOfTrack = Hex("FF 2F 00");

/// The committed example files, in name order.
inline std::vector<std::string> ExampleFiles() {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(QUAVERT_EXAMPLES_FOLDER))
    if (entry.path().extension() == ".mid") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

/// The tracks of `file` as the MIDI standard reads it.
inline int TrackCount(std::string_view file) {
  const StandardFile read = ReadStandardFile(file);
  return static_cast<int>(std::count_if(read.chunks.begin(), read.chunks.end(), [](auto& c) { return c.id == "MTrk"; }));
}

/// A session that opens SONG.MID from inline bytes (the load decodes track 1), lists tracks as
/// "Notes..." does and saves them with "Save Track".
class WritingTest : public SessionTest {
 protected:
  void List() { Command1Click(session); }
  void Save() { SaveTrackCommand(session); }

  /// Changes the listed row of event `index` (0-based) as a cell edit would, its texts as they were.
  void EditRow(std::int64_t index, const std::function<void(EventRecord&)>& change) {
    TrackRows& rows = session.buffers.Rows;
    EventRecord record = rows.Record(index);
    change(record);
    rows.Set(index, record, rows.Texts(index));
  }
  std::vector<EventRecord> Rows() const {
    const TrackRows& rows = session.buffers.Rows;
    return rows.Records(0, std::min(session.decoder.LastEventIndex + 1, rows.size()));
  }

  /// The data of the working copy's one track, in hexadecimal, as the MIDI standard reads the file.
  std::string SavedTrack() const {
    const StandardFile file = ReadStandardFile(WorkCopy());
    EXPECT_EQ(file.chunks.size(), 1u);
    return ToHex(file.chunks.at(0).data);
  }
};

}  // namespace quavert::testing

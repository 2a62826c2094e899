#pragma once

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

/// A session that opens SONG.MID from inline bytes (the load decodes track 1), lists tracks as
/// "Notes..." does and saves them with "Save Track".
class WritingTest : public SessionTest {
 protected:
  void List() { Command1Click(session); }
  void Save() { SaveTrackCommand(session); }

  /// The editing row of event `index` (0-based), as a cell edit would change it.
  EventRecord& Row(std::size_t index) { return session.buffers.EventBuffer.at(index); }
  std::vector<EventRecord> Rows() const {
    const std::vector<EventRecord>& buffer = session.buffers.EventBuffer;
    return {buffer.begin(), buffer.begin() + std::min<std::ptrdiff_t>(session.decoder.LastEventIndex + 1, buffer.size())};
  }

  /// The data of the working copy's one track, in hexadecimal, as the MIDI standard reads the file.
  std::string SavedTrack() const {
    const StandardFile file = ReadStandardFile(WorkCopy());
    EXPECT_EQ(file.chunks.size(), 1u);
    return ToHex(file.chunks.at(0).data);
  }
};

}  // namespace quavert::testing

#pragma once

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "commands/load_driver.h"
#include "commands/track_decoder.h"
#include "commands/track_selection.h"
#include "decoding/records.h"
#include "support/session_fixture.h"
#include "track_decode_fixture.h"

namespace quavert::testing {

/// A session that loads SONG.MID from inline bytes, as the Open command does, and reads back
/// what the decode left: Text2, notes.dat, the report and the working copy.
class DecodingTest : public SessionTest {
 protected:
  std::string Text2() { return ui.Texts[Control::Text2]; }
  /// Text2's text after the two heading lines of the track.
  std::string Text2Lines() {
    const std::string text = Text2();
    return text.substr(text.find("\r\n", text.find("\r\n") + 2) + 2);
  }

  /// The report's lines after the heading of track `track` (up to the next track heading).
  std::string ReportLinesOfTrack(int track) {
    const std::string rule = std::string(70, static_cast<char>(0xC4)) + "\r\n";
    const std::string report = Report();
    const std::size_t heading = report.find(rule + "Track : " + std::to_string(track) + "\r\n");
    if (heading == std::string::npos) return "<no heading>";
    const std::size_t lines = report.find(rule, heading + rule.size()) + rule.size();
    return report.substr(lines, report.find(rule, lines) - lines);
  }

  /// A melodic note's record as notes.dat holds it after a decode: marked a note (-3), sounding
  /// (1) or ending (0), as the listing would mark it.
  static EventRecord NoteRecord(std::int32_t status, std::int32_t key, std::int32_t velocity, std::int32_t delta) {
    EventRecord record = Row(status, key, velocity, delta);
    record.RowKind = -3;
    record.NoteState = status >= 0x90 && velocity > 0 ? 1 : 0;
    return record;
  }
  RowList NotesRecords() {
    const std::string bytes = AppFileBytes(kNotesDat);
    RowList records;
    for (std::size_t at = 0; at + kEventRecordLength <= bytes.size(); at += kEventRecordLength)
      records.push_back(ParseEventRecord(std::string_view(bytes).substr(at, kEventRecordLength)));
    return records;
  }
  /// The records of the decoded rows, 1 .. LastEventIndex + 1.
  RowList Rows() {
    RowList records = NotesRecords();
    records.resize(static_cast<std::size_t>(LastEventIndex() + 1));
    return records;
  }
  std::int64_t LastEventIndex() const { return session.decoder.LastEventIndex; }
  int LoadState() const { return session.file.LoadState; }
};

/// How many files this process has open.
inline int OpenFileCount() {
  return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}));
}

}  // namespace quavert::testing

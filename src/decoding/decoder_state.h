#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "decoding/list_rows.h"
#include "decoding/records.h"
#include "decoding/row_origins.h"

namespace quavert {

/// What a track decode leaves behind for the list, the Edit frame and the track writer.
struct DecoderState {
  std::int64_t LastEventIndex = -1;  ///< 0-based index of the last event row; -1 when none
  int BlockRow = -1;                 ///< row of the current event in the 100-row block
  std::int64_t FirstEventPos = -1;   ///< 1-based position where the timed part of the track begins
  std::int64_t TempoPos = -1;        ///< position of the first data byte of the first tempo before the timed part
  std::int64_t TempoBpm = -1;        ///< beats per minute of that tempo
  std::int64_t LastTempoPos = 0;     ///< position of the first data byte of the track's tempo read last; 0 before one
  double TickMinutes = 0;            ///< timing factor from the first tempo; -1 after a second one
  /// Position of the status byte of each system-exclusive event of the track, entries 0..SysexIndex.
  std::vector<std::int64_t> SysexStart;
  std::vector<std::int64_t> SysexEnd;  ///< position of its last byte (its length byte when it has no data)
  std::int64_t SysexIndex = -1;      ///< index of the last system-exclusive entry used
  int SigClocks = 0;                 ///< clocks per click of the time signature decoded last
  int Sig32nds = 0;                  ///< 32nd notes per quarter of that time signature
  std::string TrackText;             ///< the text for Text2
  std::string LyricText;             ///< the lyric line being built
  /// The report's meta-event lines of the decode going on, written when it ends or stops; a
  /// decode that repaired the file leaves them to the decode that follows it.
  std::vector<std::string> ReportLines;
  std::int64_t TrackLength = 0;      ///< the track's data length from its chunk header
};

/// The rows of the current track in memory: the decoder's block of 100, or after a listing the
/// whole track, as edited in the list since.
struct EditBuffers {
  std::vector<EventRecord> EventBuffer;
  ListRows ListBuffer;
  RowOrigins Origins;  ///< inserted and deleted rows not yet saved
};

}  // namespace quavert

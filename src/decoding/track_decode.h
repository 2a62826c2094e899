#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/progress.h"
#include "decoding/records.h"
#include "decoding/tell_ask.h"
#include "loading/chunk_headers.h"

namespace quavert {

/// What a track decode leaves for the list, the Edit frame and the track writer besides its rows.
struct TrackDecodeFacts {
  std::int64_t FirstEventPos = -1;   ///< 1-based position where the timed part of the track begins
  std::int64_t TempoPos = -1;        ///< position of the first data byte of the first tempo before the timed part
  std::int64_t TempoBpm = -1;        ///< beats per minute of that tempo
  std::int64_t LastTempoPos = 0;     ///< position of the first data byte of the track's tempo read last; 0 before one
  double TickMinutes = 0;            ///< timing factor from the first tempo since the load; -1 after a second one
  /// Position of the status byte of each system-exclusive event of the track, entries 0..SysexIndex.
  std::vector<std::int64_t> SysexStart;
  std::vector<std::int64_t> SysexEnd;  ///< position of its last byte (its length byte when it has no data)
  std::int64_t SysexIndex = -1;      ///< index of the last system-exclusive entry used
  int SigClocks = 0;                 ///< clocks per click of the time signature decoded last
  int Sig32nds = 0;                  ///< 32nd notes per quarter of that time signature
  std::string TrackText;             ///< the track's text for Text2 (its heading and meta-event lines)
  std::string TempoText;             ///< the tempo the Edit frame shows: of the last tempo before the timed part
  std::int64_t TrackLength = 0;      ///< the track's data length from its chunk header

  /// Forgets what the decode of another track found. TickMinutes, which counts the tempos since
  /// the load, the time signature and the track length stay until the decode sets them.
  void BeginTrack();
};

/// What a decode needs besides the working copy's bytes.
struct TrackDecodeInput {
  std::string WorkCopy;              ///< path of the working copy
  std::string RepairPath;            ///< where the missing-byte repair writes the repaired copy first
  const TrackTable* Tracks = nullptr;  ///< the working copy's track table
  int Track = 0;                     ///< the track to decode, 1..Tracks->TrackCount
  int DeltaTicks = 0;                ///< ticks per quarter note, for the timing factor
  bool ReportMetaLines = false;      ///< the meta-event lines go to the report (the track's first decode)
  bool RepairOffered = false;        ///< the missing-byte repair was already made since the load
  Progress* ProgressTo = nullptr;    ///< told how far through the track's bytes the decode got
};

/// The two repairs a decode offers.
enum class TrackRepair {
  kTimeSignatureClocks,  ///< 2 written over a time signature's clocks byte of 0
  kMissingStatus,        ///< a note-on status inserted after a tempo
};

/// A repair made: for the missing status, the working copy's new length and where the byte went.
struct TrackRepairMade {
  TrackRepair Kind = TrackRepair::kTimeSignatureClocks;
  std::int64_t FileSize = 0;
  std::int64_t InsertedAt = 0;
};

/// Where a decode puts what it finds, in the order it finds it.
class TrackDecodeSink {
 public:
  /// The track's chunk header as read; TrackLength and TrackText's heading are set.
  virtual void Heading(const TrackChunk& chunk) = 0;
  /// A new event row, every field -1, to be filled in place; valid until the next row.
  virtual EventRecord& NewRow() = 0;
  /// TempoText changed: a tempo before the timed part was read.
  virtual void TempoShown() = 0;
  /// One line of the report, in order; RunError when it cannot be written.
  virtual void ReportLine(const std::string& line) = 0;
  /// No more rows come from this decode: a repair question follows.
  virtual void RowsClosed() = 0;
  /// The user agreed to `kind`: the working copy is about to change.
  virtual void BeforeRepair(TrackRepair kind) = 0;
  /// The working copy changed; the facts show it.
  virtual void AfterRepair(const TrackRepairMade& repair) = 0;
  /// The end of the track was reached and its report lines given: the rows are complete.
  virtual void Finished() = 0;

 protected:
  ~TrackDecodeSink() = default;
};

/// How a decode ended.
enum class TrackDecodeEnd {
  kComplete,  ///< the end of track was reached
  kStopped,   ///< a message was told and the decode stopped
  kRepaired,  ///< the missing status byte was inserted: decode the track again from the new table
  kCancelled,  ///< the progress asked the decode to stop: no report line was given, nothing repaired
};

/// Decodes track `input.Track` of the working copy: the report heading, Text2's lines, the
/// meta-event report lines (written at the end or at a stop, unless a repair follows), one row
/// per event, and `facts`. A damaged event tells its message and stops the decode, as does a
/// track whose bytes end before its end-of-track event ("ERROR: Unexpected end of track"; no
/// byte outside the track's chunk is read) or a run-time error ("Error:" and its number), also
/// one thrown by the sink. A time signature with a clocks byte of 0 asks to write 2 there; a
/// byte that stands where the status after a tempo belongs asks to insert the status (once per
/// load) and ends the decode for the caller to walk the file and decode again. When
/// `input.ProgressTo` asks it to stop, the decode ends at once, before any report line of its events.
TrackDecodeEnd DecodeTrackBytes(const TrackDecodeInput& input, TrackDecodeFacts& facts, TrackDecodeSink& sink,
                                TellAsk& port);

}  // namespace quavert

#pragma once

#include <string>
#include <vector>

#include "decoding/records.h"
#include "support/session_fixture.h"

namespace quavert::testing {

/// Position of the first data byte of the first track of a file: after the 14-byte header and
/// the track's 8-byte chunk header.
inline constexpr std::int64_t kFirstTrackData = 14 + 8 + 1;

/// End of a track, with no delta in front.
inline const Bytes kEndOfTrack = Hex("FF 2F 00");

/// A session that opens SONG.MID from inline bytes (the load decodes track 1), lists tracks as
/// "Notes..." does and saves them with "Save Track".
class WritingTest : public SessionTest {
 protected:
  void Load(const Bytes& bytes) { OpenMidiFile(bytes); }
  /// A format-0 file of one track holding `track_data`, at 96 ticks per quarter note.
  void LoadTrack(const Bytes& track_data) { Load(Smf(0, 96, {track_data})); }
  void OpenMidiFile(const Bytes& bytes);
  /// Chooses track `number` (1-based) in the track chooser, which decodes it.
  void Choose(int number);
  /// "Notes...": lists the decoded track into the editing buffers.
  void List();
  /// "Save Track".
  void Save();

  /// The editing row of event `index` (0-based), as a cell edit would change it.
  EventRecord& Row(std::size_t index) { return session.buffers.EventBuffer.at(index); }
  std::vector<EventRecord> Rows() const;

  Bytes WorkCopy() const { return AppFileBytes(kWorkCopyName); }
  /// The data of track `number` of `file` (after its chunk header), by the length fields.
  static Bytes TrackData(const Bytes& file, int number);
  /// The four bytes of the length field of track `number` of `file`.
  static Bytes LengthField(const Bytes& file, int number);
};

}  // namespace quavert::testing

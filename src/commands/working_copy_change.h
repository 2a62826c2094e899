#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/loaded_file.h"
#include "decoding/row_origins.h"

namespace quavert {

struct Session;

/// The origins of the list's rows kept compactly: runs of rows that stand for consecutive events.
struct KeptOrigins {
  bool Pending = false;
  std::vector<std::pair<std::int64_t, std::int64_t>> Runs;  ///< (origin of the run's first row, rows)
  std::vector<std::string> Inserted;
  std::int64_t LeadTicks = 0;
  bool operator==(const KeptOrigins&) const = default;
};
KeptOrigins KeepOrigins(const RowOrigins& origins);
RowOrigins RestoreOrigins(const KeptOrigins& kept);

/// What points into the working copy and changes with it: the loaded file's size, header and
/// track table, the decoder's positions in the current track, and the list rows' origins.
struct WorkingCopyState {
  std::int64_t FileSize = 0;
  HeaderChunk Header;
  int DeltaTicks = 0;
  TrackTable Tracks;
  bool RepairAsked = false;
  std::int64_t InsertedStatusPos = 0;
  std::int64_t FirstEventPos = -1;
  std::int64_t TempoPos = -1;
  std::int64_t TempoBpm = -1;
  std::int64_t LastTempoPos = 0;
  std::vector<std::int64_t> SysexStart;
  std::vector<std::int64_t> SysexEnd;
  std::int64_t SysexIndex = -1;
  int SigClocks = 0;
  KeptOrigins Origins;
  bool operator==(const WorkingCopyState&) const = default;
};
WorkingCopyState StateOf(const Session& session);
void RestoreState(Session& session, const WorkingCopyState& state);

/// Bytes of the working copy that changed: from 1-based position At on, Old became New.
struct ByteRun {
  std::int64_t At = 1;
  std::string Old;
  std::string New;
  bool operator==(const ByteRun&) const = default;
};

/// A change of the working copy's bytes: the runs that changed, in order, the bytes between them
/// as they were. With the state on both sides.
struct WorkingCopyChange {
  std::vector<ByteRun> Runs;
  std::int64_t OldLength = 0;  ///< the whole file's length on each side
  std::int64_t NewLength = 0;
  WorkingCopyState Before;
  WorkingCopyState After;
  bool operator==(const WorkingCopyChange&) const = default;
};

/// The working copy's bytes and state before a change is made to it.
struct WorkingCopyCapture {
  std::string Bytes;
  WorkingCopyState State;
  bool Read = false;  ///< false when the working copy could not be read: nothing can be recorded
};
WorkingCopyCapture CaptureWorkingCopy(const Session& session);

/// The change from `before` to the working copy as it is now: only the bytes that differ are
/// kept. Nothing when neither bytes nor state changed, or the copy cannot be read.
std::optional<WorkingCopyChange> ChangeSince(const Session& session, WorkingCopyCapture before);

/// The bytes that differ between `old_bytes` and `new_bytes`: a common start and end left out,
/// and for files of one length (a patch) each changed run on its own.
WorkingCopyChange ByteDifference(std::string_view old_bytes, std::string_view new_bytes);
/// The bytes a change keeps.
std::size_t KeptBytes(const WorkingCopyChange& change);

/// Puts the working copy back to one side of `change` (the old with `undo`): the bytes written
/// into a new file that then replaces the working copy, and the state restored. RunError when a
/// file cannot be read or written, or the working copy is not as the other side left it; the
/// working copy is then untouched.
void ApplyWorkingCopyChange(Session& session, const WorkingCopyChange& change, bool undo);

}  // namespace quavert

#include "commands/working_copy_change.h"

#include <algorithm>

#include "app/session.h"
#include "common/binary_file.h"
#include "common/file_system.h"
#include "common/run_error.h"

namespace quavert {
namespace {

// Name, in the application folder, of the file an undone or redone working copy is written to
// before it takes the working copy's place.
constexpr const char* kUndoFileName = "quavert-undo.tmp";

std::string ReadWholeFile(const std::string& path) {
  BinaryFile file(path, BinaryFile::Mode::kRead);
  std::string bytes(static_cast<std::size_t>(file.Length()), '\0');
  if (!bytes.empty() && file.Read(bytes.data(), bytes.size()) != bytes.size()) throw RunError(kInputPastEnd);
  file.Close();
  return bytes;
}

}  // namespace

KeptOrigins KeepOrigins(const RowOrigins& origins) {
  KeptOrigins kept;
  kept.Pending = origins.Pending;
  kept.Inserted = origins.Inserted;
  kept.LeadTicks = origins.LeadTicks;
  for (const std::int64_t origin : origins.Event) {
    if (!kept.Runs.empty()) {
      auto& [first, rows] = kept.Runs.back();
      if (first >= 0 && origin == first + rows) {
        ++rows;
        continue;
      }
    }
    kept.Runs.emplace_back(origin, 1);
  }
  return kept;
}

RowOrigins RestoreOrigins(const KeptOrigins& kept) {
  RowOrigins origins;
  origins.Pending = kept.Pending;
  origins.Inserted = kept.Inserted;
  origins.LeadTicks = kept.LeadTicks;
  for (const auto& [first, rows] : kept.Runs)
    for (std::int64_t i = 0; i < rows; ++i) origins.Event.push_back(first >= 0 ? first + i : first);
  return origins;
}

WorkingCopyState StateOf(const Session& session) {
  WorkingCopyState state;
  state.FileSize = session.file.FileSize;
  state.Header = session.file.Header;
  state.DeltaTicks = session.file.DeltaTicks;
  state.Tracks = session.tracks;
  state.RepairAsked = session.file.RepairAsked;
  state.InsertedStatusPos = session.file.InsertedStatusPos;
  const DecoderState& decoder = session.decoder;
  state.FirstEventPos = decoder.FirstEventPos;
  state.TempoPos = decoder.TempoPos;
  state.TempoBpm = decoder.TempoBpm;
  state.LastTempoPos = decoder.LastTempoPos;
  state.SysexStart = decoder.SysexStart;
  state.SysexEnd = decoder.SysexEnd;
  state.SysexIndex = decoder.SysexIndex;
  state.SigClocks = decoder.SigClocks;
  state.Origins = KeepOrigins(session.buffers.Origins);
  return state;
}

void RestoreState(Session& session, const WorkingCopyState& state) {
  session.file.FileSize = state.FileSize;
  session.file.Header = state.Header;
  session.file.DeltaTicks = state.DeltaTicks;
  session.tracks = state.Tracks;
  session.file.RepairAsked = state.RepairAsked;
  session.file.InsertedStatusPos = state.InsertedStatusPos;
  DecoderState& decoder = session.decoder;
  decoder.FirstEventPos = state.FirstEventPos;
  decoder.TempoPos = state.TempoPos;
  decoder.TempoBpm = state.TempoBpm;
  decoder.LastTempoPos = state.LastTempoPos;
  decoder.SysexStart = state.SysexStart;
  decoder.SysexEnd = state.SysexEnd;
  decoder.SysexIndex = state.SysexIndex;
  decoder.SigClocks = state.SigClocks;
  session.buffers.Origins = RestoreOrigins(state.Origins);
}

WorkingCopyCapture CaptureWorkingCopy(const Session& session) {
  WorkingCopyCapture capture;
  capture.State = StateOf(session);
  try {
    capture.Bytes = ReadWholeFile(session.WorkCopyPath());
    capture.Read = true;
  } catch (const RunError&) {
    // A working copy that cannot be read cannot be changed either; nothing to record.
  }
  return capture;
}

WorkingCopyChange ByteDifference(std::string_view old_bytes, std::string_view new_bytes) {
  WorkingCopyChange change;
  change.OldLength = static_cast<std::int64_t>(old_bytes.size());
  change.NewLength = static_cast<std::int64_t>(new_bytes.size());
  const auto run = [&](std::size_t start, std::size_t old_end, std::size_t new_end) {
    change.Runs.push_back({static_cast<std::int64_t>(start) + 1, std::string(old_bytes.substr(start, old_end - start)),
                           std::string(new_bytes.substr(start, new_end - start))});
  };
  if (old_bytes.size() == new_bytes.size()) {
    // A patch: each changed run apart, runs closer than a few bytes together.
    constexpr std::size_t kJoin = 8;
    for (std::size_t i = 0; i < old_bytes.size();) {
      if (old_bytes[i] == new_bytes[i]) {
        ++i;
        continue;
      }
      const std::size_t start = i;
      std::size_t last = i;
      for (; i < old_bytes.size() && i <= last + kJoin; ++i)
        if (old_bytes[i] != new_bytes[i]) last = i;
      run(start, last + 1, last + 1);
      i = last + 1;
    }
    return change;
  }
  const std::size_t shorter = std::min(old_bytes.size(), new_bytes.size());
  std::size_t start = 0;
  while (start < shorter && old_bytes[start] == new_bytes[start]) ++start;
  std::size_t end = 0;  // bytes alike at the end, not reaching into the start
  while (end < shorter - start && old_bytes[old_bytes.size() - 1 - end] == new_bytes[new_bytes.size() - 1 - end]) ++end;
  run(start, old_bytes.size() - end, new_bytes.size() - end);
  return change;
}

std::size_t KeptBytes(const WorkingCopyChange& change) {
  std::size_t bytes = 0;
  for (const ByteRun& run : change.Runs) bytes += run.Old.size() + run.New.size();
  return bytes;
}

std::optional<WorkingCopyChange> ChangeSince(const Session& session, WorkingCopyCapture before) {
  if (!before.Read) return std::nullopt;
  std::string now;
  try {
    now = ReadWholeFile(session.WorkCopyPath());
  } catch (const RunError&) {
    return std::nullopt;
  }
  WorkingCopyChange change = ByteDifference(before.Bytes, now);
  change.Before = std::move(before.State);
  change.After = StateOf(session);
  if (change.Runs.empty() && change.Before == change.After) return std::nullopt;
  return change;
}

void ApplyWorkingCopyChange(Session& session, const WorkingCopyChange& change, bool undo) {
  const std::int64_t from_length = undo ? change.NewLength : change.OldLength;
  const std::string path = session.WorkCopyPath();
  std::string bytes = ReadWholeFile(path);
  if (static_cast<std::int64_t>(bytes.size()) != from_length) throw RunError(kInvalidArgument);
  // From the last run back, so that a run that changes the length moves none still to come.
  for (auto run = change.Runs.rbegin(); run != change.Runs.rend(); ++run) {
    const std::string& from = undo ? run->New : run->Old;
    const std::string& to = undo ? run->Old : run->New;
    const auto at = static_cast<std::size_t>(run->At - 1);
    if (at > bytes.size() || bytes.compare(at, from.size(), from) != 0) throw RunError(kInvalidArgument);
    bytes.replace(at, from.size(), to);
  }
  const std::string new_path = session.AppPath(kUndoFileName);
  BinaryFile out(new_path, BinaryFile::Mode::kCreate);
  out.Write(bytes);
  out.Sync();
  out.Close();
  RenameFile(new_path, path);
  RestoreState(session, undo ? change.Before : change.After);
}

}  // namespace quavert

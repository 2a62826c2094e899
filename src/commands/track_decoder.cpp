#include "commands/track_decoder.h"

#include <optional>
#include <string>
#include <utility>

#include "app/long_work.h"
#include "app/session.h"
#include "commands/chunk_walker.h"
#include "commands/file_summary.h"
#include "commands/media_commands.h"
#include "commands/message_box_port.h"
#include "commands/undo_commands.h"
#include "commands/working_files.h"
#include "common/file_system.h"
#include "common/record_file.h"
#include "common/run_error.h"
#include "decoding/decode_messages.h"
#include "decoding/missing_byte_repair.h"
#include "decoding/track_decode.h"

namespace quavert {
namespace {

const char* RepairStepName(TrackRepair kind) {
  return kind == TrackRepair::kMissingStatus ? "Missing Byte Repair" : "Time Signature Repair";
}

// A decode's progress, passed on; the user's request to stop is heard only while the decode has
// changed nothing but its own rows.
class DecodeProgress final : public Progress {
 public:
  DecodeProgress(Progress& to, bool stoppable) : to_(to), stoppable_(stoppable) {}
  // The working copy is about to change: the decode goes on to its end.
  void Unstoppable() { stoppable_ = false; }
  bool Reached(std::int64_t done, std::int64_t total) override { return to_.Reached(done, total) && stoppable_; }

 private:
  Progress& to_;
  bool stoppable_;
};

// Where a decode of the current track puts its findings: the session, the window and notes.dat,
// written block by block. A decode that may be stopped writes its rows beside notes.dat, which
// the rows of the track before may still be read from, and notes.dat takes them once the rows
// are over.
class SessionDecodeSink final : public TrackDecodeSink {
 public:
  SessionDecodeSink(Session& session, DecodeProgress& progress, bool stoppable)
      : session_(session),
        decoder_(session.decoder),
        progress_(progress),
        notes_path_(session.AppPath(kNotesDat)),
        rows_path_(stoppable ? notes_path_ + ".new" : notes_path_) {}

  // Resets what the decode of another track left and opens the file the rows go to. RunError
  // when it cannot.
  void Setup();
  // The rows written so far stay in notes.dat; a failure to write them is not worth a second message.
  void Discard() noexcept;
  // The decode was stopped: notes.dat is as it was.
  void Cancel() noexcept;

  void Heading(const TrackChunk& chunk) override;
  EventRecord& NewRow() override { return NewEventRow(session_, *notes_); }
  void TempoShown() override;
  void ReportLine(const std::string& line) override { session_.report.WriteLine(line); }
  void RowsClosed() override;
  void BeforeRepair(TrackRepair kind) override;
  void AfterRepair(const TrackRepairMade& repair) override;
  void Finished() override;

 private:
  // Closes the rows' file; notes.dat takes the rows written beside it.
  void CloseRows();

  Session& session_;
  DecoderState& decoder_;
  DecodeProgress& progress_;
  const std::string notes_path_;
  const std::string rows_path_;
  std::optional<RecordFile> notes_;
  WorkingCopyCapture before_;
};

void SessionDecodeSink::Setup() {
  session_.file.LoadState = kLoadNormal;
  session_.ui.SetText(Control::Text2, "");
  session_.ui.SetText(Control::Text6, "");
  session_.controls.TempoLocked = true;
  ShowControls(session_);
  decoder_.BeginTrack();
  decoder_.LastEventIndex = -1;
  decoder_.RowTicks = 0;
  decoder_.BlockRow = -1;
  // The rows of an earlier listing end with the decode, and let go of notes.dat before it is
  // written again; only the block is kept.
  session_.buffers = {};
  session_.undo.NewList();
  ClearEventBlock(session_);
  session_.NotesDatMade = true;
  if (rows_path_ != notes_path_ && FileExists(rows_path_)) DeleteFile(rows_path_);
  notes_.emplace(rows_path_, kEventRecordLength);
}

void SessionDecodeSink::CloseRows() {
  if (!notes_) return;
  notes_->Close();
  notes_.reset();
  if (rows_path_ != notes_path_) TakeSideRecords(rows_path_, notes_path_);
}

void SessionDecodeSink::Discard() noexcept {
  try {
    CloseRows();
  } catch (const RunError&) {
  }
  notes_.reset();
}

void SessionDecodeSink::Cancel() noexcept {
  notes_.reset();
  if (rows_path_ != notes_path_) DeleteLeftover(rows_path_);
}

void SessionDecodeSink::Heading(const TrackChunk& chunk) {
  session_.tracks.TrackChunks[static_cast<std::size_t>(session_.file.CurrentTrack)] = chunk;
  WriteTrackHeading(session_);
}

void SessionDecodeSink::TempoShown() {
  session_.controls.TempoLocked = false;
  ShowControls(session_);
  session_.ui.SetText(Control::Text6, decoder_.TempoText);
}

void SessionDecodeSink::RowsClosed() { CloseRows(); }

void SessionDecodeSink::BeforeRepair(TrackRepair kind) {
  progress_.Unstoppable();
  // The player lets go of the file while a byte of it changes.
  if (kind == TrackRepair::kTimeSignatureClocks) MciClose(session_, kDeviceAlias);
  before_ = CaptureWorkingCopy(session_);
  if (kind == TrackRepair::kMissingStatus) session_.file.RepairAsked = true;
}

void SessionDecodeSink::AfterRepair(const TrackRepairMade& repair) {
  if (repair.Kind == TrackRepair::kTimeSignatureClocks) {
    MciOpenInFrame(session_, session_.WorkCopyPath(), kDeviceAlias);
  } else {
    session_.file.FileSize = repair.FileSize;
    session_.file.InsertedStatusPos = repair.InsertedAt;
    session_.file.LoadState = kDecodeAgain;
    WalkTrackChunks(session_);
  }
  RecordWorkingCopyStep(session_, std::exchange(before_, {}), RepairStepName(repair.Kind), true);
}

void SessionDecodeSink::Finished() {
  session_.file.TrackReportFlags[1][static_cast<std::size_t>(session_.file.CurrentTrack)] = true;
  session_.controls.Notes = decoder_.LastEventIndex >= 0;
  ShowControls(session_);
  if (decoder_.LastEventIndex >= 0) {
    // The last, partly filled block goes out whole, after the blocks written before it.
    const std::int64_t last_event = decoder_.LastEventIndex;
    decoder_.LastEventIndex = (last_event / kBlockRows + 1) * kBlockRows;
    FlushEventBlock(session_, *notes_);
    decoder_.LastEventIndex = last_event;
  }
  CloseRows();
  session_.ui.SetText(Control::Text2, decoder_.TrackText);
}

// Whether the track's meta-event lines are still to go to the report in this load.
bool ReportsMetaLines(const LoadedFile& file) {
  const auto& written = file.TrackReportFlags[1];
  const int track = file.CurrentTrack;
  return track >= 0 && track < static_cast<int>(written.size()) && !written[static_cast<std::size_t>(track)];
}

// False when the progress asked the decode to stop.
bool DecodeOnce(Session& session, Progress& work, bool stoppable) {
  DecodeProgress progress(work, stoppable);
  SessionDecodeSink sink(session, progress, stoppable);
  MessageBoxPort port(session.ui);
  TrackDecodeEnd end = TrackDecodeEnd::kStopped;
  try {
    sink.Setup();
    TrackDecodeInput input;
    input.WorkCopy = session.WorkCopyPath();
    input.RepairPath = session.AppPath(kRepairFileName);
    input.Tracks = &session.tracks;
    input.Track = session.file.CurrentTrack;
    input.DeltaTicks = session.file.DeltaTicks;
    input.ReportMetaLines = ReportsMetaLines(session.file);
    input.RepairOffered = session.file.RepairAsked;
    input.ProgressTo = &progress;
    end = DecodeTrackBytes(input, session.decoder, sink, port);
  } catch (const RunError& error) {
    port.Tell(RunErrorMessage(error.code()));
  }
  if (end == TrackDecodeEnd::kCancelled) {
    sink.Cancel();
    return false;
  }
  if (end == TrackDecodeEnd::kStopped) {
    session.file.LoadState = kLoadFailed;
    sink.Discard();
  }
  return true;
}

}  // namespace

bool DecodeTrack(Session& session, bool stoppable) {
  LongWork work(session.ui, stoppable);
  if (!DecodeOnce(session, work, stoppable)) return false;
  // A missing-byte repair changed the file under this track: show it as it now is. The file has
  // changed, so this decode cannot be stopped.
  if (session.file.LoadState == kDecodeAgain) {
    session.file.LoadState = kLoadCleared;
    DecodeOnce(session, work, false);
  }
  return true;
}

}  // namespace quavert

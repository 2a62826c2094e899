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

// Where a decode of the current track puts its findings: the session, the window and notes.dat,
// written block by block.
class SessionDecodeSink final : public TrackDecodeSink {
 public:
  explicit SessionDecodeSink(Session& session) : session_(session), decoder_(session.decoder) {}

  // Resets what the decode of another track left and opens notes.dat. RunError when it cannot.
  void Setup();
  // The rows written so far stay in notes.dat; a failure to write them is not worth a second message.
  void Discard() noexcept { notes_.reset(); }

  void Heading(const TrackChunk& chunk) override;
  EventRecord& NewRow() override { return NewEventRow(session_, *notes_); }
  void TempoShown() override;
  void ReportLine(const std::string& line) override { session_.report.WriteLine(line); }
  void RowsClosed() override;
  void BeforeRepair(TrackRepair kind) override;
  void AfterRepair(const TrackRepairMade& repair) override;
  void Finished() override;

 private:
  Session& session_;
  DecoderState& decoder_;
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
  session_.buffers.EventBuffer.clear();
  session_.buffers.Rows.Clear();
  session_.buffers.Origins = {};
  session_.undo.NewList();
  ClearEventBlock(session_);
  session_.NotesDatMade = true;
  notes_.emplace(session_.AppPath(kNotesDat), kEventRecordLength);
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

void SessionDecodeSink::RowsClosed() {
  if (notes_) notes_->Close();
  notes_.reset();
}

void SessionDecodeSink::BeforeRepair(TrackRepair kind) {
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
  notes_->Close();
  notes_.reset();
  session_.ui.SetText(Control::Text2, decoder_.TrackText);
}

// Whether the track's meta-event lines are still to go to the report in this load.
bool ReportsMetaLines(const LoadedFile& file) {
  const auto& written = file.TrackReportFlags[1];
  const int track = file.CurrentTrack;
  return track >= 0 && track < static_cast<int>(written.size()) && !written[static_cast<std::size_t>(track)];
}

void DecodeOnce(Session& session, Progress& progress) {
  SessionDecodeSink sink(session);
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
  if (end == TrackDecodeEnd::kStopped) {
    session.file.LoadState = kLoadFailed;
    sink.Discard();
  }
}

}  // namespace

void DecodeTrack(Session& session) {
  // A decode cannot be stopped part of the way: it has already let go of the list and the rows.
  LongWork work(session.ui, false);
  DecodeOnce(session, work);
  // A missing-byte repair changed the file under this track: show it as it now is.
  if (session.file.LoadState == kDecodeAgain) {
    session.file.LoadState = kLoadCleared;
    DecodeOnce(session, work);
  }
}

}  // namespace quavert

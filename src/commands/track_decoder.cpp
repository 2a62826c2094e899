#include "commands/track_decoder.h"

#include <optional>
#include <string>

#include "app/session.h"
#include "commands/chunk_walker.h"
#include "commands/file_summary.h"
#include "commands/meta_events.h"
#include "commands/missing_byte_repair.h"
#include "commands/undo_commands.h"
#include "commands/working_files.h"
#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "common/number_text.h"
#include "common/record_file.h"
#include "common/run_error.h"
#include "decoding/decode_messages.h"
#include "decoding/event_rows.h"
#include "decoding/event_scanner.h"

namespace quavert {
namespace {

constexpr std::uint8_t kController = 0xB0;
constexpr std::int32_t kLargestDataByte = 127;

// One decode of the current track: the working copy read through the scanner, notes.dat
// written block by block.
class TrackDecode {
 public:
  explicit TrackDecode(Session& session) : session_(session), decoder_(session.decoder) {}

  void Run();
  // Shows `message` and ends the decode as failed.
  void Stop(const std::string& message);
  // Ends the decode as failed: LoadState 99, the report lines so far written, the files closed.
  void Fail();

 private:
  void Setup();
  std::int64_t ReadChunkHeader();
  // Each returns false when the decode is over.
  bool OnChannel(const ScannedEvent& event);
  void OnSysex(const ScannedEvent& event);
  bool OnStray(const ScannedEvent& event);
  void RepairMissingByte(std::int64_t position);
  void EndOfTrack();
  void WriteReportLines();
  void CloseFiles();
  void DiscardFiles() noexcept;

  Session& session_;
  DecoderState& decoder_;
  std::optional<BinaryFile> work_;
  std::optional<RecordFile> notes_;
};

void TrackDecode::Run() {
  Setup();
  const std::int64_t track_end = ReadChunkHeader();
  const std::int64_t data_start = session_.tracks.TrackStart[static_cast<std::size_t>(session_.file.CurrentTrack)] +
                                  kChunkHeaderLength;
  ByteReader reader(*work_, data_start, track_end);
  EventScanner scanner(reader);
  // The first delta belongs to the part of the track before FirstEventPos, which the track
  // writer copies as it stands.
  scanner.Start();
  // One event's memory serves every event of the track.
  for (ScannedEvent event; scanner.Next(event);) {
    const bool begun = decoder_.FirstEventPos != -1;
    if (!begun && StartsTimedPart(event)) decoder_.FirstEventPos = event.first;
    switch (event.kind) {
      case ScannedKind::kChannel:
      case ScannedKind::kCutChannel:
        if (!OnChannel(event)) return;
        break;
      case ScannedKind::kSysex: OnSysex(event); break;
      case ScannedKind::kMeta:
        if (HandleMetaEvent(session_, *notes_, event, begun) == MetaOutcome::kStop) return Fail();
        break;
      case ScannedKind::kStray:
        if (!OnStray(event)) return;
        break;
      case ScannedKind::kEndOfTrack: EndOfTrack(); return;
    }
  }
}

void TrackDecode::Setup() {
  session_.file.LoadState = kLoadNormal;
  session_.ui.SetText(Control::Text2, "");
  session_.ui.SetText(Control::Text6, "");
  session_.controls.TempoLocked = true;
  ShowControls(session_);
  decoder_.FirstEventPos = -1;
  decoder_.TempoBpm = -1;
  decoder_.LastEventIndex = -1;
  decoder_.TempoPos = -1;
  decoder_.SysexIndex = -1;
  // The missing-byte test looks for a tempo of this track only: a position left by another
  // track or file would point into bytes that hold no tempo now.
  decoder_.LastTempoPos = 0;
  decoder_.SysexStart.clear();
  decoder_.SysexEnd.clear();
  decoder_.BlockRow = -1;
  decoder_.LyricText = kLyricLabel;
  decoder_.TrackText.clear();
  decoder_.ReportLines.clear();
  // The rows of an earlier listing end with the decode; only the block is kept. Their memory
  // stays for the next listing.
  session_.buffers.EventBuffer.clear();
  session_.buffers.ListBuffer.ClearForReuse();
  session_.buffers.Origins = {};
  session_.undo.NewList();
  ClearEventBlock(session_);
  session_.NotesDatMade = true;
  notes_.emplace(session_.AppPath(kNotesDat), kEventRecordLength);
  work_.emplace(session_.WorkCopyPath(), BinaryFile::Mode::kRead);
}

// Reads the chunk header into the track table, starts Text2's text and the report's track
// heading; returns the position of the chunk's last data byte.
std::int64_t TrackDecode::ReadChunkHeader() {
  const int track = session_.file.CurrentTrack;
  if (track < 1 || track > session_.tracks.TrackCount) throw RunError(kIndexOutOfRange);
  const std::int64_t start = session_.tracks.TrackStart[static_cast<std::size_t>(track)];
  ByteReader header(*work_, start, start + kChunkHeaderLength - 1);
  TrackChunk& chunk = session_.tracks.TrackChunks[static_cast<std::size_t>(track)];
  for (std::uint8_t& byte : chunk.Id) byte = header.U8();
  for (std::uint8_t& byte : chunk.Size) byte = header.U8();

  decoder_.TrackText = "       Track             :" + SignedNumber(track) + "\r\n";
  // The chunk's length as the walker took it.
  decoder_.TrackLength = chunk.DataLength(work_->Length() - (start + kChunkHeaderLength - 1));
  decoder_.TrackText += "       Length            :" + SignedNumber(decoder_.TrackLength) + "\r\n";
  WriteTrackHeading(session_);
  return start + kChunkHeaderLength - 1 + decoder_.TrackLength;
}

bool TrackDecode::OnChannel(const ScannedEvent& event) {
  if (event.problem != ScanProblem::kNone) {
    Stop(ProblemMessage(event));
    return false;
  }
  // A controller or pressure cut short by a status byte leaves nothing to show.
  if (!GetsRow(event, true)) return true;
  // Filled where it lies in the block: the hottest path of a decode.
  EventRecord& row = NewEventRow(session_, *notes_);
  row.Status = RowStatus(event);
  row.Data1 = event.data1;
  row.Data2 = event.data2;
  if ((event.status & 0xF0) == kController && row.Data2 > kLargestDataByte) row.Data2 = kLargestDataByte;
  row.Delta = event.delta.value;
  return true;
}

void TrackDecode::OnSysex(const ScannedEvent& event) {
  decoder_.SysexStart.push_back(event.first);
  decoder_.SysexEnd.push_back(event.last);
  decoder_.SysexIndex = static_cast<std::int64_t>(decoder_.SysexStart.size()) - 1;
  EventRecord row;
  row.Status = event.status;
  row.Delta = event.delta.value;
  AddEventRow(session_, *notes_, row);
}

bool TrackDecode::OnStray(const ScannedEvent& event) {
  if (event.status == 0) return true;
  // Where the status byte after a tempo event with three data bytes and a one-byte delta
  // stands. Only one repair is offered per load; later ones are skipped like any stray byte.
  if (event.first != decoder_.LastTempoPos + 4 || session_.file.RepairAsked) return true;
  RepairMissingByte(event.first);
  return false;
}

void TrackDecode::RepairMissingByte(std::int64_t position) {
  CloseFiles();
  if (session_.ui.MessageBox(kMissingByteQuestion, Buttons::kYesNo) != Answer::kYes) return Fail();
  // The report lines of this decode stay unwritten: the decode that follows the repair reads
  // the same events again and reports them.
  WorkingCopyCapture before = CaptureWorkingCopy(session_);
  session_.file.RepairAsked = true;
  InsertMissingStatusByte(session_, position);
  session_.file.LoadState = kDecodeAgain;
  WalkTrackChunks(session_);
  RecordWorkingCopyStep(session_, std::move(before), "Missing Byte Repair", true);
}

void TrackDecode::EndOfTrack() {
  work_->Close();
  work_.reset();
  WriteReportLines();
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

void TrackDecode::Stop(const std::string& message) {
  session_.ui.MessageBox(message);
  Fail();
}

void TrackDecode::Fail() {
  session_.file.LoadState = kLoadFailed;
  try {
    WriteReportLines();
  } catch (const RunError&) {
    // The decode has already failed with its message; a report that takes no lines adds none.
  }
  DiscardFiles();
}

void TrackDecode::WriteReportLines() {
  std::vector<std::string> lines = std::move(decoder_.ReportLines);
  decoder_.ReportLines.clear();
  for (const std::string& line : lines) session_.report.WriteLine(line);
}

void TrackDecode::CloseFiles() {
  if (notes_) notes_->Close();
  notes_.reset();
  if (work_) work_->Close();
  work_.reset();
}

void TrackDecode::DiscardFiles() noexcept {
  // Rows written so far stay in notes.dat; a failure to write them is not worth a second message.
  notes_.reset();
  work_.reset();
}

}  // namespace

void DecodeTrack(Session& session) {
  TrackDecode decode(session);
  try {
    decode.Run();
  } catch (const ReadPastLimit&) {
    decode.Stop(kUnexpectedEndOfTrack);
  } catch (const RunError& error) {
    decode.Stop(RunErrorMessage(error.code()));
  }
}

}  // namespace quavert

#include "decoding/track_decode.h"

#include <optional>
#include <utility>

#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "common/number_text.h"
#include "common/run_error.h"
#include "decoding/decode_messages.h"
#include "decoding/event_rows.h"
#include "decoding/event_scanner.h"
#include "decoding/meta_events.h"
#include "decoding/missing_byte_repair.h"

namespace quavert {
namespace {

constexpr std::uint8_t kController = 0xB0;
constexpr std::int32_t kLargestDataByte = 127;

// One decode of a track: the working copy read through the scanner.
class TrackDecoder {
 public:
  TrackDecoder(const TrackDecodeInput& input, TrackDecodeFacts& facts, TrackDecodeSink& sink, TellAsk& port)
      : decode_{input, facts, sink, port, std::string(kLyricLabel), {}} {}

  TrackDecodeEnd Run();
  // Tells `message` and ends the decode as failed.
  TrackDecodeEnd Stop(const std::string& message);

 private:
  // Reads the chunk header, starts the track's text and the report's heading; returns the
  // track's place in the file.
  TrackPlaceInFile ReadChunkHeader();
  // Each returns false when the decode is over, with `end_` set.
  bool OnChannel(const ScannedEvent& event);
  void OnSysex(const ScannedEvent& event);
  bool OnStray(const ScannedEvent& event);
  TrackDecodeEnd RepairMissingByte(std::int64_t position);
  TrackDecodeEnd EndOfTrack();
  // Ends the decode as failed: the report lines so far given, the file closed.
  TrackDecodeEnd Fail();
  void GiveReportLines();

  TrackDecodeContext decode_;
  std::optional<BinaryFile> work_;
  TrackDecodeEnd end_ = TrackDecodeEnd::kComplete;
};

TrackDecodeEnd TrackDecoder::Run() {
  TrackDecodeFacts& facts = decode_.Facts;
  facts.BeginTrack();
  work_.emplace(decode_.Input.WorkCopy, BinaryFile::Mode::kRead);
  const TrackPlaceInFile place = ReadChunkHeader();
  ByteReader reader(*work_, place.DataFirst, place.DataLast);
  EventScanner scanner(reader);
  // The first delta belongs to the part of the track before FirstEventPos, which the track
  // writer copies as it stands.
  scanner.Start();
  ProgressSteps steps(decode_.Input.ProgressTo, place.DataLast - place.DataFirst + 1);
  // One event's memory serves every event of the track.
  for (ScannedEvent event; scanner.Next(event);) {
    if (steps.At(event.last - place.DataFirst + 1)) {
      work_.reset();
      return TrackDecodeEnd::kCancelled;
    }
    const bool begun = facts.FirstEventPos != -1;
    if (!begun && StartsTimedPart(event)) facts.FirstEventPos = event.first;
    switch (event.kind) {
      case ScannedKind::kChannel:
      case ScannedKind::kCutChannel:
        if (!OnChannel(event)) return end_;
        break;
      case ScannedKind::kSysex: OnSysex(event); break;
      case ScannedKind::kMeta:
        if (HandleMetaEvent(decode_, event, begun) == MetaOutcome::kStop) return Fail();
        break;
      case ScannedKind::kStray:
        if (!OnStray(event)) return end_;
        break;
      case ScannedKind::kEndOfTrack: return EndOfTrack();
    }
  }
  return TrackDecodeEnd::kComplete;
}

TrackPlaceInFile TrackDecoder::ReadChunkHeader() {
  const TrackTable& tracks = *decode_.Input.Tracks;
  const int track = decode_.Input.Track;
  if (track < 1 || track > tracks.TrackCount) throw RunError(kIndexOutOfRange);
  const std::int64_t file_size = work_->Length();
  const TrackPlaceInFile place = PlaceOfTrack(tracks, track, file_size);
  ByteReader header(*work_, place.Start, place.DataFirst - 1);
  TrackChunk chunk;
  for (std::uint8_t& byte : chunk.Id) byte = header.U8();
  for (std::uint8_t& byte : chunk.Size) byte = header.U8();

  TrackDecodeFacts& facts = decode_.Facts;
  facts.TrackText = "       Track             :" + SignedNumber(track) + "\r\n";
  // The chunk's length as the walker took it; the reader stops at the end of the file.
  facts.TrackLength = chunk.DataLength(file_size - (place.DataFirst - 1));
  facts.TrackText += "       Length            :" + SignedNumber(facts.TrackLength) + "\r\n";
  decode_.Sink.Heading(chunk);
  return place;
}

bool TrackDecoder::OnChannel(const ScannedEvent& event) {
  if (event.problem != ScanProblem::kNone) {
    end_ = Stop(ProblemMessage(event));
    return false;
  }
  // A controller or pressure cut short by a status byte leaves nothing to show.
  if (!GetsRow(event, true)) return true;
  // Filled where it lies in the sink's block: the hottest path of a decode.
  EventRecord& row = decode_.Sink.NewRow();
  row.Status = RowStatus(event);
  row.Data1 = event.data1;
  row.Data2 = event.data2;
  if ((event.status & 0xF0) == kController && row.Data2 > kLargestDataByte) row.Data2 = kLargestDataByte;
  row.Delta = event.delta.value;
  return true;
}

void TrackDecoder::OnSysex(const ScannedEvent& event) {
  TrackDecodeFacts& facts = decode_.Facts;
  facts.SysexStart.push_back(event.first);
  facts.SysexEnd.push_back(event.last);
  facts.SysexIndex = static_cast<std::int64_t>(facts.SysexStart.size()) - 1;
  EventRecord row;
  row.Status = event.status;
  row.Delta = event.delta.value;
  decode_.AddRow(row);
}

bool TrackDecoder::OnStray(const ScannedEvent& event) {
  if (event.status == 0) return true;
  // Where the status byte after a tempo event with three data bytes and a one-byte delta
  // stands. Only one repair is offered per load; later ones are skipped like any stray byte.
  if (event.first != decode_.Facts.LastTempoPos + 4 || decode_.Input.RepairOffered) return true;
  end_ = RepairMissingByte(event.first);
  return false;
}

TrackDecodeEnd TrackDecoder::RepairMissingByte(std::int64_t position) {
  decode_.Sink.RowsClosed();
  work_->Close();
  work_.reset();
  if (!decode_.Port.Ask(kMissingByteQuestion)) return Fail();
  // The report lines of this decode stay ungiven: the decode that follows the repair reads the
  // same events again and reports them.
  decode_.Sink.BeforeRepair(TrackRepair::kMissingStatus);
  const TrackDecodeInput& input = decode_.Input;
  const auto track = static_cast<std::size_t>(input.Track);
  const std::int64_t size = InsertMissingStatusByte(input.WorkCopy, input.RepairPath, input.Tracks->TrackChunks[track],
                                                    input.Tracks->TrackStart[track], position);
  decode_.Sink.AfterRepair(TrackRepairMade{TrackRepair::kMissingStatus, size, position});
  return TrackDecodeEnd::kRepaired;
}

TrackDecodeEnd TrackDecoder::EndOfTrack() {
  work_->Close();
  work_.reset();
  GiveReportLines();
  decode_.Sink.Finished();
  return TrackDecodeEnd::kComplete;
}

TrackDecodeEnd TrackDecoder::Stop(const std::string& message) {
  decode_.Port.Tell(message);
  return Fail();
}

TrackDecodeEnd TrackDecoder::Fail() {
  try {
    GiveReportLines();
  } catch (const RunError&) {
    // The decode has already failed with its message; a report that takes no lines adds none.
  }
  work_.reset();
  return TrackDecodeEnd::kStopped;
}

void TrackDecoder::GiveReportLines() {
  const std::vector<std::string> lines = std::exchange(decode_.ReportLines, {});
  for (const std::string& line : lines) decode_.Sink.ReportLine(line);
}

}  // namespace

void TrackDecodeFacts::BeginTrack() {
  FirstEventPos = -1;
  TempoBpm = -1;
  TempoPos = -1;
  SysexIndex = -1;
  // The missing-byte test looks for a tempo of this track only: a position left by another
  // track or file would point into bytes that hold no tempo now.
  LastTempoPos = 0;
  SysexStart.clear();
  SysexEnd.clear();
  TrackText.clear();
  TempoText.clear();
}

TrackDecodeEnd DecodeTrackBytes(const TrackDecodeInput& input, TrackDecodeFacts& facts, TrackDecodeSink& sink,
                                TellAsk& port) {
  TrackDecoder decoder(input, facts, sink, port);
  try {
    return decoder.Run();
  } catch (const ReadPastLimit&) {
    return decoder.Stop(kUnexpectedEndOfTrack);
  } catch (const RunError& error) {
    return decoder.Stop(RunErrorMessage(error.code()));
  }
}

}  // namespace quavert

#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/binary_file.h"
#include "common/run_error.h"
#include "decoding/track_decode.h"
#include "loading/chunk_walk.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"

namespace quavert {

/// Rows print as their seven fields in failure messages.
inline void PrintTo(const EventRecord& r, std::ostream* out) {
  *out << "{" << r.Status << "," << r.Data1 << "," << r.Data2 << "," << r.Delta << "," << r.RowKind << ","
       << r.MetaMark << "," << r.NoteState << "}";
}

}  // namespace quavert

namespace quavert::testing {

using RowList = std::vector<EventRecord>;
using Texts = std::vector<std::string>;

/// A row as the decoder gives it: the list builder's fields still -1.
inline EventRecord Row(std::int32_t status, std::int32_t data1, std::int32_t data2, std::int32_t delta,
                       std::int32_t meta_mark = -1) {
  return EventRecord{status, data1, data2, delta, -1, meta_mark, -1};
}

inline const Bytes kEnd = Hex("FF 2F 00");

/// The bytes of a channel event repeated `count` times with delta 0, as a note on.
inline Bytes Notes(int count) {
  Bytes out;
  for (int i = 0; i < count; ++i) out += Hex("90") + Bytes(1, static_cast<char>(i % 128)) + Hex("40 00");
  return out;
}

/// How a decode is run: the track, the answers to its questions, what the load knew before.
struct DecodeSetup {
  int Track = 1;
  std::vector<bool> Answers{};
  bool ReportMetaLines = true;
  bool RepairOffered = false;
  /// The facts the decode starts from: what the decode of another track left.
  TrackDecodeFacts Before{};
  /// The report line (1-based) whose writing fails; 0 for none.
  std::size_t FailingReportLine = 0;
  /// A folder stands where the missing-byte repair writes its copy.
  bool RepairPathBlocked = false;
};

/// Everything a decode gave: its end, its facts, what reached the sink and the port (in one
/// log, in order), and the working copy afterwards.
struct Decoded {
  TrackDecodeEnd End = TrackDecodeEnd::kComplete;
  TrackDecodeFacts Facts;
  RowList Rows;
  Texts Report;
  Texts Log;
  std::optional<TrackChunk> Heading;
  std::vector<TrackRepairMade> Repairs;
  std::string WorkCopy;
  /// Only the messages and questions of the log.
  Texts Said() const {
    Texts said;
    for (const std::string& entry : Log)
      if (entry.starts_with("tell ") || entry.starts_with("ask ")) said.push_back(entry);
    return said;
  }
  /// The track's text after its two heading lines.
  std::string Lines() const {
    const std::string& text = Facts.TrackText;
    return text.substr(text.find("\r\n", text.find("\r\n") + 2) + 2);
  }
};

class RecordingDecodeSink final : public TrackDecodeSink {
 public:
  RecordingDecodeSink(Decoded& out, const TrackDecodeFacts& facts, std::size_t failing_line)
      : out_(out), facts_(facts), failing_line_(failing_line) {}
  void Heading(const TrackChunk& chunk) override {
    out_.Heading = chunk;
    out_.Log.push_back("heading " + std::to_string(facts_.TrackLength));
  }
  EventRecord& NewRow() override {
    if (rows_closed_) throw RunError(kBadFileNameOrNumber);  // as a closed notes.dat would
    return out_.Rows.emplace_back();
  }
  void TempoShown() override { out_.Log.push_back("tempo " + facts_.TempoText); }
  void ReportLine(const std::string& line) override {
    if (out_.Report.size() + 1 == failing_line_) throw RunError(kBadFileNameOrNumber);
    out_.Report.push_back(line);
  }
  void RowsClosed() override {
    rows_closed_ = true;
    out_.Log.push_back("rows closed");
  }
  void BeforeRepair(TrackRepair) override { out_.Log.push_back("before repair"); }
  void AfterRepair(const TrackRepairMade& repair) override {
    out_.Repairs.push_back(repair);
    out_.Log.push_back("after repair");
  }
  void Finished() override { out_.Log.push_back("finished " + std::to_string(out_.Rows.size())); }

 private:
  Decoded& out_;
  const TrackDecodeFacts& facts_;
  std::size_t failing_line_;
  bool rows_closed_ = false;
};

class ScriptedPort final : public TellAsk {
 public:
  ScriptedPort(Texts& log, std::vector<bool> answers) : log_(log), answers_(std::move(answers)) {}
  void Tell(const std::string& message) override { log_.push_back("tell " + message); }
  bool Ask(const std::string& question) override {
    log_.push_back("ask " + question);
    if (next_ >= answers_.size()) return false;
    return answers_[next_++];
  }

 private:
  Texts& log_;
  std::vector<bool> answers_;
  std::size_t next_ = 0;
};

/// Decodes track `setup.Track` of `file`, its track table walked from its bytes.
inline Decoded DecodeFile(const Bytes& file, const DecodeSetup& setup = {}) {
  TempFolder folder;
  const std::string work = folder.Join("work.mid");
  WriteFileBytes(work, file);
  TrackTable tracks;
  {
    BinaryFile binary(work, BinaryFile::Mode::kRead);
    const int announced = file.size() >= 12 ? static_cast<unsigned char>(file[10]) * 256 + static_cast<unsigned char>(file[11]) : 0;
    tracks = WalkChunks(binary, static_cast<std::int64_t>(file.size()), announced).Table;
  }
  Decoded out;
  out.Facts = setup.Before;
  TrackDecodeInput input;
  input.WorkCopy = work;
  input.RepairPath = folder.Join("repair.tmp");
  input.Tracks = &tracks;
  input.Track = setup.Track;
  input.DeltaTicks = 96;
  if (setup.RepairPathBlocked) std::filesystem::create_directory(input.RepairPath);
  input.ReportMetaLines = setup.ReportMetaLines;
  input.RepairOffered = setup.RepairOffered;
  RecordingDecodeSink sink(out, out.Facts, setup.FailingReportLine);
  ScriptedPort port(out.Log, setup.Answers);
  out.End = DecodeTrackBytes(input, out.Facts, sink, port);
  out.WorkCopy = ReadFileBytes(work);
  return out;
}

/// Decodes a format-0 file of one track holding `track_data`, at 96 ticks per quarter note.
inline Decoded DecodeTrackData(const Bytes& track_data, const DecodeSetup& setup = {}) {
  return DecodeFile(Smf(0, 96, {track_data}), setup);
}

}  // namespace quavert::testing

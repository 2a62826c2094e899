#include "commands/save_track.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "app/session.h"
#include "commands/chunk_walker.h"
#include "commands/working_files_flush.h"
#include "commands/writing_messages.h"
#include "common/progress.h"
#include "common/binary_file.h"
#include "common/block_copy.h"
#include "common/byte_reader.h"
#include "common/file_system.h"
#include "common/run_error.h"
#include "decoding/decode_messages.h"
#include "decoding/delta_time.h"
#include "writing/delta_writer.h"
#include "writing/track_events_writer.h"

namespace quavert {
namespace {

constexpr std::int64_t kLengthFieldOffset = 4;
/// What the four bytes of a chunk's size field hold.
constexpr std::int64_t kLargestTrackLength = 0xFFFFFFFF;

// The new file while it is being written: removed again unless it became the working copy.
class NewTrackFile {
 public:
  explicit NewTrackFile(std::string path) : path_(std::move(path)) {}
  ~NewTrackFile() {
    if (kept_ || !FileExists(path_)) return;
    try {
      DeleteFile(path_);
    } catch (const RunError&) {
      // A leftover is emptied by the next save; the working copy is untouched either way.
    }
  }
  NewTrackFile(const NewTrackFile&) = delete;
  NewTrackFile& operator=(const NewTrackFile&) = delete;

  const std::string& Path() const { return path_; }
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  bool kept_ = false;
};

// Runs one step of the save; a file failure in it becomes the reason the save gives: what was
// being done, to which file, and what the system said.
template <typename Step>
void FileStep(const std::string& doing, Step step) {
  try {
    step();
  } catch (const RunError& error) {
    throw TrackNotSaved(doing + ": " + error.reason());
  }
}

// Where the current track lies in the working copy, as the track table and the decoder say.
struct TrackPlace {
  std::int64_t start = 0;      // S: the "M" of the chunk header
  std::int64_t data_last = 0;  // the chunk's last data byte (the file's last byte when it is cut short)
  std::int64_t next = 0;       // N: the position after the chunk
};

TrackPlace FindTrack(const Session& session, std::int64_t file_size) {
  const int track = session.file.CurrentTrack;
  if (track < 1 || track > session.tracks.TrackCount) throw TrackNotSaved(kTrackChanged);
  const TrackPlaceInFile in_file = PlaceOfTrack(session.tracks, track, file_size);
  TrackPlace place;
  place.start = in_file.Start;
  place.data_last = in_file.DataLast;
  place.next = in_file.DataLast + 1;
  const std::int64_t first_event = session.decoder.FirstEventPos;
  if (place.start < 1 || first_event < place.start + kChunkHeaderLength || first_event > place.data_last)
    throw TrackNotSaved(kTrackChanged);
  return place;
}

// The bytes before the timed part, with the delta time in front of it made `lead` ticks longer
// (rows deleted from the start of the list gave it their time).
void CopyPrefixWithLead(BinaryFile& work, BinaryFile& out, std::int64_t data_first, std::int64_t data_last,
                        std::int64_t first_event_pos, std::int64_t lead) {
  DeltaTime delta;
  try {
    delta = DeltaBeforeTimedPart(work, data_first, data_last, first_event_pos);
  } catch (const TrackMismatch&) {
    throw TrackNotSaved(kTrackChanged);
  } catch (const ReadPastLimit&) {
    throw TrackNotSaved(kTrackChanged);
  }
  const std::int64_t ticks = delta.value + lead;
  if (ticks > kLargestDeltaTime) throw TrackNotSaved(kLeadTooLong);
  work.Seek(1);
  CopyBlocks(work, out, delta.first - 1);
  std::string bytes;
  AppendDeltaTime(bytes, static_cast<std::int32_t>(ticks));
  out.Write(bytes);
  work.Seek(delta.last + 1);
  CopyBlocks(work, out, first_event_pos - delta.last - 1);
}

void WriteLengthField(BinaryFile& out, std::int64_t position, std::int64_t length) {
  const char bytes[] = {static_cast<char>(length >> 24 & 0xFF), static_cast<char>(length >> 16 & 0xFF),
                        static_cast<char>(length >> 8 & 0xFF), static_cast<char>(length & 0xFF)};
  out.Seek(position);
  out.Write(bytes, sizeof bytes);
}

}  // namespace

void SaveTrack(Session& session, Progress* progress) {
  DecoderState& decoder = session.decoder;
  const std::int64_t row_count = decoder.LastEventIndex + 1;
  const EditBuffers& buffers = session.buffers;
  // Inserted and deleted rows: the rows need not pair with the events one to one, and may all be gone.
  const RowOrigins* origins = buffers.Origins.Pending ? &buffers.Origins : nullptr;
  if ((row_count <= 0 && origins == nullptr) || row_count < 0 || decoder.FirstEventPos < 1)
    throw TrackNotSaved(kNoEventsToSave);
  if (buffers.Rows.size() < row_count) throw TrackNotSaved(kTrackNotListed);

  const std::string work_path = session.WorkCopyPath();
  std::optional<BinaryFile> work;
  std::int64_t file_size = 0;
  FileStep("Reading " + work_path, [&] {
    work.emplace(work_path, BinaryFile::Mode::kRead);
    file_size = work->Length();
  });
  const TrackPlace place = FindTrack(session, file_size);

  NewTrackFile new_file(session.AppPath(kNewTrackFileName));
  std::optional<BinaryFile> out;
  WrittenSysex sysex;
  std::int64_t new_size = 0;
  std::int64_t first_event_pos = decoder.FirstEventPos;
  FileStep("Writing " + new_file.Path(), [&] {
    out.emplace(new_file.Path(), BinaryFile::Mode::kCreate);
    // The header, earlier chunks and the track's bytes before its timed part, as they stand.
    work->Seek(1);
    if (origins != nullptr && origins->LeadTicks > 0) {
      CopyPrefixWithLead(*work, *out, place.start + kChunkHeaderLength, place.data_last, decoder.FirstEventPos,
                         origins->LeadTicks);
      first_event_pos = out->Position();
    } else {
      CopyBlocks(*work, *out, decoder.FirstEventPos - 1);
    }
    try {
      ProgressSteps steps(progress, row_count, 0, 3);
      sysex = WriteTrackEvents(*work, place.start + kChunkHeaderLength, place.data_last, decoder.FirstEventPos,
                               RowSource{static_cast<std::size_t>(row_count),
                                         [&buffers, &steps](std::size_t row) {
                                           steps.At(static_cast<std::int64_t>(row));
                                           return buffers.Rows.Record(static_cast<std::int64_t>(row));
                                         }},
                               *out, origins);
    } catch (const TrackMismatch&) {
      throw TrackNotSaved(kTrackChanged);
    } catch (const ReadPastLimit&) {
      throw TrackNotSaved(kTrackChanged);
    }
    const std::int64_t new_length = out->Position() - (place.start + kChunkHeaderLength);
    if (new_length > kLargestTrackLength) throw TrackNotSaved(kTrackTooLong);
    // The chunks after the track, as they stand.
    work->Seek(place.next);
    CopyBlocks(*work, *out, file_size - place.next + 1);
    new_size = out->Position() - 1;
    WriteLengthField(*out, place.start + kLengthFieldOffset, new_length);
    out->Sync();
    out->Close();
    work->Close();
  });
  FileStep("Writing " + std::string(kNotesDat) + " and " + kDataDat, [&] { FlushWorkingFiles(session, progress); });
  FileStep("Renaming " + new_file.Path() + " to " + work_path, [&] { RenameFile(new_file.Path(), work_path); });
  new_file.Keep();

  // The track is saved; what points into the working copy follows it.
  session.file.FileSize = new_size;
  decoder.FirstEventPos = first_event_pos;
  session.buffers.Origins = {};
  decoder.SysexStart = std::move(sysex.Start);
  decoder.SysexEnd = std::move(sysex.End);
  decoder.SysexIndex = static_cast<std::int64_t>(decoder.SysexStart.size()) - 1;
  try {
    WalkTrackChunks(session);
  } catch (const RunError& error) {
    session.file.LoadState = kLoadFailed;
    session.ui.MessageBox(RunErrorMessage(error.code()));
  }
}

}  // namespace quavert

#include "shell/track_bytes.h"

#include <algorithm>
#include <exception>

#include "app/session.h"
#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "common/number_text.h"
#include "lint/rmid.h"

namespace quavert {
namespace {


std::int64_t RmidShift(const std::string& opened) {
  try {
    BinaryFile file(opened, BinaryFile::Mode::kRead);
    std::optional<RiffProblem> problem;
    const MidiRange range = FindMidiData(file, problem);
    return range.rmid ? range.first - 1 : 0;
  } catch (const std::exception&) {
    return 0;
  }
}

}  // namespace

std::optional<std::int64_t> TrackBytes::FileOffset(std::int64_t pos) const {
  if (InsertedPos > 0 && pos == InsertedPos) return std::nullopt;
  return pos - 1 + FileShift - (InsertedPos > 0 && pos > InsertedPos ? 1 : 0);
}

std::int64_t TrackBytes::WorkPos(std::int64_t offset) const {
  const std::int64_t pos = offset + 1 - FileShift;
  return InsertedPos > 0 && pos >= InsertedPos ? pos + 1 : pos;
}

std::int64_t TrackBytes::RowHolding(std::int64_t pos) const {
  const auto after = std::upper_bound(Places.begin(), Places.end(), pos,
                                      [](std::int64_t at, const RowPlace& place) { return at < place.first; });
  if (after == Places.begin()) return -1;
  const auto holding = std::prev(after);
  return pos <= holding->last ? holding - Places.begin() : -1;
}

std::int64_t TrackBytes::RowOwning(std::int64_t pos) const {
  if (const std::int64_t row = RowHolding(pos); row >= 0) return row;
  const auto next = std::lower_bound(Places.begin(), Places.end(), pos,
                                     [](const RowPlace& place, std::int64_t at) { return place.last < at; });
  // Before the first row lie the events of the track's start, which no row stands for.
  if (next == Places.begin() || next == Places.end()) return -1;
  return next - Places.begin();
}

std::optional<std::int64_t> TrackBytes::RowOffset(std::size_t row) const {
  if (row >= Places.size()) return std::nullopt;
  const RowPlace& place = Places[row];
  if (InsertedPos > 0 && place.first <= InsertedPos && InsertedPos <= place.last) return std::nullopt;
  return FileOffset(place.first);
}

std::string TrackBytes::RowBytes(std::size_t row) const {
  if (!RowOffset(row)) return {};
  const RowPlace& place = Places[row];
  const std::int64_t from = place.first - ChunkPos;
  if (from < 0 || place.last - ChunkPos >= static_cast<std::int64_t>(Chunk.size())) return {};
  return Chunk.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(place.last - place.first + 1));
}

TrackBytes ReadTrackBytes(const Session& session, const std::string& opened) {
  TrackBytes bytes;
  const int track = session.file.CurrentTrack;
  if (session.file.WorkCopyName.empty() || track < 1 || track > session.tracks.TrackCount) return bytes;
  try {
    BinaryFile work(session.WorkCopyPath(), BinaryFile::Mode::kRead);
    const std::int64_t size = work.Length();
    const auto [start, data_first, data_last] = PlaceOfTrack(session.tracks, track, size);
    ByteReader reader(work, start, data_last);
    bytes.Chunk = reader.Bytes(reader.Remaining());
    bytes.ChunkPos = start;
    if (session.decoder.FirstEventPos >= 1)
      bytes.Places = RowPlaces(work, data_first, data_last, session.decoder.FirstEventPos);
  } catch (const std::exception&) {
    return {};
  }
  bytes.FileShift = session.file.FromRmid ? RmidShift(opened) : 0;
  bytes.InsertedPos = session.file.InsertedStatusPos;
  return bytes;
}

}  // namespace quavert

#include "cli/row_byte_cells.h"

#include <algorithm>

#include "cli/companion.h"
#include "loading/chunk_headers.h"
#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "common/number_text.h"
#include "common/run_error.h"
#include "decoding/row_places.h"
#include "lint/rmid.h"

namespace quavert::cli {
namespace {


// How far the working copy lies into the file the user named: an RMID file is worked on as its
// data chunk.
std::int64_t WorkCopyShift(BinaryFile& named) {
  std::optional<RiffProblem> problem;
  const MidiRange range = FindMidiData(named, problem);
  return range.rmid ? range.first - 1 : 0;
}

}  // namespace

std::vector<std::optional<ByteCells>> RowByteCells(Companion& companion, const std::string& path) {
  std::vector<std::optional<ByteCells>> cells;
  const Session& session = companion.session;
  const int track = session.file.CurrentTrack;
  if (track < 1 || track > session.tracks.TrackCount || session.decoder.FirstEventPos < 1) return cells;
  try {
    BinaryFile work(session.WorkCopyPath(), BinaryFile::Mode::kRead);
    const std::int64_t size = work.Length();
    const auto [start, data_first, data_last] = PlaceOfTrack(session.tracks, track, size);
    const std::vector<RowPlace> places = RowPlaces(work, data_first, data_last, session.decoder.FirstEventPos);

    BinaryFile named(path, BinaryFile::Mode::kRead);
    const std::int64_t named_size = named.Length();
    const std::int64_t shift = WorkCopyShift(named);
    const std::int64_t inserted = session.file.InsertedStatusPos;
    ByteReader work_bytes(work, 1, size);
    ByteReader named_bytes(named, 1, named_size);
    for (const RowPlace& place : places) {
      std::optional<ByteCells>& row = cells.emplace_back();
      if (inserted > 0 && place.first <= inserted && inserted <= place.last) continue;
      const std::int64_t named_first = place.first - (inserted > 0 && place.first > inserted ? 1 : 0) + shift;
      const std::int64_t count = place.last - place.first + 1;
      // Rows come in file order, so both readers only ever move forward.
      if (named_first < named_bytes.Position() || named_first + count - 1 > named_size) continue;
      work_bytes.Skip(place.first - work_bytes.Position());
      named_bytes.Skip(named_first - named_bytes.Position());
      const std::string bytes = named_bytes.Bytes(count);
      if (work_bytes.Bytes(count) != bytes) continue;
      row = ByteCells{named_first - 1, HexPairs(bytes), place.tick};
    }
  } catch (const RunError&) {
    cells.clear();
  } catch (const ReadPastLimit&) {
    cells.clear();
  }
  return cells;
}

}  // namespace quavert::cli

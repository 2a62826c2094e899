#include <algorithm>
#include <optional>
#include <vector>

#include "cli/companion.h"
#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "common/number_text.h"
#include "common/run_error.h"
#include "decoding/row_places.h"
#include "editing/event_list.h"
#include "lint/rmid.h"

namespace quavert::cli {

// The cells --bytes appends to a row: where its event begins in the file the user named (0-based),
// its bytes in hex, its absolute time.
struct ByteCells {
  std::int64_t offset = 0;
  std::string hex;
  std::int64_t tick = 0;
};

namespace {

constexpr std::int64_t kChunkHeaderLength = 8;

std::string HexPairs(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(bytes.size() * 3);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (!hex.empty()) hex += ' ';
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}

// How far the working copy lies into the file the user named: an RMID file is worked on as its
// data chunk.
std::int64_t WorkCopyShift(BinaryFile& named) {
  std::optional<RiffProblem> problem;
  const MidiRange range = FindMidiData(named, problem);
  return range.rmid ? range.first - 1 : 0;
}

// The cells of the current track's rows, as many as the walk of its bytes finds; none when the
// track's bytes cannot be read. The working copy is the file named, but for an RMID file's
// wrapping, the status byte a missing-byte repair inserted and the bytes a repair patched: a row
// whose bytes are not the named file's own stands for no event of it and gets no cells.
std::vector<std::optional<ByteCells>> RowByteCells(Companion& companion, const std::string& path) {
  std::vector<std::optional<ByteCells>> cells;
  const Session& session = companion.session;
  const int track = session.file.CurrentTrack;
  if (track < 1 || track > session.tracks.TrackCount || session.decoder.FirstEventPos < 1) return cells;
  try {
    BinaryFile work(session.WorkCopyPath(), BinaryFile::Mode::kRead);
    const std::int64_t size = work.Length();
    const std::int64_t start = session.tracks.TrackStart[static_cast<std::size_t>(track)];
    const std::int64_t data_first = start + kChunkHeaderLength;
    const std::int64_t length =
        session.tracks.TrackChunks[static_cast<std::size_t>(track)].DataLength(size - (data_first - 1));
    const std::int64_t data_last = std::min(data_first - 1 + length, size);
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

}  // namespace

void PrintTrackText(Companion& companion) {
  const std::string text = companion.ui.GetText(Control::Text2);
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    companion.out << text.substr(start, end - start) << '\n';
  if (start < text.size()) companion.out << text.substr(start) << '\n';
}

void PrintRows(Companion& companion, const std::vector<std::optional<ByteCells>>* bytes) {
  // A row's line is put together and written at once: a list may have any number of rows.
  std::string line;
  std::size_t row = 0;
  for (const ListItem& item : companion.ui.Items()) {
    line.assign(TrimRight(item.Main));
    for (const std::string& sub : item.Sub) line.append(1, '\t').append(TrimRight(sub));
    if (bytes && row < bytes->size() && (*bytes)[row]) {
      const ByteCells& cells = *(*bytes)[row];
      line.append(1, '\t').append(PlainNumber(cells.offset)).append(1, '\t').append(cells.hex);
      line.append(1, '\t').append(PlainNumber(cells.tick));
    } else if (bytes) {
      line.append("\t\t\t");
    }
    ++row;
    line += '\n';
    companion.out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
}

bool BuildList(Companion& companion) {
  if (!companion.ui.IsEnabled(Control::Command1)) return false;
  Command1Click(companion.session);
  return true;
}

int List(const Options& options, std::ostream& out) {
  Companion companion(out, options);
  if (!companion.Open(options.Files.front()) || !companion.ChooseTrack(options.Track)) return 1;
  BuildList(companion);
  PrintTrackText(companion);
  out << "--\n";
  if (options.Bytes) {
    const std::vector<std::optional<ByteCells>> cells = RowByteCells(companion, options.Files.front());
    PrintRows(companion, &cells);
  } else {
    PrintRows(companion, nullptr);
  }
  return 0;
}

}  // namespace quavert::cli

#include "editing/track_rows.h"

#include <algorithm>
#include <cstring>

#include "common/run_error.h"
#include "editing/drum_name_cache.h"
#include "editing/row_rules.h"
#include "timeline/note_spans.h"

namespace quavert {

// Records read from the file at a time: a screen of rows, or a stretch of a walk through them.
constexpr std::int64_t kRunRecords = 512;

struct TrackRows::Reader {
  BinaryFile File;
  std::string Run;
  std::vector<EventRecord> Records;  // the run's records, read once for every row asked of it
  BuiltRow Texts;                    // a row's texts as they are made, its memory kept from row to row
  std::int64_t RunFirst = -1;  // the file's row the run begins with
  std::int64_t Rows = 0;       // rows the file holds for the store
};

namespace {

std::uint64_t Mix(std::uint64_t hash, std::int64_t value) {
  hash ^= static_cast<std::uint64_t>(value) + 0x9E3779B97F4A7C15ull + (hash << 6) + (hash >> 2);
  return hash * 0x100000001B3ull;
}

}  // namespace

std::uint64_t AddToDigest(std::uint64_t digest, const EventRecord& r) {
  // The seven fields in four words, each taken in with one multiply: the listing adds every row.
  const auto pair = [](std::int32_t high, std::int32_t low) {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(high)) << 32 | static_cast<std::uint32_t>(low);
  };
  for (const std::uint64_t word : {pair(r.Status, r.Data1), pair(r.Data2, r.Delta), pair(r.RowKind, r.MetaMark),
                                   static_cast<std::uint64_t>(static_cast<std::uint32_t>(r.NoteState))})
    digest = (digest ^ word) * 0x100000001B3ull;
  return digest ^ digest >> 29;
}

void TrackRows::Clear() { *this = TrackRows(); }

void TrackRows::Open(const std::string& path, std::int64_t count, Naming naming, std::uint64_t digest) {
  Clear();
  if (count <= 0) return;
  file_digest_ = digest;
  reader_ = std::make_shared<Reader>(Reader{BinaryFile(path, BinaryFile::Mode::kRead), {}, {}, {}, -1, count});
  naming_ = std::make_shared<const Naming>(std::move(naming));
  file_rows_ = count;
  pieces_.push_back(Piece{0, count, {}, {}, {}, {}});
  Join();
}

void TrackRows::Assign(std::vector<EventRecord> records, std::vector<ListRow> texts) {
  if (records.size() != texts.size()) throw RunError(kIndexOutOfRange);
  Clear();
  Piece piece;
  piece.Count = static_cast<std::int64_t>(records.size());
  piece.StandsFor.assign(records.size(), -1);
  piece.SameRecordAs.assign(records.size(), -1);
  piece.Records = std::move(records);
  piece.Texts = std::move(texts);
  pieces_.push_back(std::move(piece));
  Join();
}

TrackRows::Place TrackRows::Locate(std::int64_t row) const {
  if (row < 0 || row >= size_) throw RunError(kIndexOutOfRange);
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), row);
  const auto piece = static_cast<std::size_t>(after - starts_.begin() - 1);
  return {piece, row - starts_[piece]};
}

void TrackRows::LoadRun(std::int64_t index) const {
  Reader& reader = *reader_;
  if (reader.RunFirst >= 0 && index >= reader.RunFirst && index < reader.RunFirst + kRunRecords) return;
  reader.RunFirst = -1;
  const std::int64_t first = index / kRunRecords * kRunRecords;
  reader.Run.resize(static_cast<std::size_t>(std::min(kRunRecords, reader.Rows - first)) * kEventRecordLength);
  reader.File.Seek(first * static_cast<std::int64_t>(kEventRecordLength) + 1);
  // A file cut short behind the program's back has no rows to give: blanks would read as rows
  // of zeros, which "Save Track" would write into the track.
  if (reader.File.Read(reader.Run.data(), reader.Run.size()) != reader.Run.size()) throw RunError(kInputPastEnd);
  reader.Records.clear();
  reader.RunFirst = first;
}

EventRecord TrackRows::FileRecord(std::int64_t index) const {
  LoadRun(index);
  Reader& reader = *reader_;
  // The run's records are read once, when the first of them is asked for.
  if (reader.Records.empty())
    for (std::size_t at = 0; at < reader.Run.size(); at += kEventRecordLength)
      reader.Records.push_back(ParseEventRecord(std::string_view(reader.Run).substr(at, kEventRecordLength)));
  return reader.Records[static_cast<std::size_t>(index - reader.RunFirst)];
}

ListRow TrackRows::FileTexts(std::int64_t index, EventRecord record) const {
  DrumNameCache drums;
  RowNaming naming{naming_->Names, naming_->Genmidi, drums};
  return KeptRow(BuildRow(record, index, naming));
}

bool TrackRows::SameAsFile(std::int64_t index, const EventRecord& record, const ListRow& texts) const {
  if (index < 0 || index >= file_rows_) return false;
  const EventRecord kept = FileRecord(index);
  return kept == record && FileTexts(index, kept) == texts;
}

EventRecord TrackRows::Record(std::int64_t row) const {
  const Place place = Locate(row);
  const Piece& piece = pieces_[place.piece];
  if (piece.FirstInFile >= 0) return FileRecord(piece.FirstInFile + place.offset);
  return piece.Records[static_cast<std::size_t>(place.offset)];
}

ListRow TrackRows::Texts(std::int64_t row) const {
  const Place place = Locate(row);
  const Piece& piece = pieces_[place.piece];
  if (piece.FirstInFile >= 0) {
    const std::int64_t index = piece.FirstInFile + place.offset;
    return FileTexts(index, FileRecord(index));
  }
  return piece.Texts[static_cast<std::size_t>(place.offset)];
}

void TrackRows::WriteRecordAt(std::int64_t row, char* out) const {
  const Place place = Locate(row);
  const Piece& piece = pieces_[place.piece];
  if (piece.FirstInFile < 0) return WriteEventRecord(piece.Records[static_cast<std::size_t>(place.offset)], out);
  // The listing left every record in the form it writes: its bytes are copied as they stand.
  const std::int64_t index = piece.FirstInFile + place.offset;
  LoadRun(index);
  const auto at = static_cast<std::size_t>(index - reader_->RunFirst) * kEventRecordLength;
  std::memcpy(out, reader_->Run.data() + at, kEventRecordLength);
}

void TrackRows::WriteTextsAt(std::int64_t row, char* out) const {
  const Place place = Locate(row);
  const Piece& piece = pieces_[place.piece];
  if (piece.FirstInFile < 0) return WriteListRow(TextsOf(piece.Texts[static_cast<std::size_t>(place.offset)]), out);
  const std::int64_t index = piece.FirstInFile + place.offset;
  EventRecord record = FileRecord(index);
  DrumNameCache drums;
  RowNaming naming{naming_->Names, naming_->Genmidi, drums};
  BuildRow(record, index, naming, reader_->Texts);
  WriteListRow(KeptTexts(reader_->Texts), out);
}

std::int64_t TrackRows::StandsFor(std::int64_t row) const {
  const Place place = Locate(row);
  const Piece& piece = pieces_[place.piece];
  if (piece.FirstInFile >= 0) return piece.FirstInFile + place.offset;
  return piece.StandsFor[static_cast<std::size_t>(place.offset)];
}

std::vector<EventRecord> TrackRows::Records(std::int64_t first, std::int64_t count) const {
  if (first < 0 || count < 0 || first + count > size_) throw RunError(kIndexOutOfRange);
  std::vector<EventRecord> records;
  records.reserve(static_cast<std::size_t>(count));
  for (std::int64_t row = first; row < first + count;) {
    const Place place = Locate(row);
    const Piece& piece = pieces_[place.piece];
    const std::int64_t end = std::min(piece.Count, place.offset + first + count - row);
    for (std::int64_t i = place.offset; i < end; ++i)
      records.push_back(piece.FirstInFile >= 0 ? FileRecord(piece.FirstInFile + i)
                                               : piece.Records[static_cast<std::size_t>(i)]);
    row += end - place.offset;
  }
  return records;
}

namespace {

// Rows `from` .. `from + count - 1` of a piece, as a piece of their own.
template <typename Piece>
Piece Slice(const Piece& piece, std::int64_t from, std::int64_t count) {
  Piece part;
  part.Count = count;
  if (piece.FirstInFile >= 0) {
    part.FirstInFile = piece.FirstInFile + from;
    return part;
  }
  const auto first = piece.Records.begin() + from;
  part.Records.assign(first, first + count);
  part.Texts.assign(piece.Texts.begin() + from, piece.Texts.begin() + from + count);
  part.StandsFor.assign(piece.StandsFor.begin() + from, piece.StandsFor.begin() + from + count);
  part.SameRecordAs.assign(piece.SameRecordAs.begin() + from, piece.SameRecordAs.begin() + from + count);
  return part;
}

}  // namespace

void TrackRows::Splice(std::int64_t at, std::int64_t count, std::span<const EventRecord> records,
                       std::span<const ListRow> texts) {
  if (at < 0 || count < 0 || at + count > size_ || records.size() != texts.size()) throw RunError(kIndexOutOfRange);
  Piece fresh;
  fresh.Count = static_cast<std::int64_t>(records.size());
  fresh.Records.assign(records.begin(), records.end());
  fresh.Texts.assign(texts.begin(), texts.end());
  // A row replaced one for one keeps standing in place of the file's row it replaces.
  const bool one_for_one = count == fresh.Count;
  for (std::int64_t i = 0; i < fresh.Count; ++i) fresh.StandsFor.push_back(one_for_one ? StandsFor(at + i) : -1);
  fresh.SameRecordAs.assign(fresh.StandsFor.size(), -1);

  std::vector<Piece> pieces;
  std::vector<Piece> after;
  for (std::size_t i = 0; i < pieces_.size(); ++i) {
    const Piece& piece = pieces_[i];
    const std::int64_t start = starts_[i];
    const std::int64_t end = start + piece.Count;
    if (start < at) pieces.push_back(end <= at ? piece : Slice(piece, 0, at - start));
    if (end > at + count) after.push_back(start >= at + count ? piece : Slice(piece, at + count - start, end - at - count));
  }
  const std::size_t fresh_at = pieces.size();
  pieces.push_back(std::move(fresh));
  for (Piece& piece : after) pieces.push_back(std::move(piece));
  pieces_ = std::move(pieces);
  GiveBackToFile(fresh_at);
  Join();
}

void TrackRows::GiveBackToFile(std::size_t at) {
  if (!reader_) return;
  Piece& piece = pieces_[at];
  const bool all_new = std::all_of(piece.StandsFor.begin(), piece.StandsFor.end(), [](std::int64_t f) { return f < 0; });
  if (all_new && piece.Count > 0) {
    // New rows between two runs of the file's rows, such as deleted rows put back: they are
    // the file's rows when they fill the gap with the very rows it lacks.
    const Piece* before = at > 0 && pieces_[at - 1].FirstInFile >= 0 ? &pieces_[at - 1] : nullptr;
    const Piece* next = at + 1 < pieces_.size() && pieces_[at + 1].FirstInFile >= 0 ? &pieces_[at + 1] : nullptr;
    std::int64_t first = before ? before->FirstInFile + before->Count : next ? next->FirstInFile - piece.Count : -1;
    if (before && next && next->FirstInFile - first != piece.Count) first = -1;
    if (first < 0 || first + piece.Count > file_rows_) return;
    for (std::int64_t i = 0; i < piece.Count; ++i) {
      const auto k = static_cast<std::size_t>(i);
      if (!SameAsFile(first + i, piece.Records[k], piece.Texts[k])) return;
    }
    piece = Piece{first, piece.Count, {}, {}, {}, {}};
    return;
  }
  std::vector<Piece> parts;
  for (std::int64_t i = 0; i < piece.Count; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const std::int64_t stands_for = piece.StandsFor[k];
    const bool same_record = stands_for >= 0 && stands_for < file_rows_ && FileRecord(stands_for) == piece.Records[k];
    if (same_record && FileTexts(stands_for, piece.Records[k]) == piece.Texts[k]) {
      parts.push_back(Piece{stands_for, 1, {}, {}, {}, {}});
      continue;
    }
    if (parts.empty() || parts.back().FirstInFile >= 0) parts.push_back(Piece{});
    Piece& own = parts.back();
    ++own.Count;
    own.Records.push_back(piece.Records[k]);
    own.Texts.push_back(piece.Texts[k]);
    own.StandsFor.push_back(stands_for);
    own.SameRecordAs.push_back(same_record ? stands_for : -1);
  }
  const auto place = pieces_.begin() + static_cast<std::ptrdiff_t>(at);
  pieces_.erase(place);
  pieces_.insert(pieces_.begin() + static_cast<std::ptrdiff_t>(at), std::make_move_iterator(parts.begin()),
                 std::make_move_iterator(parts.end()));
}

void TrackRows::Join() {
  std::vector<Piece> joined;
  for (Piece& piece : pieces_) {
    if (piece.Count == 0) continue;
    if (!joined.empty()) {
      Piece& last = joined.back();
      const bool both_file = last.FirstInFile >= 0 && piece.FirstInFile >= 0;
      if (both_file && last.FirstInFile + last.Count == piece.FirstInFile) {
        last.Count += piece.Count;
        continue;
      }
      if (last.FirstInFile < 0 && piece.FirstInFile < 0) {
        last.Count += piece.Count;
        last.Records.insert(last.Records.end(), piece.Records.begin(), piece.Records.end());
        last.Texts.insert(last.Texts.end(), piece.Texts.begin(), piece.Texts.end());
        last.StandsFor.insert(last.StandsFor.end(), piece.StandsFor.begin(), piece.StandsFor.end());
        last.SameRecordAs.insert(last.SameRecordAs.end(), piece.SameRecordAs.begin(), piece.SameRecordAs.end());
        continue;
      }
    }
    joined.push_back(std::move(piece));
  }
  pieces_ = std::move(joined);
  starts_.clear();
  size_ = 0;
  for (const Piece& piece : pieces_) {
    starts_.push_back(size_);
    size_ += piece.Count;
  }
}

std::uint64_t TrackRows::Digest() const {
  // Runs of the file's rows stand for themselves by where they are (the file's own digest says
  // what they hold), and so does a row kept in memory whose record is the file's row it stands
  // in place of: the digest follows the records, whatever pieces hold them.
  std::uint64_t hash = Mix(Mix(kEmptyDigest, size_), static_cast<std::int64_t>(file_digest_));
  std::int64_t run_first = -1;
  std::int64_t run_count = 0;
  const auto end_run = [&] {
    if (run_count > 0) hash = Mix(Mix(Mix(hash, 'F'), run_first), run_count);
    run_count = 0;
  };
  const auto add_file_rows = [&](std::int64_t first, std::int64_t count) {
    if (run_count > 0 && run_first + run_count == first) {
      run_count += count;
      return;
    }
    end_run();
    run_first = first;
    run_count = count;
  };
  for (const Piece& piece : pieces_) {
    if (piece.FirstInFile >= 0) {
      add_file_rows(piece.FirstInFile, piece.Count);
      continue;
    }
    for (std::size_t k = 0; k < piece.Records.size(); ++k) {
      if (piece.SameRecordAs[k] >= 0) {
        add_file_rows(piece.SameRecordAs[k], 1);
        continue;
      }
      end_run();
      hash = AddToDigest(Mix(hash, 'M'), piece.Records[k]);
    }
  }
  end_run();
  return hash;
}

std::int64_t TrackRows::RowsInMemory() const {
  std::int64_t rows = 0;
  for (const Piece& piece : pieces_)
    if (piece.FirstInFile < 0) rows += piece.Count;
  return rows;
}

std::int64_t NoteOffRow(const TrackRows& rows, std::int64_t on_row) {
  return NoteOffRow(rows.size(), on_row, [&rows](std::int64_t first, std::int64_t n) { return rows.Records(first, n); });
}

namespace {

// Rows read at a time by the walks below.
constexpr std::int64_t kWalkRecords = 4096;

std::int64_t TicksOf(const EventRecord& record) { return std::max<std::int32_t>(record.Delta, 0); }

}  // namespace

std::int64_t TicksBetween(const TrackRows& rows, std::int64_t first, std::int64_t end) {
  std::int64_t ticks = 0;
  for (std::int64_t run = first; run < end; run += kWalkRecords)
    for (const EventRecord& record : rows.Records(run, std::min(kWalkRecords, end - run))) ticks += TicksOf(record);
  return ticks;
}

std::pair<std::int64_t, std::int64_t> LastRowBefore(const TrackRows& rows, std::int64_t from, std::int64_t from_tick,
                                                    std::int64_t tick) {
  std::int64_t row = from;
  std::int64_t row_tick = from_tick;
  for (std::int64_t first = from; first + 1 < rows.size(); first += kWalkRecords) {
    // Rows first .. and the one after each, whose tick decides.
    for (const EventRecord& record : rows.Records(first, std::min(kWalkRecords, rows.size() - 1 - first))) {
      if (row_tick + TicksOf(record) >= tick) return {row, row_tick};
      row_tick += TicksOf(record);
      ++row;
    }
  }
  return {row, row_tick};
}

}  // namespace quavert

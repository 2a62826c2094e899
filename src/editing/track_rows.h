#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "common/binary_file.h"
#include "decoding/records.h"
#include "editing/genmidi.h"
#include "loading/name_tables.h"

namespace quavert {

/// The listed track's rows, held where they cost least: rows nobody changed are read from the
/// records a listing left in notes.dat, on demand, and their texts made again from the record;
/// rows edited, inserted or put back by undo are kept in memory. Memory then follows the
/// edits, not the track. Rows are numbered from 0.
///
/// The store reads its records file through a descriptor of its own, so the file may be
/// replaced by renaming another over it (as writing the rows back does) without the store
/// noticing; it must not be rewritten in place while the store reads it.
class TrackRows {
 public:
  /// What the texts of a row read from the file are made with, as the listing made them.
  struct Naming {
    NameTables Names;
    GenmidiNames Genmidi;
  };

  /// No rows.
  void Clear();
  /// Rows 0 .. count - 1 are records 1 .. count of the records file at `path`, each row's texts
  /// made from its record with `naming`; `digest` is those records' digest (AddToDigest over
  /// them in order). RunError when the file cannot be opened.
  void Open(const std::string& path, std::int64_t count, Naming naming, std::uint64_t digest);
  /// The rows are these, kept in memory; `texts` has one entry per record.
  void Assign(std::vector<EventRecord> records, std::vector<ListRow> texts);

  std::int64_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  /// Row `row`'s record. RunError 9 outside the rows; a RunError of the file when it cannot be read.
  EventRecord Record(std::int64_t row) const;
  /// Row `row`'s texts as kept: the Description cut to 40 characters. RunError as Record.
  ListRow Texts(std::int64_t row) const;
  /// Records `first` .. `first + count - 1`, in order. RunError 9 when they are not all rows.
  std::vector<EventRecord> Records(std::int64_t first, std::int64_t count) const;
  std::vector<EventRecord> Records() const { return Records(0, size_); }
  /// Writes row `row`'s record as notes.dat holds it (kEventRecordLength bytes) at `out`: a row
  /// of the file as it stands there. RunError as Record.
  void WriteRecordAt(std::int64_t row, char* out) const;
  /// Writes row `row`'s texts as data.dat holds them (kListRowLength bytes) at `out`.
  void WriteTextsAt(std::int64_t row, char* out) const;

  /// Rows `at` .. `at + count - 1` give way to the rows `records` and `texts` (one text per
  /// record). RunError 9 when the rows replaced are not all rows or the two lists differ in length.
  void Splice(std::int64_t at, std::int64_t count, std::span<const EventRecord> records, std::span<const ListRow> texts);
  /// Row `row` becomes `record` with `texts`.
  void Set(std::int64_t row, const EventRecord& record, const ListRow& texts) {
    Splice(row, 1, std::span(&record, 1), std::span(&texts, 1));
  }

  /// A digest of the rows' records, which changes with every change of a record. Rows that came
  /// back to what they were by edits taken back give the digest they had. It costs the rows held
  /// in memory, not the track.
  std::uint64_t Digest() const;
  /// How many rows are held in memory.
  std::int64_t RowsInMemory() const;

 private:
  // A run of rows: records FirstInFile .. of the file, or rows of their own. A row of its own
  // remembers the file's row it stands in place of (-1 for none), so that an edit taken back
  // makes it a row of the file again.
  struct Piece {
    std::int64_t FirstInFile = -1;  // -1 for rows held in memory
    std::int64_t Count = 0;
    std::vector<EventRecord> Records;
    std::vector<ListRow> Texts;
    std::vector<std::int64_t> StandsFor;
    std::vector<std::int64_t> SameRecordAs;  // the file's row whose record it equals, or -1
  };
  struct Place {
    std::size_t piece;
    std::int64_t offset;
  };
  Place Locate(std::int64_t row) const;
  // Reads the run of the file's records that holds row `index` of the file, unless it is read.
  void LoadRun(std::int64_t index) const;
  EventRecord FileRecord(std::int64_t index) const;
  ListRow FileTexts(std::int64_t index, EventRecord record) const;
  bool SameAsFile(std::int64_t index, const EventRecord& record, const ListRow& texts) const;
  std::int64_t StandsFor(std::int64_t row) const;
  // Rows of the piece at `piece` that are the file's rows they stand in place of become file
  // rows again; so does a whole piece of new rows that fills a gap between the file's rows
  // with those very rows.
  void GiveBackToFile(std::size_t piece);
  // Joins pieces that follow on, drops empty ones and counts the rows again.
  void Join();

  std::vector<Piece> pieces_;
  std::vector<std::int64_t> starts_;  // the first row of each piece
  std::int64_t size_ = 0;
  std::int64_t file_rows_ = 0;
  std::uint64_t file_digest_ = 0;
  std::shared_ptr<const Naming> naming_;
  // Shared by copies: they read the same file, as it was when opened.
  struct Reader;
  std::shared_ptr<Reader> reader_;
};

/// The ticks from row `first` to row `end`: the deltas of rows first .. end - 1 added up (a
/// negative one counts 0). From row 0, the tick at which row `end` happens; to the row count, the
/// track's end. Read a run at a time.
std::int64_t TicksBetween(const TrackRows& rows, std::int64_t first, std::int64_t end);
/// From row `from`, at tick `from_tick`, the last row that is `from` itself or whose tick lies
/// before `tick`, and its tick. Read a run at a time from `from` on.
std::pair<std::int64_t, std::int64_t> LastRowBefore(const TrackRows& rows, std::int64_t from, std::int64_t from_tick,
                                                    std::int64_t tick);

/// `digest` with `record` added after the records it was made of.
std::uint64_t AddToDigest(std::uint64_t digest, const EventRecord& record);
/// The digest of no records.
inline constexpr std::uint64_t kEmptyDigest = 0xCBF29CE484222325ull;

/// The row that ends the note row `on_row` of `rows` opens (see the NoteOffRow of a vector of
/// rows); -1 when there is none.
std::int64_t NoteOffRow(const TrackRows& rows, std::int64_t on_row);

}  // namespace quavert

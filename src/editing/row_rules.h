#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "decoding/records.h"
#include "editing/drum_name_cache.h"
#include "editing/genmidi.h"
#include "loading/name_tables.h"

namespace quavert {

/// Values the list builder writes into RowKind and NoteState.
enum RowKindValue : std::int32_t {
  kUnclassified = -1,
  kDrumNoteRow = -2,
  kMelodicNoteRow = -3,
  kProgramRow = -4,
  kControllerRow = -5,
};
enum NoteStateValue : std::int32_t {
  kNotANote = -1,
  kNoteEnds = 0,
  kNoteSounds = 1,
};

/// Longest Description data.dat and the list hold.
inline constexpr std::size_t kDescriptionWidth = 40;

namespace detail {

// The texts of 0..999, the numbers most rows show, made at compile time.
inline constexpr int kSmallNumbers = 1000;
struct SmallNumber {
  char bytes[4];  // the digits, then blanks
  std::uint8_t length;
};
struct SmallNumbers {
  SmallNumber text[kSmallNumbers];
};

constexpr SmallNumbers MakeSmallNumbers() {
  SmallNumbers table{};
  for (int n = 0; n < kSmallNumbers; ++n) {
    SmallNumber& text = table.text[n];
    const int length = n < 10 ? 1 : n < 100 ? 2 : 3;
    for (char& byte : text.bytes) byte = ' ';
    for (int i = length - 1, rest = n; i >= 0; --i, rest /= 10) text.bytes[i] = static_cast<char>('0' + rest % 10);
    text.length = static_cast<std::uint8_t>(length);
  }
  return table;
}

inline constexpr SmallNumbers kSmallNumberTexts = MakeSmallNumbers();

}  // namespace detail

/// A short text built in place and followed by blanks, so that it goes into a field of up to
/// kCapacity characters, cut or padded, in one fixed-size move: a channel, a number, a note name.
class ShortText {
 public:
  static constexpr std::size_t kCapacity = 16;

  ShortText() { Clear(); }
  void Clear() {
    std::memset(bytes_, ' ', kCapacity);
    size_ = 0;
  }
  /// Appends `text`; what does not fit is dropped (no text the list builds comes near).
  void Append(std::string_view text);
  /// Appends `n` in decimal.
  void AppendNumber(std::int64_t n) {
    if (n >= 0 && n < detail::kSmallNumbers && std::size_t{size_} + 4 <= kCapacity) {
      // Four bytes move at once: the digits, then blanks, which the text holds after its end anyway.
      const detail::SmallNumber& text = detail::kSmallNumberTexts.text[n];
      std::memcpy(bytes_ + size_, text.bytes, 4);
      size_ = static_cast<std::uint8_t>(size_ + text.length);
      return;
    }
    AppendOtherNumber(n);
  }

  std::string_view View() const { return {bytes_, size_}; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  /// The text followed by blanks, kCapacity bytes in all.
  const char* Padded() const { return bytes_; }

 private:
  void AppendOtherNumber(std::int64_t n);

  char bytes_[kCapacity];
  std::uint8_t size_;
};

/// A row's texts as the builder works them out: Channel, Notes (a note name on a melodic note
/// row), Volume and Length unpadded, numbers whole whatever their width, the Description with
/// its trailing blanks removed and not yet cut. The builder keeps one and fills it row after row,
/// so that its memory is reused.
struct BuiltRow {
  ShortText Channel;
  ShortText Notes;
  ShortText Volume;
  ShortText Length;
  std::string Description;
  bool Melodic = false;  ///< a melodic note: its Notes text is a note name

  ListRowTexts Texts() const { return {Channel.View(), Notes.View(), Volume.View(), Length.View(), Description}; }
};

/// What naming a row takes: the name tables, genmidi.ini, and the drum name looked up last.
struct RowNaming {
  const NameTables& Names;
  const GenmidiNames& Genmidi;
  DrumNameCache& Drums;
};

/// Sets the record's RowKind (melodic or drum note, controller, program) and NoteState (sounding,
/// ending, not a note) from its status and values; fields that do not apply are left as they are.
void ClassifyRow(EventRecord& record);

/// Works out the texts of event `index` from its record into `row` and sets the record's RowKind
/// and NoteState; a drum name comes from `naming.Drums` when the same key was named by this row
/// or the one before.
void BuildRow(EventRecord& record, std::int64_t index, RowNaming& naming, BuiltRow& row);
BuiltRow BuildRow(EventRecord& record, std::int64_t index, RowNaming& naming);

/// The row's line in the report, without its line end: eight blanks, Channel in 3, Notes in 6
/// after a blank (no blank before a note name), Volume in 4, Length in 6, a blank, the
/// Description whole.
std::string ReportLine(const BuiltRow& row);
/// Writes the same line and its CR LF at `out`, which has room for ReportLineRoom(row) bytes;
/// returns the end of what was written.
char* WriteReportLine(const BuiltRow& row, char* out);
inline std::size_t ReportLineRoom(const BuiltRow& row) { return 96 + row.Description.size(); }

/// Writes the row's 56 bytes of data.dat at `out`.
void WriteDataRecord(const BuiltRow& row, char* out);

/// The row as the editing buffer keeps it, as views into `row`: the Description cut to 40
/// characters without the blanks the cut leaves at its end.
ListRowTexts KeptTexts(const BuiltRow& row);
ListRow KeptRow(const BuiltRow& row);

/// The text the list shows in cell `column` (0 .. 4) of a kept row: the Channel padded to 3, the
/// numbers without leading blanks, the Description as kept.
std::string ShownCell(const ListRowTexts& row, std::size_t column);

}  // namespace quavert

#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quavert {

/// One decoded event of the current track, a record of notes.dat. Every field the decoder or
/// the list builder did not set holds -1.
struct EventRecord {
  std::int32_t Status = -1;  ///< 128..255; negated for controller, pressure and pitch-bend events under running status; 81 tempo, 88 time signature; -1 placeholder or empty
  std::int32_t Data1 = -1;   ///< first data byte; beats per minute (81); numerator (88)
  std::int32_t Data2 = -1;   ///< second data byte; denominator (88)
  std::int32_t Delta = -1;   ///< the delta time after the event, 0..268435583
  std::int32_t RowKind = -1;    ///< set by the list builder: -3 note, -2 drum note, -4 program, -5 controller
  std::int32_t MetaMark = -1;   ///< -2 for a text, lyric or marker placeholder
  std::int32_t NoteState = -1;  ///< set by the list builder: 1 sounding, 0 ending
  bool operator==(const EventRecord&) const = default;
};

/// The five display texts of one event, a record of data.dat.
struct ListRow {
  std::string Channel;
  std::string Notes;
  std::string Volume;
  std::string Length;
  std::string Description;
  bool operator==(const ListRow&) const = default;
};

/// Record lengths of notes.dat (six fields of 7 and the delta's field of 10, wide enough for the
/// largest delta time) and data.dat (3 + 4 + 3 + 6 + 40).
inline constexpr std::size_t kEventFieldWidth = 7;
inline constexpr std::size_t kDeltaFieldWidth = 10;
inline constexpr std::size_t kEventRecordLength = 6 * kEventFieldWidth + kDeltaFieldWidth;
inline constexpr std::size_t kListRowLength = 56;

/// File names of the two working files in the application folder.
inline constexpr const char* kNotesDat = "notes.dat";
inline constexpr const char* kDataDat = "data.dat";

/// The text of one notes.dat field of `width` characters: the sign-position form,
/// left-justified. A value whose sign-position text is too wide drops the sign blank
/// ("1048576"), and a wider one still is written in exponent form when that is exact ("6E7"):
/// the field always reads back as the value written. RunError 6 when no exact form fits.
std::string EventFieldText(std::int32_t value, std::size_t width = kEventFieldWidth);

/// The value a notes.dat field's text holds (its leading number, rounded to a Long).
/// RunError 6 when it does not fit a Long.
std::int32_t EventFieldValue(std::string_view field);

/// Writes the kEventRecordLength bytes of `record` at `out`.
void WriteEventRecord(const EventRecord& record, char* out);
/// Appends the kEventRecordLength bytes of `record` to `out`.
void AppendEventRecord(const EventRecord& record, std::string& out);
/// Reads a record from its kEventRecordLength bytes. `exact`, when given, tells whether every field holds the
/// very text WriteEventRecord gives its value, so that writing the record again changes only the
/// fields whose values changed.
EventRecord ParseEventRecord(std::string_view bytes, bool* exact = nullptr);
/// Writes the two fields a listing sets, RowKind and NoteState, of `record` into its record's
/// bytes at `out`; the others are left as they stand.
void WriteListingFields(const EventRecord& record, char* out);

/// The five texts of a row, in the order of ListRow's fields, as views.
using ListRowTexts = std::array<std::string_view, 5>;
inline ListRowTexts TextsOf(const ListRow& row) {
  return {row.Channel, row.Notes, row.Volume, row.Length, row.Description};
}

/// Writes the 56 bytes of a row at `out`: each text cut or blank-padded to its field width.
void WriteListRow(const ListRowTexts& texts, char* out);
/// Appends the 56 bytes of `row` to `out`: each text cut or blank-padded to its field width.
void AppendListRow(const ListRow& row, std::string& out);
/// Reads a row from its 56 bytes, trailing blanks removed from every field.
ListRow ParseListRow(std::string_view bytes);

}  // namespace quavert

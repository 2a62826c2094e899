#include "commands/cell_edit.h"

#include <array>
#include <string>

#include "app/session.h"
#include "commands/current_genmidi.h"
#include "commands/event_list.h"
#include "common/number_text.h"
#include "common/run_error.h"
#include "decoding/meta_types.h"
#include "editing/genmidi.h"
#include "editing/name_lookups.h"
#include "editing/row_rules.h"
#include "timeline/note_spans.h"

namespace quavert {
namespace {

constexpr std::int32_t kNotesColumn = 1;
constexpr std::int32_t kVolumeColumn = 2;
constexpr std::int32_t kLengthColumn = 3;
constexpr std::int32_t kDescriptionColumn = 4;
constexpr std::int32_t kDrumProgramChange = 201;
constexpr int kLeftButton = 1;

constexpr const char* kInstrumentRange = "Instrument must be between 0 and 127";
constexpr const char* kNoteRange = "Note must be between (A0 and G10) OR (A#0 and G#10) except B# and E#";
constexpr const char* kDrumRange = "Drum Instrument must be between 27 and 88";
constexpr const char* kControllerRange = "Controller must be between 0 and 127";
constexpr const char* kTempoRange = "Tempo must be between 50 and 500";
constexpr const char* kNotZero = "Data must be greater than 0";
constexpr const char* kDataRange = "Data must be between 0 and 127";
constexpr const char* kLengthRange = "Data must be between 0 and 999999";

bool Within(std::int32_t value, std::int32_t low, std::int32_t high) { return value >= low && value <= high; }

// Row `item` - 1 of the listed rows, or RunError 9.
std::size_t RowOf(const Session& session, std::int64_t item) {
  const std::int64_t row = item - 1;
  if (row < 0 || row >= session.buffers.Rows.size()) throw RunError(kIndexOutOfRange);
  return static_cast<std::size_t>(row);
}

// The text row `r` keeps in `column` (0 Channel .. 4 Description).
std::string CellOf(const Session& session, std::size_t r, std::int32_t column) {
  if (column < 0 || column > kDescriptionColumn) throw RunError(kIndexOutOfRange);
  return std::string(TextsOf(session.buffers.Rows.Texts(static_cast<std::int64_t>(r)))[static_cast<std::size_t>(column)]);
}

// A drum row keeps its "On " or "Off" and takes the new key's name.
std::string DrumDescription(std::string_view old_description, const std::string& name) {
  const std::string_view shown = TrimLeft(old_description);
  if (!shown.empty() && shown.front() == 'O') return std::string(shown.substr(0, 3)) + " - " + name;
  return "      " + name;
}

// The edit itself, as the list has always made it.
void ApplyCellEdit(Session& session, std::int64_t item, std::int32_t column, std::string_view text) {
  Toolkit& ui = session.ui;
  const std::size_t r = RowOf(session, item);
  // Work on copies: a rejected value leaves the row exactly as it was.
  const auto at = static_cast<std::int64_t>(r);
  EventRecord record = session.buffers.Rows.Record(at);
  ListRow row = session.buffers.Rows.Texts(at);
  const std::int32_t kind = record.RowKind;
  bool handled = false;

  std::int32_t n = kNoValue;
  std::int32_t v = kNoValue;
  std::int32_t l = kNoValue;
  const std::int32_t typed = ToLong(LeadingNumber(text));
  if (column == kNotesColumn) n = typed;
  if (column == kVolumeColumn) v = typed;
  if (column == kLengthColumn) l = typed;
  if (ListCellText(session, item, kNotesColumn).empty()) n = kNoValue;
  if (ListCellText(session, item, kVolumeColumn).empty()) v = kNoValue;
  if (ListCellText(session, item, kLengthColumn).empty()) l = kNoValue;

  auto reject = [&ui](const char* message) { ui.MessageBox(message); };
  auto set_notes = [&](std::int32_t value) {
    record.Data1 = value;
    row.Notes = PlainNumber(value);
  };

  if (n != kNoValue) {
    if (kind == kProgramRow) {
      handled = true;
      if (!Within(n, 0, 127)) return reject(kInstrumentRange);
      row.Description = record.Status == kDrumProgramChange
                            ? "Drum Set: " + DrumKitNameOf(session.names, n)
                            : "Instrument: " + LookupInstrument(CurrentGenmidi(session), n);
      set_notes(n);
    } else if (kind == kMelodicNoteRow) {
      handled = true;
      const std::optional<std::int32_t> note = ReadNoteName(session.names, text);
      if (!note) return reject(kNoteRange);
      set_notes(*note);
    } else if (kind == kDrumNoteRow) {
      handled = true;
      if (!Within(n, 27, 88)) return reject(kDrumRange);
      row.Description = DrumDescription(row.Description, LookupDrum(CurrentGenmidi(session), n));
      set_notes(n);
    } else if (kind == kControllerRow) {
      handled = true;
      if (!Within(n, 0, 127)) return reject(kControllerRange);
      row.Description = "Controller: " + LookupController(session.names, n);
      set_notes(n);
    } else if (record.Status == kTempoRowStatus) {
      handled = true;
      if (!Within(n, 50, 500)) return reject(kTempoRange);
      set_notes(n);
    } else if (record.Status == kTimeSignatureRowStatus) {
      if (n == 0) return reject(kNotZero);
      if (!Within(n, 0, 127)) return reject(kDataRange);
      set_notes(n);
    }
  }

  if (n != kNoValue && (!handled || record.Status == kTimeSignatureRowStatus)) {
    if (!Within(n, 0, 127)) return reject(kDataRange);
    set_notes(n);
  }
  if (v != kNoValue) {
    if (!Within(v, 0, 127)) return reject(kDataRange);
    record.Data2 = v;
    row.Volume = PlainNumber(v);
  }
  if (l != kNoValue) {
    if (!Within(l, 0, 999999)) return reject(kLengthRange);
    record.Delta = l;
    row.Length = PlainNumber(l);
  }

  session.buffers.Rows.Set(at, record, row);
  // The list shows the typed text while the row keeps the number.
  if (column == kNotesColumn && n != kNoValue) WriteListCell(session, item, kNotesColumn, text);
  if (column == kVolumeColumn && v != kNoValue) WriteListCell(session, item, kVolumeColumn, text);
  if (column == kLengthColumn && l != kNoValue) WriteListCell(session, item, kLengthColumn, text);
  WriteListCell(session, item, kDescriptionColumn, Trim(row.Description));
}

constexpr std::array<const char*, 4> kColumnNames{"Channel", "Notes", "Volume", "Length"};

// "Volume 96 -> 100": the column and the cell's text before and after.
std::string StepName(std::int32_t column, std::string_view before, std::string_view after) {
  const char* name = column >= 0 && column < static_cast<std::int32_t>(kColumnNames.size())
                         ? kColumnNames[static_cast<std::size_t>(column)]
                         : "Cell";
  // A menu item, not a record of all that was typed.
  constexpr std::size_t kLongest = 24;
  return std::string(name) + " " + std::string(Trim(before).substr(0, kLongest)) + " -> " +
         std::string(Trim(after).substr(0, kLongest));
}

// Row `r` as it stands, as one side of a change of that row alone.
RowChange RowNow(const Session& session, std::size_t r) { return BeginRowChange(session.buffers, r, 1, false); }

// The edited row's change, its other side filled in now.
RowChange Finish(const Session& session, RowChange change) {
  change.NewRecords = {session.buffers.Rows.Record(change.At)};
  change.NewTexts = {session.buffers.Rows.Texts(change.At)};
  return change;
}

}  // namespace

void ValidateCellEdit(Session& session, std::int64_t item, std::int32_t column, std::string_view text) {
  const std::size_t r = RowOf(session, item);
  const bool named = column >= kNotesColumn && column <= kLengthColumn;
  const std::string before = named ? ListCellText(session, item, column) : std::string();
  RowChange change = RowNow(session, r);
  // The Note Off that ends this row's note, found before the key changes.
  const std::int64_t off = column == kNotesColumn ? NoteOffRow(session.buffers.Rows, static_cast<std::int64_t>(r)) : -1;
  ApplyCellEdit(session, item, column, text);
  change = Finish(session, std::move(change));
  if (change.NewRecords == change.OldRecords && change.NewTexts == change.OldTexts) return;

  UndoEntry entry;
  entry.Name = StepName(column, before, text);
  const bool key_changed = change.NewRecords[0].Data1 != change.OldRecords[0].Data1;
  entry.Rows.push_back(std::move(change));
  if (key_changed && NoteEdgeOf(entry.Rows.back().NewRecords[0]) == NoteEdge::kOn) {
    if (off < 0) {
      session.ui.SetStatusText(kNoNoteOff);
    } else {
      // The note keeps its end: the Off takes the same key, as if typed into its own cell.
      const auto off_row = static_cast<std::size_t>(off);
      RowChange off_change = RowNow(session, off_row);
      ApplyCellEdit(session, off + 1, column, text);
      off_change = Finish(session, std::move(off_change));
      entry.Rows.push_back(std::move(off_change));
    }
  }
  session.undo.Record(std::move(entry));
}

void CellClick(Session& session, std::int64_t item, std::int32_t column, int button, bool flag) {
  try {
    if (button != kLeftButton || !flag) return;
    if (column < kNotesColumn || column > kLengthColumn) return;
    const std::size_t r = RowOf(session, item);
    if (CellOf(session, r, column).empty()) return;
    session.ui.ListBeginCellEdit(item, column, ListCellText(session, item, column));
  } catch (const RunError&) {
    // A click the list cannot place opens no editor.
  }
}

void CellEditDone(Session& session, std::int64_t item, std::int32_t column, std::string_view /*old_text*/,
                  std::string_view new_text) {
  try {
    if (column == 0) {
      WriteListCell(session, item, 0, new_text);
      return;
    }
    ValidateCellEdit(session, item, column, new_text);
  } catch (const RunError&) {
    // An edit that cannot be placed or read (no such row, a number beyond 32 bits) is dropped.
  }
}

}  // namespace quavert

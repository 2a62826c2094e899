#pragma once

#include <cstdint>
#include <string>

#include "common/toolkit.h"
#include "decoding/records.h"
#include "editing/genmidi.h"
#include "editing/list_builder_state.h"
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

/// A row's texts as the builder makes them: Notes padded to 3 (4 for a note name), Volume to 3,
/// Length to 6, longer texts kept whole, Description with its trailing blanks removed.
struct BuiltRow {
  ListRow Texts;
  bool Melodic = false;  ///< a melodic note: its Notes text is a note name
};

/// What naming a row takes: the name tables, genmidi.ini, and the drum name looked up last.
struct RowNaming {
  const NameTables& Names;
  const GenmidiNames& Genmidi;
  DrumNameCache& Drums;
};

/// Works out the texts of event `index` from its record and sets the record's RowKind and
/// NoteState; a drum name comes from `naming.Drums` when the same key was named by this row or
/// the one before.
BuiltRow BuildRow(EventRecord& record, std::int64_t index, RowNaming& naming);

/// The row's line in the report: eight blanks, Channel in 3, Notes in 6 after a blank (no blank
/// before a note name), Volume in 4, Length in 6, a blank, the Description.
std::string ReportLine(const BuiltRow& row);

/// The row as the editing buffer keeps it: trailing blanks removed, the Description cut to 40
/// characters, numbers whole whatever their width.
ListRow KeptRow(const BuiltRow& row);

/// The list item that shows a kept row: the Channel padded to 3, the numbers without leading
/// blanks, the Description as kept.
ListItem ItemOf(const ListRow& row);

}  // namespace quavert

#pragma once

#include <cstdint>

#include "decoding/records.h"
#include <string>
#include <string_view>

namespace quavert {

class Progress;
struct Session;
class TakenTrackRows;

/// Rows of the working files moved per read or write while listing (a multiple of the
/// decoder's blocks of 100, so the files keep ending on a whole block).
inline constexpr std::int64_t kListIoRecords = 5000;

/// Where a listing puts its rows when nobody keeps them (quavert-cli's list and report): each
/// row's texts in order, numbered from 0, valid for the call only. A RunError it throws ends the
/// listing as a failure to write a working file does.
class ListedRows {
 public:
  virtual void Row(std::int64_t index, const ListRowTexts& texts) = 0;

 protected:
  ~ListedRows() = default;
};

/// Lists the decoded current track: classifies every notes.dat row (RowKind, NoteState) and
/// writes it back, writes the rows' texts to data.dat, writes the rows' report lines and the
/// total-time line the first time the track is listed in this load, appends the total time to
/// Text2, and shows the rows in ListView1, which reads them from notes.dat as it shows them
/// (EditBuffers::Rows): memory does not grow with the track. Any number of rows.
/// RunError when a working file or the report cannot be read or written.
/// With `rows`, the rows go there as they are made instead, and the list stays empty; the working
/// files, the report and Text2 are as ever.
/// `progress` hears how many rows were listed, run by run. False when it asked the listing to
/// stop: the report's lines of this listing are taken back, Text2, the track's flags and the list
/// are as they were, and the rows written back to notes.dat read as they did.
bool BuildEventList(Session& session, ListedRows* rows = nullptr, Progress* progress = nullptr);

/// Shows the rows of the editing buffers in ListView1, replacing what it showed: the list reads
/// them where they are (Session::shown), and cells edits wrote show their rows' texts again.
void ShowEventList(Session& session);
/// Empties ListView1; the column headers stay.
void ClearEventList(Session& session);
/// The text ListView1 shows in a cell: item from 1, column 0 (the main text) .. 4. RunError 9
/// outside the rows shown.
std::string ListCellText(const Session& session, std::int64_t item, int column);
/// The cell shows `text` from now on (the rows keep their texts); the list hears of the change.
/// RunError 9 outside the rows shown.
void WriteListCell(Session& session, std::int64_t item, int column, std::string_view text);

/// The "Notes..." button: builds the list under the busy pointer with "Loading..." in the status
/// bar, then enables "Save Track". When the list cannot be built, shows "Error:" and the error
/// number, leaves the list and the editing buffers empty and "Save Track" disabled.
/// With `rows`, lists as BuildEventList does with them; "Save Track" stays disabled, as there is
/// nothing kept to save. True when the list was built.
/// The listing shows its progress in the window, and the user may stop it: everything is left as
/// before the click, a list shown then included, and the status bar says "Cancelled".
bool Command1Click(Session& session, ListedRows* rows = nullptr);

/// "Notes..." for a track whose decode gave its rows to `taken` (Session::RowsTaker) rather
/// than to notes.dat: as Command1Click with rows nobody keeps, from the rows taken; no working
/// file is read or written. RunError 62 (shown as Command1Click shows errors) when `taken`
/// does not hold the decode's rows.
bool ListTakenRows(Session& session, TakenTrackRows& taken);

}  // namespace quavert

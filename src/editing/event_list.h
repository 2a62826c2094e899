#pragma once

#include <cstdint>

namespace quavert {

struct Session;

/// Rows of the working files moved per read or write while listing (a multiple of the
/// decoder's blocks of 100, so the files keep ending on a whole block).
inline constexpr std::int64_t kListIoRecords = 5000;
/// Items handed to the window per call while the list is filled.
inline constexpr std::size_t kListFillChunk = 4096;

/// Lists the decoded current track: classifies every notes.dat row (RowKind, NoteState) and
/// writes it back, writes the rows' texts to data.dat, writes the rows' report lines and the
/// total-time line the first time the track is listed in this load, appends the total time to
/// Text2, keeps every row in the editing buffers and shows them in ListView1. Any number of rows.
/// RunError when a working file or the report cannot be read or written.
void BuildEventList(Session& session);

/// Shows the rows of the editing buffers in ListView1, replacing what it showed.
void ShowEventList(Session& session);

/// The "Notes..." button: builds the list under the busy pointer with "Loading..." in the status
/// bar, then enables "Save Track". When the list cannot be built, shows "Error:" and the error
/// number, leaves the list and the editing buffers empty and "Save Track" disabled.
void Command1Click(Session& session);

}  // namespace quavert

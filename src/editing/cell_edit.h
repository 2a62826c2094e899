#pragma once

#include <cstdint>
#include <string_view>

namespace quavert {

struct Session;

/// The status bar's word when a Note On's key changed and no Note Off of the old key follows it.
inline constexpr const char* kNoNoteOff = "No Note Off found for this note: only the Note On changed";

/// Marks a column that an edit does not change; a typed -99 therefore changes nothing.
inline constexpr std::int32_t kNoValue = -99;

/// Checks `text`, typed into column `column` (1 Notes, 2 Volume, 3 Length) of list item `item`
/// (1-based), against the rules of the row's kind. A value out of range shows its message and
/// changes nothing; an accepted one goes into the editing buffers (the number, and the new
/// Description of a program, drum or controller row) and the cell shows the text as typed.
/// A new key of a Note On (velocity above 0) goes to its Note Off too (NoteOffRow), which then
/// shows the same text; without one the status bar says kNoNoteOff. A change is recorded as one
/// step in the undo history.
/// RunError when there is no such row or the typed number does not fit 32 bits.
void ValidateCellEdit(Session& session, std::int64_t item, std::int32_t column, std::string_view text);

/// A click on a cell of ListView1: a left click (button 1, flag set) on a Notes, Volume or Length
/// cell that holds a value opens the in-place editor on it.
void CellClick(Session& session, std::int64_t item, std::int32_t column, int button, bool flag);

/// The end of an in-place edit: the Channel column only shows the new text; the others go
/// through ValidateCellEdit. A run-time failure ends the handling without a message.
void CellEditDone(Session& session, std::int64_t item, std::int32_t column, std::string_view old_text,
                  std::string_view new_text);

}  // namespace quavert

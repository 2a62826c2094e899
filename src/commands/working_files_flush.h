#pragma once

namespace quavert {

class Progress;
struct Session;

/// Writes the editing buffers back to the working files: EventBuffer rows 0 .. LastEventIndex
/// to notes.dat records 1 .. LastEventIndex + 1, then ListBuffer's rows to the same records of
/// data.dat (texts cut to the field widths there; the buffers keep them whole). RunError 9 when
/// the buffers hold fewer rows, or the error of a file that cannot be written. `progress` hears
/// of the rows written as parts 2 and 3 of 3 (the track written before them is the first).
void FlushWorkingFiles(Session& session, Progress* progress = nullptr);

}  // namespace quavert

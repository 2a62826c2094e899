#pragma once

namespace quavert {

struct Session;

/// Writes the editing buffers back to the working files: EventBuffer rows 0 .. LastEventIndex
/// to notes.dat records 1 .. LastEventIndex + 1, then ListBuffer's rows to the same records of
/// data.dat (texts cut to the field widths there; the buffers keep them whole). RunError 9 when
/// the buffers hold fewer rows, or the error of a file that cannot be written.
void FlushWorkingFiles(Session& session);

}  // namespace quavert

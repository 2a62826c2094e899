#pragma once

namespace quavert {

class Progress;
struct Session;

/// Writes the listed rows back to the working files: the records of rows 0 .. LastEventIndex
/// to notes.dat records 1 .. LastEventIndex + 1 (through a new file that takes notes.dat's name,
/// records past them kept), then the rows' texts to the same records of
/// data.dat (texts cut to the field widths there; the buffers keep them whole). RunError 9 when
/// the buffers hold fewer rows, or the error of a file that cannot be written. `progress` hears
/// of the rows written as parts 2 and 3 of 3 (the track written before them is the first).
void FlushWorkingFiles(Session& session, Progress* progress = nullptr);

}  // namespace quavert

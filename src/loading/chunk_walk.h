#pragma once

#include <cstdint>

#include "common/binary_file.h"
#include "loading/chunk_headers.h"

namespace quavert {

/// How a walk over the track chunks ended.
enum class ChunkWalkEnd {
  kEndOfFile,      ///< the last chunk ends with the file
  kCutShort,       ///< the last track runs past the end of the file; its end is the file's end
  kTrailingBytes,  ///< after the announced tracks come bytes that are no track chunk
  kForeignChunk,   ///< a chunk that is no track stands where track `Track` was expected
  kNoEndOfTrack,   ///< track `Track` does not end with FF 2F 00
};

struct ChunkWalk {
  TrackTable Table;
  ChunkWalkEnd End = ChunkWalkEnd::kEndOfFile;
  int Track = 0;  ///< the track a foreign chunk or a missing end of track concerns
};

/// Walks the track chunks of `file` (a MIDI file of `file_size` bytes whose header has been
/// checked) by their lengths from byte 15 on, recording where each begins. `announced_tracks` is
/// the header's count: a foreign chunk after that many tracks is trailing bytes, before it a
/// damaged track. Memory stays the same whatever the chunks' lengths. RunError 9 when the file
/// has more than 72 track chunks.
ChunkWalk WalkChunks(BinaryFile& file, std::int64_t file_size, int announced_tracks);

}  // namespace quavert

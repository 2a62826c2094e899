#include "decoding/missing_byte_repair.h"

#include <string>

#include "common/binary_file.h"
#include "common/block_copy.h"
#include "common/file_system.h"
#include "common/run_error.h"

namespace quavert {
namespace {

constexpr std::int64_t kLongestThreeByteLength = 0xFFFFFF;
constexpr std::int64_t kLongestTrack = 0xFFFFFFFF;

// Copies `count` bytes of `source` from `from` on to the end of `target`.
void CopyRange(BinaryFile& source, std::int64_t from, std::int64_t count, BinaryFile& target) {
  source.Seek(from);
  CopyBlocks(source, target, count);
}

std::string BigEndian32(std::int64_t value) {
  std::string bytes;
  for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<char>(value >> shift & 0xFF));
  return bytes;
}

}  // namespace

std::int64_t InsertMissingStatusByte(const std::string& work_copy, const std::string& repaired,
                                     const TrackChunk& chunk, std::int64_t chunk_start, std::int64_t position) {
  const std::int64_t size_field = chunk_start + 4;
  BinaryFile source(work_copy, BinaryFile::Mode::kRead);
  const std::int64_t old_size = source.Length();
  if (position <= size_field + 4 || position > old_size) throw RunError(kInvalidArgument);

  // The chunk's own length plus the inserted byte. A track cut short by the end of the file
  // keeps claiming more than the file holds, so that it walks afterwards as it walked before.
  const std::int64_t length = chunk.DataLength(old_size - (size_field + 3));
  const bool cut_short = size_field + 3 + length > old_size;
  std::int64_t new_length = length + 1;
  // A cut track claiming the most three bytes hold still reaches past the end after the
  // insertion (a longer claim would count only its low three bytes); a whole track grows.
  if (cut_short && new_length > kLongestThreeByteLength) new_length = length;
  if (new_length > kLongestTrack) throw RunError(kOverflow);
  try {
    BinaryFile target(repaired, BinaryFile::Mode::kCreate);
    CopyRange(source, 1, size_field - 1, target);
    target.Write(BigEndian32(new_length));
    CopyRange(source, size_field + 4, position - size_field - 4, target);
    target.Write(std::string(1, static_cast<char>(kInsertedStatus)));
    CopyRange(source, position, old_size - position + 1, target);
    if (target.Length() != old_size + 1) throw RunError(kInputPastEnd);
    target.Close();
    source.Close();
    RenameFile(repaired, work_copy);
  } catch (...) {
    try {
      if (FileExists(repaired)) DeleteFile(repaired);
    } catch (const RunError&) {
      // What could not be removed is overwritten by the next repair; the first failure counts.
    }
    throw;
  }
  return old_size + 1;
}

}  // namespace quavert

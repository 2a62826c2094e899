#include "decoding/byte_patcher.h"

#include <cmath>

#include "common/binary_file.h"
#include "common/file_system.h"
#include "common/run_error.h"
#include "decoding/meta_format.h"
#include "decoding/tempo.h"

namespace quavert {
namespace {

constexpr std::int64_t kDivisionPosition = 13;
constexpr std::int64_t kRepairedClocks = 2;

void PutByte(std::string& bytes, std::int64_t value) {
  if (value < 0 || value > 255) throw RunError(kOverflow);
  bytes.push_back(static_cast<char>(value));
}

}  // namespace

BytePatch DivisionPatch(std::int64_t ticks) {
  BytePatch patch{kDivisionPosition, {}};
  PutByte(patch.bytes, HighByte(ticks));
  PutByte(patch.bytes, LowByte(ticks));
  return patch;
}

BytePatch ClocksBytePatch(std::int64_t position) {
  BytePatch patch{position, {}};
  PutByte(patch.bytes, kRepairedClocks);
  return patch;
}

BytePatch TempoPatch(std::int64_t position, std::int64_t bpm) {
  if (bpm <= 0) throw RunError(kOverflow);
  const double tempo = TempoOfBpm(bpm);
  if (tempo < 1) throw RunError(kOverflow);
  const double t1 = std::floor(tempo / 65536);
  const double t2 = std::floor((tempo - t1 * 65536) / 256);
  const double t3 = tempo - t1 * 65536 - t2 * 256;
  BytePatch patch{position, {}};
  PutByte(patch.bytes, static_cast<std::int64_t>(t1));
  PutByte(patch.bytes, static_cast<std::int64_t>(t2));
  PutByte(patch.bytes, static_cast<std::int64_t>(t3));
  return patch;
}

void ApplyPatch(const std::string& path, const BytePatch& patch) {
  // Opening for writing would create a missing file: patching nothing is a failure.
  if (!FileExists(path)) throw RunError(kFileNotFound);
  BinaryFile file(path, BinaryFile::Mode::kReadWrite);
  const std::int64_t last = patch.position + static_cast<std::int64_t>(patch.bytes.size()) - 1;
  if (patch.position < 1 || last > file.Length()) throw RunError(kInvalidArgument);
  file.Seek(patch.position);
  file.Write(patch.bytes);
  file.Close();
}

}  // namespace quavert

#include "decoding/byte_patcher.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "common/binary_file.h"
#include "common/file_system.h"
#include "common/run_error.h"
#include "decoding/meta_format.h"
#include "decoding/tempo.h"
#include "session/session.h"

namespace quavert {
namespace {

constexpr std::int64_t kDivisionPosition = 13;

struct Patch {
  std::int64_t position = 0;
  std::string bytes;
};

void PutByte(std::string& bytes, std::int64_t value) {
  if (value < 0 || value > 255) throw RunError(kOverflow);
  bytes.push_back(static_cast<char>(value));
}

// Microseconds per quarter note for `bpm` beats per minute, as three big-endian bytes.
std::string TempoBytes(std::int64_t bpm) {
  if (bpm <= 0) throw RunError(kOverflow);
  const double tempo = TempoOfBpm(bpm);
  if (tempo < 1) throw RunError(kOverflow);
  const double t1 = std::floor(tempo / 65536);
  const double t2 = std::floor((tempo - t1 * 65536) / 256);
  const double t3 = tempo - t1 * 65536 - t2 * 256;
  std::string bytes;
  PutByte(bytes, static_cast<std::int64_t>(t1));
  PutByte(bytes, static_cast<std::int64_t>(t2));
  PutByte(bytes, static_cast<std::int64_t>(t3));
  return bytes;
}

Patch PatchFor(const Session& session) {
  const DecoderState& decoder = session.decoder;
  Patch patch;
  switch (decoder.PatchKind) {
    case kPatchDivision:
      patch.position = kDivisionPosition;
      PutByte(patch.bytes, HighByte(session.file.DeltaTicks));
      PutByte(patch.bytes, LowByte(session.file.DeltaTicks));
      return patch;
    case kPatchClocksByte:
      patch.position = decoder.TimeSigPatchPos - 2;
      PutByte(patch.bytes, 2);
      return patch;
    case kPatchFirstTempo:
      patch.position = decoder.TempoPos;
      patch.bytes = TempoBytes(decoder.TempoBpm);
      return patch;
    default: throw RunError(kInvalidArgument);
  }
}

}  // namespace

void PatchFile(Session& session) {
  const Patch patch = PatchFor(session);
  const std::string path = session.WorkCopyPath();
  // Opening for writing would create a missing working copy: patching nothing is a failure.
  if (!FileExists(path)) throw RunError(kFileNotFound);
  BinaryFile file(path, BinaryFile::Mode::kReadWrite);
  const std::int64_t last = patch.position + static_cast<std::int64_t>(patch.bytes.size()) - 1;
  if (patch.position < 1 || last > file.Length()) throw RunError(kInvalidArgument);
  file.Seek(patch.position);
  file.Write(patch.bytes);
  file.Close();
  session.decoder.PatchKind = 0;
}

}  // namespace quavert

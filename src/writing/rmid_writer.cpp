#include "writing/rmid_writer.h"

#include <algorithm>
#include <optional>

#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "lint/rmid.h"

namespace quavert {
namespace {

constexpr std::int64_t kCopyBlock = 64 * 1024;
constexpr std::int64_t kFormStart = 13;   // position of the first chunk after "RIFF", length, "RMID"
constexpr std::int64_t kRiffLengthAt = 5;

std::string Le32(std::uint32_t value) {
  std::string out;
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>(value >> shift & 0xFF);
  return out;
}

// Copies positions [first, last] of `from` to the end of `to`.
void CopyRange(BinaryFile& from, std::int64_t first, std::int64_t last, BinaryFile& to) {
  ByteReader reader(from, first, last);
  while (!reader.AtEnd()) to.Write(reader.Bytes(std::min(kCopyBlock, reader.Remaining())));
}

}  // namespace

void WriteRmidFile(const std::string& midi_path, const std::string& original_path, BinaryFile& target) {
  std::optional<BinaryFile> original;
  MidiRange range;
  if (!original_path.empty()) {
    original.emplace(original_path, BinaryFile::Mode::kRead);
    std::optional<RiffProblem> problem;
    range = FindMidiData(*original, problem);
    if (!range.rmid) original.reset();
  }
  BinaryFile midi(midi_path, BinaryFile::Mode::kRead);
  const std::int64_t midi_length = midi.Length();

  target.Write("RIFF" + Le32(0) + "RMID");
  if (original) CopyRange(*original, kFormStart, range.chunk_first - 1, target);
  target.Write("data" + Le32(static_cast<std::uint32_t>(midi_length)));
  CopyRange(midi, 1, midi_length, target);
  if (midi_length % 2 != 0) target.Write(std::string(1, '\0'));
  if (original) CopyRange(*original, range.chunk_end, original->Length(), target);

  const std::int64_t riff_length = target.Length() - 8;
  target.Seek(kRiffLengthAt);
  target.Write(Le32(static_cast<std::uint32_t>(riff_length)));
}

}  // namespace quavert

#include "lint/rmid.h"

#include <algorithm>

#include "common/binary_file.h"
#include "common/byte_reader.h"

namespace quavert {
namespace {

constexpr std::int64_t kRiffHeaderLength = 12;
constexpr std::int64_t kRiffChunkHeaderLength = 8;

std::uint32_t U32le(ByteReader& reader) {
  std::uint32_t value = 0;
  for (int shift = 0; shift < 32; shift += 8) value |= static_cast<std::uint32_t>(reader.U8()) << shift;
  return value;
}

}  // namespace

MidiRange FindMidiData(BinaryFile& file, std::optional<RiffProblem>& problem) {
  problem.reset();
  const std::int64_t size = file.Length();
  MidiRange whole{1, size, false};
  ByteReader reader(file, 1, size);
  if (size < kRiffHeaderLength || reader.Bytes(4) != "RIFF") return whole;
  reader.Skip(4);  // the RIFF length: the chunks are walked to the end of the file instead
  if (reader.Bytes(4) != "RMID") {
    problem = RiffProblem{9, true, "not-midi", "a RIFF file of another form type than RMID"};
    return MidiRange{1, 0, false};
  }
  while (reader.Remaining() >= kRiffChunkHeaderLength) {
    const std::int64_t chunk = reader.Position();
    const std::string id = reader.Bytes(4);
    const std::int64_t length = U32le(reader);
    if (id == "data") {
      MidiRange data{reader.Position(), reader.Position() + length - 1, true, chunk,
                     std::min(reader.Position() + length + (length & 1), size + 1)};
      if (data.last > size) {
        problem = RiffProblem{chunk + 4, false, "chunk-overrun",
                              "the RMID data chunk's length " + std::to_string(length) + " runs past the end of the file"};
        data.last = size;
      }
      return data;
    }
    // Chunks are padded to an even length.
    const std::int64_t padded = length + (length & 1);
    if (padded > reader.Remaining()) break;
    reader.Skip(padded);
  }
  problem = RiffProblem{reader.Position(), true, "not-midi", "an RMID file without a data chunk"};
  return MidiRange{1, 0, false};
}

}  // namespace quavert

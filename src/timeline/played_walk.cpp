#include "timeline/played_walk.h"

#include <optional>

#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "decoding/event_scanner.h"

namespace quavert {
namespace {

constexpr std::int64_t kChunkHeaderSize = 8;  // four-letter id and a 32-bit length
constexpr std::uint8_t kMetaEvent = 0xFF;
constexpr int kEndOfTrack = 0x2F;
constexpr std::uint8_t kSysexStart = 0xF0;
constexpr std::uint8_t kSysexContinue = 0xF7;
constexpr int kLongestQuantity = 4;

// A variable-length quantity; nothing when it runs on past four bytes.
std::optional<std::uint32_t> ReadQuantity(ByteReader& reader) {
  std::uint32_t value = 0;
  for (int i = 0; i < kLongestQuantity; ++i) {
    const std::uint8_t byte = reader.U8();
    value = value << 7 | (byte & 0x7Fu);
    if ((byte & 0x80u) == 0) return value;
  }
  return std::nullopt;
}

// Reads a length into `event`; false when it runs on past four bytes.
bool ReadLength(ByteReader& reader, PlayedEvent& event) {
  const std::int64_t at = reader.Position();
  const std::optional<std::uint32_t> length = ReadQuantity(reader);
  if (!length) return false;
  event.Length = *length;
  event.LengthBytes = static_cast<int>(reader.Position() - at);
  return true;
}

}  // namespace

void WalkPlayedTrack(BinaryFile& file, std::int64_t first, std::int64_t last, bool keep_meta_data,
                     const std::function<bool(const PlayedEvent&)>& visit) {
  ByteReader reader(file, first, last);
  PlayedEvent event;
  std::uint8_t running = 0;  // status of the last channel message, 0 when there is none
  try {
    while (!reader.AtEnd()) {
      const std::optional<std::uint32_t> delta = ReadQuantity(reader);
      if (!delta) return;
      event.Tick += *delta;
      event.Position = reader.Position();
      event.MetaType = -1;
      event.Data.clear();
      event.LengthBytes = 0;
      event.Length = 0;
      const std::uint8_t status = reader.U8();
      if (status == kMetaEvent) {
        event.MetaType = reader.U8();
        if (!ReadLength(reader, event)) return;
        if (keep_meta_data)
          event.Data = reader.Bytes(event.Length);
        else
          reader.Skip(event.Length);
      } else if (status == kSysexStart || status == kSysexContinue) {
        if (!ReadLength(reader, event)) return;
        reader.Skip(event.Length);
      } else if (status > kSysexStart) {
        return;  // no other system message belongs in a file
      } else if (status >= 0x80) {
        running = status;
        reader.Skip(ChannelDataBytes(status));
      } else if (running != 0) {
        // Running status: the byte just read was the message's first data byte.
        reader.Skip(ChannelDataBytes(running) - 1);
      } else {
        return;
      }
      event.Status = status < 0x80 ? running : status;
      if (!visit(event) || event.MetaType == kEndOfTrack) return;
    }
  } catch (const ReadPastLimit&) {
    // The track ends inside an event: what was read whole was visited.
  }
}

void WalkChunks(BinaryFile& file,
                const std::function<bool(const std::string& id, std::int64_t first, std::int64_t size)>& visit) {
  const std::int64_t length = file.Length();
  for (std::int64_t chunk = 1; chunk + kChunkHeaderSize - 1 <= length;) {
    ByteReader header(file, chunk, chunk + kChunkHeaderSize - 1);
    const std::string id = header.Bytes(4);
    const std::int64_t size = header.U32be();
    const std::int64_t body = chunk + kChunkHeaderSize;
    if (!visit(id, body, size)) return;
    chunk = body + size;
  }
}

}  // namespace quavert

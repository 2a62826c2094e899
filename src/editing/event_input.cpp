#include "editing/event_input.h"

#include <cstdint>

#include "decoding/event_scanner.h"
#include "decoding/meta_types.h"
#include "decoding/tempo.h"

namespace quavert {
namespace {

constexpr std::uint8_t kFirstChannelStatus = 0x80;
constexpr std::uint8_t kLastChannelStatus = 0xEF;
constexpr std::uint8_t kSysex = 0xF0;
constexpr std::uint8_t kSysexContinued = 0xF7;
constexpr std::uint8_t kMeta = 0xFF;
constexpr std::size_t kTempoLength = 3;
constexpr std::size_t kTimeSignatureLength = 4;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A variable-length number of at most four bytes, the last below 128, from `at`; moves `at` past it.
std::optional<std::int64_t> ReadLength(std::string_view bytes, std::size_t& at) {
  std::int64_t value = 0;
  for (int i = 0; i < 4 && at < bytes.size(); ++i) {
    const auto byte = static_cast<std::uint8_t>(bytes[at++]);
    value = value << 7 | (byte & 0x7F);
    if (byte < 0x80) return value;
  }
  return std::nullopt;
}

std::uint8_t ByteAt(std::string_view bytes, std::size_t at) { return static_cast<std::uint8_t>(bytes[at]); }

std::optional<EventInput> ChannelInput(std::string_view bytes) {
  const std::uint8_t status = ByteAt(bytes, 0);
  const auto data = static_cast<std::size_t>(ChannelDataBytes(status));
  if (bytes.size() != 1 + data) return std::nullopt;
  for (std::size_t i = 1; i < bytes.size(); ++i)
    if (ByteAt(bytes, i) > 0x7F) return std::nullopt;
  EventInput input{{}, std::string(bytes)};
  input.Row.Status = status;
  input.Row.Data1 = ByteAt(bytes, 1);
  if (data == 2) input.Row.Data2 = ByteAt(bytes, 2);
  return input;
}

std::optional<EventInput> SysexInput(std::string_view bytes) {
  std::size_t at = 1;
  const std::optional<std::int64_t> length = ReadLength(bytes, at);
  if (!length || static_cast<std::int64_t>(bytes.size() - at) != *length) return std::nullopt;
  EventInput input{{}, std::string(bytes)};
  input.Row.Status = ByteAt(bytes, 0);
  return input;
}

std::optional<EventInput> MetaInput(std::string_view bytes) {
  if (bytes.size() < 2) return std::nullopt;
  const int type = ByteAt(bytes, 1);
  std::size_t at = 2;
  const std::optional<std::int64_t> length = ReadLength(bytes, at);
  if (!length || static_cast<std::int64_t>(bytes.size() - at) != *length) return std::nullopt;
  const std::string_view data = bytes.substr(at);
  EventInput input{{}, std::string(bytes)};
  switch (type) {
    case kMetaText:
    case kMetaLyric:
    case kMetaMarker: input.Row.MetaMark = kMetaPlaceholderMark; return input;
    case kMetaTempo: {
      if (data.size() != kTempoLength || TempoOfBytes(data) == 0) return std::nullopt;
      input.Row.Status = kTempoRowStatus;
      input.Row.Data1 = static_cast<std::int32_t>(BpmOfTempo(TempoOfBytes(data)));
      return input;
    }
    case kMetaTimeSignature: {
      if (data.size() != kTimeSignatureLength || ByteAt(data, 0) == 0 || ByteAt(data, 1) > kLargestDenominatorPower)
        return std::nullopt;
      input.Row.Status = kTimeSignatureRowStatus;
      input.Row.Data1 = ByteAt(data, 0);
      input.Row.Data2 = 1 << ByteAt(data, 1);
      return input;
    }
    default: return std::nullopt;
  }
}

}  // namespace

std::optional<std::string> ReadHexBytes(std::string_view hex) {
  std::string bytes;
  int high = -1;
  for (const char c : hex) {
    if (c == ' ' || c == '\t') {
      if (high >= 0) return std::nullopt;  // a byte is two digits together
      continue;
    }
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<char>(high * 16 + digit));
      high = -1;
    }
  }
  if (high >= 0 || bytes.empty()) return std::nullopt;
  return bytes;
}

std::optional<EventInput> ReadEventInput(std::string_view bytes) {
  if (bytes.empty()) return std::nullopt;
  const std::uint8_t status = ByteAt(bytes, 0);
  if (status >= kFirstChannelStatus && status <= kLastChannelStatus) return ChannelInput(bytes);
  if (status == kSysex || status == kSysexContinued) return SysexInput(bytes);
  if (status == kMeta) return MetaInput(bytes);
  return std::nullopt;
}

}  // namespace quavert

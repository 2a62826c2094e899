#include "common/byte_reader.h"

#include <algorithm>

namespace quavert {
namespace {
constexpr std::int64_t kBufferSize = 64 * 1024;
}

ByteReader::ByteReader(BinaryFile& file, std::int64_t first, std::int64_t last)
    : file_(file), position_(first), last_(std::max(std::min(last, file.Length()), first - 1)) {}

void ByteReader::Fill() {
  if (AtEnd()) throw ReadPastLimit();
  const std::int64_t want = std::min(kBufferSize, Remaining());
  buffer_.resize(static_cast<std::size_t>(want));
  file_.Seek(position_);
  const std::size_t got = file_.Read(buffer_.data(), buffer_.size());
  buffer_.resize(got);
  buffer_start_ = position_;
  // The range was cut by the end of the file: what is not there cannot be read.
  if (got == 0) throw ReadPastLimit();
}

std::uint8_t ByteReader::U8() {
  const std::int64_t offset = position_ - buffer_start_;
  if (buffer_.empty() || offset < 0 || offset >= static_cast<std::int64_t>(buffer_.size())) Fill();
  const auto byte = static_cast<std::uint8_t>(buffer_[static_cast<std::size_t>(position_ - buffer_start_)]);
  ++position_;
  return byte;
}

std::uint16_t ByteReader::U16be() {
  const std::uint16_t high = U8();
  return static_cast<std::uint16_t>(high << 8 | U8());
}

std::uint32_t ByteReader::U32be() {
  const std::uint32_t high = U16be();
  return high << 16 | U16be();
}

std::string ByteReader::Bytes(std::int64_t count) {
  if (count < 0 || count > Remaining()) throw ReadPastLimit();
  std::string out;
  out.reserve(static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) out.push_back(static_cast<char>(U8()));
  return out;
}

void ByteReader::Skip(std::int64_t count) {
  if (count < 0 || count > Remaining()) throw ReadPastLimit();
  position_ += count;
}

}  // namespace quavert

#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "common/binary_file.h"

namespace quavert {

/// Thrown when a read would take a byte outside the range a ByteReader was given.
struct ReadPastLimit : std::exception {
  const char* what() const noexcept override { return "read past the end of the data"; }
};

/// The one way to read bytes that come from a MIDI file: sequential reads through a buffer,
/// over a fixed range of 1-based file positions. Every read is checked against the range's end,
/// so no read can take a byte of the next chunk or run past the end of the file unnoticed.
class ByteReader {
 public:
  /// Reads `file` from position `first` through `last` (inclusive), or through the end of the
  /// file when that comes first; nothing when last < first.
  ByteReader(BinaryFile& file, std::int64_t first, std::int64_t last);

  /// 1-based file position of the next byte to be read.
  std::int64_t Position() const { return position_; }
  /// Bytes left before the end of the range.
  std::int64_t Remaining() const { return last_ - position_ + 1; }
  bool AtEnd() const { return position_ > last_; }

  std::uint8_t U8();
  std::uint16_t U16be();
  std::uint32_t U32be();
  /// The next `count` bytes as they stand in the file.
  std::string Bytes(std::int64_t count);
  /// Moves past `count` bytes without keeping them; ReadPastLimit when fewer are left.
  void Skip(std::int64_t count);

 private:
  void Fill();

  BinaryFile& file_;
  std::int64_t position_;
  std::int64_t last_;
  std::string buffer_;
  std::int64_t buffer_start_ = 0;  // file position of buffer_[0]
};

}  // namespace quavert

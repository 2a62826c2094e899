#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "decoding/records.h"

namespace quavert {

/// A 64-bit digest that tells whether bytes changed (not meant to withstand a forger).
class ContentHash {
 public:
  void Add(const void* data, std::size_t size);
  std::uint64_t Value() const;

 private:
  std::uint64_t state_ = 0x9E3779B97F4A7C15ULL;
  std::uint64_t length_ = 0;
};

/// The digest of a file's bytes; nothing when it cannot be read.
std::optional<std::uint64_t> HashFile(const std::string& path);

/// The digest of a Standard MIDI File's bytes as a load takes them from `path`: the whole file, or
/// the data chunk of an RMID file. Nothing when the file cannot be read.
std::optional<std::uint64_t> HashMidiData(const std::string& path);

}  // namespace quavert

#include "shell/content_hash.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <type_traits>

#include "common/binary_file.h"
#include "lint/rmid.h"

namespace quavert {
namespace {

constexpr std::uint64_t kMultiplier = 0xFF51AFD7ED558CCDULL;

std::uint64_t Mix(std::uint64_t value) {
  value ^= value >> 33;
  value *= kMultiplier;
  value ^= value >> 33;
  value *= 0xC4CEB9FE1A85EC53ULL;
  return value ^ (value >> 33);
}

}  // namespace

void ContentHash::Add(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  length_ += size;
  std::size_t at = 0;
  for (; at + 8 <= size; at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes + at, 8);
    state_ = (state_ ^ word) * kMultiplier;
    state_ ^= state_ >> 29;
  }
  for (; at < size; ++at) state_ = ((state_ ^ bytes[at]) * kMultiplier) ^ (state_ >> 31);
}

std::uint64_t ContentHash::Value() const { return Mix(state_ ^ Mix(length_)); }

namespace {

// The digest of `left` bytes of `file` from position `first`.
std::uint64_t HashRange(BinaryFile& file, std::int64_t first, std::int64_t left) {
  file.Seek(first);
  ContentHash hash;
  std::array<char, 64 * 1024> block{};
  while (left > 0) {
    const std::size_t got = file.Read(block.data(), static_cast<std::size_t>(std::min<std::int64_t>(left, block.size())));
    if (got == 0) break;
    hash.Add(block.data(), got);
    left -= static_cast<std::int64_t>(got);
  }
  return hash.Value();
}

}  // namespace

std::optional<std::uint64_t> HashFile(const std::string& path) {
  try {
    BinaryFile file(path, BinaryFile::Mode::kRead);
    return HashRange(file, 1, file.Length());
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<std::uint64_t> HashMidiData(const std::string& path) {
  try {
    BinaryFile file(path, BinaryFile::Mode::kRead);
    std::optional<RiffProblem> problem;
    const MidiRange range = FindMidiData(file, problem);
    if (range.rmid) return HashRange(file, range.first, range.last - range.first + 1);
    return HashRange(file, 1, file.Length());
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace quavert

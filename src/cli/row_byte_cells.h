#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quavert::cli {

struct Companion;

// The cells --bytes appends to a row: where its event begins in the file the user named (0-based),
// its bytes in hex, its absolute time.
struct ByteCells {
  std::int64_t offset = 0;
  std::string hex;
  std::int64_t tick = 0;
};

/// The cells of each row of the current track's list, in order, from a walk of the track in the
/// working copy; offsets and bytes are those of `path`, the file the user named. A row whose bytes
/// are not that file's own (the status byte a missing-byte repair inserted, bytes a repair
/// patched) stands for no event of it: nothing. No cells at all when the track cannot be read.
std::vector<std::optional<ByteCells>> RowByteCells(Companion& companion, const std::string& path);

}  // namespace quavert::cli

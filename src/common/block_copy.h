#pragma once

#include <cstdint>
#include <string>

#include "common/binary_file.h"
#include "common/progress.h"

namespace quavert {

/// Largest block moved through BlockBuffer at a time: memory stays the same whatever the file.
inline constexpr std::int64_t kBlockSize = 5000;

/// State of a block loop: what is still to move, and the buffer the next read fills.
struct BlockIo {
  std::int64_t BytesLeft = 0;  ///< goes to 0 or below after the last block
  std::int64_t BlockLen = 0;   ///< length of the block NextBlock prepared, 0..5000
  std::string BlockBuffer;     ///< a read fills exactly as many bytes as its length
};

/// Prepares the next block: BlockLen is what is left, at most 5000; BytesLeft drops by a full
/// 5000 even on the last block; BlockBuffer is BlockLen blanks.
void NextBlock(BlockIo& io);

/// Copies `count` bytes from the current position of `input` to the current position of
/// `output`, block by block; fewer when `input` ends first. A count of 0 or less moves nothing.
/// `progress` hears how many bytes were copied.
void CopyBlocks(BinaryFile& input, BinaryFile& output, std::int64_t count, Progress* progress = nullptr);

}  // namespace quavert

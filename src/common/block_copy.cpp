#include "common/block_copy.h"

namespace quavert {

void NextBlock(BlockIo& io) {
  io.BlockLen = io.BytesLeft <= kBlockSize ? io.BytesLeft : kBlockSize;
  if (io.BlockLen < 0) io.BlockLen = 0;
  io.BytesLeft -= kBlockSize;
  io.BlockBuffer.assign(static_cast<std::size_t>(io.BlockLen), ' ');
}

void CopyBlocks(BinaryFile& input, BinaryFile& output, std::int64_t count, Progress* progress) {
  BlockIo io;
  io.BytesLeft = count;
  ProgressSteps steps(progress, count);
  do {
    steps.At(count - io.BytesLeft);
    NextBlock(io);
    // Only the bytes that were there are passed on: a source that ended early adds nothing.
    const std::size_t got = input.Read(io.BlockBuffer.data(), io.BlockBuffer.size());
    output.Write(io.BlockBuffer.data(), got);
  } while (io.BytesLeft >= 1);
}

}  // namespace quavert

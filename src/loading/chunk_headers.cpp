#include "loading/chunk_headers.h"

namespace quavert {
namespace {

constexpr std::array<std::uint8_t, 4> kHeaderId = {'M', 'T', 'h', 'd'};
constexpr std::array<std::uint8_t, 4> kHeaderSize = {0, 0, 0, 6};

}  // namespace

HeaderProblem CheckHeader(const HeaderChunk& header, std::size_t bytes_read) {
  if (bytes_read < sizeof header || header.Id != kHeaderId) return HeaderProblem::kNotMidi;
  if (header.Size != kHeaderSize) return HeaderProblem::kHeaderSize;
  if (FileFormatOf(header) > 2) return HeaderProblem::kFileFormat;
  return HeaderProblem::kNone;
}

}  // namespace quavert

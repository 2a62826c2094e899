#include "loading/chunk_headers.h"

#include <algorithm>

namespace quavert {
namespace {

constexpr std::array<std::uint8_t, 4> kHeaderId = {'M', 'T', 'h', 'd'};
constexpr std::array<std::uint8_t, 4> kHeaderSize = {0, 0, 0, 6};

}  // namespace

TrackPlaceInFile PlaceOfTrack(const TrackTable& tracks, int track, std::int64_t file_size) {
  TrackPlaceInFile place;
  place.Start = tracks.TrackStart[static_cast<std::size_t>(track)];
  place.DataFirst = place.Start + kChunkHeaderLength;
  const std::int64_t length = tracks.TrackChunks[static_cast<std::size_t>(track)].DataLength(file_size - (place.DataFirst - 1));
  place.DataLast = std::min(place.DataFirst - 1 + length, file_size);
  return place;
}

HeaderProblem CheckHeader(const HeaderChunk& header, std::size_t bytes_read) {
  if (bytes_read < sizeof header || header.Id != kHeaderId) return HeaderProblem::kNotMidi;
  if (header.Size != kHeaderSize) return HeaderProblem::kHeaderSize;
  if (FileFormatOf(header) > 2) return HeaderProblem::kFileFormat;
  return HeaderProblem::kNone;
}

}  // namespace quavert

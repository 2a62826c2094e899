#include "loading/chunk_walk.h"

#include <array>

#include "common/block_copy.h"
#include "common/run_error.h"

namespace quavert {
namespace {

constexpr std::array<std::uint8_t, 4> kTrackId = {'M', 'T', 'r', 'k'};
constexpr std::array<std::uint8_t, 3> kEndOfTrack = {0xFF, 0x2F, 0x00};

// The last three bytes of the data skipped so far, however the blocks cut them.
struct Tail {
  std::array<std::uint8_t, 3> bytes{};
  std::int64_t seen = 0;

  void Add(const std::string& block) {
    for (char c : block) {
      bytes = {bytes[1], bytes[2], static_cast<std::uint8_t>(c)};
      ++seen;
    }
  }
  bool IsEndOfTrack() const { return seen >= 3 && bytes == kEndOfTrack; }
};

// Entry TrackCount + 1 of TrackStart: where the tracks read so far end. A 73rd track has no
// room for it.
void SetEndOfTable(TrackTable& table, std::int64_t position) {
  const int next = table.TrackCount + 1;
  if (next >= static_cast<int>(table.TrackStart.size())) throw RunError(kIndexOutOfRange);
  table.TrackStart[static_cast<std::size_t>(next)] = position;
}

}  // namespace

ChunkWalk WalkChunks(BinaryFile& file, std::int64_t file_size, int announced_tracks) {
  ChunkWalk walk;
  TrackTable& table = walk.Table;
  BlockIo io;

  file.Seek(1 + static_cast<std::int64_t>(sizeof(HeaderChunk)));
  Tail tail;
  for (;;) {
    const int next = table.TrackCount + 1;
    SetEndOfTable(table, file.Position());

    if (table.TrackCount > 0 && !tail.IsEndOfTrack()) {
      walk.End = ChunkWalkEnd::kNoEndOfTrack;
      walk.Track = table.TrackCount;
      return walk;
    }

    if (file.Position() - 1 == file_size) return walk;

    TrackChunk& chunk = table.TrackChunks[next];
    chunk = TrackChunk{};
    file.Read(&chunk, sizeof chunk);
    if (chunk.Id != kTrackId && !file.PastEnd()) {
      walk.End = table.TrackCount == announced_tracks ? ChunkWalkEnd::kTrailingBytes : ChunkWalkEnd::kForeignChunk;
      walk.Track = next;
      return walk;
    }

    table.TrackCount = next;
    io.BytesLeft = chunk.DataLength(file_size - (file.Position() - 1));
    tail = Tail{};
    do {
      NextBlock(io);
      io.BlockBuffer.resize(file.Read(io.BlockBuffer.data(), io.BlockBuffer.size()));
      tail.Add(io.BlockBuffer);
    } while (io.BytesLeft >= 1);

    if (file.PastEnd()) {
      // A track cut short by the end of the file still ends somewhere: just after the file's
      // last byte. The repair and the track writer take the track's end from here.
      SetEndOfTable(table, file.Position());
      walk.End = ChunkWalkEnd::kCutShort;
      return walk;
    }
  }
}

}  // namespace quavert

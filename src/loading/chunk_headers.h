#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quavert {

/// The 14 header bytes exactly as read from the start of the file.
struct HeaderChunk {
  std::array<std::uint8_t, 4> Id{};
  std::array<std::uint8_t, 4> Size{};
  std::array<std::uint8_t, 2> Format{};
  std::array<std::uint8_t, 2> Tracks{};
  std::array<std::uint8_t, 2> Division{};
  bool operator==(const HeaderChunk&) const = default;
};

/// The 8 bytes of a track chunk header exactly as read.
struct TrackChunk {
  std::array<std::uint8_t, 4> Id{};
  std::array<std::uint8_t, 4> Size{};
  /// The data length, given the bytes that follow the header in the file (`room`). A size of
  /// 16 MB or more (a first byte other than 0) counts whole when the file holds that many bytes;
  /// otherwise only its low three bytes count, so that a damaged first byte moves nothing.
  std::int64_t DataLength(std::int64_t room) const {
    const std::int64_t low = Size[1] * 65536 + Size[2] * 256 + Size[3];
    const std::int64_t whole = std::int64_t{Size[0]} << 24 | low;
    return Size[0] != 0 && whole <= room ? whole : low;
  }
  bool operator==(const TrackChunk&) const = default;
};

static_assert(sizeof(HeaderChunk) == 14 && sizeof(TrackChunk) == 8, "chunk headers are read as they lie in the file");

/// Bytes of a chunk's header: its type and its length.
inline constexpr std::int64_t kChunkHeaderLength = sizeof(TrackChunk);

/// Most track chunks a file may have.
inline constexpr int kMaxTracks = 72;

/// Where each track chunk of the working copy begins, built by the chunk walker.
struct TrackTable {
  int TrackCount = 0;  ///< track chunks found, 0..72
  /// Entry k (1..TrackCount): 1-based position of the "M" of track k's chunk header.
  /// Entry TrackCount + 1: the position after the last track, or of the chunk that stopped the walk.
  std::array<std::int64_t, kMaxTracks + 2> TrackStart{};
  /// Entry k: track k's chunk header as read; entry TrackCount + 1 may hold the one that stopped the walk.
  std::array<TrackChunk, kMaxTracks + 2> TrackChunks{};
  bool operator==(const TrackTable&) const = default;
};

/// Where one track lies in the file: the 1-based positions of its chunk header's first byte, its
/// first data byte, and its last data byte (the file's last byte when the chunk runs past it).
struct TrackPlaceInFile {
  std::int64_t Start = 0;
  std::int64_t DataFirst = 0;
  std::int64_t DataLast = 0;
  bool operator==(const TrackPlaceInFile&) const = default;
};

/// The place of track `track` (1..TrackCount of `tracks`) in a file of `file_size` bytes.
TrackPlaceInFile PlaceOfTrack(const TrackTable& tracks, int track, std::int64_t file_size);

/// What is wrong with a header, in the order a load looks: too short or not "MThd", a length
/// other than 6, a format above 2. The division is judged apart (DivisionIsMetrical), after the
/// track chunks have been walked.
enum class HeaderProblem { kNone, kNotMidi, kHeaderSize, kFileFormat };

/// Checks the header of which `bytes_read` bytes (at most 14) could be read.
HeaderProblem CheckHeader(const HeaderChunk& header, std::size_t bytes_read);

/// The low byte of the format field: 0, 1 or 2 in a valid header.
inline int FileFormatOf(const HeaderChunk& header) { return header.Format[1]; }
/// The track count the header announces.
inline int AnnouncedTracks(const HeaderChunk& header) { return header.Tracks[0] * 256 + header.Tracks[1]; }
/// The division field as a number: ticks per quarter note when it is metrical.
inline int DivisionTicks(const HeaderChunk& header) { return header.Division[0] * 256 + header.Division[1]; }
/// Ticks per quarter note must fit the 15 bits of a metrical division and not be 0; a division
/// whose first byte has its top bit set counts SMPTE frames instead, which this program cannot time.
inline bool DivisionIsMetrical(const HeaderChunk& header) {
  return DivisionTicks(header) != 0 && header.Division[0] < 0x80;
}

}  // namespace quavert

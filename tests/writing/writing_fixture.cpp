#include "writing_fixture.h"

#include <stdexcept>

#include "decoding/track_decoder.h"
#include "editing/event_list.h"
#include "loading/load_driver.h"
#include "writing/save_track.h"

namespace quavert::testing {
namespace {

// Offset of the chunk header of track `number` in `file`.
std::size_t TrackOffset(const Bytes& file, int number) {
  std::size_t at = 14;
  for (int track = 1;; ++track) {
    if (at + 8 > file.size()) throw std::out_of_range("no such track");
    if (track == number) return at;
    std::uint32_t length = 0;
    for (std::size_t i = 4; i < 8; ++i) length = length << 8 | static_cast<std::uint8_t>(file[at + i]);
    at += 8 + length;
  }
}

}  // namespace

void WritingTest::OpenMidiFile(const Bytes& bytes) { quavert::OpenMidiFile(session, UserFile("SONG.MID", bytes)); }

void WritingTest::Choose(int number) { Combo1Click(session, number - 1); }

void WritingTest::List() { Command1Click(session); }

void WritingTest::Save() { SaveTrackCommand(session); }

std::vector<EventRecord> WritingTest::Rows() const {
  const std::vector<EventRecord>& buffer = session.buffers.EventBuffer;
  const auto count = static_cast<std::size_t>(session.decoder.LastEventIndex + 1);
  return {buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(std::min(count, buffer.size()))};
}

Bytes WritingTest::TrackData(const Bytes& file, int number) {
  const std::size_t at = TrackOffset(file, number);
  std::uint32_t length = 0;
  for (std::size_t i = 4; i < 8; ++i) length = length << 8 | static_cast<std::uint8_t>(file[at + i]);
  return file.substr(at + 8, length);
}

Bytes WritingTest::LengthField(const Bytes& file, int number) { return file.substr(TrackOffset(file, number) + 4, 4); }

}  // namespace quavert::testing

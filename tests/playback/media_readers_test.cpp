#include <gtest/gtest.h>

#include <tuple>

#include "app/media_command_parser.h"
#include "commands/media_commands.h"
#include "common/binary_file.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"
#include "timeline/midi_length.h"

namespace quavert {
namespace {

using testing::Hex;
using testing::Mthd;
using testing::Mtrk;
using testing::Smf;

// The player's length of a file: the longest track up to its end of track, counting only the
// events read whole; no byte past a chunk or the file is read.
TEST(MidiLengthTest, CountsTheLongestTrackAndStopsAtWhatItCannotRead) {
  const std::string end = Hex("FF 2F 00");
  const std::pair<std::string, std::int64_t> files[] = {
      {Smf(1, 480, {Hex("00 90 3C 64  83 60 80 3C 00  00") + end, Hex("00 90 40 64  87 40 80 40 00  81 00") + end}), 1088},
      // A name whose bytes look like delta times, system exclusive, running status, two-byte messages.
      {Smf(0, 96, {Hex("00 FF 03 04 00 81 00 01  10 F0 03 7E 7F F7  10 C0 05  10 90 3C 64  10 3E 64  10 D0 20"
                       "  10 E0 00 40  10 F7 01 F7  10") + end}), 8 * 16},
      {Smf(0, 96, {Hex("20 90 3C 64  20") + end + Hex("7F 80 3C 00")}), 0x40},   // bytes after the end of track
      {Smf(0, 96, {Hex("20 90 3C 64  40 90 3C")}), 0x20},                         // the chunk ends inside an event
      {Smf(0, 96, {Hex("20 3C 64  20") + end}), 0},                               // data with no status before it
      {Smf(0, 96, {Hex("20 90 3C 64  81 81 81 81 01 80 3C 00")}), 0x20},          // a delta time of five bytes
      {Smf(0, 96, {Hex("20 90 3C 64  20 F2 00 00  20") + end}), 0x20},            // a message no file may hold
      {Mthd(0, 1, 96) + "MTrk" + Hex("00 00 FF FF  30 90 3C 64  30 80 3C 00"), 0x60},  // a chunk past the file's end
      {Mthd(1, 2, 96) + "XFIH" + Hex("00 00 00 03 20 90 3C") + Mtrk(Hex("50") + end), 0x50},  // a foreign chunk
      {"RIFF and then some bytes that are no MIDI file", 0},
      {"", 0},
      {Mthd(0, 1, 96) + "MTr", 0},
  };
  testing::TempFolder folder;
  for (const auto& [bytes, ticks] : files) {
    BinaryFile file(folder.Write("song.mid", bytes), BinaryFile::Mode::kRead);
    EXPECT_EQ(MidiLengthInTicks(file), ticks) << testing::ToHex(bytes);
  }
}

// Escape events become meta events of the same length, in place; those whose data is missing,
// those past where the walk stops, and system exclusive messages stay as they are.
TEST(MidiLengthTest, EscapesAreFoundAndHiddenInPlace) {
  const std::string end = Hex("00 FF 2F 00");
  std::string long_escape = Hex("00 F7 81 00") + std::string(128, '\x11');  // 128 bytes: two length bytes
  const std::tuple<std::string, std::vector<EscapeEvent>, std::string> files[] = {
      {Smf(0, 96, {Hex("00 F0 02 7E 7F  10 F7 02 7F F7  10 F7 00") + end}), {{29, 1, 2}, {34, 1, 0}},
       Smf(0, 96, {Hex("00 F0 02 7E 7F  10 FF 7F 01 F7  10 F7 00") + end})},
      {Smf(1, 96, {end, long_escape + end}), {{36, 2, 128}},
       Smf(1, 96, {end, Hex("00 FF 7F 80 7F") + std::string(127, '\x11') + end})},
      {Smf(0, 96, {Hex("00 F7 05 01 02")}), {}, Smf(0, 96, {Hex("00 F7 05 01 02")})},  // cut short
      {Smf(0, 96, {Hex("00 F2 00 00  00 F7 01 01") + end}), {}, Smf(0, 96, {Hex("00 F2 00 00  00 F7 01 01") + end})},
  };
  testing::TempFolder folder;
  for (const auto& [bytes, escapes, hidden] : files) {
    BinaryFile file(folder.Write("song.mid", bytes), BinaryFile::Mode::kRead);
    EXPECT_EQ(EscapeEvents(file), escapes) << testing::ToHex(bytes);
    std::string played = bytes;
    HideEscapes(played, escapes);
    EXPECT_EQ(testing::ToHex(played), testing::ToHex(hidden));
  }
}

// Whatever the name of the file, the device read back is the path the open command was built with.
TEST(MediaCommandParserTest, EveryPathComesBackAsItWasSent) {
  for (const std::string path : {"/tmp/song.mid", "/tmp/my song.mid", "\"quoted\".mid", "/tmp/\"q\"", "/tmp/x\" y",
                                 "/tmp/a b\"", "/tmp/\"a b\" c.mid", "/tmp/ends with blank "}) {
    const std::string command = "Open " + CommandPath(path) + " type MPEGVideo Alias REDevid1 parent 1 Style 2 notify";
    const MediaCommand parsed = ParseMediaCommand(command);
    EXPECT_EQ(parsed.Device, path) << command;
    EXPECT_EQ(parsed.Words, (std::vector<std::string>{"type", "MPEGVideo", "Alias", "REDevid1", "parent", "1", "Style", "2"})) << command;
    EXPECT_TRUE(parsed.Notify);
  }
  EXPECT_EQ(ParseMediaCommand("Open \"half.mid type x").Device, "\"half.mid");  // an unclosed quote is part of the word
}

}  // namespace
}  // namespace quavert

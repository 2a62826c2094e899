#include <gtest/gtest.h>

#include "common/binary_file.h"
#include "playback/midi_length.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::Mthd;
using testing::Mtrk;
using testing::Smf;

class MidiLengthTest : public ::testing::Test {
 protected:
  std::int64_t LengthOf(const Bytes& bytes) {
    const std::string path = folder.Join("song.mid");
    testing::WriteFileBytes(path, bytes);
    BinaryFile file(path, BinaryFile::Mode::kRead);
    return MidiLengthInTicks(file);
  }
  testing::TempFolder folder;
};

const Bytes kEndOfTrack = Hex("FF 2F 00");

TEST_F(MidiLengthTest, TheLongestTrackGivesTheLength) {
  EXPECT_EQ(LengthOf(Smf(1, 480,
                         {Hex("00 90 3C 64  83 60 80 3C 00") + Hex("00") + kEndOfTrack,  // 480 ticks
                          Hex("00 90 40 64  87 40 80 40 00") + Hex("81 00") + kEndOfTrack})),  // 960 + 128
            1088);
}

TEST_F(MidiLengthTest, SkipsMetaSysexAndRunningStatusByTheirLengths) {
  const Bytes track = Hex("00 FF 03 04 00 81 00 01") +       // a name whose bytes look like delta times
                      Hex("10 F0 03 7E 7F F7") +             // system exclusive, 16 ticks in
                      Hex("10 C0 05  10 90 3C 64  10 3E 64") +  // program, note, running-status note
                      Hex("10 D0 20  10 E0 00 40") +          // channel pressure, pitch wheel
                      Hex("10 F7 01 F7") + Hex("10") + kEndOfTrack;
  EXPECT_EQ(LengthOf(Smf(0, 96, {track})), 8 * 16);
}

TEST_F(MidiLengthTest, CountsUpToTheEndOfTrackNotTheEndOfTheChunk) {
  EXPECT_EQ(LengthOf(Smf(0, 96, {Hex("20 90 3C 64  20") + kEndOfTrack + Hex("7F 80 3C 00")})), 0x40);
}

TEST_F(MidiLengthTest, ADamagedTrackCountsTheEventsReadWhole) {
  // The chunk ends inside the second note.
  EXPECT_EQ(LengthOf(Smf(0, 96, {Hex("20 90 3C 64  40 90 3C")})), 0x20);
  // A data byte with no status before it.
  EXPECT_EQ(LengthOf(Smf(0, 96, {Hex("20 3C 64  20") + kEndOfTrack})), 0);
  // A delta time longer than four bytes.
  EXPECT_EQ(LengthOf(Smf(0, 96, {Hex("20 90 3C 64  81 81 81 81 01 80 3C 00")})), 0x20);
  // A system message that has no place in a file.
  EXPECT_EQ(LengthOf(Smf(0, 96, {Hex("20 90 3C 64  20 F2 00 00  20") + kEndOfTrack})), 0x20);
}

TEST_F(MidiLengthTest, AChunkLongerThanTheFileEndsWithTheFile) {
  const Bytes file = Mthd(0, 1, 96) + "MTrk" + Hex("00 00 FF FF") + Hex("30 90 3C 64  30 80 3C 00");
  EXPECT_EQ(LengthOf(file), 0x60);
}

TEST_F(MidiLengthTest, ForeignChunksAreSkippedAndNonMidiFilesHaveNoLength) {
  EXPECT_EQ(LengthOf(Mthd(1, 2, 96) + "XFIH" + Hex("00 00 00 03 20 90 3C") + Mtrk(Hex("50") + kEndOfTrack)), 0x50);
  EXPECT_EQ(LengthOf("RIFF and then some bytes that are no MIDI file"), 0);
  EXPECT_EQ(LengthOf(""), 0);
  EXPECT_EQ(LengthOf(Mthd(0, 1, 96)), 0);
  EXPECT_EQ(LengthOf(Mthd(0, 1, 96) + "MTr"), 0);
}

}  // namespace
}  // namespace quavert

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "midi_track.h"
#include "score.h"
#include "support/midi_bytes.h"

namespace quavert::generate {
namespace {

using testing::Hex;
using testing::ToHex;

TEST(TrackWriterTest, VariableLengthQuantitiesTakeTheFewestBytes) {
  EXPECT_EQ(ToHex(Vlq(0)), "00");
  EXPECT_EQ(ToHex(Vlq(127)), "7F");
  EXPECT_EQ(ToHex(Vlq(128)), "81 00");
  EXPECT_EQ(ToHex(Vlq(480)), "83 60");
  EXPECT_EQ(ToHex(Vlq(16383)), "FF 7F");
  EXPECT_EQ(ToHex(Vlq(16384)), "81 80 00");
  EXPECT_EQ(ToHex(Vlq(0x0FFFFFFF)), "FF FF FF 7F");
  EXPECT_THROW(Vlq(0x10000000), std::invalid_argument);
}

TEST(TrackWriterTest, ChunksCarryTheirLengths) {
  EXPECT_EQ(HeaderChunk(1, 16, 480), Hex("4D 54 68 64 00 00 00 06 00 01 00 10 01 E0"));
  EXPECT_EQ(TrackChunk(Hex("00 FF 2F 00")), Hex("4D 54 72 6B 00 00 00 04 00 FF 2F 00"));
}

TEST(TrackWriterTest, EventsComeOutInTimeOrderUnderRunningStatus) {
  Track track;
  track.NoteOff(480, 0, 60);  // added before the note it ends
  track.NoteOn(0, 0, 60, 100);
  track.NoteOn(480, 0, 64, 90);  // same tick: after the note off, in the order added
  track.Controller(600, 0, 7, 100);
  track.Controller(600, 0, 10, 64);
  track.NoteOff(600, 0, 64);
  EXPECT_EQ(track.ChannelEventCount(), 6u);
  EXPECT_EQ(track.LastTick(), 600u);
  EXPECT_EQ(ToHex(track.Encode()), "00 90 3C 64 83 60 3C 00 00 40 5A 78 B0 07 64 00 0A 40 00 90 40 00 00 FF 2F 00");
  EXPECT_EQ(ToHex(track.Encode(false)),
            "00 90 3C 64 83 60 90 3C 00 00 90 40 5A 78 B0 07 64 00 B0 0A 40 00 90 40 00 00 FF 2F 00");
}

TEST(TrackWriterTest, MetaAndSystemExclusiveEventsCancelRunningStatus) {
  Track track;
  track.NoteOn(0, 9, 36, 100);
  track.Meta(0, kMetaMarker, "A");
  track.NoteOn(0, 9, 38, 100);
  track.Sysex(10, kSysex, Hex("7E 7F 09 01 F7"));
  track.NoteOn(10, 9, 42, 100);
  track.NoteOn(20, 9, 46, 100);
  EXPECT_EQ(ToHex(track.Encode()),
            "00 99 24 64 00 FF 06 01 41 00 99 26 64 0A F0 05 7E 7F 09 01 F7 00 99 2A 64 0A 2E 64 00 FF 2F 00");
}

TEST(TrackWriterTest, MetaEventsHaveTheShapesTheProgramReads) {
  Track track;
  track.Tempo(0, 120);
  track.Tempo(0, 96);
  track.TimeSignature(0, 4, 4);
  track.TimeSignature(0, 6, 8);
  track.KeySignature(0, -3, false);
  track.KeySignature(0, 0, true);
  track.Meta(0, kMetaTrackName, "Bass");
  EXPECT_EQ(ToHex(track.Encode()),
            "00 FF 51 03 07 A1 20 00 FF 51 03 09 89 68 00 FF 58 04 04 02 18 08 00 FF 58 04 06 03 24 08 "
            "00 FF 59 02 FD 00 00 FF 59 02 00 01 00 FF 03 04 42 61 73 73 00 FF 2F 00");
  EXPECT_EQ(track.ChannelEventCount(), 0u);
}

TEST(TrackWriterTest, RefusesWhatTheProgramCouldNotRead) {
  Track track;
  EXPECT_THROW(track.Meta(0, kMetaText, std::string(128, 'x')), std::invalid_argument);
  EXPECT_NO_THROW(track.Meta(0, kMetaText, std::string(127, 'x')));
  EXPECT_NO_THROW(track.Meta(0, kMetaSequencer, std::string(300, '\0')));
  EXPECT_THROW(track.NoteOn(0, 0, 128, 100), std::invalid_argument);
  EXPECT_THROW(track.Controller(0, 0, 7, -1), std::invalid_argument);
  EXPECT_THROW(track.Channel(0, 0xF0, 1), std::invalid_argument);
  EXPECT_THROW(track.TimeSignature(0, 3, 6), std::invalid_argument);
  EXPECT_THROW(track.Tempo(0, 3), std::invalid_argument);  // would not fit three bytes
  EXPECT_THROW(track.Sysex(0, 0x90, "x"), std::invalid_argument);
}

TEST(ScoreTest, NoteNamesFollowTheListsOctaves) {
  EXPECT_EQ(KeyOf("C5"), 60);
  EXPECT_EQ(KeyOf("C#5"), 61);
  EXPECT_EQ(KeyOf("F#4"), 54);
  EXPECT_EQ(KeyOf("Bb3"), 46);
  EXPECT_EQ(KeyOf("C0"), 0);
  EXPECT_EQ(KeyOf("G10"), 127);
  EXPECT_THROW(KeyOf("G#10"), std::invalid_argument);
  EXPECT_THROW(KeyOf("H4"), std::invalid_argument);
  EXPECT_THROW(KeyOf("C"), std::invalid_argument);
  EXPECT_THROW(KeyOf("Cx4"), std::invalid_argument);
}

TEST(ScoreTest, PlaysNotesChordsRestsAndLyricsInEighths) {
  Track track;
  const Tick end = Play(track, 1, 0, 4, 80, "C5:2 r:1 E4+G4:1 | D5:4", {"la ", "li ", "lo"});
  EXPECT_EQ(end, 8 * kEighth);
  EXPECT_EQ(ToHex(track.Encode()),
            "00 FF 05 03 6C 61 20 00 91 3C 50 83 60 3C 00 81 70 FF 05 03 6C 69 20 00 91 34 50 00 37 50 "
            "81 70 34 00 00 37 00 00 FF 05 02 6C 6F 00 91 3E 50 87 40 3E 00 00 FF 2F 00");
}

TEST(ScoreTest, ABarOfTheWrongLengthIsCaughtWhenTheFileIsMade) {
  Track track;
  EXPECT_THROW(Play(track, 0, 0, 8, 80, "C5:4 D5:3 | E5:8"), std::logic_error);
  EXPECT_THROW(Play(track, 0, 0, 8, 80, "C5:8 | E5:7"), std::logic_error);
  EXPECT_THROW(Play(track, 0, 0, 8, 80, "C5:8", {"one", "two"}), std::logic_error);
  EXPECT_THROW(Drum(track, 0, 8, 36, "x.x.x.x|x.x.x.x."), std::logic_error);
  EXPECT_THROW(Play(track, 0, 0, 8, 80, "C5"), std::invalid_argument);
}

TEST(ScoreTest, DrumHitsLastASixteenthOnChannelTen) {
  Track track;
  Drum(track, 0, 4, 38, "x.X.");
  EXPECT_EQ(ToHex(track.Encode()), "00 99 26 5A 78 26 00 82 68 26 78 78 26 00 00 FF 2F 00");
}

}  // namespace
}  // namespace quavert::generate

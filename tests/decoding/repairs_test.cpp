#include <gtest/gtest.h>

#include <sys/stat.h>

#include "common/file_system.h"
#include "decoding/missing_byte_repair.h"
#include "decoding_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::kEnd;
using testing::Row;
using testing::Smf;
using testing::ToHex;

// A tempo whose next event lost its status byte: 3C 64 stand where 90 3C 64 belongs.
const Bytes kMissingByte = Hex("00 FF 51 03 07 A1 20 00 3C 64 10 80 3C 00 00") + kEnd;
const Bytes kRepaired = Hex("00 FF 51 03 07 A1 20 00 90 3C 64 10 80 3C 00 00") + kEnd;
const Bytes kGood = Hex("00 90 3C 64 00") + kEnd;
const std::string kAsk = "ERROR: Probably missing byte.  Repair? ";
const std::string kTempoLine = "     0 Set tempo         : 120\r\n";

class MissingByteRepairTest : public testing::DecodingTest {};

TEST_F(MissingByteRepairTest, YesInsertsTheStatusAndTheLoadDecodesTheTrackAgain) {
  ui.Answers = {Answer::kYes};
  Load(Smf(0, 96, {kMissingByte}));
  ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{kAsk});
  EXPECT_EQ(ui.Messages[0].ButtonSet, Buttons::kYesNo);
  const Bytes repaired = Smf(0, 96, {kRepaired});
  EXPECT_EQ(ToHex(WorkCopy()), ToHex(repaired));
  EXPECT_EQ(session.file.FileSize, static_cast<std::int64_t>(repaired.size()));
  EXPECT_EQ(session.tracks.TrackStart[2], static_cast<std::int64_t>(repaired.size()) + 1);  // walked again
  EXPECT_TRUE(session.file.RepairAsked);
  EXPECT_EQ(LoadState(), kLoadNormal);
  EXPECT_EQ(Rows(), (std::vector<EventRecord>{Row(144, 60, 100, 16), Row(128, 60, 0, 0)}));
  EXPECT_EQ(Text2(), "       Track             : 1\r\n       Length            : 19\r\n" + kTempoLine);
  // The heading and the lines of the track go to the report once, although it was decoded twice.
  const std::string report = Report();
  EXPECT_EQ(report.find("Track :"), report.rfind("Track :"));
  EXPECT_EQ(ReportLinesOfTrack(1), "      0 Set tempo: 120\r\n");
  EXPECT_FALSE(FileExists(app.Join(kRepairFileName)));
}

TEST_F(MissingByteRepairTest, ATrackCutShortByTheEndOfTheFileIsRepairedAndStaysLoadable) {
  // The length field grows by the inserted byte, as it would for a whole track; the track is
  // still cut short, so the walk after the repair passes as the load's did. A claim of the most
  // three bytes hold cannot grow: it stays.
  for (const auto& [claim, grown] : {std::pair{"00 00 44", "00 00 45"}, std::pair{"FF FF FF", "FF FF FF"}}) {
    SCOPED_TRACE(claim);
    ui.ClearLog();
    ui.Answers = {Answer::kYes};
    Load(Smf(0, 96, {kMissingByte}).replace(19, 3, Hex(claim)));  // more than the file holds
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kAsk});
    const Bytes repaired = Smf(0, 96, {kRepaired}).replace(19, 3, Hex(grown));
    EXPECT_EQ(ToHex(WorkCopy()), ToHex(repaired));
    EXPECT_EQ(session.tracks.TrackStart[2], static_cast<std::int64_t>(repaired.size()) + 1);
    EXPECT_EQ(LoadState(), kLoadNormal);
    EXPECT_EQ(LastEventIndex(), 1);
  }
}

TEST_F(MissingByteRepairTest, SizeFieldCrossesSixtyFourKilobytes) {
  // 65535 data bytes before the repair, 65536 after: the third size byte changes too.
  const Bytes head = Hex("00 FF 51 03 07 A1 20 00 3C 64 00 F0 83 FF 6C");  // 65516 bytes of sysex data
  const Bytes tail = Hex("00") + kEnd;
  ui.Answers = {Answer::kYes};
  Load(Smf(0, 96, {head + Bytes(65516, '\x01') + tail}));
  const Bytes work = WorkCopy();
  EXPECT_EQ(ToHex(work.substr(14, 8)), "4D 54 72 6B 00 01 00 00");
  EXPECT_EQ(work, Smf(0, 96, {head.substr(0, 8) + Hex("90") + head.substr(8) + Bytes(65516, '\x01') + tail}));
  EXPECT_EQ(LoadState(), kLoadNormal);
  EXPECT_EQ(LastEventIndex(), 1);
  EXPECT_EQ(session.decoder.SysexEnd[0], 14 + 8 + 16 + 65516);
}

TEST_F(MissingByteRepairTest, NoLeavesTheFileAndStopsTheDecode) {
  ui.Answers = {Answer::kNo};
  const Bytes file = Smf(1, 96, {kMissingByte, kGood});
  Load(file);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kAsk});
  EXPECT_FALSE(session.file.RepairAsked);
  EXPECT_EQ(Text2(), "");
  EXPECT_FALSE(ui.IsEnabled(Control::Command1));
  EXPECT_TRUE(session.file.FileLoaded);
  // Asked again from the track chooser: the decode fails there too.
  Choose(2);
  ui.Answers = {Answer::kNo};
  Choose(1);
  EXPECT_EQ(ui.Messages.size(), 2u);
  EXPECT_EQ(LoadState(), kLoadFailed);
  EXPECT_FALSE(ui.IsEnabled(Control::Toolbar2Button4));
  EXPECT_EQ(WorkCopy(), file);
}

TEST_F(MissingByteRepairTest, RepairFromTheTrackChooserDecodesTheTrackAtOnce) {
  Load(Smf(1, 96, {kGood, kMissingByte}));
  ui.ClearLog();
  ui.Answers = {Answer::kYes};
  Choose(2);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kAsk});
  EXPECT_EQ(LoadState(), kLoadNormal);
  EXPECT_EQ(Text2Lines(), kTempoLine);
  EXPECT_EQ(LastEventIndex(), 1);
  EXPECT_TRUE(ui.IsEnabled(Control::Command1));
  EXPECT_FALSE(ui.IsEnabled(Control::Command5));
  EXPECT_EQ(ReportLinesOfTrack(2), "      0 Set tempo: 120\r\n");
  const Bytes repaired = Smf(1, 96, {kGood, kRepaired});
  EXPECT_EQ(WorkCopy(), repaired);
  EXPECT_EQ(session.tracks.TrackStart[3], static_cast<std::int64_t>(repaired.size()) + 1);
}

TEST_F(MissingByteRepairTest, OnlyOneRepairPerLoadLaterOnesAreStrayBytes) {
  ui.Answers = {Answer::kYes, Answer::kYes};
  Load(Smf(1, 96, {kMissingByte, kMissingByte}));
  ui.ClearLog();
  Choose(2);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_EQ(LoadState(), kLoadNormal);
  EXPECT_EQ(Rows(), std::vector<EventRecord>{Row(128, 60, 0, 0)});  // 3C, 64 and the delta 10 skipped
  EXPECT_EQ(WorkCopy(), Smf(1, 96, {kRepaired, kMissingByte}));
}

TEST_F(MissingByteRepairTest, OnlyTheByteWhereTheStatusBelongsAfterThisTracksTempoAsks) {
  // A zero there is skipped silently; so is a byte after a tempo with a two-byte delta.
  for (const char* bytes : {"00 FF 51 03 07 A1 20 00 00 90 3C 64 00", "00 FF 51 03 07 A1 20 81 00 3C 90 3C 64 00",
                            "00 FF 51 03 07 A1 20 00 FF 03 01 41 00 3C 90 3C 64 00"}) {
    LoadTrack(Hex(bytes) + kEnd);
    EXPECT_TRUE(ui.Messages.empty()) << bytes;
    EXPECT_EQ(LastEventIndex(), 0) << bytes;
  }
  // A stray 45 at position 31 stands 4 after the tempo of the file loaded before: no question.
  Load(Smf(0, 96, {Hex("00 FF 51 03 07 A1 20 00 90 3C 64 00 80 3C 00 00") + kEnd}));
  ASSERT_EQ(session.decoder.LastTempoPos, 27);
  const Bytes stray = Smf(0, 96, {Hex("00 FF 01 03 41 42 43 00 45 90 3C 64 00 80 3C 00 00") + kEnd});
  Load(stray);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_EQ(WorkCopy(), stray);
  EXPECT_EQ(LastEventIndex(), 1);
}

TEST_F(MissingByteRepairTest, FailedRepairLeavesTheWorkingCopyAsItWas) {
  const Bytes file = Smf(1, 96, {kGood, kMissingByte});
  Load(file);
  ASSERT_EQ(::mkdir(app.Join(kRepairFileName).c_str(), 0755), 0);  // the repaired file cannot be written
  ui.ClearLog();
  ui.Answers = {Answer::kYes};
  Choose(2);
  EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{kAsk, "Error: 75"}));
  EXPECT_EQ(WorkCopy(), file);
  EXPECT_EQ(LoadState(), kLoadFailed);
  EXPECT_EQ(session.file.FileSize, static_cast<std::int64_t>(file.size()));
}

class TimeSignatureRepairTest : public testing::DecodingTest {
 protected:
  // Loads a good track 1, then chooses `track` as track 2 with the logs cleared.
  void ChooseTrack(const Bytes& track, Answer answer) {
    Load(Smf(1, 96, {kGood, track}));
    media.Commands.clear();
    ui.ClearLog();
    ui.DoEventsCount = 0;
    ui.Answers = {answer};
    Choose(2);
  }
};

const Bytes kClocksZero = Hex("00 FF 58 04 04 02 00 08 00 90 3C 64 00") + kEnd;

TEST_F(TimeSignatureRepairTest, YesWritesTwoAndReopensThePlayerOnTheWorkingCopy) {
  ChooseTrack(kClocksZero, Answer::kYes);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"ERROR: Invalid Time Signature.  Repair? "});
  EXPECT_EQ(ui.Messages[0].ButtonSet, Buttons::kYesNo);
  Bytes patched = kClocksZero;
  patched[6] = 2;
  EXPECT_EQ(WorkCopy(), Smf(1, 96, {kGood, patched}));
  EXPECT_EQ(media.Commands, (std::vector<std::string>{
                                "Close REDevid1 notify",
                                "Open " + session.WorkCopyPath() + " type MPEGVideo Alias REDevid1 parent 4242 Style 1073741824 notify",
                                "Put REDevid1 window at 0 0 320 40 notify"}));
  EXPECT_EQ(ui.DoEventsCount, 1);
  EXPECT_EQ(session.decoder.SigClocks, 2);
  EXPECT_EQ(session.decoder.PatchKind, 0);
  EXPECT_EQ(Text2Lines(), "     0 Time Signature    : 4/4\r\n");
  EXPECT_EQ(LoadState(), kLoadNormal);
  EXPECT_EQ(LastEventIndex(), 0);
}

TEST_F(TimeSignatureRepairTest, NoGoesOnWithTheFileUnchanged) {
  ChooseTrack(kClocksZero, Answer::kNo);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"ERROR: Invalid Time Signature.  Repair? "});
  EXPECT_EQ(WorkCopy(), Smf(1, 96, {kGood, kClocksZero}));
  EXPECT_TRUE(media.Commands.empty());
  EXPECT_EQ(session.decoder.SigClocks, 0);
  EXPECT_EQ(Text2Lines(), "     0 Time Signature    : 4/4\r\n");
  EXPECT_EQ(LastEventIndex(), 0);
}

TEST_F(TimeSignatureRepairTest, ClocksByteIsFoundInLongerEventsAndInTheTimedPart) {
  struct Case {
    const char* bytes;
    std::size_t clocks;  // offset of the clocks byte in the track's data
  };
  for (const Case& c : {Case{"00 FF 58 05 04 02 00 08 00 00 90 3C 64 00", 6}, Case{"00 90 3C 64 00 FF 58 04 03 03 00 08 10", 10}}) {
    const Bytes track = Hex(c.bytes) + kEnd;
    ChooseTrack(track, Answer::kYes);
    Bytes patched = track;
    patched[c.clocks] = 2;
    EXPECT_EQ(ToHex(WorkCopy()), ToHex(Smf(1, 96, {kGood, patched}))) << c.bytes;
  }
  EXPECT_EQ(Rows().at(1), Row(88, 3, 8, 16));
}

}  // namespace
}  // namespace quavert

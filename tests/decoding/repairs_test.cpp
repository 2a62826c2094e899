#include <gtest/gtest.h>

#include <tuple>

#include "decoding_fixture.h"

namespace quavert {
namespace {

using namespace testing;
using Texts = std::vector<std::string>;

// A tempo whose next event lost its status byte: 3C 64 stand where 90 3C 64 belongs.
const Bytes kMissingByte = Hex("00 FF 51 03 07 A1 20 00 3C 64 10 80 3C 00 00") + kEnd;
const Bytes kRepaired = Hex("00 FF 51 03 07 A1 20 00 90 3C 64 10 80 3C 00 00") + kEnd;
const Bytes kGood = Hex("00 90 3C 64 00") + kEnd;
const std::string kAsk = "ERROR: Probably missing byte.  Repair? ";
const std::string kTempoLine = "     0 Set tempo         : 120\r\n";

class MissingByteRepairTest : public DecodingTest {
 protected:
  // The working copy is `file` and was walked again: its size and the start past its last of
  // `tracks` tracks follow it, and the repaired track decoded to its two rows.
  void ExpectRepaired(const Bytes& file, std::size_t tracks) {
    const auto size = static_cast<std::int64_t>(file.size());
    EXPECT_EQ(ToHex(WorkCopy()), ToHex(file));
    EXPECT_EQ(std::tuple(session.file.FileSize, session.tracks.TrackStart[tracks + 1], LoadState(), LastEventIndex()),
              std::tuple(size, size + 1, int{kLoadNormal}, 1));
  }
};

// Yes at the load inserts the status byte (the bytes are the decode step's), walks the file
// again and decodes the track again.
TEST_F(MissingByteRepairTest, YesAtTheLoadInsertsTheStatusAndDecodesTheTrackAgain) {
  ui.Answers = {Answer::kYes};
  Load(Smf(0, 96, {kMissingByte}));
  EXPECT_EQ(ui.MessageTexts(), Texts{kAsk});
  ExpectRepaired(Smf(0, 96, {kRepaired}), 1);
  EXPECT_EQ(ui.Messages[0].ButtonSet, Buttons::kYesNo);
  EXPECT_EQ(std::tuple(session.file.RepairAsked, session.file.InsertedStatusPos), std::tuple(true, 14 + 8 + 9));
  EXPECT_EQ(Rows(), (RowList{NoteRecord(144, 60, 100, 16), NoteRecord(128, 60, 0, 0)}));
  EXPECT_EQ(Text2(), "       Track             : 1\r\n       Length            : 19\r\n" + kTempoLine);
  // The heading and the lines of the track go to the report once, although it was decoded twice.
  const std::string report = Report();
  EXPECT_EQ(report.find("Track :"), report.rfind("Track :"));
  EXPECT_EQ(ReportLinesOfTrack(1), "      0 Set tempo: 120\r\n");
}

// From the track chooser: No leaves the file and stops the decode without using up the one
// repair of the load; Yes repairs and decodes the track at once; a later missing byte is then
// skipped as a stray one.
TEST_F(MissingByteRepairTest, OneRepairPerLoadFromTheTrackChooser) {
  const Bytes file = Smf(1, 96, {kGood, kMissingByte, kMissingByte, kMissingByte});
  Load(file);
  ui.Answers = {Answer::kNo, Answer::kYes};
  Choose(2);
  EXPECT_EQ(std::tuple(LoadState(), Text2(), ui.IsEnabled(Control::Command1), WorkCopy() == file),
            std::tuple(int{kLoadFailed}, "", false, true));
  Choose(3);
  ExpectRepaired(Smf(1, 96, {kGood, kMissingByte, kRepaired, kMissingByte}), 4);
  EXPECT_EQ(Text2Lines(), kTempoLine);
  EXPECT_EQ(std::pair(ui.IsEnabled(Control::Command1), ui.IsEnabled(Control::Command5)), std::pair(true, false));
  EXPECT_EQ(ReportLinesOfTrack(3), "      0 Set tempo: 120\r\n");
  Choose(4);
  EXPECT_EQ(ui.MessageTexts(), (Texts{kAsk, kAsk}));
  EXPECT_EQ(LoadState(), kLoadNormal);
  EXPECT_EQ(Rows(), RowList{NoteRecord(128, 60, 0, 0)});  // 3C, 64 and the delta 10 skipped
}

class TimeSignatureRepairTest : public DecodingTest {
 protected:
  // Loads a good track 1, then chooses `track` as track 2 with the logs cleared.
  void ChooseTrack(const Bytes& track, Answer answer) {
    Load(Smf(1, 96, {kGood, track}));
    media.Commands.clear();
    ui.ClearLog();
    ui.Answers = {answer};
    Choose(2);
  }
};

// Yes closes the player while 2 is written into the working copy's clocks byte and reopens it
// on the working copy; No leaves the player and the file alone. Where the byte stands and what is
// shown is the decode step's.
TEST_F(TimeSignatureRepairTest, YesWritesTheWorkingCopyWithThePlayerClosed) {
  const Bytes track = Hex("00 FF 58 04 04 02 00 08 00 90 3C 64 00") + kEnd;
  for (const Answer answer : {Answer::kNo, Answer::kYes}) {
    const bool yes = answer == Answer::kYes;
    Bytes patched = track;
    patched[6] = yes ? 2 : 0;
    ChooseTrack(track, answer);
    EXPECT_EQ(ui.MessageTexts(), Texts{"ERROR: Invalid Time Signature.  Repair? "});
    EXPECT_EQ(ui.Messages[0].ButtonSet, Buttons::kYesNo);
    EXPECT_EQ(ToHex(WorkCopy()), ToHex(Smf(1, 96, {kGood, patched})));
    EXPECT_EQ(media.Commands, yes ? DeviceReopened() : Texts{});
    EXPECT_EQ(LoadState(), kLoadNormal);
  }
}

}  // namespace
}  // namespace quavert

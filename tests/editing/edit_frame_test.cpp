#include <gtest/gtest.h>

#include <filesystem>

#include "editing/edit_frame.h"
#include "editing_fixture.h"
#include "support/midi_bytes.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::ReadFileBytes;
using testing::Smf;

// One track: a tempo of 120 beats per minute, a note, the end.
const Bytes kFile = Smf(0, 96, {Hex("00 FF 51 03 07 A1 20  00 90 3C 64  00 FF 2F 00")});
// 14 header bytes, 8 of the track's chunk header, delta, FF, 51, 03: the tempo's data.
constexpr std::int64_t kTempoPos = 14 + 8 + 4 + 1;

class EditFrameTest : public testing::EditingTest {
 protected:
  EditFrameTest() {
    testing::WriteFileBytes(session.WorkCopyPath(), kFile);
    session.file.DeltaTicks = 96;
    session.decoder.TempoBpm = 120;
    session.decoder.TempoPos = kTempoPos;
    ui.Texts[Control::Text5] = "96";
    ui.Texts[Control::Text6] = "120";
  }

  // Presses "Save" with these texts in the two boxes.
  void Save(std::string_view tempo, std::string_view ticks) {
    ui.Texts[Control::Text6] = std::string(tempo);
    ui.Texts[Control::Text5] = std::string(ticks);
    ui.ClearLog();
    media.Commands.clear();
    Command2Click(session);
  }
  Bytes WorkCopy() const { return ReadFileBytes(session.WorkCopyPath()); }
  Bytes TempoBytes() const { return WorkCopy().substr(kTempoPos - 1, 3); }
  Bytes DivisionBytes() const { return WorkCopy().substr(12, 2); }

  // The device is closed before the working copy is touched and opened on it again afterwards.
  void ExpectDeviceReopened() {
    const std::string path = session.WorkCopyPath();
    EXPECT_EQ(media.Commands, (std::vector<std::string>{
                                  "Close REDevid1 notify",
                                  "Open " + path + " type MPEGVideo Alias REDevid1 parent 4242 Style 1073741824 notify",
                                  "Put REDevid1 window at 0 0 320 40 notify",
                              }));
    EXPECT_EQ(ui.DoEventsCount, 1);
    EXPECT_FALSE(ui.Busy);
    EXPECT_EQ(ui.Calls.front(), "SetBusy(1)");
    EXPECT_EQ(ui.Calls.back(), "SetBusy(0)");
  }
};

TEST_F(EditFrameTest, WritesTempoAndTicksIntoTheWorkingCopy) {
  Save("100", "480");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Data saved!"});
  EXPECT_EQ(TempoBytes(), Hex("09 27 C0"));
  EXPECT_EQ(DivisionBytes(), Hex("01 E0"));
  EXPECT_EQ(session.decoder.TempoBpm, 100);
  EXPECT_EQ(session.file.DeltaTicks, 480);
  EXPECT_EQ(session.decoder.PatchKind, 0);
  EXPECT_EQ(WorkCopy().size(), kFile.size());
  // Nothing but the five patched bytes changed.
  Bytes expected = kFile;
  expected.replace(12, 2, Hex("01 E0"));
  expected.replace(kTempoPos - 1, 3, Hex("09 27 C0"));
  EXPECT_EQ(WorkCopy(), expected);
  ExpectDeviceReopened();
}

TEST_F(EditFrameTest, TempoLimitsAre50And500) {
  Save("50", "96");
  EXPECT_EQ(TempoBytes(), Hex("12 4F 80"));
  Save("500", "96");
  EXPECT_EQ(TempoBytes(), Hex("01 D4 C0"));
  Save("120abc", "96");
  EXPECT_EQ(TempoBytes(), Hex("07 A1 20"));
  EXPECT_EQ(session.decoder.TempoBpm, 120);
  for (const char* text : {"49.9", "500.1", "", "fast", "1e999"}) {
    SCOPED_TRACE(text);
    Save(text, "96");
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"Tempo must be between 50 and 500", "Data saved!"}));
    EXPECT_EQ(TempoBytes(), Hex("07 A1 20"));
    EXPECT_EQ(session.decoder.TempoBpm, 120);
  }
}

TEST_F(EditFrameTest, TicksMustRoundTo1Through32767) {
  Save("120", "96.5");
  EXPECT_EQ(session.file.DeltaTicks, 96);
  EXPECT_EQ(DivisionBytes(), Hex("00 60"));
  Save("120", "32767");
  EXPECT_EQ(DivisionBytes(), Hex("7F FF"));
  Save("120", "1");
  EXPECT_EQ(DivisionBytes(), Hex("00 01"));
  for (const char* text : {"0", "-5", "", "0.5", "32768", "32767.5", "999999", "1e999"}) {
    SCOPED_TRACE(text);
    Save("120", text);
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"Delta must be between 1 and 32767", "Data saved!"}));
    EXPECT_EQ(DivisionBytes(), Hex("00 01"));
    EXPECT_EQ(session.file.DeltaTicks, 1);
  }
}

TEST_F(EditFrameTest, WithoutAFirstTempoOnlyTheTicksCount) {
  session.decoder.TempoBpm = -1;
  session.decoder.TempoPos = -1;
  Save("not looked at", "192");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Data saved!"});
  EXPECT_EQ(DivisionBytes(), Hex("00 C0"));
  EXPECT_EQ(TempoBytes(), Hex("07 A1 20"));
  ExpectDeviceReopened();
}

TEST_F(EditFrameTest, NothingWrittenMeansNoDataSavedMessage) {
  Save("10", "0");
  EXPECT_EQ(ui.MessageTexts(),
            (std::vector<std::string>{"Tempo must be between 50 and 500", "Delta must be between 1 and 32767"}));
  EXPECT_EQ(WorkCopy(), kFile);
  ExpectDeviceReopened();

  session.decoder.TempoBpm = -1;
  Save("100", "40000");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Delta must be between 1 and 32767"});
  EXPECT_EQ(WorkCopy(), kFile);
}

TEST_F(EditFrameTest, WorkingCopyThatCannotBeWrittenKeepsEverything) {
  std::filesystem::remove(session.WorkCopyPath());
  Save("100", "480");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"ERROR: Data not saved: " + session.WorkCopyPath() +
                                                        " (No such file or directory)"});
  EXPECT_FALSE(std::filesystem::exists(session.WorkCopyPath()));
  EXPECT_EQ(session.decoder.TempoBpm, 120);
  EXPECT_EQ(session.file.DeltaTicks, 96);
  EXPECT_EQ(session.decoder.PatchKind, 0);
  ExpectDeviceReopened();

  std::filesystem::create_directory(session.WorkCopyPath());
  Save("100", "480");
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text.rfind("ERROR: Data not saved: ", 0), 0u);
  EXPECT_EQ(session.file.DeltaTicks, 96);
}

}  // namespace
}  // namespace quavert

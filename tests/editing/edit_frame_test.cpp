#include <gtest/gtest.h>

#include "editing/edit_frame.h"
#include "editing_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;

// A tempo of 120 beats per minute, a note, the end; the tempo's data follows the 14 header
// bytes, the 8 of the chunk header and 00 FF 51 03.
const Bytes kFile = testing::Smf(0, 96, {Hex("00 FF 51 03 07 A1 20  00 90 3C 64  00 FF 2F 00")});
constexpr std::size_t kTempoAt = 14 + 8 + 4;

class EditFrameTest : public testing::EditingTest {
 protected:
  EditFrameTest() {
    testing::WriteFileBytes(session.WorkCopyPath(), kFile);
    session.file.DeltaTicks = 96;
    session.decoder.TempoBpm = 120;
    session.decoder.TempoPos = kTempoAt + 1;
  }
  // Presses "Save" with these texts in "Set Tempo:" and "Delta Ticks:"; the device is closed
  // before the working copy is touched and opened on it again afterwards, under the busy cursor.
  void Save(std::string_view tempo, std::string_view ticks) {
    ui.Texts[Control::Text6] = std::string(tempo);
    ui.Texts[Control::Text5] = std::string(ticks);
    ui.ClearLog();
    ui.DoEventsCount = 0;
    media.Commands.clear();
    Command2Click(session);
    EXPECT_EQ(media.Commands, (std::vector<std::string>{"Close REDevid1 notify",
                                                        "Open " + session.WorkCopyPath() +
                                                            " type MPEGVideo Alias REDevid1 parent 4242 Style 1073741824 notify",
                                                        "Put REDevid1 window at 0 0 320 40 notify"}));
    EXPECT_EQ(ui.DoEventsCount, 1);
    EXPECT_EQ(ui.Calls.front() + ui.Calls.back(), "SetBusy(1)SetBusy(0)");
  }
  Bytes WorkCopy() const { return testing::ReadFileBytes(session.WorkCopyPath()); }
};

TEST_F(EditFrameTest, EachValueIsCheckedOnItsOwnAndWrittenIntoTheWorkingCopy) {
  // tempo_bytes, ticks_bytes: nullptr when that value is rejected and keeps its bytes.
  const struct { const char* tempo; const char* ticks; const char* tempo_bytes; const char* ticks_bytes; } saves[] = {
      {"100", "480", "09 27 C0", "01 E0"},  {"50", "96.5", "12 4F 80", "00 60"},  // 96.5 rounds half to even
      {"500", "32767", "01 D4 C0", "7F FF"}, {"49.9", "0", nullptr, nullptr},     {"500.1", "-5", nullptr, nullptr},
      {"1e999", "0.5", nullptr, nullptr},  // 0.5 rounds to 0
      {"", "32767.5", nullptr, nullptr},    {"120abc", "1", "07 A1 20", "00 01"}, {"120", "32768", "07 A1 20", nullptr},
      {"100", "1e999", "09 27 C0", nullptr},
  };
  for (const auto& s : saves) {
    SCOPED_TRACE(std::string(s.tempo) + " / " + s.ticks);
    const Bytes before = WorkCopy();
    Save(s.tempo, s.ticks);
    std::vector<std::string> messages;
    if (!s.tempo_bytes) messages.push_back("Tempo must be between 50 and 500");
    if (!s.ticks_bytes) messages.push_back("Delta must be between 1 and 32767");
    if (s.tempo_bytes || s.ticks_bytes) messages.push_back("Data saved!");
    EXPECT_EQ(ui.MessageTexts(), messages);
    EXPECT_EQ(WorkCopy().substr(kTempoAt, 3), s.tempo_bytes ? Hex(s.tempo_bytes) : before.substr(kTempoAt, 3));
    EXPECT_EQ(WorkCopy().substr(12, 2), s.ticks_bytes ? Hex(s.ticks_bytes) : before.substr(12, 2));
  }
  Bytes expected = kFile;
  expected.replace(12, 2, Hex("00 01"));
  expected.replace(kTempoAt, 3, Hex("09 27 C0"));
  EXPECT_EQ(WorkCopy(), expected);
  EXPECT_EQ(session.decoder.TempoBpm, 100);
  EXPECT_EQ(session.file.DeltaTicks, 1);
  EXPECT_EQ(session.decoder.PatchKind, 0);
}

TEST_F(EditFrameTest, WithoutAFirstTempoOnlyTheTicksAreLookedAt) {
  session.decoder.TempoBpm = -1;
  session.decoder.TempoPos = -1;
  Save("not a tempo", "192");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Data saved!"});
  Bytes expected = kFile;
  EXPECT_EQ(WorkCopy(), expected.replace(12, 2, Hex("00 C0")));
}

// A copy too short for the tempo's bytes: nothing is written, not even the division.
TEST_F(EditFrameTest, WorkingCopyThatCannotBeWrittenKeepsEverything) {
  const Bytes cut = kFile.substr(0, kTempoAt);
  testing::WriteFileBytes(session.WorkCopyPath(), cut);
  Save("100", "480");
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_TRUE(ui.Messages[0].Text.starts_with("ERROR: Data not saved: " + session.WorkCopyPath()));
  EXPECT_EQ(WorkCopy(), cut);
  EXPECT_EQ(std::tuple(session.decoder.TempoBpm, session.file.DeltaTicks, session.decoder.PatchKind), std::tuple(120, 96, 0));
}

}  // namespace
}  // namespace quavert

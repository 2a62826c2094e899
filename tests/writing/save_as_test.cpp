#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "writing/save_as.h"
#include "writing_fixture.h"

namespace quavert {
namespace {

using testing::Hex;
using testing::ReadFileBytes;

class SaveAsTest : public testing::WritingTest {
 protected:
  // Loads a song, saves its track unedited (so the working copy differs from the user's file)
  // and clears the records of the window and the device.
  void LoadAndSave() {
    Load(testing::Smf(0, 96, {Hex("00 90 3C 64 00 3C 00 00") + testing::kEndOfTrack}));
    List();
    Save();
    ui.ClearLog();
    media.Commands.clear();
  }
  // Saves with the dialog answering `path`.
  void SaveAsAnswering(const std::string& path) {
    ui.DialogChoices.push_back({path, NameOf(path)});
    SaveAs(session);
  }
  // The names in the user's folder.
  std::vector<std::string> UserFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(user.Path())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(SaveAsTest, CancelChangesNothingANewNameGetsTheWorkingCopyAsItIsOnDisk) {
  LoadAndSave();
  SaveAs(session);
  const FileDialogSetup dialog{CurrentFolder(), "Save MIDI file", "MIDI files (*.mid)|*.mid|All files (*.*)|*.*", 4, ""};
  EXPECT_EQ(ui.SaveDialogs, std::vector<FileDialogSetup>{dialog});
  const testing::Bytes saved = WorkCopy();
  ASSERT_NE(saved, ReadFileBytes(user.Join("SONG.MID")));
  Row(0).Data2 = 1;  // an edit not yet written with "Save Track" stays out of the copy
  SaveAsAnswering(user.Join("copy"));  // no extension: used as typed
  EXPECT_EQ(ReadFileBytes(user.Join("copy")), saved);
  EXPECT_EQ(ui.Calls, (std::vector<std::string>{"ShowSaveDialog", "ShowSaveDialog", "SetBusy(1)", "SetBusy(0)"}));
  EXPECT_EQ(session.file.MidiPath, user.Join("SONG.MID"));
  EXPECT_TRUE(media.Commands.empty());
  EXPECT_EQ(UserFolder(), (std::vector<std::string>{"SONG.MID", "copy"}));
}

// Without a working copy the message names the file and nothing is written (other failures:
// machine_faults_test); an existing file is replaced only after "Yes".
TEST_F(SaveAsTest, AnExistingFileIsReplacedOnlyAfterYesAndNothingIsWrittenWithoutAWorkingCopy) {
  const std::string old_file = user.Join("OLD.MID");
  testing::WriteFileBytes(old_file, "old bytes");
  ui.Answers.push_back(Answer::kYes);
  SaveAsAnswering(old_file);  // nothing loaded
  EXPECT_EQ(ui.MessageTexts().back(), "ERROR: File not saved\r\n" + old_file + "\r\nNo MIDI file is loaded.");
  EXPECT_EQ(ReadFileBytes(old_file), "old bytes");
  LoadAndSave();
  SaveAsAnswering(old_file);  // answered No
  EXPECT_EQ(ReadFileBytes(old_file), "old bytes");
  ui.Answers.push_back(Answer::kYes);
  SaveAsAnswering(old_file);
  EXPECT_EQ(ReadFileBytes(old_file), WorkCopy());
  const std::string question = "OLD.MID already exists, overwrite?";
  EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{question, question}));
  EXPECT_EQ(ui.Messages[0], (RecordingToolkit::Message{question, Buttons::kYesNo, Icon::kQuestion, "Confirmation", Answer::kNo}));
  EXPECT_EQ(UserFolder(), (std::vector<std::string>{"OLD.MID", "SONG.MID"}));
  EXPECT_FALSE(ui.Busy);
}

}  // namespace
}  // namespace quavert

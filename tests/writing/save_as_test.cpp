#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "writing/save_as.h"
#include "writing_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::kEndOfTrack;
using testing::ReadFileBytes;
using testing::Smf;
using testing::WriteFileBytes;
using Message = RecordingToolkit::Message;

const Bytes kSong = Smf(0, 96, {Hex("00 90 3C 64 00 3C 00 00") + kEndOfTrack});

class SaveAsTest : public testing::WritingTest {
 protected:
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

TEST_F(SaveAsTest, TheDialogIsSetUpAndCancelChangesNothing) {
  Load(kSong);
  ui.ClearLog();
  media.Commands.clear();
  SaveAs(session);
  ASSERT_EQ(ui.SaveDialogs.size(), 1u);
  FileDialogSetup expected;
  expected.InitDir = CurrentFolder();
  expected.DialogTitle = "Save MIDI file";
  expected.Filter = "MIDI files (*.mid)|*.mid|All files (*.*)|*.*";
  expected.Flags = 4;
  expected.FileName = "";
  EXPECT_EQ(ui.SaveDialogs[0], expected);
  EXPECT_EQ(ui.Calls, std::vector<std::string>{"ShowSaveDialog"});
  EXPECT_EQ(UserFolder(), std::vector<std::string>{"SONG.MID"});
  EXPECT_TRUE(media.Commands.empty());
}

TEST_F(SaveAsTest, ANewNameGetsTheWorkingCopyAsItIsOnDisk) {
  Load(kSong);
  List();
  Save();
  const Bytes saved = WorkCopy();
  ASSERT_NE(saved, kSong);
  // An edit not yet written with "Save Track" stays out of the copy.
  Row(0).Data2 = 1;
  const std::string midi_path = session.file.MidiPath;
  ui.ClearLog();
  media.Commands.clear();
  SaveAsAnswering(user.Join("copy"));  // no extension: used as typed
  EXPECT_EQ(ReadFileBytes(user.Join("copy")), saved);
  EXPECT_EQ(ui.Calls, (std::vector<std::string>{"ShowSaveDialog", "SetBusy(1)", "SetBusy(0)"}));
  EXPECT_EQ(session.file.MidiPath, midi_path);
  EXPECT_TRUE(media.Commands.empty());
  EXPECT_EQ(UserFolder(), (std::vector<std::string>{"SONG.MID", "copy"}));
}

TEST_F(SaveAsTest, AnExistingFileIsReplacedOnlyAfterYes) {
  Load(kSong);
  List();
  Save();
  const std::string old_file = user.Join("OLD.MID");
  WriteFileBytes(old_file, "old bytes");
  ui.ClearLog();
  const Message question{"OLD.MID already exists, overwrite?", Buttons::kYesNo, Icon::kQuestion, "Confirmation",
                         Answer::kNo};

  SaveAsAnswering(old_file);
  EXPECT_EQ(ui.Messages, std::vector<Message>{question});
  EXPECT_EQ(ReadFileBytes(old_file), "old bytes");

  ui.Messages.clear();
  ui.Answers.push_back(Answer::kYes);
  SaveAsAnswering(old_file);
  Message yes = question;
  yes.Given = Answer::kYes;
  EXPECT_EQ(ui.Messages, std::vector<Message>{yes});
  EXPECT_EQ(ReadFileBytes(old_file), WorkCopy());
  EXPECT_EQ(UserFolder(), (std::vector<std::string>{"OLD.MID", "SONG.MID"}));
}

// A folder where the file should go (a missing folder and a full disk: machine_faults_test).
TEST_F(SaveAsTest, AFailedCopyNamesTheFileAndWritesNothing) {
  Load(kSong);
  const std::string folder = user.Join("folder.mid");
  std::filesystem::create_directory(folder);
  SaveAsAnswering(folder);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"ERROR: File not saved\r\n" + folder + "\r\nIs a directory"});
  EXPECT_EQ(UserFolder(), (std::vector<std::string>{"SONG.MID", "folder.mid"}));
  EXPECT_TRUE(std::filesystem::is_empty(folder));
  EXPECT_FALSE(ui.Busy);
}

TEST_F(SaveAsTest, WithoutAWorkingCopyTheDestinationStaysAsItWas) {
  const std::string old_file = user.Join("OLD.MID");
  WriteFileBytes(old_file, "old bytes");
  ui.Answers.push_back(Answer::kYes);
  SaveAsAnswering(old_file);
  EXPECT_EQ(ui.MessageTexts().back(), "ERROR: File not saved\r\n" + old_file + "\r\nNo MIDI file is loaded.");
  EXPECT_EQ(ReadFileBytes(old_file), "old bytes");
  EXPECT_EQ(UserFolder(), std::vector<std::string>{"OLD.MID"});
}

}  // namespace
}  // namespace quavert

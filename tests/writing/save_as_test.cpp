#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "commands/save_as.h"
#include "common/file_system.h"
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
  const FileDialogSetup dialog{user.Path() + "/", "Save MIDI file",  // the file's folder
                               "MIDI files (*.mid;*.midi;*.rmi)|*.mid;*.midi;*.rmi|All files (*.*)|*.*", 4, ""};
  EXPECT_EQ(ui.SaveDialogs, std::vector<FileDialogSetup>{dialog});
  const testing::Bytes saved = WorkCopy();
  ASSERT_NE(saved, ReadFileBytes(user.Join("SONG.MID")));
  EditRow(0, [](EventRecord& r) { r.Data2 = 1; });  // an edit not yet written with "Save Track" stays out of the copy
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

// An RMID file opened, edited and saved under a name ending in .rmi keeps every other chunk of the
// original byte for byte around the new data chunk, and opens again as what was saved; under
// another name the MIDI file is saved plain. A plain MIDI file saved as .rmi gets a data chunk only.
TEST_F(SaveAsTest, AnRmidFileIsSavedAsRmidAgainWithItsOtherChunks) {
  const testing::Bytes before = "DISP" + Hex("05 00 00 00 01 00 00 00 41") + Hex("00");  // odd: padded
  const testing::Bytes after = "LIST" + Hex("10 00 00 00") + "INFOINAM" + Hex("04 00 00 00") + "Tune";
  // An RMID file with a chunk in front of its data chunk: the RIFF length grows by it.
  auto with_before = [&before](testing::Bytes rmid) {
    rmid.insert(12, before);
    const std::size_t length = rmid.size() - 8;
    for (std::size_t k = 0; k < 4; ++k) rmid[4 + k] = static_cast<char>(length >> (8 * k) & 0xFF);
    return rmid;
  };
  const testing::Bytes midi =
      testing::Smf(0, 96, {Hex("00 FF 01 01 41 00 90 3C 64 00 3C 00 00") + testing::kEndOfTrack});
  const testing::Bytes original = with_before(testing::Rmid(midi, after));
  OpenMidiFile(session, UserFile("song.rmi", original));
  List();
  EditRow(0, [](EventRecord& r) { r.Data2 = 90; });
  Save();
  const testing::Bytes edited = WorkCopy();
  ASSERT_NE(edited, midi);
  ASSERT_EQ(edited.size() % 2, 1u) << "the data chunk needs its pad byte";
  ui.ClearLog();

  ui.Answers.push_back(Answer::kYes);
  SaveAsAnswering(user.Join("song.rmi"));  // over the file it came from
  SaveAsAnswering(user.Join("plain.mid"));
  EXPECT_EQ(ReadFileBytes(user.Join("plain.mid")), edited);
  EXPECT_EQ(ReadFileBytes(user.Join("song.rmi")), with_before(testing::Rmid(edited, after)));
  EXPECT_EQ(UserFolder(), (std::vector<std::string>{"plain.mid", "song.rmi"}));
  EXPECT_FALSE(std::filesystem::exists(app.Join("rmid.tmp")));

  OpenMidiFile(session, user.Join("song.rmi"));
  EXPECT_EQ(WorkCopy(), edited);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"song.rmi already exists, overwrite?"});

  LoadAndSave();
  SaveAsAnswering(user.Join("new.RMI"));
  EXPECT_EQ(ReadFileBytes(user.Join("new.RMI")), testing::Rmid(WorkCopy()));
}

}  // namespace
}  // namespace quavert

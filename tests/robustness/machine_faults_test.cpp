#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "decoding/records.h"
#include "decoding/track_decoder.h"
#include "editing/cell_edit.h"
#include "editing/edit_frame.h"
#include "editing/event_list.h"
#include "editing/genmidi.h"
#include "loading/load_driver.h"
#include "writing/save_as.h"
#include "writing/save_track.h"
#include "robustness/child_process.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::ChildLimits;
using testing::ChildResult;
using testing::Hex;
using testing::RunInChild;
using testing::Smf;

namespace fs = std::filesystem;

const Bytes kEnd = Hex("00 FF 2F 00");
const Bytes kNotes = Hex("00 90 3C 64 60 80 3C 00");

// A track of `pairs` notes on and off: 2 x `pairs` event rows.
Bytes NoteTrack(int pairs) {
  Bytes data;
  for (int i = 0; i < pairs; ++i) data += kNotes;
  return data + kEnd;
}

// What a user sees after each step: the messages since the last look, and which commands work.
class MachineFaultTest : public testing::SessionTest {
 protected:
  void Look(std::vector<std::string>& lines) {
    for (const std::string& text : ui.MessageTexts()) lines.push_back("message: " + text);
    lines.push_back(std::string("loaded ") + (session.file.FileLoaded ? "1" : "0") + ", commands " +
                    (ui.IsEnabled(Control::mnuSave) ? "1" : "0") + ", notes " +
                    (ui.IsEnabled(Control::Command1) ? "1" : "0") + ", items " + std::to_string(ui.Items.size()));
    ui.ClearLog();
  }

  // Lets an unprivileged child into the test's folders: it may read everything, and write only
  // where the test hands a folder over to it.
  void OpenFoldersToEveryone() {
    for (const std::string& folder : {app.Path(), user.Path()}) ::chmod(folder.c_str(), 0755);
    ::chmod(app.Join("logs").c_str(), 0755);
  }
  static void HandOver(const std::string& path) {
    if (::geteuid() == 0) {
      ASSERT_EQ(::chown(path.c_str(), testing::kUnprivilegedId, testing::kUnprivilegedId), 0);
    }
  }

  static void ExpectEnded(const ChildResult& result) {
    EXPECT_TRUE(result.exited) << "the child ended by signal " << result.signal;
    EXPECT_EQ(result.exit_code, 0);
  }
};

// A disk that fills while the working copy is made: the load fails with the error, the user's
// file is untouched, and once there is room again the same file loads.
TEST_F(MachineFaultTest, AFullDiskStopsTheLoadAndTheNextLoadWorks) {
  const Bytes file = Smf(0, 96, {NoteTrack(300)});
  ASSERT_GT(file.size(), 2000u);
  const std::string path = UserFile("BIG.MID", file);
  const ChildResult result = RunInChild({.file_size_limit = 2000}, [&] {
    std::vector<std::string> lines;
    OpenMidiFile(session, path);
    Look(lines);
    testing::LiftFileSizeLimit();
    OpenMidiFile(session, path);
    Look(lines);
    return lines;
  });
  ExpectEnded(result);
  EXPECT_EQ(result.lines, (std::vector<std::string>{"message: Error: 61", "loaded 0, commands 0, notes 0, items 0",
                                                    "loaded 1, commands 1, notes 1, items 0"}));
  EXPECT_EQ(testing::ReadFileBytes(path), file);
}

// notes.dat cannot grow past its first block: the decode stops, the file stays loaded, and the
// track decodes when it is chosen again with room on the disk. data.dat likewise stops the list.
TEST_F(MachineFaultTest, AFullDiskStopsTheDecodeOrTheListAndTheProgramGoesOn) {
  const Bytes file = Smf(0, 96, {NoteTrack(75)});  // 150 rows: 200 records of notes.dat
  const std::string path = UserFile("SONG.MID", file);
  const std::int64_t notes_size = 200 * kEventRecordLength;
  const std::int64_t data_size = 200 * kListRowLength;

  ChildResult result = RunInChild({.file_size_limit = notes_size - 100}, [&] {
    std::vector<std::string> lines;
    OpenMidiFile(session, path);
    Look(lines);
    testing::LiftFileSizeLimit();
    Combo1Click(session, 0);
    Look(lines);
    Command1Click(session);
    Look(lines);
    return lines;
  });
  ExpectEnded(result);
  EXPECT_EQ(result.lines, (std::vector<std::string>{"message: Error: 61", "loaded 1, commands 0, notes 0, items 0",
                                                    "loaded 1, commands 1, notes 1, items 0",
                                                    "loaded 1, commands 1, notes 1, items 150"}));

  result = RunInChild({.file_size_limit = (notes_size + data_size) / 2}, [&] {
    std::vector<std::string> lines;
    OpenMidiFile(session, path);
    Look(lines);
    Command1Click(session);
    lines.push_back(std::string("save track ") + (ui.IsEnabled(Control::Command5) ? "1" : "0"));
    Look(lines);
    testing::LiftFileSizeLimit();
    Command1Click(session);
    lines.push_back(std::string("save track ") + (ui.IsEnabled(Control::Command5) ? "1" : "0"));
    Look(lines);
    return lines;
  });
  ExpectEnded(result);
  EXPECT_EQ(result.lines, (std::vector<std::string>{"loaded 1, commands 1, notes 1, items 0", "save track 0",
                                                    "message: Error: 61", "loaded 1, commands 1, notes 1, items 0",
                                                    "save track 1", "loaded 1, commands 1, notes 1, items 150"}));
  EXPECT_EQ(testing::ReadFileBytes(path), file);
}

// An application folder the user may not write to: no working copy can be made, so the load
// fails with the access error, every time, and nothing is written anywhere.
TEST_F(MachineFaultTest, AReadOnlyApplicationFolderFailsEveryLoadCleanly) {
  const Bytes file = Smf(0, 96, {NoteTrack(2)});
  const std::string path = UserFile("SONG.MID", file);
  OpenFoldersToEveryone();
  ::chmod(app.Path().c_str(), 0555);
  const ChildResult result = RunInChild({.unprivileged = true}, [&] {
    std::vector<std::string> lines;
    OpenMidiFile(session, path);
    Look(lines);
    OpenMidiFile(session, path);
    Look(lines);
    return lines;
  });
  ::chmod(app.Path().c_str(), 0755);
  ExpectEnded(result);
  EXPECT_EQ(result.lines, (std::vector<std::string>{"message: Error: 75", "loaded 0, commands 0, notes 0, items 0",
                                                    "message: Error: 75", "loaded 0, commands 0, notes 0, items 0"}));
  EXPECT_FALSE(FileExists(app.Join(kWorkCopyName)));
  EXPECT_EQ(testing::ReadFileBytes(path), file);
}

// Without genmidi.ini names read "unknown", the list is built and edits are stored.
TEST_F(MachineFaultTest, WithoutGenmidiNamesAreUnknownAndEverythingWorks) {
  fs::remove(app.Join(kGenmidiName));
  OpenMidiFile(session, UserFile("SONG.MID", Smf(0, 96, {Hex("00 C0 05 00 99 24 64 00 B0 07 64") + kEnd})));
  Command1Click(session);
  ASSERT_EQ(ui.Items.size(), 3u);
  EXPECT_EQ(ui.Items[0].Sub[3], "Instrument: unknown");
  EXPECT_EQ(ui.Items[1].Sub[3], "On  - unknown");
  EXPECT_EQ(ui.Items[2].Sub[3], "Controller: volume");
  CellEditDone(session, 1, 1, "5", "10");
  EXPECT_EQ(session.buffers.EventBuffer[0].Data1, 10);
  EXPECT_EQ(ui.Items[0].Sub[3], "Instrument: unknown");
  CellEditDone(session, 2, 1, "36", "40");
  EXPECT_EQ(session.buffers.EventBuffer[1].Data1, 40);
  EXPECT_TRUE(ui.Messages.empty());
}

// The logs folder removed after start-up: one message names the report, the load goes on and
// the list is built; with the folder back, the next load has its report again.
TEST_F(MachineFaultTest, ALogsFolderRemovedAfterStartUpCostsOnlyTheReport) {
  fs::remove_all(app.Join("logs"));
  const std::string path = UserFile("SONG.MID", Smf(0, 96, {NoteTrack(2)}));
  OpenMidiFile(session, path);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"ERROR: Report not created: " + app.Join("logs/song.txt") +
                                                         " (No such file or directory)"});
  EXPECT_TRUE(ui.IsEnabled(Control::Command1));
  Command1Click(session);
  EXPECT_EQ(ui.Items.size(), 4u);
  EXPECT_EQ(ui.MessageTexts().size(), 1u);

  ui.ClearLog();
  fs::create_directory(app.Join("logs"));
  OpenMidiFile(session, path);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_TRUE(FileExists(app.Join("logs/song.txt")));
}

// The working copy deleted behind the program's back: the Edit frame says it could not write and
// creates nothing, choosing a track fails with the error, and the next file loads.
TEST_F(MachineFaultTest, AWorkingCopyDeletedBehindTheProgramsBack) {
  OpenMidiFile(session, UserFile("SONG.MID", Smf(1, 96, {NoteTrack(2), NoteTrack(3)})));
  DeleteFile(app.Join(kWorkCopyName));
  ui.Texts[Control::Text5] = "120";
  Command2Click(session);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"ERROR: Data not saved: " + app.Join(kWorkCopyName) +
                                                         " (File not found)"});
  EXPECT_FALSE(FileExists(app.Join(kWorkCopyName)));
  EXPECT_EQ(session.file.DeltaTicks, 96);
  std::vector<std::string> lines;
  ui.ClearLog();
  Combo1Click(session, 1);
  Look(lines);
  OpenMidiFile(session, UserFile("OTHER.MID", Smf(0, 96, {NoteTrack(1)})));
  Look(lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"message: Error: 53", "loaded 1, commands 0, notes 0, items 0",
                                             "loaded 1, commands 1, notes 1, items 0"}));
}

// Cut short behind the program's back, the working copy's track ends early: the decode says so.
TEST_F(MachineFaultTest, AWorkingCopyCutShortBehindTheProgramsBack) {
  const Bytes file = Smf(1, 96, {NoteTrack(2), NoteTrack(3)});
  OpenMidiFile(session, UserFile("SONG.MID", file));
  testing::WriteFileBytes(app.Join(kWorkCopyName), file.substr(0, 50));
  std::vector<std::string> lines;
  Combo1Click(session, 1);
  Look(lines);
  Combo1Click(session, 0);
  Look(lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"message: ERROR: Unexpected end of track",
                                             "loaded 1, commands 0, notes 0, items 0",
                                             "loaded 1, commands 1, notes 1, items 0"}));
}

// Made unreadable behind the program's back, the working copy cannot be decoded; readable again,
// it can. Run as a user, since root reads any file.
TEST_F(MachineFaultTest, AWorkingCopyMadeUnreadableBehindTheProgramsBack) {
  const std::string path = UserFile("SONG.MID", Smf(1, 96, {NoteTrack(2), NoteTrack(3)}));
  OpenFoldersToEveryone();
  HandOver(app.Path());
  HandOver(app.Join("logs"));
  const ChildResult result = RunInChild({.unprivileged = true}, [&] {
    std::vector<std::string> lines;
    OpenMidiFile(session, path);
    Look(lines);
    ::chmod(app.Join(kWorkCopyName).c_str(), 0);
    Combo1Click(session, 1);
    Look(lines);
    ::chmod(app.Join(kWorkCopyName).c_str(), 0644);
    Combo1Click(session, 1);
    Look(lines);
    return lines;
  });
  ExpectEnded(result);
  EXPECT_EQ(result.lines, (std::vector<std::string>{"loaded 1, commands 1, notes 1, items 0", "message: Error: 75",
                                                    "loaded 1, commands 0, notes 0, items 0",
                                                    "loaded 1, commands 1, notes 1, items 0"}));
}


// A disk that fills while "Save Track" writes: the save says why, the working copy is as it was
// and nothing is left beside it; with room again, the same edit saves.
TEST_F(MachineFaultTest, AFullDiskStopsSaveTrackAndLeavesTheWorkingCopy) {
  const Bytes file = Smf(0, 96, {NoteTrack(100)});
  const std::string path = UserFile("SONG.MID", file);
  OpenMidiFile(session, path);
  Command1Click(session);
  CellEditDone(session, 1, 3, "0", "999999");  // the track grows by two bytes
  const ChildResult result = RunInChild({.file_size_limit = static_cast<std::int64_t>(file.size())}, [&] {
    std::vector<std::string> lines;
    SaveTrackCommand(session);
    Look(lines);
    lines.push_back(testing::ReadFileBytes(app.Join(kWorkCopyName)) == file ? "working copy as it was"
                                                                            : "working copy changed");
    lines.push_back(FileExists(app.Join("dffhedc")) ? "dffhedc left" : "nothing left");
    testing::LiftFileSizeLimit();
    SaveTrackCommand(session);
    Look(lines);
    lines.push_back(std::to_string(FileLength(app.Join(kWorkCopyName)) - static_cast<std::int64_t>(file.size())));
    return lines;
  });
  ExpectEnded(result);
  EXPECT_EQ(result.lines,
            (std::vector<std::string>{"message: ERROR: Track not saved\r\nWriting " + app.Join("dffhedc") +
                                          ": File too large",
                                      "loaded 1, commands 1, notes 1, items 200", "working copy as it was",
                                      "nothing left", "message: Data saved!",
                                      "loaded 1, commands 1, notes 1, items 200", "2"}));
}

// "Save Midi..." onto a full disk, onto a file that is not there to replace (/dev/full takes no
// bytes), into a folder that does not exist: each says which file and why; the destination is
// as it was and nothing is left beside it.
TEST_F(MachineFaultTest, SaveMidiThatCannotWriteSaysWhyAndLeavesTheDestination) {
  const Bytes file = Smf(0, 96, {NoteTrack(100)});
  OpenMidiFile(session, UserFile("SONG.MID", file));
  const std::string destination = user.Join("SAVED.MID");
  const Bytes old_bytes = "an older file of the user's";
  testing::WriteFileBytes(destination, old_bytes);

  const ChildResult result = RunInChild({.file_size_limit = static_cast<std::int64_t>(file.size()) / 2}, [&] {
    std::vector<std::string> lines;
    ui.DialogChoices = {{destination, "SAVED.MID"}};
    ui.Answers = {Answer::kYes};
    SaveAs(session);
    Look(lines);
    return lines;
  });
  ExpectEnded(result);
  EXPECT_EQ(result.lines, (std::vector<std::string>{"message: SAVED.MID already exists, overwrite?",
                                                    "message: ERROR: File not saved\r\n" + destination +
                                                        "\r\nFile too large",
                                                    "loaded 1, commands 1, notes 1, items 0"}));
  EXPECT_EQ(testing::ReadFileBytes(destination), old_bytes);
  EXPECT_EQ(std::distance(fs::directory_iterator(user.Path()), fs::directory_iterator()), 2);  // SONG.MID, SAVED.MID

  ui.ClearLog();
  ui.DialogChoices = {{"/dev/full", "full"}};
  ui.Answers = {Answer::kYes};
  SaveAs(session);
  EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"full already exists, overwrite?",
                                                         "ERROR: File not saved\r\n/dev/full\r\nNo space left on device"}));

  ui.ClearLog();
  const std::string nowhere = user.Join("no such folder/SAVED.MID");
  ui.DialogChoices = {{nowhere, "SAVED.MID"}};
  SaveAs(session);
  EXPECT_EQ(ui.MessageTexts(),
            std::vector<std::string>{"ERROR: File not saved\r\n" + nowhere + "\r\nNo such file or directory"});
  EXPECT_FALSE(fs::exists(user.Join("no such folder")));
}

// A destination folder the user may not write to: "Save Midi..." says so and the file there is
// as it was. An application folder made read-only after the load stops "Save Track" the same way,
// while the Edit frame, which patches the working copy in place, still works.
TEST_F(MachineFaultTest, FoldersThatCannotBeWrittenStopTheSavesCleanly) {
  const Bytes file = Smf(0, 96, {Hex("00 FF 51 03 07 A1 20") + NoteTrack(3)});
  const std::string path = UserFile("SONG.MID", file);
  const std::string locked = user.Join("locked");
  fs::create_directory(locked);
  const std::string destination = locked + "/SAVED.MID";
  testing::WriteFileBytes(destination, "an older file of the user's");
  ::chmod(destination.c_str(), 0644);
  ::chmod(locked.c_str(), 0555);
  OpenFoldersToEveryone();
  HandOver(app.Path());
  HandOver(app.Join("logs"));
  const ChildResult result = RunInChild({.unprivileged = true}, [&] {
    std::vector<std::string> lines;
    OpenMidiFile(session, path);
    Command1Click(session);
    Look(lines);
    ui.DialogChoices = {{destination, "SAVED.MID"}};
    ui.Answers = {Answer::kYes};
    SaveAs(session);
    Look(lines);
    ::chmod(app.Path().c_str(), 0555);
    CellEditDone(session, 1, 3, "0", "999999");
    SaveTrackCommand(session);
    Look(lines);
    ui.Texts[Control::Text6] = "100";
    Command2Click(session);
    Look(lines);
    ::chmod(app.Path().c_str(), 0755);
    return lines;
  });
  ::chmod(locked.c_str(), 0755);
  ExpectEnded(result);
  EXPECT_EQ(result.lines,
            (std::vector<std::string>{
                "loaded 1, commands 1, notes 1, items 6", "message: SAVED.MID already exists, overwrite?",
                "message: ERROR: File not saved\r\n" + destination + "\r\nPermission denied",
                "loaded 1, commands 1, notes 1, items 6",
                "message: ERROR: Track not saved\r\nWriting " + app.Join("dffhedc") + ": Permission denied",
                "loaded 1, commands 1, notes 1, items 6", "message: Data saved!",
                "loaded 1, commands 1, notes 1, items 6"}));
  EXPECT_EQ(testing::ReadFileBytes(destination), "an older file of the user's");
  EXPECT_EQ(std::distance(fs::directory_iterator(locked), fs::directory_iterator()), 1);
  // The tempo patch is the working copy's only change: 100 beats per minute, 09 27 C0.
  Bytes patched = file;
  patched.replace(26, 3, Hex("09 27 C0"));
  EXPECT_EQ(testing::ToHex(testing::ReadFileBytes(app.Join(kWorkCopyName))), testing::ToHex(patched));
}

}  // namespace
}  // namespace quavert

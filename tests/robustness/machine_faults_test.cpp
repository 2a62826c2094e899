#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <tuple>

#include "commands/cell_edit.h"
#include "commands/edit_frame.h"
#include "commands/event_list.h"
#include "commands/load_driver.h"
#include "commands/save_as.h"
#include "commands/save_track.h"
#include "commands/track_decoder.h"
#include "commands/track_selection.h"
#include "common/file_system.h"
#include "decoding/records.h"
#include "editing/genmidi.h"
#include "robustness/child_process.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::Smf;
using Lines = std::vector<std::string>;

namespace fs = std::filesystem;

// A track of `pairs` notes on and off: 2 x `pairs` event rows.
Bytes NoteTrack(int pairs) {
  Bytes data;
  for (int i = 0; i < pairs; ++i) data += Hex("00 90 3C 64 60 80 3C 00");
  return data + Hex("00 FF 2F 00");
}

class MachineFaultTest : public testing::SessionTest {
 protected:
  // What the user sees after a step, into `seen`: the messages since the last look, then a line
  // "L S N T Rn": a file loaded, "Save Midi..." enabled, Notes enabled, "Save Track" enabled (1
  // or 0 each), and n rows in the list.
  void Look() {
    const auto on = [&](bool yes) { return yes ? "1" : "0"; };
    for (const std::string& text : ui.MessageTexts()) seen.push_back(text);
    seen.push_back(std::string("L") + on(session.file.FileLoaded) + " S" + on(ui.IsEnabled(Control::mnuSave)) + " N" +
                   on(ui.IsEnabled(Control::Command1)) + " T" + on(ui.IsEnabled(Control::Command5)) + " R" +
                   std::to_string(ShownItems().size()));
    ui.ClearLog();
  }

  // Runs `steps` in a child under `limits` and returns what it saw.
  Lines InChild(const testing::ChildLimits& limits, const std::function<void()>& steps) {
    const testing::ChildResult result = RunInChild(limits, [&] { seen.clear(); steps(); return seen; });
    EXPECT_TRUE(result.clean) << "the child ended by signal " << result.signal;
    return result.lines;
  }

  // "Save Midi..." to `path`, named SAVED.MID in the dialog, overwriting when asked.
  void SaveTo(const std::string& path) {
    ui.DialogChoices = {{path, "SAVED.MID"}};
    ui.Answers = {Answer::kYes};
    SaveAs(session);
  }

  Lines seen;
};

// A disk that fills while the working copy, notes.dat or data.dat is written stops that step with
// the error; with room again the same step works, and the user's file is untouched.
TEST_F(MachineFaultTest, AFullDiskStopsTheLoadTheDecodeOrTheListAndTheProgramGoesOn) {
  const Bytes file = Smf(0, 96, {NoteTrack(75)});  // 150 rows: notes.dat and data.dat of 200 records
  const std::string path = UserFile("SONG.MID", file);
  const auto open = [&] { OpenMidiFile(session, path); };
  const auto list = [&] { Command1Click(session); };
  // What is being written when the disk fills, the file size limit, the step, and the step again.
  const std::tuple<const char*, std::int64_t, std::function<void()>, std::function<void()>, Lines> cases[] = {
      {"the working copy", std::ssize(file) / 2, open, open, {"Error: 61", "L0 S0 N0 T0 R0", "L1 S1 N1 T0 R0"}},
      {"notes.dat", 200 * kEventRecordLength - 100, open, [&] { Combo1Click(session, 0); list(); },
       {"Error: 61", "L1 S0 N0 T0 R0", "L1 S1 N1 T1 R150"}},
      {"data.dat", 200 * (kEventRecordLength + kListRowLength) / 2, [&] { open(); list(); }, list,
       {"Error: 61", "L1 S1 N1 T0 R0", "L1 S1 N1 T1 R150"}},
  };
  for (const auto& [writing, limit, step, again, expected] : cases) {
    const auto room_again = [&] { step(); Look(); testing::LiftFileSizeLimit(); again(); Look(); };
    EXPECT_EQ(InChild({.file_size_limit = limit}, room_again), expected) << writing;
  }
  EXPECT_EQ(testing::ReadFileBytes(path), file);
}

// A disk that fills while "Save Midi..." or "Save Track" writes: each says which file and why,
// the destination and the working copy are as they were and nothing is left beside them; with
// room again, the same edit saves.
TEST_F(MachineFaultTest, AFullDiskStopsTheSavesAndLeavesTheFilesAsTheyWere) {
  const Bytes file = Smf(0, 96, {NoteTrack(100)});
  OpenMidiFile(session, UserFile("SONG.MID", file));
  Command1Click(session);
  CellEditDone(session, 1, 3, "0", "999999");  // the track grows by two bytes
  const std::string destination = user.Join("SAVED.MID"), work_copy = app.Join(kWorkCopyName);
  testing::WriteFileBytes(destination, "an older file of the user's");
  const Lines lines = InChild({.file_size_limit = std::ssize(file) / 2}, [&] {
    SaveTo(destination);
    Look();
    SaveTrackCommand(session);
    Look();
    seen.push_back(std::string(testing::ReadFileBytes(work_copy) == file ? "as it was" : "changed") +
                   (FileExists(app.Join("dffhedc")) ? ", dffhedc left" : ", nothing left"));
    testing::LiftFileSizeLimit();
    SaveTrackCommand(session);
    Look();
    seen.push_back(std::to_string(FileLength(work_copy) - std::ssize(file)));
  });
  EXPECT_EQ(lines, (Lines{"SAVED.MID already exists, overwrite?",
                          "ERROR: File not saved\r\n" + destination + "\r\nFile too large", "L1 S1 N1 T1 R200",
                          "ERROR: Track not saved\r\nWriting " + app.Join("dffhedc") + ": File too large",
                          "L1 S1 N1 T1 R200", "as it was, nothing left", "Data saved!", "L1 S1 N1 T1 R200", "2"}));
  EXPECT_EQ(testing::ReadFileBytes(destination), "an older file of the user's");
  EXPECT_EQ(std::distance(fs::directory_iterator(user.Path()), fs::directory_iterator()), 2);  // SONG.MID, SAVED.MID

  // A folder that is not there takes no file.
  ui.ClearLog();
  const std::string nowhere = user.Join("no such folder/SAVED.MID");
  SaveTo(nowhere);
  EXPECT_EQ(ui.MessageTexts(), (Lines{"ERROR: File not saved\r\n" + nowhere + "\r\nNo such file or directory"}));
  EXPECT_FALSE(fs::exists(user.Join("no such folder")));
}

// Without genmidi.ini names read "unknown", the list is built and edits are stored. The logs
// folder removed after start-up: one message names the report, the load goes on and the list is
// built; with the folder back, the next load has its report again.
TEST_F(MachineFaultTest, WithoutGenmidiOrTheLogsFolderOnlyTheNamesAndTheReportAreLost) {
  fs::remove(app.Join(kGenmidiName));
  fs::remove_all(app.Join("logs"));
  const std::string path = UserFile("SONG.MID", Smf(0, 96, {Hex("00 C0 05 00 99 24 64 00 B0 07 64 00 FF 2F 00")}));
  OpenMidiFile(session, path);
  Command1Click(session);
  CellEditDone(session, 1, 1, "5", "10");
  CellEditDone(session, 2, 1, "36", "40");
  Lines names;
  for (const auto& item : ShownItems()) names.push_back(item.Sub[3]);
  EXPECT_EQ(names, (Lines{"Instrument: unknown", "On  - unknown", "Controller: volume"}));
  EXPECT_EQ((std::vector{session.buffers.Rows.Record(0).Data1, session.buffers.Rows.Record(1).Data1}), (std::vector{10, 40}));
  Look();
  fs::create_directory(app.Join("logs"));
  OpenMidiFile(session, path);
  Look();
  EXPECT_EQ(seen, (Lines{"ERROR: Report not created: " + app.Join("logs/song.txt") + " (No such file or directory)",
                         "L1 S1 N1 T1 R3", "L1 S1 N1 T0 R0"}));
  EXPECT_TRUE(FileExists(app.Join("logs/song.txt")));
}

// The working copy cut short behind the program's back: a track past the cut ends early, one
// before it decodes. Deleted: the Edit frame says it could not write and creates nothing,
// choosing a track fails with the error, and the next file loads.
TEST_F(MachineFaultTest, AWorkingCopyCutShortOrDeletedBehindTheProgramsBack) {
  const Bytes file = Smf(1, 96, {NoteTrack(2), NoteTrack(3)});
  OpenMidiFile(session, UserFile("SONG.MID", file));
  testing::WriteFileBytes(app.Join(kWorkCopyName), file.substr(0, 50));
  for (int track : {1, 0}) {
    Combo1Click(session, track);
    Look();
  }
  DeleteFile(app.Join(kWorkCopyName));
  ui.Texts[Control::Text5] = "120";
  Command2Click(session, ui.GetText(Control::Text6), ui.GetText(Control::Text5));
  EXPECT_FALSE(FileExists(app.Join(kWorkCopyName)));
  EXPECT_EQ(session.file.DeltaTicks, 96);
  Combo1Click(session, 1);
  Look();
  OpenMidiFile(session, UserFile("OTHER.MID", Smf(0, 96, {NoteTrack(1)})));
  Look();
  EXPECT_EQ(seen, (Lines{"ERROR: Unexpected end of track", "L1 S0 N0 T0 R0", "L1 S1 N1 T0 R0",
                         "ERROR: Data not saved: " + app.Join(kWorkCopyName) + " (File not found)", "Error: 53",
                         "L1 S0 N0 T0 R0", "L1 S1 N1 T0 R0"}));
}

// Permissions taken away: an application folder the user may not write to fails the load with
// the access error before any working copy is made; a working copy made unreadable behind the
// program's back fails its decode until it is readable again; a destination folder that cannot
// be written stops "Save Midi...", and an application folder made read-only after the load stops
// "Save Track", each saying why, while the Edit frame, which patches the working copy in place,
// still works. Run as a user, since root may do all of it.
TEST_F(MachineFaultTest, PermissionsTakenAwayStopOnlyTheStepsThatNeedThem) {
  const Bytes file = Smf(0, 96, {Hex("00 FF 51 03 07 A1 20") + NoteTrack(3)});
  const std::string path = UserFile("SONG.MID", file);
  const std::string locked = user.Join("locked"), destination = locked + "/SAVED.MID", work_copy = app.Join(kWorkCopyName);
  fs::create_directory(locked);
  testing::WriteFileBytes(destination, "an older file of the user's");
  ::chmod(destination.c_str(), 0644);
  ::chmod(locked.c_str(), 0555);
  // The unprivileged child reads the test's folders and owns the application folder.
  for (const std::string& folder : {app.Path(), user.Path(), app.Join("logs")}) ::chmod(folder.c_str(), 0755);
  for (const std::string& folder : {app.Path(), app.Join("logs")})
    ASSERT_TRUE(::geteuid() != 0 || ::chown(folder.c_str(), testing::kUnprivilegedId, testing::kUnprivilegedId) == 0);
  const Lines lines = InChild({.unprivileged = true}, [&] {
    ::chmod(app.Path().c_str(), 0555);
    OpenMidiFile(session, path);
    Look();
    seen.push_back(FileExists(work_copy) ? "a working copy" : "no working copy");
    ::chmod(app.Path().c_str(), 0755);
    OpenMidiFile(session, path);
    ::chmod(work_copy.c_str(), 0);
    Combo1Click(session, 0);
    Look();
    ::chmod(work_copy.c_str(), 0644);
    Combo1Click(session, 0);
    Command1Click(session);
    Look();
    SaveTo(destination);
    ::chmod(app.Path().c_str(), 0555);
    CellEditDone(session, 1, 3, "0", "999999");
    SaveTrackCommand(session);
    ui.Texts[Control::Text6] = "100";
    Command2Click(session, ui.GetText(Control::Text6), ui.GetText(Control::Text5));
    Look();
    ::chmod(app.Path().c_str(), 0755);
  });
  ::chmod(locked.c_str(), 0755);
  EXPECT_EQ(lines, (Lines{"Error: 75", "L0 S0 N0 T0 R0", "no working copy", "Error: 75", "L1 S0 N0 T0 R0",
                          "L1 S1 N1 T1 R6", "SAVED.MID already exists, overwrite?",
                          "ERROR: File not saved\r\n" + destination + "\r\nPermission denied",
                          "ERROR: Track not saved\r\nWriting " + app.Join("dffhedc") + ": Permission denied",
                          "Data saved!", "L1 S1 N1 T1 R6"}));
  EXPECT_EQ(testing::ReadFileBytes(path), file);
  EXPECT_EQ(testing::ReadFileBytes(destination), "an older file of the user's");
  EXPECT_EQ(std::distance(fs::directory_iterator(locked), fs::directory_iterator()), 1);
  // The tempo patch is the working copy's only change: 100 beats per minute, 09 27 C0.
  EXPECT_EQ(testing::ToHex(testing::ReadFileBytes(work_copy)), testing::ToHex(Bytes(file).replace(26, 3, Hex("09 27 C0"))));
}

// A process killed (SIGKILL) while it saves.
constexpr int kKills = 40;

// Kills `save` in a child at points spread over the time a whole save takes, and after each kill
// checks that `path` holds either `old_bytes` or what a whole save leaves there, putting the old
// bytes back after each. The spread doubles until both have been seen, so that kills landed
// before and after the moment the file changes.
void ExpectOldOrNew(const std::string& path, const Bytes& old_bytes, const std::function<void()>& save) {
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(testing::RunInChild({}, [&] { save(); return Lines{}; }).clean);
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
  const Bytes new_bytes = testing::ReadFileBytes(path);
  ASSERT_NE(new_bytes, old_bytes) << "the save changes nothing";

  int olds = 0, news = 0;
  std::int64_t span_us = std::max<std::int64_t>(took.count(), 1000) * 3 / 2;
  for (int round = 0; round < 4 && (olds == 0 || news == 0); ++round, span_us *= 2) {
    for (int k = 0; k < kKills; ++k) {
      testing::WriteFileBytes(path, old_bytes);
      testing::KillChildAfter(span_us * k / kKills, save);
      const Bytes now = testing::ReadFileBytes(path);
      olds += now == old_bytes;
      news += now == new_bytes;
      ASSERT_TRUE(now == old_bytes || now == new_bytes)
          << "killed " << span_us * k / kKills << " us into the save, the file holds " << now.size()
          << " bytes: neither the old " << old_bytes.size() << " nor the new " << new_bytes.size();
    }
  }
  testing::WriteFileBytes(path, old_bytes);
  EXPECT_GT(olds, 0) << "no kill came before the file changed";
  EXPECT_GT(news, 0) << "no kill came after the file changed";
}

// Save Track writes a new file beside the working copy and renames it over it, and "Save Midi..."
// copies the working copy to a new file beside the destination and renames it over that: a kill
// at any moment leaves the working copy and the destination as they were or as saved, never cut
// or mixed.
TEST_F(MachineFaultTest, AKilledSaveLeavesTheOldOrTheNewFile) {
  Bytes data;
  for (int i = 0; i < 20000; ++i) data += Hex("00 90 3C 64 00 80 3C 00");
  const Bytes file = Smf(1, 96, {Hex("00 FF 51 03 07 A1 20 00 FF 2F 00"), data + Hex("00 FF 2F 00")});
  OpenMidiFile(session, UserFile("BIG.MID", file));
  Combo1Click(session, 1);
  Command1Click(session);
  CellEditDone(session, 1, 3, "0", "999999");  // the track grows by two bytes

  ExpectOldOrNew(app.Join(kWorkCopyName), file, [&] { SaveTrackCommand(session); });
  // A save that was killed leaves nothing in the way of the next one.
  ui.ClearLog();
  SaveTrackCommand(session);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Data saved!"});
  EXPECT_FALSE(fs::exists(app.Join("dffhedc")));

  Bytes work = Smf(0, 96, {Hex("00 F0 8F FF 7F") + Bytes(262143, '\x11') + Hex("00 FF 2F 00")});
  while (work.size() < 1'000'000) work += work;
  testing::WriteFileBytes(app.Join(kWorkCopyName), work);
  const std::string destination = user.Join("SAVED.MID");
  const Bytes old_bytes(800'000, '\x22');
  testing::WriteFileBytes(destination, old_bytes);

  ExpectOldOrNew(destination, old_bytes, [&] { SaveTo(destination); });
  // What a kill leaves behind is only ever a hidden file beside the destination.
  for (const auto& entry : fs::directory_iterator(user.Path())) {
    const std::string name = entry.path().filename();
    EXPECT_TRUE(name == "BIG.MID" || name == "SAVED.MID" || name.starts_with(".SAVED.MID.")) << name;
  }
}

}  // namespace
}  // namespace quavert

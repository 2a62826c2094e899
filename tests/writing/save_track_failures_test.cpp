#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "common/file_system.h"
#include "loading/loaded_file.h"
#include "writing/save_track.h"
#include "writing_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::kEndOfTrack;
using testing::Smf;

const Bytes kSong = Smf(0, 96, {Hex("00 90 3C 64 00 3C 00 00 F0 02 01 F7 00") + kEndOfTrack});

// Every failed save: one message, the working copy as it was, no new file left behind, and the
// device opened again on the working copy all the same.
class SaveTrackFailureTest : public testing::WritingTest {
 protected:
  void LoadAndList() {
    Load(kSong);
    List();
    Row(0).Data2 = 1;  // an edit that would change the file
    before_ = WorkCopy();
    media.Commands.clear();
    ui.ClearLog();
  }

  void ExpectNotSaved(const std::string& reason) {
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"ERROR: Track not saved\r\n" + reason});
    EXPECT_EQ(WorkCopy(), before_);
    EXPECT_FALSE(FileExists(app.Join("dffhedc")));
    ASSERT_EQ(media.Commands.size(), 3u);
    EXPECT_EQ(media.Commands[0], "Close REDevid1 notify");
    EXPECT_EQ(media.Commands[1].rfind("Open " + app.Join(kWorkCopyName) + " ", 0), 0u) << media.Commands[1];
    EXPECT_FALSE(ui.Busy);
  }

  Bytes before_;
};

TEST_F(SaveTrackFailureTest, TheWorkingCopyIsGone) {
  LoadAndList();
  DeleteFile(app.Join(kWorkCopyName));
  before_.clear();
  Save();
  ExpectNotSaved("Reading " + app.Join(kWorkCopyName) + ": No such file or directory");
}

TEST_F(SaveTrackFailureTest, TheWorkingFilesCannotBeWritten) {
  LoadAndList();
  DeleteFile(app.Join("data.dat"));
  ASSERT_EQ(::mkdir(app.Join("data.dat").c_str(), 0755), 0);
  Save();
  ExpectNotSaved("Writing notes.dat and data.dat: Is a directory");
}

TEST_F(SaveTrackFailureTest, TheTrackNoLongerMatchesItsRows) {
  // The working copy changed behind the list's back: a note became a program change, the track
  // was cut short, or gained an event.
  const std::vector<Bytes> changed = {
      Smf(0, 96, {Hex("00 C0 3C 00 3C 00 F0 02 01 F7 00") + kEndOfTrack}),
      Smf(0, 96, {Hex("00 90 3C 64 00 3C 00 00")}),
      Smf(0, 96, {Hex("00 90 3C 64 00 3C 00 00 F0 02 01 F7 00 90 3C 00 00") + kEndOfTrack}),
  };
  for (const Bytes& bytes : changed) {
    LoadAndList();
    testing::WriteFileBytes(app.Join(kWorkCopyName), bytes);
    before_ = bytes;
    Save();
    ExpectNotSaved("The track no longer matches its event list.");
  }
}

TEST_F(SaveTrackFailureTest, ATrackWithoutEventsHasNothingToSave) {
  Load(Smf(0, 96, {Hex("00 FF 03 01 41 00") + kEndOfTrack}));
  ASSERT_EQ(session.decoder.LastEventIndex, -1);
  before_ = WorkCopy();
  media.Commands.clear();
  ui.ClearLog();
  Save();
  ExpectNotSaved("The track has no events to save.");
}

TEST_F(SaveTrackFailureTest, ATrackThatWasNotListedIsNotSaved) {
  Load(kSong);
  before_ = WorkCopy();
  const std::string notes = AppFileBytes("notes.dat");
  media.Commands.clear();
  ui.ClearLog();
  Save();
  ExpectNotSaved("The track's events are not listed.");
  // The decoder's rows stay as they were.
  EXPECT_EQ(AppFileBytes("notes.dat"), notes);
}

}  // namespace
}  // namespace quavert

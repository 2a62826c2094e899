#include <gtest/gtest.h>
#include <unistd.h>

#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/loaded_file.h"
#include "app/session.h"
#include "app/view_settings.h"
#include "commands/guard.h"
#include "commands/lifecycle.h"
#include "common/file_system.h"
#include "common/run_error.h"
#include "decoding/records.h"
#include "support/session_fixture.h"

// Start-up and shutdown as seen through the window are pinned by the window's tests; these are
// the paths a real window cannot easily reach.
namespace quavert {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;
using LifecycleTest = testing::SessionTest;

// The piano roll's two settings and the recent files; every other view setting as by default.
ViewSettings Views(bool piano_roll, bool follow_playback, std::vector<std::string> recent = {}) {
  ViewSettings view;
  view.PianoRoll = piano_roll;
  view.FollowPlayback = follow_playback;
  view.Recent = std::move(recent);
  return view;
}

// The view settings follow the remembered path; what is not as written keeps its default.
TEST(ViewSettingsTest, OnlySettingsThatDifferFromTheirDefaultsAreWrittenAndEachIsReadOnItsOwn) {
  EXPECT_EQ(ViewSettingsLines({}), "");
  EXPECT_EQ(ViewSettingsLines(Views(true, true, {})), "PianoRoll=1\n");
  EXPECT_EQ(ViewSettingsLines(Views(false, false, {})), "FollowPlayback=0\n");
  // A path a line cannot hold back is left out.
  EXPECT_EQ(ViewSettingsLines(Views(false, true, {"/b.mid", "/new\nline.mid", "/cr.mid\r", "", "/c.mid"})),
            "Recent=/b.mid\nRecent=/c.mid\n");
  const std::pair<const char*, ViewSettings> texts[] = {
      {"/music/song.mid\nPianoRoll=1\nFollowPlayback=0\n", Views(true, false, {})},
      {"PianoRoll=1\n", Views(false, true, {})},  // the first line is the path, whatever it says
      {"\r\nFollowPlayback=0\r\nPianoRoll=1", Views(true, false, {})},
      {"x\nPianoRoll=yes\npianoroll=1\nPianoRoll=10\n FollowPlayback=0\n", Views(false, true, {})},
      {"x\nPianoRoll=1\nPianoRoll=0\n", Views(false, true, {})},  // the last one counts
      {"", Views(false, true, {})},
      // Recent files, newest first, each on a line of its own; an empty one is none.
      {"/a.mid\nRecent=/b c.mid\r\nRecent=\nRecent=/d=e.mid\n", Views(false, true, {"/b c.mid", "/d=e.mid"})},
  };
  for (const auto& [text, view] : texts) EXPECT_EQ(ParseViewSettings(text), view) << text;
}

// The byte views and the encoding: written when they differ from the defaults, read back, and a
// name that is no encoding's leaves the default.
TEST(ViewSettingsTest, ByteViewsAndEncodingGoAndComeBack) {
  const ViewSettings all{false, true, true, true, true, true, true, TextEncoding::kShiftJis, {}};
  const std::string lines = "OffsetColumn=1\nBytesColumn=1\nTimeColumn=1\nBytesPane=1\nProblemsPane=1\nTextEncoding=Shift-JIS\n";
  EXPECT_EQ(ViewSettingsLines(all), lines);
  EXPECT_EQ(ParseViewSettings("/song.mid\n" + lines), all);
  ViewSettings time_only;
  time_only.TimeColumn = true;
  EXPECT_EQ(ParseViewSettings("x\nTimeColumn=1\nTextEncoding=sjis\n"), time_only);
  time_only.Encoding = TextEncoding::kGb18030;
  EXPECT_EQ(ParseViewSettings("x\nTimeColumn=1\nTextEncoding=gb18030\n"), time_only);
}

TEST_F(LifecycleTest, TheViewSettingsAreReadAtStartupAndWrittenAfterThePath) {
  WriteFileBytes(app.Join(kSettingsFileName), "\nPianoRoll=1\n");
  FormLoad(session);
  EXPECT_EQ(session.view, Views(true, true));
  session.view.FollowPlayback = false;
  session.file.LastOpenedPath = "/music/song.mid";
  WriteSettings(session);
  EXPECT_EQ(ReadFileBytes(app.Join(kSettingsFileName)), "/music/song.mid\nPianoRoll=1\nFollowPlayback=0\n");
  EXPECT_EQ(ReadSettings(app.Join(kSettingsFileName)), "/music/song.mid");
}

TEST_F(LifecycleTest, StartupMakesTheLogsFolderAndSetsUpTheColumns) {
  ASSERT_EQ(::rmdir(app.Join("logs").c_str()), 0);
  FormLoad(session);
  EXPECT_EQ(ui.Columns, (std::vector<std::pair<std::string, int>>{
                            {"Channel", 0}, {"Notes", 0}, {"Volume", 0}, {"Length", 0}, {"Description", 5000}}));
  FormLoad(session);  // the logs folder exists now: no error
  EXPECT_TRUE(FolderExists(app.Join("logs")));
  EXPECT_TRUE(ui.Messages.empty());
}

// A window whose list refuses its columns: the failure is shown, and start-up still goes on.
class ColumnRefusingToolkit : public RecordingToolkit {
 public:
  void ListAddColumn(std::string_view, int) override { throw RunError(kOverflow); }
};

TEST(StartupFailureTest, AnUnexpectedFailureIsShownAndStartupGoesOn) {
  testing::TempFolder app;
  ColumnRefusingToolkit ui;
  RecordingMediaService media;
  Session session(app.Path(), ui, media);
  FormLoad(session);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Error: 6"});
  EXPECT_EQ(ReadFileBytes(app.Join(kSettingsFileName)), "\n");
}

// Lines with their ends, commas and leading blanks are read through the window's start-up.
TEST(ReadSettingsTest, AnEmptyFirstLineOrOneNoFileCanHaveNamesNoFile) {
  testing::TempFolder folder;
  const std::string path = folder.Join(kSettingsFileName);
  const std::string long_path = "/" + std::string(5000, 'x') + ".mid";
  const std::pair<std::string, std::string> cases[] = {
      {"\n/music/a.mid\n", ""}, {std::string("/music/a\0.mid\n", 14), ""}, {long_path + "\n", long_path}};
  for (const auto& [content, expected] : cases) {
    WriteFileBytes(path, content);
    EXPECT_EQ(ReadSettings(path), expected) << content;
  }
}

TEST_F(LifecycleTest, ShutdownClosesTheDeviceBeforeUnhookingAndDeletesItsFilesWhenTheWorkingCopyIsGone) {
  session.file.WorkCopyName = kWorkCopyName;  // never written
  WriteFileBytes(app.Join(kNotesDat), "n");
  WriteFileBytes(app.Join(kDataDat), "d");
  session.NotesDatMade = session.DataDatMade = true;
  std::size_t commands_when_unhooked = 0;
  End1(session, [&] { commands_when_unhooked = media.Commands.size(); });
  EXPECT_EQ(media.Commands, std::vector<std::string>{"Close REDevid1 notify"});
  EXPECT_EQ(commands_when_unhooked, 1u);
  EXPECT_FALSE(FileExists(app.Join(kNotesDat)) || FileExists(app.Join(kDataDat)));
}

TEST_F(LifecycleTest, EscapedFailuresAreShownWithTheirNumber) {
  RunGuarded(session, [] { throw RunError(kInputPastEnd); });
  RunGuarded(session, [] { throw std::bad_alloc(); });
  RunGuarded(session, [] { throw std::logic_error("unexpected"); });
  RunGuarded(session, [] {});
  EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"Error: 62", "Error: 7", "Error: 51"}));
}

}  // namespace
}  // namespace quavert

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>
#include <stdexcept>

#include "common/file_system.h"
#include "common/run_error.h"
#include "decoding/records.h"
#include "loading/loaded_file.h"
#include "session/guard.h"
#include "session/lifecycle.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

using testing::Hex;
using testing::ReadFileBytes;
using testing::Smf;
using testing::WriteFileBytes;

const testing::Bytes kSong = Smf(0, 96, {Hex("00 90 3C 64 60 80 3C 00 00 FF 2F 00")});

class StartupTest : public testing::SessionTest {
 protected:
  std::string SettingsPath() const { return app.Join(kSettingsFileName); }
  void Remember(std::string_view content) { WriteFileBytes(SettingsPath(), content); }
  bool OpenedAnything() const { return !media.Commands.empty() || !session.file.WorkCopyName.empty(); }
};

TEST_F(StartupTest, FirstStartCreatesSettingsAndLogsAndOpensNothing) {
  ASSERT_EQ(::rmdir(app.Join("logs").c_str()), 0);
  session.NotesDatMade = true;
  session.DataDatMade = true;

  FormLoad(session);

  EXPECT_TRUE(FolderExists(app.Join("logs")));
  EXPECT_EQ(ReadFileBytes(SettingsPath()), "\n");
  EXPECT_FALSE(session.NotesDatMade);
  EXPECT_FALSE(session.DataDatMade);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_FALSE(OpenedAnything());
  EXPECT_EQ(session.file.MidiPath, "");
  EXPECT_EQ(session.file.LastOpenedPath, "");
}

TEST_F(StartupTest, ListGetsItsFiveColumnsOnce) {
  FormLoad(session);
  const std::vector<std::pair<std::string, int>> expected{
      {"Channel", 0}, {"Notes", 0}, {"Volume", 0}, {"Length", 0}, {"Description", 5000}};
  EXPECT_EQ(ui.Columns, expected);
  ASSERT_FALSE(ui.Calls.empty());
  EXPECT_EQ(ui.Calls.front(), "ListClear");
}

TEST_F(StartupTest, ExistingLogsFolderIsNoError) {
  FormLoad(session);
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(StartupTest, EmptyOrUnreadableSettingsMeanNoRememberedFile) {
  Remember("");
  FormLoad(session);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_FALSE(OpenedAnything());
  EXPECT_EQ(ReadFileBytes(SettingsPath()), "");

  // A folder where the settings file should be cannot be read as one.
  ::unlink(SettingsPath().c_str());
  ASSERT_EQ(::mkdir(SettingsPath().c_str(), 0755), 0);
  FormLoad(session);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_FALSE(OpenedAnything());
  ::rmdir(SettingsPath().c_str());
}

TEST_F(StartupTest, RememberedFileThatIsGoneIsSkippedSilently) {
  Remember(user.Join("gone.mid") + "\n");
  FormLoad(session);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_FALSE(OpenedAnything());
  EXPECT_EQ(session.file.LastOpenedPath, "");

  WriteSettings(session);
  EXPECT_EQ(ReadFileBytes(SettingsPath()), "\n");
}

TEST_F(StartupTest, RememberedFileIsOpenedAsIfChosen) {
  const std::string path = UserFile(" my song, take 2.mid", kSong);
  Remember(path + "\r\nsecond line is not read\r\n");

  FormLoad(session);

  EXPECT_EQ(session.file.LastOpenedPath, path);
  EXPECT_TRUE(session.file.FileLoaded);
  EXPECT_NE(session.file.LoadState, kLoadFailed);
  EXPECT_TRUE(ui.OpenDialogs.empty());
  ASSERT_GE(media.Commands.size(), 2u);
  EXPECT_EQ(media.Commands[1].rfind("Open \"" + path + "\" type MPEGVideo", 0), 0u) << media.Commands[1];
  EXPECT_EQ(ReadFileBytes(session.WorkCopyPath()), kSong);
  EXPECT_EQ(ui.ComboItems, std::vector<std::string>{"1"});
}

TEST_F(StartupTest, RememberedFileThatFailsToLoadLeavesTheWindowUsable) {
  const std::string path = UserFile("broken.mid", "RIFF and nothing else");
  Remember(path + "\n");

  FormLoad(session);

  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"BROKEN.MID is not a MIDI file"});
  EXPECT_FALSE(session.file.FileLoaded);
  EXPECT_FALSE(ui.IsEnabled(Control::Command1));
  EXPECT_FALSE(ui.IsEnabled(Control::mnuPlay));
  EXPECT_EQ(session.file.LastOpenedPath, path);
}

// A window whose list refuses its columns: the failure is shown, and start-up still goes on.
class ColumnRefusingToolkit : public RecordingToolkit {
 public:
  void ListAddColumn(std::string_view, int) override { throw RunError(kOverflow); }
};

TEST(StartupFailureTest, UnexpectedFailureIsShownAndStartupGoesOn) {
  testing::TempFolder app;
  ColumnRefusingToolkit ui;
  RecordingMediaService media;
  Session session(app.Path(), ui, media);

  FormLoad(session);

  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Error: 6"});
  EXPECT_TRUE(FolderExists(app.Join("logs")));
  EXPECT_EQ(ReadFileBytes(app.Join(kSettingsFileName)), "\n");
}

TEST(ReadSettingsTest, TakesTheFirstLineWholeWithoutItsLineEnd) {
  testing::TempFolder folder;
  const std::string path = folder.Join(kSettingsFileName);
  const std::pair<std::string, std::string> cases[] = {
      {"/music/a.mid\n", "/music/a.mid"},
      {"/music/a.mid\r\n/other.mid\r\n", "/music/a.mid"},
      {"  /music/with, comma.mid", "  /music/with, comma.mid"},
      {"\n/music/a.mid\n", ""},
      {std::string("/music/a\0.mid\n", 14), ""},
  };
  for (const auto& [content, expected] : cases) {
    WriteFileBytes(path, content);
    EXPECT_EQ(ReadSettings(path), expected) << content;
  }
  const std::string long_path = "/" + std::string(5000, 'x') + ".mid";
  WriteFileBytes(path, long_path + "\n");
  EXPECT_EQ(ReadSettings(path), long_path);

  ::unlink(path.c_str());
  try {
    ReadSettings(path);
    FAIL() << "a missing settings file must be told apart";
  } catch (const RunError& failure) {
    EXPECT_EQ(failure.code(), kFileNotFound);
  }
}

class ShutdownTest : public testing::SessionTest {
 protected:
  // The files a load and a listing leave in the application folder.
  void LeaveWorkingFiles() {
    session.file.WorkCopyName = kWorkCopyName;
    WriteFileBytes(session.WorkCopyPath(), kSong);
    WriteFileBytes(app.Join(kNotesDat), "n");
    WriteFileBytes(app.Join(kDataDat), "d");
  }
  int unhooked = 0;
  std::size_t commands_before_unhook = 0;
  std::function<void()> Unhook() {
    return [this] {
      ++unhooked;
      commands_before_unhook = media.Commands.size();
    };
  }
};

TEST_F(ShutdownTest, ClosesTheDeviceThenUnhooks) {
  End1(session, Unhook());
  EXPECT_EQ(media.Commands, std::vector<std::string>{"Close REDevid1 notify"});
  EXPECT_EQ(unhooked, 1);
  EXPECT_EQ(commands_before_unhook, 1u);
}

TEST_F(ShutdownTest, DeletesTheWorkingFilesThisRunMade) {
  LeaveWorkingFiles();
  session.NotesDatMade = true;
  session.DataDatMade = true;
  session.report.Create(app.Join("logs/song.txt"));

  End1(session, Unhook());

  EXPECT_FALSE(FileExists(session.WorkCopyPath()));
  EXPECT_FALSE(FileExists(app.Join(kNotesDat)));
  EXPECT_FALSE(FileExists(app.Join(kDataDat)));
  EXPECT_FALSE(session.report.IsOpen());
  EXPECT_TRUE(FileExists(app.Join("logs/song.txt")));
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(ShutdownTest, KeepsWorkingFilesThisRunDidNotMake) {
  LeaveWorkingFiles();
  session.NotesDatMade = false;
  session.DataDatMade = true;
  End1(session, Unhook());
  EXPECT_FALSE(FileExists(session.WorkCopyPath()));
  EXPECT_TRUE(FileExists(app.Join(kNotesDat)));
  EXPECT_FALSE(FileExists(app.Join(kDataDat)));
}

TEST_F(ShutdownTest, DeletesNothingWhenNoFileWasLoaded) {
  LeaveWorkingFiles();
  session.file.WorkCopyName.clear();
  session.NotesDatMade = true;
  session.DataDatMade = true;
  End1(session, Unhook());
  EXPECT_TRUE(FileExists(app.Join(kWorkCopyName)));
  EXPECT_TRUE(FileExists(app.Join(kNotesDat)));
  EXPECT_TRUE(FileExists(app.Join(kDataDat)));
}

TEST_F(ShutdownTest, WorkingCopyAlreadyGoneStillRemovesTheOthers) {
  LeaveWorkingFiles();
  session.NotesDatMade = true;
  session.DataDatMade = true;
  ::unlink(session.WorkCopyPath().c_str());
  End1(session, Unhook());
  EXPECT_FALSE(FileExists(app.Join(kNotesDat)));
  EXPECT_FALSE(FileExists(app.Join(kDataDat)));
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(ShutdownTest, SettingsLineIsThePathAsChosen) {
  session.file.LastOpenedPath = "  /music/with, comma.mid";
  session.file.MidiPath = "/music/WITHCO~1.MID";
  WriteSettings(session);
  EXPECT_EQ(ReadFileBytes(app.Join(kSettingsFileName)), "  /music/with, comma.mid\n");
  EXPECT_EQ(ReadSettings(app.Join(kSettingsFileName)), session.file.LastOpenedPath);
}

TEST_F(ShutdownTest, UnwritableSettingsAreIgnored) {
  ASSERT_EQ(::mkdir(app.Join(kSettingsFileName).c_str(), 0755), 0);
  session.file.LastOpenedPath = "/music/a.mid";
  WriteSettings(session);
  EXPECT_TRUE(FolderExists(app.Join(kSettingsFileName)));
  EXPECT_TRUE(ui.Messages.empty());
  ::rmdir(app.Join(kSettingsFileName).c_str());
}

class GuardTest : public testing::SessionTest {};

TEST_F(GuardTest, EscapedFailuresAreShownWithTheirNumber) {
  RunGuarded(session, [] { throw RunError(kInputPastEnd); });
  RunGuarded(session, [] { throw std::bad_alloc(); });
  RunGuarded(session, [] { throw std::logic_error("unexpected"); });
  RunGuarded(session, [] {});
  EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"Error: 62", "Error: 7", "Error: 51"}));
  for (const auto& message : ui.Messages) {
    EXPECT_EQ(message.ButtonSet, Buttons::kOk);
    EXPECT_EQ(message.Title, "");
  }
}

}  // namespace
}  // namespace quavert

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "decoding/track_decoder.h"
#include "editing/cell_edit.h"
#include "editing/event_list.h"
#include "loading/load_driver.h"
#include "robustness/child_process.h"
#include "support/session_fixture.h"
#include "writing/save_as.h"
#include "writing/save_track.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::Smf;

namespace fs = std::filesystem;

constexpr int kKills = 40;

// Kills `save` in a child at points spread over the time a whole save takes, and after each kill
// checks that `path` holds either `old_bytes` or what a whole save leaves there, putting the old
// bytes back after each. The spread doubles until both have been seen, so that kills landed
// before and after the moment the file changes.
void ExpectOldOrNew(const std::string& path, const Bytes& old_bytes, const std::function<void()>& save) {
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(testing::RunInChild({}, [&] { return save(), std::vector<std::string>{}; }).clean);
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

class CrashSafetyTest : public testing::SessionTest {};

// Save Track writes a new file beside the working copy and renames it over it: a kill at any
// moment leaves the working copy as it was or as saved, never cut or mixed.
TEST_F(CrashSafetyTest, AKilledSaveTrackLeavesTheOldOrTheNewWorkingCopy) {
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
}

// Save Midi... copies the working copy to a new file beside the destination and renames it over
// the destination: a kill at any moment leaves the destination as it was or as saved.
TEST_F(CrashSafetyTest, AKilledSaveMidiLeavesTheOldOrTheNewDestination) {
  Bytes work = Smf(0, 96, {Hex("00 F0 8F FF 7F") + Bytes(262143, '\x11') + Hex("00 FF 2F 00")});
  while (work.size() < 1'000'000) work += work;
  testing::WriteFileBytes(app.Join(kWorkCopyName), work);
  session.file.WorkCopyName = kWorkCopyName;
  const std::string destination = user.Join("SAVED.MID");
  const Bytes old_bytes(800'000, '\x22');
  testing::WriteFileBytes(destination, old_bytes);

  ExpectOldOrNew(destination, old_bytes, [&] {
    ui.DialogChoices = {{destination, "SAVED.MID"}};
    ui.Answers = {Answer::kYes};
    SaveAs(session);
  });
  // What a kill leaves behind is only ever a hidden file beside the destination.
  for (const auto& entry : fs::directory_iterator(user.Path())) {
    const std::string name = entry.path().filename();
    EXPECT_TRUE(name == "SAVED.MID" || name.starts_with(".SAVED.MID.")) << name;
  }
}

}  // namespace
}  // namespace quavert

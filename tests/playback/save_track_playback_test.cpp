#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "editing/cell_edit.h"
#include "editing/event_list.h"
#include "loading/load_driver.h"
#include "playback/fluid_media_service.h"
#include "playback/media_commands.h"
#include "playback/playback_actions.h"
#include "sound_fixtures.h"
#include "support/session_fixture.h"
#include "writing/save_track.h"

namespace quavert {
namespace {

using namespace std::chrono_literals;
using testing::ReadFileBytes;

// After "Save Track" the player plays the working copy: what it plays is what was saved.
class SaveTrackPlaybackTest : public testing::SessionTest {
 protected:
  // Opens a song of two notes, lists it, types `velocity` into the Volume cell of both note-ons
  // (none when empty), saves the track, plays the file to its end; returns what was heard.
  double PlayAfterSave(const std::string& velocity) {
    const std::string sound_font = user.Join("sine.sf2");
    testing::WriteFileBytes(sound_font, testing::SineSoundFont());
    const std::string wav = user.Join("heard.wav");
    {
      FluidMediaService service({sound_font, wav});
      Session playing(app.Path(), ui, service);
      OpenMidiFile(playing, UserFile("song.mid", testing::NoteSequence(2, 240)));
      Command1Click(playing);
      if (!velocity.empty()) {
        for (const std::int64_t note_on : {1, 3}) CellEditDone(playing, note_on, 2, "100", velocity);
      }
      ui.ClearLog();
      SaveTrackCommand(playing);
      EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Data saved!"});
      PlayAction(playing);
      EXPECT_TRUE(playing.player.Playing);
      const auto give_up = std::chrono::steady_clock::now() + 15s;
      while (playing.player.Playing && std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(20ms);
        Timer1Tick(playing);
      }
      EXPECT_FALSE(playing.player.Playing) << "playback never ended";
      MciClose(playing, kDeviceAlias);
    }
    return testing::WavRms(ReadFileBytes(wav));
  }
};

TEST_F(SaveTrackPlaybackTest, PlayAfterSaveTrackPlaysTheSavedTrack) {
  // Saved as it was, the song sounds; saved with its notes at velocity 0, it is silent, though
  // the file the user opened still sounds.
  EXPECT_GT(PlayAfterSave(""), 0.001);
  EXPECT_LT(PlayAfterSave("0"), 0.0005);
  EXPECT_EQ(ReadFileBytes(user.Join("song.mid")), testing::NoteSequence(2, 240));
}

}  // namespace
}  // namespace quavert

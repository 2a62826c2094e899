#include <gtest/gtest.h>

#include <cstdlib>

#include "playback/fluid_setup.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

class FluidSetupTest : public ::testing::Test {
 protected:
  FluidSetupTest() {
    testing::WriteFileBytes(folder.Join("second.sf2"), "x");
    testing::WriteFileBytes(folder.Join("third.sf2"), "x");
    candidates = {folder.Join("first.sf2"), folder.Join("second.sf2"), folder.Join("third.sf2")};
  }
  testing::TempFolder folder;
  std::vector<std::string> candidates;
};

TEST_F(FluidSetupTest, TheFirstSoundFontThatExistsIsTaken) {
  EXPECT_EQ(FindSoundFont(nullptr, candidates), folder.Join("second.sf2"));
  EXPECT_EQ(FindSoundFont("", candidates), folder.Join("second.sf2"));
  EXPECT_EQ(FindSoundFont(nullptr, {folder.Join("none.sf2")}), "");
}

TEST_F(FluidSetupTest, ASoundFontTheUserNamesWinsEvenWhenItIsMissing) {
  EXPECT_EQ(FindSoundFont(folder.Join("third.sf2").c_str(), candidates), folder.Join("third.sf2"));
  EXPECT_EQ(FindSoundFont("/nowhere/mine.sf2", candidates), "/nowhere/mine.sf2");
}

// No other thread of this program runs while the environment changes here.
TEST_F(FluidSetupTest, TheEnvironmentNamesTheSoundFontAndTheAudioFile) {
  ::setenv("QUAVERT_SOUNDFONT", "/opt/sounds/mine.sf2", 1);
  ::setenv("QUAVERT_AUDIO_FILE", "/tmp/out.wav", 1);
  EXPECT_EQ(FluidSetupFromEnvironment(), (FluidSetup{"/opt/sounds/mine.sf2", "/tmp/out.wav"}));
  ::unsetenv("QUAVERT_AUDIO_FILE");
  EXPECT_EQ(FluidSetupFromEnvironment().AudioFile, "");
  ::unsetenv("QUAVERT_SOUNDFONT");
  EXPECT_EQ(FluidSetupFromEnvironment().SoundFont, FindSoundFont(nullptr, InstalledSoundFonts()));
}

}  // namespace
}  // namespace quavert

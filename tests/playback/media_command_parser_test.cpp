#include <gtest/gtest.h>

#include "playback/media_command_parser.h"
#include "playback/media_commands.h"

namespace quavert {
namespace {

using Words = std::vector<std::string>;

// Whatever the name of the file, the device read back is the path the open command was built with.
TEST(MediaCommandParserTest, EveryPathComesBackAsItWasSent) {
  for (const std::string path : {"/tmp/song.mid", "/tmp/my song.mid", "\"quoted\".mid", "/tmp/\"q\"", "/tmp/x\" y",
                                 "/tmp/a b\"", "/tmp/\"a b\" c.mid", "/tmp/ends with blank "}) {
    const std::string command = "Open " + CommandPath(path) + " type MPEGVideo Alias REDevid1 parent 1 Style 2 notify";
    const MediaCommand parsed = ParseMediaCommand(command);
    EXPECT_EQ(parsed.Device, path) << command;
    EXPECT_EQ(parsed.Words, (Words{"type", "MPEGVideo", "Alias", "REDevid1", "parent", "1", "Style", "2"})) << command;
    EXPECT_TRUE(parsed.Notify);
  }
  EXPECT_EQ(ParseMediaCommand("Open \"half.mid type x").Device, "\"half.mid");  // an unclosed quote is part of the word
}

TEST(MediaCommandParserTest, WholeNumbersAreDecimalWithAnOptionalMinus) {
  EXPECT_EQ(WholeNumber("1920"), 1920);
  EXPECT_EQ(WholeNumber("-1"), -1);
  EXPECT_EQ(WholeNumber("9223372036854775807"), INT64_MAX);
  for (const char* word : {"", "+1", "1.5", "12a", " 12", "0x10", "-", "99999999999999999999"})
    EXPECT_FALSE(WholeNumber(word)) << word;
}

}  // namespace
}  // namespace quavert

#include <gtest/gtest.h>

#include <set>

#include "playback/media_command_parser.h"
#include "playback/media_commands.h"
#include "playback/media_errors.h"

namespace quavert {
namespace {

using Words = std::vector<std::string>;

TEST(MediaCommandParserTest, TakesACommandApartIntoVerbDeviceWordsAndNotify) {
  EXPECT_EQ(ParseMediaCommand("Play REDevid1 from 0 to 1920 notify"),
            (MediaCommand{"play", "REDevid1", Words{"from", "0", "to", "1920"}, true}));
  EXPECT_EQ(ParseMediaCommand("STATUS REDevid1   mode"), (MediaCommand{"status", "REDevid1", Words{"mode"}, false}));
  EXPECT_EQ(ParseMediaCommand("  Close REDevid1 NOTIFY "), (MediaCommand{"close", "REDevid1", {}, true}));
  EXPECT_EQ(ParseMediaCommand(""), MediaCommand{});
  EXPECT_EQ(ParseMediaCommand("   "), MediaCommand{});
}

TEST(MediaCommandParserTest, APathWithBlanksLosesItsQuotes) {
  const MediaCommand open =
      ParseMediaCommand("Open \"/home/me/My Songs/a b.mid\" type MPEGVideo Alias REDevid1 parent 7 Style 1 notify");
  EXPECT_EQ(open.Device, "/home/me/My Songs/a b.mid");
  EXPECT_EQ(open.Words, (Words{"type", "MPEGVideo", "Alias", "REDevid1", "parent", "7", "Style", "1"}));
  EXPECT_TRUE(open.Notify);
}

// Whatever the name of the file, the device read back is the path the open command was built with.
TEST(MediaCommandParserTest, EveryPathComesBackAsItWasSent) {
  for (const std::string path : {"/tmp/song.mid", "/tmp/my song.mid", "\"quoted\".mid", "/tmp/\"q\"", "/tmp/x\" y",
                                 "/tmp/a b\"", "/tmp/\"a b\" c.mid", "/tmp/ends with blank "}) {
    const std::string command = "Open " + CommandPath(path) + " type MPEGVideo Alias REDevid1 parent 1 Style 2 notify";
    const MediaCommand parsed = ParseMediaCommand(command);
    EXPECT_EQ(parsed.Device, path) << command;
    EXPECT_EQ(parsed.Words.size(), 8u) << command;
  }
}

TEST(MediaCommandParserTest, AnUnclosedQuoteIsPartOfTheWord) {
  EXPECT_EQ(ParseMediaCommand("Open \"half.mid type x").Device, "\"half.mid");
  EXPECT_EQ(ParseMediaCommand("Open \"").Device, "\"");
}

TEST(MediaCommandParserTest, WholeNumbersAreDecimalWithAnOptionalMinus) {
  EXPECT_EQ(WholeNumber("0"), 0);
  EXPECT_EQ(WholeNumber("1920"), 1920);
  EXPECT_EQ(WholeNumber("-1"), -1);
  EXPECT_EQ(WholeNumber("9223372036854775807"), INT64_MAX);
  for (const char* word : {"", "+1", "1.5", "12a", " 12", "0x10", "-", "99999999999999999999"})
    EXPECT_FALSE(WholeNumber(word)) << word;
}

TEST(MediaErrorsTest, EveryCodeHasItsOwnText) {
  std::set<std::string> texts;
  for (int code = kUnknownCommand; code <= kPlayerFailure; ++code) {
    const std::string text = MediaErrorText(code);
    EXPECT_FALSE(text.empty());
    EXPECT_TRUE(texts.insert(text).second) << "code " << code << " repeats " << text;
  }
  EXPECT_EQ(MediaErrorText(99), "Unknown media error 99.");
  EXPECT_EQ(MediaErrorText(-3), "Unknown media error -3.");
}

}  // namespace
}  // namespace quavert

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "bench_files.h"
#include "examples.h"
#include "lint_support.h"
#include "robustness/damaged_files.h"
#include "support/real_midi.h"
#include "support/valid_corners.h"

namespace quavert {
namespace {

using testing::DamagedFile;
using testing::LintBytes;
using testing::Reaches;

bool HasError(const std::vector<std::string>& problems) {
  return std::any_of(problems.begin(), problems.end(), [](const std::string& p) { return !p.starts_with("w:"); });
}

// Every damage whose load shows a message, fails, or leaves track 1 undecoded is found by lint
// where the damage lies. (The load checks a chunk's end by its last three bytes and an unknown
// meta type stops the decode; lint names the byte that is wrong.)
TEST(LintDamagedFilesTest, EveryDamageTheLoadReportsIsFoundWhereItLies) {
  const std::map<std::string, std::string> found_at = {
      {"empty", "not-midi@0"},
      {"13-bytes", "not-midi@13"},
      {"header-id", "not-midi@8"},  // "RIFF" over MThd: a RIFF file, not of form type RMID
      {"header-size-7", "header-length@4"},
      {"header-size-large", "header-length@4"},
      {"format-3", "format@9"},
      {"format-high-byte", "format@8"},
      {"division-0", "division-zero@12"},
      {"division-smpte", "w:division-smpte@12"},
      {"track-count-wrong", "track-count@10"},
      {"foreign-chunk", "w:foreign-chunk@34"},
      {"trailing-3", "w:trailing-bytes@34"},
      {"trailing-8", "w:trailing-bytes@34"},
      {"no-end-of-track", "meta-length@33/1"},  // FF 2F 01: an end of track of length 1
      {"empty-track", "missing-end-of-track@22/1"},
      {"second-track-short", "missing-end-of-track@44/2"},
      {"length-past-end", "chunk-overrun@18/1"},
      {"length-past-end-cut", "event-overrun@31/1"},
      {"73-chunks", "w:too-many-tracks@1454/73"},
      {"missing-status", "missing-status@30/1"},
      {"clocks-0", "time-signature@28/1"},
      {"tempo-length-0", "meta-length@25/1"},
      {"tempo-short", "meta-length@25/1"},
      {"tempo-0", "tempo-zero@26/1"},
      {"time-signature-short", "meta-length@25/1"},
      {"time-signature-numerator-0", "time-signature@26/1"},
      {"time-signature-dd-15", "time-signature@27/1"},
      {"key-signature-short", "meta-length@25/1"},
      {"channel-prefix-0", "meta-length@25/1"},
      {"meta-type-10", "w:unknown-meta@24/1"},
      {"program-over-127", "data-byte@24/1"},
      {"stray-bytes", "system-common@23/1"},
      {"delta-5-bytes", "vlq-too-long@25/1"},
      {"sysex-past-end", "event-overrun@23/1"},
      {"text-past-end", "event-overrun@23/1"},
      {"end-taken-as-data", "data-byte@25/1"},
  };
  for (const DamagedFile& damaged : testing::DamagedFiles()) {
    SCOPED_TRACE(damaged.name);
    const std::vector<std::string> problems = LintBytes(damaged.bytes);
    const bool reported = !damaged.messages.empty() || damaged.reaches != Reaches::kDecoded;
    const auto expected = found_at.find(damaged.name);
    if (expected == found_at.end()) {
      EXPECT_FALSE(reported) << "a damage the load reports needs its place here";
      EXPECT_FALSE(HasError(problems)) << ::testing::PrintToString(problems);
      continue;
    }
    // A damage the load passes quietly (a stray byte, a delta of five bytes) is found all the same.
    EXPECT_NE(std::find(problems.begin(), problems.end(), expected->second), problems.end())
        << ::testing::PrintToString(problems);
  }
}

// The examples, the valid files at the corners of the format, the generated files of every style
// and the real files have no error.
TEST(LintValidFilesTest, ExamplesCornersGeneratedAndRealFilesHaveNoError) {
  for (const testing::CornerFile& corner : testing::ValidCornerFiles())
    EXPECT_EQ(LintBytes(corner.bytes), std::vector<std::string>{}) << corner.name;
  for (const generate::ExampleFile& example : generate::ExampleFiles())
    EXPECT_EQ(LintBytes(example.bytes), std::vector<std::string>{}) << example.name;
  for (const auto& [style, tracks] : {std::pair{generate::Style::kSong, 1}, {generate::Style::kSong, 3},
                                      {generate::Style::kSong, generate::kMaxTracks}, {generate::Style::kDrums, 1},
                                      {generate::Style::kPrograms, 1}}) {
    const std::vector<std::string> problems = LintBytes(generate::MakeFile({style, tracks, 3000, 5}));
    EXPECT_FALSE(HasError(problems)) << tracks << " tracks: " << ::testing::PrintToString(problems);
  }
  const std::vector<std::string>& real = testing::RealMidiFiles();
  if (real.empty()) GTEST_SKIP() << "no real MIDI files (offline)";
  for (const std::string& path : real) {
    std::vector<std::string> problems;
    for (const Problem& problem : LintFile(path)) problems.push_back(testing::Describe(problem));
    EXPECT_FALSE(HasError(problems)) << path << ": " << ::testing::PrintToString(problems);
  }
}

}  // namespace
}  // namespace quavert

#include <gtest/gtest.h>

#include "lint/lint_format.h"
#include "lint_support.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::LintBytes;
using testing::Rmid;
using testing::Smf;

const Bytes kEnd = Hex("00 FF 2F 00");
const Bytes kNotes = Hex("00 90 3C 64 60 80 3C 00");
const Bytes kSound = Smf(0, 96, {kNotes + kEnd});  // 34 bytes; track data from offset 22

Bytes Patched(Bytes file, std::size_t at, const Bytes& bytes) { return file.replace(at, bytes.size(), bytes); }

// Track 1 of a format-0 file holds `data`: its first byte is at offset 22.
Bytes Track(const Bytes& data) { return Smf(0, 96, {data}); }

struct Case {
  const char* name;
  Bytes bytes;
  std::vector<std::string> problems;
};

// Each code from the smallest file that has it, with the offset it names, and nothing else found.
TEST(LintCodesTest, EachCodeIsFoundAtItsOffset) {
  const Case cases[] = {
      {"sound", kSound, {}},
      {"not-midi", Patched(kSound, 0, "MThx"), {"not-midi@0"}},
      {"not-midi-short-header", kSound.substr(0, 13), {"not-midi@13"}},
      // A longer header is passed by its length.
      {"header-length", Patched(kSound, 7, Hex("07")).insert(14, "x"), {"header-length@4"}},
      {"format", Patched(kSound, 8, Hex("00 03")), {"format@9"}},
      {"format-high-byte", Patched(kSound, 8, Hex("01 00")), {"format@8"}},
      {"division-zero", Patched(kSound, 12, Hex("00 00")), {"division-zero@12"}},
      {"division-smpte", Patched(kSound, 12, Hex("E7 28")), {"w:division-smpte@12"}},
      {"track-count", Patched(kSound, 10, Hex("00 02")), {"track-count@10"}},
      {"chunk-overrun", Patched(kSound, 21, Hex("40")), {"chunk-overrun@18/1"}},
      {"missing-end-of-track", Track(kNotes), {"missing-end-of-track@30/1"}},
      {"missing-end-of-track-empty", Track(""), {"missing-end-of-track@22/1"}},
      {"end-of-track-without-length", Track(kNotes + Hex("00 FF 2F")), {"missing-end-of-track@33/1"}},
      {"end-of-track-length-1", Track(kNotes + Hex("00 FF 2F 01 00")), {"meta-length@33/1"}},
      {"data-after-end-of-track", Track(kNotes + kEnd + Hex("00 90")), {"data-after-end-of-track@34/1"}},
      {"missing-status", Track(Hex("00 3C 64 00") + kEnd), {"missing-status@23/1"}},
      {"missing-status-after-meta", Track(Hex("00 90 3C 64 00 FF 01 00 00 3C 00") + kEnd), {"missing-status@31/1"}},
      {"vlq-too-long", Track(Hex("00 90 3C 00 81 80 80 80 00 80 3C 00") + kEnd), {"vlq-too-long@26/1"}},
      {"event-overrun", Track(Hex("00 F0 7F 01 02 03") + kEnd), {"event-overrun@23/1"}},
      {"event-overrun-note", Track(kNotes + Hex("00 90 3C")), {"event-overrun@31/1"}},
      {"system-common", Track(Hex("00 F4 00") + kNotes + kEnd), {"system-common@23/1"}},
      {"data-byte-program", Track(Hex("00 C0 85 00") + kEnd), {"data-byte@24/1"}},
      {"data-byte-velocity", Track(Hex("00 90 3C FF 00") + kEnd), {"data-byte@25/1"}},
      {"data-byte-running", Track(Hex("00 90 3C 64 00 3C 80 00") + kEnd), {"data-byte@28/1"}},
      {"data-byte-controller-cut", Track(Hex("00 B0 90 3C 00 00") + kEnd), {"data-byte@24/1"}},
      {"meta-length-tempo", Track(Hex("00 FF 51 02 07 A1 00") + kEnd), {"meta-length@25/1"}},
      {"meta-length-tempo-long", Track(Hex("00 FF 51 04 07 A1 20 00 00") + kEnd), {"meta-length@25/1"}},
      {"meta-length-time-signature", Track(Hex("00 FF 58 03 04 02 18 00") + kEnd), {"meta-length@25/1"}},
      {"meta-length-key-signature", Track(Hex("00 FF 59 01 00 00") + kEnd), {"meta-length@25/1"}},
      {"meta-length-channel-prefix", Track(Hex("00 FF 20 00 00") + kEnd), {"meta-length@25/1"}},
      {"meta-length-port", Track(Hex("00 FF 21 02 00 00") + kEnd), {"meta-length@25/1"}},
      {"meta-length-sequence-number", Track(Hex("00 FF 00 01 05 00") + kEnd), {"meta-length@25/1"}},
      {"tempo-zero", Track(Hex("00 FF 51 03 00 00 00 00") + kEnd), {"tempo-zero@26/1"}},
      {"time-signature-numerator", Track(Hex("00 FF 58 04 00 02 18 08 00") + kEnd), {"time-signature@26/1"}},
      {"time-signature-denominator", Track(Hex("00 FF 58 04 04 0F 18 08 00") + kEnd), {"time-signature@27/1"}},
      {"time-signature-clocks", Track(Hex("00 FF 58 04 04 02 00 08 00") + kEnd), {"time-signature@28/1"}},
      {"key-signature-sharps", Track(Hex("00 FF 59 02 08 00 00") + kEnd), {"key-signature@26/1"}},
      {"key-signature-flats", Track(Hex("00 FF 59 02 F8 00 00") + kEnd), {"key-signature@26/1"}},
      {"key-signature-mode", Track(Hex("00 FF 59 02 F9 02 00") + kEnd), {"key-signature@27/1"}},
      {"foreign-chunk", kSound + "XFIL" + Hex("00 00 00 02") + "ab", {"w:foreign-chunk@34"}},
      {"trailing-bytes", kSound + "abc", {"w:trailing-bytes@34"}},
      {"trailing-bytes-no-chunk", kSound + "abcdefgh", {"w:trailing-bytes@34"}},
      // An unknown meta event is passed by its length: the track goes on after it.
      {"unknown-meta", Track(Hex("00 FF 60 82 00") + Bytes(256, 'a') + Hex("00 3C") + kEnd),
       {"w:unknown-meta@24/1", "missing-status@284/1"}},
      {"sysex-unterminated", Track(Hex("00 F0 03 7E 7F 09") + kNotes + kEnd), {"w:sysex-unterminated@23/1"}},
      {"hanging-note", Track(Hex("00 90 3C 64 00 91 3C 64 00 90 3C 00 00 90 3C 64 00 90 3C 65") + kEnd),
       {"w:hanging-note@27/1", "w:hanging-note@35/1"}},
      {"too-many-tracks", Smf(1, 96, std::vector<Bytes>(73, kNotes + kEnd)), {"w:too-many-tracks@1454/73"}},
      // What is sound passes: a sequence number, a message sent in parts, running status,
      // a note on of velocity 0 as its note off, texts of every kind, the largest values.
      {"sound-events",
       Track(Hex("00 FF 00 02 00 01 00 FF 00 00 00 FF 01 02 41 42 00 FF 7F 03 00 00 41 00 FF 20 01 0F "
                 "00 FF 21 01 00 00 FF 54 05 60 00 00 00 00 00 FF 58 04 04 0E 18 08 00 FF 59 02 F9 01 "
                 "00 F0 02 7E 7F 10 F7 02 01 F7 00 90 3C 64 10 3C 00 00 B0 07 7F 00 C0 7F FF FF 7F 80 3C 00") +
             kEnd),
       {}},
  };
  for (const Case& c : cases) EXPECT_EQ(LintBytes(c.bytes), c.problems) << c.name;
}

// One track's error ends that track only: the walk goes on, and each problem names its track.
TEST(LintCodesTest, AProblemEndsItsTrackAndTheWalkGoesOn) {
  const Bytes file = Smf(1, 96, {Hex("00 F4") + kEnd, Hex("00 FF 2F 00 00"), kNotes + kEnd, Hex("00 90 3C 64") + kEnd});
  EXPECT_EQ(LintBytes(file), (std::vector<std::string>{"system-common@23/1", "data-after-end-of-track@40/2",
                                                         "w:hanging-note@70/4"}));
}

TEST(LintCodesTest, RmidOffsetsAreThoseOfTheRiffFile) {
  const Bytes info = "LIST" + Hex("04 00 00 00") + "INFO";
  EXPECT_EQ(LintBytes(Rmid(kSound, info)), std::vector<std::string>{});
  // The MIDI data starts at offset 20.
  EXPECT_EQ(LintBytes(Rmid(Track(Hex("00 F4") + kEnd), info)), std::vector<std::string>{"system-common@43/1"});
  EXPECT_EQ(LintBytes(Rmid(kSound + "abc")), std::vector<std::string>{"w:trailing-bytes@54"});
  Bytes wave = Rmid(kSound);
  EXPECT_EQ(LintBytes(wave.replace(8, 4, "WAVE")), std::vector<std::string>{"not-midi@8"});
  EXPECT_EQ(LintBytes("RIFF" + Hex("0C 00 00 00") + "RMID" + info), std::vector<std::string>{"not-midi@24"});
  // Cut inside the note on: both the data chunk and the track chunk run past the end.
  const Bytes cut = Rmid(kSound).substr(0, 45);
  EXPECT_EQ(LintBytes(cut), (std::vector<std::string>{"chunk-overrun@16", "chunk-overrun@38/1", "event-overrun@43/1"}));
}

TEST(LintFormatTest, TextAndJsonLines) {
  const Problem problem{23, 1, Severity::kError, "missing-status", "data byte 60 (3C hex) \"x\""};
  const Problem header{12, std::nullopt, Severity::kWarning, "division-smpte", "SMPTE"};
  EXPECT_EQ(ProblemText("a.mid", problem), "a.mid:23: error: data byte 60 (3C hex) \"x\" [missing-status]");
  EXPECT_EQ(ProblemText("a.mid", header), "a.mid:12: warning: SMPTE [division-smpte]");
  EXPECT_EQ(SummaryText("a.mid", 1, 2), "a.mid: 1 errors, 2 warnings");
  EXPECT_EQ(ProblemJson("a.mid", problem),
            R"({"file": "a.mid", "offset": 23, "track": 1, "severity": "error", "code": "missing-status", )"
            R"("message": "data byte 60 (3C hex) \"x\""})");
  EXPECT_EQ(ProblemJson("a.mid", header), R"({"file": "a.mid", "offset": 12, "track": null, "severity": "warning", )"
                                          R"("code": "division-smpte", "message": "SMPTE"})");
  EXPECT_EQ(SummaryJson("a.mid", 0, 3), R"({"file": "a.mid", "errors": 0, "warnings": 3})");
  // Control characters and bytes that are not UTF-8 are escaped; UTF-8 stays as it is.
  EXPECT_EQ(JsonString("a\\b\tc\x01"), R"("a\\b\u0009c\u0001")");
  EXPECT_EQ(JsonString("caf\xC3\xA9 \xE9t\xC3"), "\"caf\xC3\xA9 \\u00E9t\\u00C3\"");
  EXPECT_EQ(JsonString("\xED\xA0\x80\xF0\x9F\x8E\xB5"), "\"\\u00ED\\u00A0\\u0080\xF0\x9F\x8E\xB5\"");
}

}  // namespace
}  // namespace quavert

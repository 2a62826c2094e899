#include <gtest/gtest.h>

#include "common/file_system.h"
#include "common/run_error.h"
#include "decoding/byte_patcher.h"
#include "decoding_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::kEnd;
using testing::Smf;

// A file whose first tempo's data begins at byte 14 + 8 + 5 = 27, with a time signature after.
const Bytes kFile = Smf(0, 96, {Hex("00 FF 51 03 07 A1 20 00 FF 58 04 04 02 00 08 00 90 3C 64 00") + kEnd});
constexpr std::int64_t kTempoPos = 27;

class BytePatcherTest : public testing::SessionTest {
 protected:
  BytePatcherTest() {
    session.file.WorkCopyName = kWorkCopyName;
    testing::WriteFileBytes(session.WorkCopyPath(), kFile);
  }
  Bytes WorkCopy() const { return AppFileBytes(kWorkCopyName); }
  // kFile with `bytes` in place from 1-based `position` on.
  static Bytes Patched(std::int64_t position, const Bytes& bytes) {
    Bytes out = kFile;
    out.replace(static_cast<std::size_t>(position - 1), bytes.size(), bytes);
    return out;
  }
  void PatchTempo(std::int64_t bpm) {
    session.decoder.PatchKind = kPatchFirstTempo;
    session.decoder.TempoPos = kTempoPos;
    session.decoder.TempoBpm = bpm;
    PatchFile(session);
  }
};

TEST_F(BytePatcherTest, DivisionGoesToBytesThirteenAndFourteen) {
  session.decoder.PatchKind = kPatchDivision;
  session.file.DeltaTicks = 480;
  PatchFile(session);
  EXPECT_EQ(WorkCopy(), Patched(13, Hex("01 E0")));
  EXPECT_EQ(session.decoder.PatchKind, 0);
}

TEST_F(BytePatcherTest, FirstTempoIsWrittenAsMicrosecondsPerQuarter) {
  struct Case {
    std::int64_t bpm;
    const char* bytes;
  };
  for (const Case& c : {Case{100, "09 27 C0"}, Case{50, "12 4F 80"}, Case{500, "01 D4 C0"}, Case{120, "07 A1 20"},
                        Case{97, "09 70 3C"}, Case{4, "E4 E1 C0"}}) {
    PatchTempo(c.bpm);
    EXPECT_EQ(testing::ToHex(WorkCopy()), testing::ToHex(Patched(kTempoPos, Hex(c.bytes)))) << c.bpm;
    EXPECT_EQ(session.decoder.PatchKind, 0);
  }
}

TEST_F(BytePatcherTest, ClocksByteBecomesTwoAndNothingElseChanges) {
  session.decoder.PatchKind = kPatchClocksByte;
  session.decoder.TimeSigPatchPos = 14 + 8 + 15 + 1;  // after the time signature's last data byte
  PatchFile(session);
  EXPECT_EQ(testing::ToHex(WorkCopy()), testing::ToHex(Patched(14 + 8 + 14, Hex("02"))));
}

TEST_F(BytePatcherTest, PatchesThatCannotBeMadeChangeNothing) {
  // No first tempo was found.
  session.decoder.PatchKind = kPatchFirstTempo;
  session.decoder.TempoPos = -1;
  session.decoder.TempoBpm = 120;
  try {
    PatchFile(session);
    ADD_FAILURE() << "no tempo position";
  } catch (const RunError& error) {
    EXPECT_EQ(error.code(), kInvalidArgument);
  }
  // Tempos of 3 or fewer beats per minute do not fit three bytes; 0 and less are no tempo.
  for (std::int64_t bpm : {3, 0, -120}) {
    try {
      PatchTempo(bpm);
      ADD_FAILURE() << bpm;
    } catch (const RunError& error) {
      EXPECT_EQ(error.code(), kOverflow) << bpm;
    }
  }
  // A tempo past the end of the file would lengthen it.
  session.decoder.PatchKind = kPatchFirstTempo;
  session.decoder.TempoBpm = 120;
  session.decoder.TempoPos = static_cast<std::int64_t>(kFile.size()) - 1;
  EXPECT_THROW(PatchFile(session), RunError);
  // A division beyond two bytes, and kinds that do not exist.
  session.decoder.PatchKind = kPatchDivision;
  session.file.DeltaTicks = 65536;
  EXPECT_THROW(PatchFile(session), RunError);
  for (int kind : {0, 4}) {
    session.decoder.PatchKind = kind;
    EXPECT_THROW(PatchFile(session), RunError) << kind;
  }
  EXPECT_EQ(WorkCopy(), kFile);
}

TEST_F(BytePatcherTest, MissingWorkingCopyIsNotCreated) {
  ASSERT_EQ(::remove(session.WorkCopyPath().c_str()), 0);
  session.decoder.PatchKind = kPatchDivision;
  session.file.DeltaTicks = 96;
  try {
    PatchFile(session);
    ADD_FAILURE() << "patched a missing file";
  } catch (const RunError& error) {
    EXPECT_EQ(error.code(), kFileNotFound);
  }
  EXPECT_FALSE(FileExists(session.WorkCopyPath()));
}

}  // namespace
}  // namespace quavert

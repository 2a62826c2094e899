#include <gtest/gtest.h>

#include "common/file_system.h"
#include "common/run_error.h"
#include "decoding/byte_patcher.h"
#include "decoding_fixture.h"

namespace quavert {
namespace {

using namespace testing;

// The first tempo's data begins at byte 14 + 8 + 5 = 27; the time signature's clocks byte is 37.
const Bytes kFile = Smf(0, 96, {Hex("00 FF 51 03 07 A1 20 00 FF 58 04 04 02 00 08 00 90 3C 64 00") + kEnd});
constexpr std::int64_t kTempoPos = 27;

class BytePatcherTest : public SessionTest {
 protected:
  BytePatcherTest() {
    session.file.WorkCopyName = kWorkCopyName;
    WriteFileBytes(session.WorkCopyPath(), kFile);
  }
  std::string Patched() const { return ToHex(AppFileBytes(kWorkCopyName)); }
  // kFile with `bytes` in place from 1-based `position` on.
  static std::string Expected(std::int64_t position, const char* bytes) {
    Bytes out = kFile;
    out.replace(static_cast<std::size_t>(position - 1), Hex(bytes).size(), Hex(bytes));
    return ToHex(out);
  }
  // The error number of a patch that must fail.
  int Failure(int kind) {
    session.decoder.PatchKind = kind;
    try {
      PatchFile(session);
    } catch (const RunError& error) {
      return error.code();
    }
    return 0;
  }
};

TEST_F(BytePatcherTest, EachKindWritesItsBytesInPlace) {
  struct Case {
    int kind;
    std::int64_t value;  // ticks per quarter note, clocks position or tempo
    std::int64_t at;
    const char* bytes;
  };
  for (const Case& c : {Case{kPatchDivision, 480, 13, "01 E0"}, Case{kPatchClocksByte, 39, 37, "02"},
                        Case{kPatchFirstTempo, 100, kTempoPos, "09 27 C0"}, Case{kPatchFirstTempo, 50, kTempoPos, "12 4F 80"},
                        Case{kPatchFirstTempo, 500, kTempoPos, "01 D4 C0"}, Case{kPatchFirstTempo, 120, kTempoPos, "07 A1 20"},
                        Case{kPatchFirstTempo, 97, kTempoPos, "09 70 3C"}, Case{kPatchFirstTempo, 4, kTempoPos, "E4 E1 C0"}}) {
    WriteFileBytes(session.WorkCopyPath(), kFile);
    session.decoder.PatchKind = c.kind;
    session.file.DeltaTicks = c.value;
    session.decoder.TimeSigPatchPos = c.value;  // after the time signature's last data byte
    session.decoder.TempoPos = kTempoPos;
    session.decoder.TempoBpm = c.value;
    PatchFile(session);
    EXPECT_EQ(Patched(), Expected(c.at, c.bytes)) << c.kind << " " << c.value;
    EXPECT_EQ(session.decoder.PatchKind, 0);
  }
}

TEST_F(BytePatcherTest, PatchesThatCannotBeMadeChangeNothing) {
  session.decoder.TempoPos = -1;  // no first tempo was found
  session.decoder.TempoBpm = 120;
  EXPECT_EQ(Failure(kPatchFirstTempo), kInvalidArgument);
  session.decoder.TempoPos = static_cast<std::int64_t>(kFile.size()) - 1;  // would lengthen the file
  EXPECT_EQ(Failure(kPatchFirstTempo), kInvalidArgument);
  session.decoder.TempoPos = kTempoPos;
  for (std::int64_t bpm : {3, 0, -120}) {  // three bytes cannot hold them
    session.decoder.TempoBpm = bpm;
    EXPECT_EQ(Failure(kPatchFirstTempo), kOverflow) << bpm;
  }
  session.file.DeltaTicks = 65536;
  EXPECT_EQ(Failure(kPatchDivision), kOverflow);
  EXPECT_EQ(Failure(0), kInvalidArgument);
  EXPECT_EQ(Failure(4), kInvalidArgument);
  EXPECT_EQ(Patched(), ToHex(kFile));

  ASSERT_EQ(::remove(session.WorkCopyPath().c_str()), 0);
  session.file.DeltaTicks = 96;
  EXPECT_EQ(Failure(kPatchDivision), kFileNotFound);
  EXPECT_FALSE(FileExists(session.WorkCopyPath()));
}

}  // namespace
}  // namespace quavert

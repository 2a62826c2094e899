#include <gtest/gtest.h>

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
  BytePatcherTest() { session.file.WorkCopyName = kWorkCopyName; }
  // Patches a fresh copy of kFile with `kind`, `value` standing for the ticks per quarter note,
  // the clocks position and the tempo alike. The working copy in hex after it, behind the error
  // number when the patch fails.
  std::string Patch(int kind, std::int64_t value, std::int64_t tempo_pos = kTempoPos) {
    WriteFileBytes(session.WorkCopyPath(), kFile);
    session.decoder.PatchKind = kind;
    session.file.DeltaTicks = value;
    session.decoder.TimeSigPatchPos = value;  // after the time signature's last data byte
    session.decoder.TempoBpm = value;
    session.decoder.TempoPos = tempo_pos;
    std::string failure;
    try {
      PatchFile(session);
    } catch (const RunError& error) {
      failure = "error " + std::to_string(error.code()) + ": ";
    }
    return failure + ToHex(AppFileBytes(kWorkCopyName));
  }
};

TEST_F(BytePatcherTest, EachKindWritesItsBytesInPlace) {
  const struct { int kind; std::int64_t value; std::size_t at; const char* bytes; } cases[] = {
      {kPatchDivision, 480, 13, "01 E0"}, {kPatchClocksByte, 39, 37, "02"},
      {kPatchFirstTempo, 97, kTempoPos, "09 70 3C"},  // 618556.7 microseconds, the fraction cut
      {kPatchFirstTempo, 4, kTempoPos, "E4 E1 C0"}};  // the slowest tempo three bytes hold
  for (const auto& c : cases) {
    Bytes expected = kFile;
    expected.replace(c.at - 1, Hex(c.bytes).size(), Hex(c.bytes));
    EXPECT_EQ(Patch(c.kind, c.value), ToHex(expected)) << c.kind << " " << c.value;
  }
}

TEST_F(BytePatcherTest, PatchesThatCannotBeMadeChangeNothing) {
  const struct { int kind; std::int64_t value, tempo_pos; int error; } cases[] = {
      {kPatchFirstTempo, 120, -1, kInvalidArgument},  // no first tempo was found
      {kPatchFirstTempo, 120, static_cast<std::int64_t>(kFile.size()) - 1, kInvalidArgument},  // past the end
      {kPatchFirstTempo, 3, kTempoPos, kOverflow}, {kPatchFirstTempo, 0, kTempoPos, kOverflow},  // no three bytes hold these
      {kPatchFirstTempo, -120, kTempoPos, kOverflow}, {kPatchDivision, 65536, kTempoPos, kOverflow},
      {0, 96, kTempoPos, kInvalidArgument}, {4, 96, kTempoPos, kInvalidArgument}};
  for (const auto& c : cases)
    EXPECT_EQ(Patch(c.kind, c.value, c.tempo_pos), "error " + std::to_string(c.error) + ": " + ToHex(kFile))
        << c.kind << " " << c.value;
}

}  // namespace
}  // namespace quavert

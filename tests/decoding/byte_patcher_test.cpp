#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "common/run_error.h"
#include "decoding/byte_patcher.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using namespace testing;

// The first tempo's data begins at byte 14 + 8 + 5 = 27; the time signature's clocks byte is 37.
const Bytes kFile = Smf(0, 96, {Hex("00 FF 51 03 07 A1 20 00 FF 58 04 04 02 00 08 00 90 3C 64 00 FF 2F 00")});
constexpr std::int64_t kTempoPos = 27;

// Makes a patch and writes it over a fresh copy of kFile: the copy in hex after it, behind the
// error number when making or writing the patch fails.
std::string Patched(const std::function<BytePatch()>& make) {
  TempFolder folder;
  const std::string path = folder.Join("work.tmp");
  WriteFileBytes(path, kFile);
  std::string failure;
  try {
    ApplyPatch(path, make());
  } catch (const RunError& error) {
    failure = "error " + std::to_string(error.code()) + ": ";
  }
  return failure + ToHex(ReadFileBytes(path));
}

TEST(BytePatcherTest, EachPatchWritesItsBytesInPlace) {
  const struct { std::function<BytePatch()> make; std::size_t at; const char* bytes; } cases[] = {
      {[] { return DivisionPatch(480); }, 13, "01 E0"},
      {[] { return ClocksBytePatch(37); }, 37, "02"},
      {[] { return TempoPatch(kTempoPos, 97); }, kTempoPos, "09 70 3C"},  // 618556.7 microseconds, the fraction cut
      {[] { return TempoPatch(kTempoPos, 4); }, kTempoPos, "E4 E1 C0"}};  // the slowest tempo three bytes hold
  for (const auto& c : cases) {
    Bytes expected = kFile;
    expected.replace(c.at - 1, Hex(c.bytes).size(), Hex(c.bytes));
    EXPECT_EQ(Patched(c.make), ToHex(expected)) << c.bytes;
  }
}

TEST(BytePatcherTest, PatchesThatCannotBeMadeChangeNothing) {
  const auto past_end = static_cast<std::int64_t>(kFile.size()) - 1;
  const struct { std::function<BytePatch()> make; int error; } cases[] = {
      {[] { return TempoPatch(-1, 120); }, kInvalidArgument},  // no first tempo was found
      {[&] { return TempoPatch(past_end, 120); }, kInvalidArgument},
      {[] { return TempoPatch(kTempoPos, 3); }, kOverflow},  // no three bytes hold these
      {[] { return TempoPatch(kTempoPos, 0); }, kOverflow},
      {[] { return TempoPatch(kTempoPos, -120); }, kOverflow},
      {[] { return DivisionPatch(65536); }, kOverflow},
      {[] { return ClocksBytePatch(0); }, kInvalidArgument}};
  for (const auto& c : cases) EXPECT_EQ(Patched(c.make), "error " + std::to_string(c.error) + ": " + ToHex(kFile));
}

TEST(BytePatcherTest, AMissingFileIsNotCreated) {
  TempFolder folder;
  const std::string path = folder.Join("gone.tmp");
  try {
    ApplyPatch(path, DivisionPatch(96));
    ADD_FAILURE() << "patched a missing file";
  } catch (const RunError& error) {
    EXPECT_EQ(error.code(), kFileNotFound);
  }
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace quavert

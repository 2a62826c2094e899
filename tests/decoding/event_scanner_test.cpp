#include <gtest/gtest.h>

#include <vector>

#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "decoding/delta_time.h"
#include "decoding/event_rows.h"
#include "decoding/event_scanner.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::ToHex;

// One event on one line: what was read and where its bytes and its delta lie.
std::string Describe(const ScannedEvent& e) {
  auto range = [](std::int64_t first, std::int64_t last) { return "@" + std::to_string(first) + "-" + std::to_string(last); };
  auto hex = [](int byte) { return ToHex(std::string(1, static_cast<char>(byte))); };
  std::string out;
  switch (e.kind) {
    case ScannedKind::kChannel:
      out = (e.running ? "r" : "") + hex(e.status) + " " + hex(e.data1) + (e.data2 >= 0 ? " " + hex(e.data2) : "");
      break;
    case ScannedKind::kCutChannel: out = "cut " + hex(e.status); break;
    case ScannedKind::kSysex: out = hex(e.status) + " len" + std::to_string(e.length); break;
    case ScannedKind::kMeta:
      out = "FF" + hex(e.meta_type) + (e.length >= 0 ? " len" + std::to_string(e.length) : "");
      if (!e.data.empty()) out += " [" + (e.data.size() <= 5 ? ToHex(e.data) : std::to_string(e.data.size()) + " bytes") + "]";
      break;
    case ScannedKind::kEndOfTrack: out = "end"; break;
    case ScannedKind::kStray: out = "stray " + hex(e.status); break;
  }
  out += " " + range(e.first, e.last);
  if (e.delta.value >= 0) out += " +" + std::to_string(e.delta.value) + range(e.delta.first, e.delta.last);
  if (e.problem != ScanProblem::kNone) out += " stop";
  return out;
}

// Track data alone in a file, so that positions are 1-based offsets into the data.
class ScannerTest : public ::testing::Test {
 protected:
  // Every event up to the end of track or a problem, reading no further than `last`.
  std::vector<ScannedEvent> Scan(const Bytes& data, std::int64_t last = -1) {
    Open(data);
    ByteReader reader(*file_, 1, last < 0 ? static_cast<std::int64_t>(data.size()) : last);
    EventScanner scanner(reader);
    leading_ = scanner.Start();
    std::vector<ScannedEvent> events;
    while (auto event = scanner.Next()) events.push_back(*event);
    EXPECT_FALSE(scanner.Next().has_value());
    return events;
  }
  std::vector<std::string> Described(const Bytes& data) {
    std::vector<std::string> lines;
    for (const ScannedEvent& event : Scan(data)) lines.push_back(Describe(event));
    return lines;
  }
  void Open(const Bytes& data) {
    testing::WriteFileBytes(folder_.Join("track"), data);
    file_.emplace(folder_.Join("track"), BinaryFile::Mode::kRead);
  }

  std::optional<BinaryFile> file_;
  DeltaTime leading_;

 private:
  testing::TempFolder folder_;
};

using Lines = std::vector<std::string>;

TEST_F(ScannerTest, DeltaTimesReadAtMostThreeBytes) {
  struct Case {
    const char* bytes;
    std::int32_t value;
    std::int64_t next;  // position after the delta
  };
  for (const Case& c : {Case{"7F", 127, 2}, Case{"81 00", 128, 3}, Case{"FF 7F", 16383, 3}, Case{"81 80 00", 16384, 4},
                        Case{"FF FF FF 7F", 2097279, 4}, Case{"FF FF 7F 7F", 2097151, 4}, Case{"BD 84 40", 1000000, 4}}) {
    Open(Hex(c.bytes));
    ByteReader reader(*file_, 1, 4);
    EXPECT_EQ(ReadDeltaTime(reader), c.value) << c.bytes;
    EXPECT_EQ(reader.Position(), c.next) << c.bytes;
  }
}

TEST_F(ScannerTest, ChannelEventsWithRunningStatus) {
  EXPECT_EQ(Described(Hex("00 90 3C 64 10 3C 00 00 C0 05 81 00 06 00 FF 2F 00")),
            (Lines{"90 3C 64 @2-4 +16@5-5", "r90 3C 00 @6-7 +0@8-8", "C0 05 @9-10 +128@11-12", "rC0 06 @13-13 +0@14-14",
                   "end @15-16"}));
  EXPECT_EQ(leading_, (DeltaTime{0, 1, 1}));
  // Data bytes are taken as read: a status-sized note number, a controller value of 200.
  EXPECT_EQ(Described(Hex("00 90 C8 64 00 B0 07 C8 00 FF 2F 00")),
            (Lines{"90 C8 64 @2-4 +0@5-5", "B0 07 C8 @6-8 +0@9-9", "end @10-11"}));
}

TEST_F(ScannerTest, StatusByteWhereAControllerValueBelongsStartsTheNextEvent) {
  EXPECT_EQ(Described(Hex("00 B0 90 3C 64 00 A1 F4 FF 2F 00")),
            (Lines{"cut B0 @2-2", "90 3C 64 @3-5 +0@6-6", "cut A1 @7-7", "stray F4 @8-8", "end @9-10"}));
}

TEST_F(ScannerTest, SystemExclusiveSpansStatusThroughItsLastByte) {
  // With no data, the length byte is the last one read.
  EXPECT_EQ(Described(Hex("00 F0 03 01 02 F7 05 F7 00 00 3C FF 2F 00")),
            (Lines{"F0 len3 @2-6 +5@7-7", "F7 len0 @8-9 +0@10-10", "stray 3C @11-11", "end @12-13"}));
}

TEST_F(ScannerTest, MetaEventsReadWhatTheirTypeSays) {
  const Bytes data = Hex("00 FF 00 02 01")                                       // sequence number: no more; stray bytes
                     + Hex("FF 21 05 03 07")                                     // port: two bytes, whatever the length says
                     + Hex("FF 54 05 60 00 03 00 00 01")                         // SMPTE offset: a length and five
                     + Hex("FF 7F 81 00") + Bytes(128, 'A') + Hex("3C")          // sequencer-specific: VLQ length
                     + Hex("FF 03 02") + "Hi" + Hex("00 FF 2F 00");
  EXPECT_EQ(Described(data), (Lines{"FF00 @2-3", "stray 02 @4-4", "stray 01 @5-5", "FF21 len5 [03] @6-9 +7@10-10",
                                "FF54 len5 [60 00 03 00 00] @11-18 +1@19-19", "FF7F len128 [128 bytes] @20-151 +60@152-152",
                                "FF03 len2 [48 69] @153-157 +0@158-158", "end @159-160"}));
}

TEST_F(ScannerTest, UnusableEventsStopBeforeTheirDelta) {
  for (const char* bytes : {"00 C0 80 00", "00 FF 07 01 41 00", "00 FF 20 00 00", "00 FF 51 02 07 A1 00",
                            "00 FF 51 03 00 00 00 00", "00 FF 58 03 04 02 18 00", "00 FF 58 04 00 02 18 08 00",
                            "00 FF 58 04 04 0F 18 08 00", "00 FF 59 01 00 00"}) {
    const auto events = Scan(Hex(bytes) + Hex("FF 2F 00"));
    ASSERT_EQ(events.size(), 1u) << bytes;
    EXPECT_NE(events[0].problem, ScanProblem::kNone) << bytes;
    EXPECT_EQ(events[0].delta.value, -1) << bytes;
  }
  EXPECT_EQ(Scan(Hex("00 FF 51 02 07 A1 00 FF 2F 00"))[0].data_first, 5);  // kept for LastTempoPos
  EXPECT_EQ(Scan(Hex("00 FF 58 04 04 0E 18 08 00 FF 2F 00"))[0].problem, ScanProblem::kNone);  // 2^14 fits
}

TEST_F(ScannerTest, NothingIsReadPastTheRange) {
  EXPECT_THROW(Scan(Hex("00 FF 01 05 41 FF 2F 00 00 00 00"), 5), ReadPastLimit);  // the file goes on; the range not
  for (const char* bytes : {"00 90 3C", "00 F0 FF FF 7F 00 FF 2F 00", "00 90 3C 64 81", "00 90 3C 64 00"})
    EXPECT_THROW(Scan(Hex(bytes)), ReadPastLimit) << bytes;
}

TEST_F(ScannerTest, WhichEventsStartTheTimedPartAndGetRows) {
  struct Case {
    const char* bytes;  // one event after a leading delta
    bool starts, row_before, row_after;
  };
  for (const Case& c : {Case{"00 90 3C 64 00", true, true, true}, Case{"00 F0 01 F7 00", true, true, true},
                        Case{"00 B0 F4", true, false, false}, Case{"00 FF 01 01 41 00", false, false, true},
                        Case{"00 FF 01 01 41 01", true, true, true}, Case{"00 FF 05 01 41 02", true, true, true},
                        Case{"00 FF 06 01 41 01", false, false, true}, Case{"00 FF 03 01 41 01", false, false, false},
                        Case{"00 FF 51 03 07 A1 20 00", false, false, true}, Case{"00 FF 58 04 04 02 18 08 00", false, false, true},
                        Case{"00 FF 59 02 00 00 00", false, false, false}, Case{"00 3C", false, false, false},
                        Case{"00 C0 80", true, false, false}}) {
    const auto events = Scan(Hex(c.bytes) + Hex("FF 2F 00"));
    EXPECT_EQ(StartsTimedPart(events[0]), c.starts) << c.bytes;
    EXPECT_EQ(GetsRow(events[0], false), c.row_before) << c.bytes;
    EXPECT_EQ(GetsRow(events[0], true), c.row_after) << c.bytes;
  }
  const auto running = Scan(Hex("00 B0 07 64 00 0A 40 00 FF 2F 00"));
  EXPECT_FALSE(StartsTimedPart(running[1]));
  EXPECT_TRUE(GetsRow(running[1], true));
  EXPECT_FALSE(GetsRow(running[2], true));  // the end of track
}

}  // namespace
}  // namespace quavert

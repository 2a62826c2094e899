#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/run_error.h"
#include "editing/row_rules.h"
#include "editing/track_rows.h"
#include "support/run_error_of.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

// A records file of notes, controllers, a tempo and a drum note, as a listing leaves it, and
// the same rows kept whole in memory: the store must read the file as those rows.
class TrackRowsTest : public ::testing::Test {
 protected:
  TrackRowsTest() {
    FillNameTables(naming.Names);
    naming.Genmidi.Readable = true;
    for (int i = 0; i < kRows; ++i) {
      EventRecord record;
      switch (i % 4) {
        case 0: record = {0x90, 60 + i % 12, 100, i % 7}; break;
        case 1: record = {0x80, 60 + i % 12, 0, 96}; break;
        case 2: record = {-0xB0, 7, i % 128, 0}; break;
        default: record = i == 3 ? EventRecord{81, 120, -1, 5} : EventRecord{0x99, 36, 90, 1}; break;
      }
      records.push_back(record);
    }
    std::string bytes;
    for (std::size_t i = 0; i < records.size(); ++i) {
      DrumNameCache drums;
      RowNaming row_naming{naming.Names, naming.Genmidi, drums};
      texts.push_back(KeptRow(BuildRow(records[i], static_cast<std::int64_t>(i), row_naming)));
      AppendEventRecord(records[i], bytes);
    }
    path = folder.Write("notes.dat", bytes);
    for (const EventRecord& record : records) digest = AddToDigest(digest, record);
  }

  TrackRows Opened() const {
    TrackRows rows;
    rows.Open(path, kRows, naming, digest);
    return rows;
  }
  static std::vector<ListRow> AllTexts(const TrackRows& rows) {
    std::vector<ListRow> all;
    for (std::int64_t row = 0; row < rows.size(); ++row) all.push_back(rows.Texts(row));
    return all;
  }

  // Past one run of the records a read or a walk takes at a time, so that they cross from run to run.
  static constexpr int kRows = 5000;
  testing::TempFolder folder;
  TrackRows::Naming naming;
  std::vector<EventRecord> records;
  std::vector<ListRow> texts;
  std::string path;
  std::uint64_t digest = kEmptyDigest;
};

TEST_F(TrackRowsTest, RandomSplicesReadAsTheSameSplicesOfRowsKeptWhole) {
  TrackRows rows = Opened();
  ASSERT_EQ(rows.Records(), records);
  ASSERT_EQ(AllTexts(rows), texts);
  EXPECT_EQ(rows.RowsInMemory(), 0);

  std::mt19937 random(17);
  std::vector<EventRecord> model_records = records;
  std::vector<ListRow> model_texts = texts;
  for (int step = 0; step < 300; ++step) {
    const auto size = static_cast<std::int64_t>(model_records.size());
    const std::int64_t at = size == 0 ? 0 : static_cast<std::int64_t>(random() % static_cast<unsigned>(size));
    const std::int64_t count = std::min<std::int64_t>(random() % 4, size - at);
    std::vector<EventRecord> new_records(random() % 4, EventRecord{0xC0, step % 128, -1, step});
    std::vector<ListRow> new_texts(new_records.size(), ListRow{"C1", std::to_string(step), "", "", "Instrument"});
    rows.Splice(at, count, new_records, new_texts);
    model_records.erase(model_records.begin() + at, model_records.begin() + at + count);
    model_records.insert(model_records.begin() + at, new_records.begin(), new_records.end());
    model_texts.erase(model_texts.begin() + at, model_texts.begin() + at + count);
    model_texts.insert(model_texts.begin() + at, new_texts.begin(), new_texts.end());
    ASSERT_EQ(rows.size(), static_cast<std::int64_t>(model_records.size()));
  }
  EXPECT_EQ(rows.Records(), model_records);
  EXPECT_EQ(AllTexts(rows), model_texts);
  const std::int64_t middle = rows.size() / 2;
  EXPECT_EQ(rows.Records(middle, 3), std::vector(model_records.begin() + middle, model_records.begin() + middle + 3));
}

TEST_F(TrackRowsTest, EditsTakenBackGiveTheRowsBackToTheFileAndTheDigestItHad) {
  TrackRows rows = Opened();
  const std::uint64_t listed = rows.Digest();
  const EventRecord louder{0x90, 60, 127, 0};
  const ListRow louder_texts{"C1", "C5", "127", "0", "On"};

  // A cell edit and the edit back.
  rows.Set(600, louder, louder_texts);
  EXPECT_NE(rows.Digest(), listed);
  EXPECT_EQ(rows.RowsInMemory(), 1);
  rows.Set(600, records[600], texts[600]);
  EXPECT_EQ(std::pair(rows.Digest(), rows.RowsInMemory()), std::pair(listed, std::int64_t{0}));

  // A record typed back whose text reads otherwise ("c5" for "C5") keeps its text, and the
  // digest, which follows the records, is the listed one.
  ListRow typed = texts[0];
  typed.Notes = "c5";
  rows.Set(0, records[0], typed);
  EXPECT_EQ(std::pair(rows.Texts(0), rows.Digest()), std::pair(typed, listed));
  rows.Set(0, records[0], texts[0]);

  // Rows deleted and put back, at the start, inside, and at the end.
  for (const std::int64_t at : {std::int64_t{0}, std::int64_t{700}, std::int64_t{kRows - 3}}) {
    SCOPED_TRACE(at);
    rows.Splice(at, 3, {}, {});
    EXPECT_NE(rows.Digest(), listed);
    rows.Splice(at, 0, std::vector(records.begin() + at, records.begin() + at + 3),
                std::vector(texts.begin() + at, texts.begin() + at + 3));
    EXPECT_EQ(std::pair(rows.Digest(), rows.RowsInMemory()), std::pair(listed, std::int64_t{0}));
  }

  // A row inserted and deleted again.
  rows.Splice(10, 0, std::vector{louder}, std::vector{louder_texts});
  EXPECT_EQ(rows.Record(10), louder);
  rows.Splice(10, 1, {}, {});
  EXPECT_EQ(rows.Digest(), listed);

  // The same rows listed from another file of other records differ.
  std::vector<EventRecord> other = records;
  other[5].Delta = 9;
  std::uint64_t other_digest = kEmptyDigest;
  for (const EventRecord& record : other) other_digest = AddToDigest(other_digest, record);
  TrackRows relisted;
  relisted.Open(path, kRows, naming, other_digest);
  EXPECT_NE(relisted.Digest(), listed);
}

TEST_F(TrackRowsTest, RowsKeepReadingTheFileTheyOpenedWhenAnotherTakesItsName) {
  TrackRows rows = Opened();
  const TrackRows copy = rows;
  std::string other;
  for (int i = 0; i < kRows; ++i) AppendEventRecord(EventRecord{0xE0, 0, 64, 1}, other);
  folder.Write("notes.new", other);
  std::filesystem::rename(folder.Join("notes.new"), path);
  EXPECT_EQ(rows.Records(), records);
  EXPECT_EQ(copy.Record(kRows - 1), records.back());
}

TEST_F(TrackRowsTest, WalksFindTheTickOfARowAndTheLastRowBeforeATick) {
  const TrackRows rows = Opened();
  std::vector<std::int64_t> tick{0};  // the tick of each row, and the end
  for (const EventRecord& record : records) tick.push_back(tick.back() + std::max(record.Delta, 0));
  for (const std::int64_t row : {0, 1, 4095, 4096, 4097, kRows}) EXPECT_EQ(TicksBetween(rows, 0, row), tick[row]) << row;
  EXPECT_EQ(TicksBetween(rows, 4000, kRows), tick[kRows] - tick[4000]);
  // From row 100: the last row at or after it whose tick comes before the one asked for.
  const auto last_before = [&](std::int64_t target) {
    std::int64_t row = 100;
    while (row + 1 < kRows && tick[row + 1] < target) ++row;
    return std::pair(row, tick[row]);
  };
  for (const std::int64_t target : {tick[100], tick[100] + 1, tick[4200], tick[4200] + 1, tick[kRows] + 5})
    EXPECT_EQ(LastRowBefore(rows, 100, tick[100], target), last_before(target)) << target;
}

TEST_F(TrackRowsTest, RowsOutsideTheStoreOrTheFileAreRefused) {
  TrackRows rows = Opened();
  const auto error_of = testing::RunErrorOf;
  EXPECT_EQ(error_of([&] { rows.Record(kRows); }), kIndexOutOfRange);
  EXPECT_EQ(error_of([&] { rows.Texts(-1); }), kIndexOutOfRange);
  EXPECT_EQ(error_of([&] { rows.Records(kRows - 1, 2); }), kIndexOutOfRange);
  EXPECT_EQ(error_of([&] { rows.Splice(kRows - 1, 2, {}, {}); }), kIndexOutOfRange);
  EXPECT_EQ(error_of([&] { rows.Splice(0, 0, std::vector{records[0]}, {}); }), kIndexOutOfRange);
  EXPECT_EQ(rows.Records(), records);
  rows.Clear();
  EXPECT_EQ(error_of([&] { rows.Record(0); }), kIndexOutOfRange);
  // A file cut short behind the program's back gives no rows of blanks.
  const TrackRows cut = Opened();
  std::filesystem::resize_file(path, (kRows - 10) * kEventRecordLength);
  EXPECT_EQ(error_of([&] { cut.Record(kRows - 1); }), kInputPastEnd);
}

}  // namespace
}  // namespace quavert

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decoding/list_rows.h"

namespace quavert {
namespace {

// A row whose texts differ from every other row's, with some empty texts among them.
ListRow RowNumber(std::size_t n) {
  const std::string number = std::to_string(n);
  return {n % 3 == 0 ? "" : std::string("C") + std::to_string(n % 16 + 1), number, n % 5 == 0 ? "" : "64", number + "0",
          std::string("Instrument: ") + std::string(n % 30, 'x') + number};
}

TEST(ListRows, EveryRowReadsBackAsItWasAddedAcrossManyBlocks) {
  // Enough rows for several storage blocks.
  constexpr std::size_t kRows = 60000;
  ListRows rows;
  rows.reserve(kRows);
  for (std::size_t n = 0; n < kRows; ++n) rows.push_back(RowNumber(n));
  ASSERT_EQ(rows.size(), kRows);
  for (std::size_t n = 0; n < kRows; ++n) {
    ASSERT_EQ(rows[n], RowNumber(n)) << n;
    ASSERT_EQ(rows.Texts(n), TextsOf(RowNumber(n))) << n;
  }
}

TEST(ListRows, TextsOfAnyLengthAndEmptyRowsAreKept) {
  ListRows rows;
  const ListRow wide{"C10", std::string(254, 'n'), std::string(255, 'v'), std::string(70000, 'l'),
                     std::string(3 << 20, 'd')};  // longer than a storage block
  rows.push_back({});
  rows.push_back(wide);
  rows.Append({"C1", "C5", "100", "96", "On"});
  EXPECT_EQ(rows[0], ListRow{});
  EXPECT_EQ(rows[1], wide);
  EXPECT_EQ(rows[2], (ListRow{"C1", "C5", "100", "96", "On"}));
}

TEST(ListRows, ReplacingARowLeavesTheOthersAndCopiesAreIndependent) {
  ListRows rows;
  for (std::size_t n = 0; n < 10; ++n) rows.push_back(RowNumber(n));
  const ListRows before = rows;
  EXPECT_EQ(rows, before);

  ListRow edited = rows[4];
  edited.Notes = "127";
  edited.Description = "Instrument: " + std::string(300, 'p');
  rows.Set(4, edited);
  EXPECT_EQ(rows[4], edited);
  EXPECT_FALSE(rows == before);
  for (std::size_t n = 0; n < 10; ++n) {
    if (n == 4) continue;
    EXPECT_EQ(rows[n], RowNumber(n)) << n;
  }
  EXPECT_EQ(before[4], RowNumber(4));  // the copy kept its own texts

  ListRows shorter = before;
  shorter.clear();
  EXPECT_TRUE(shorter.empty());
  EXPECT_FALSE(shorter == before);
  shorter.push_back(RowNumber(0));
  EXPECT_EQ(shorter.size(), 1u);
  EXPECT_EQ(shorter[0], RowNumber(0));
}

// Rows added after ClearForReuse go into the memory the earlier rows had, and read back as
// added, however their sizes differ from the earlier ones.
TEST(ListRows, RowsAfterAClearForReuseAreTheirOwn) {
  ListRows rows;
  for (std::size_t n = 0; n < 40000; ++n) rows.push_back(RowNumber(n));
  rows.ClearForReuse();
  EXPECT_TRUE(rows.empty());
  const ListRow wide{"C1", "1", "2", "3", std::string(2 << 20, 'w')};  // wider than a block
  rows.push_back(wide);
  for (std::size_t n = 0; n < 60000; ++n) rows.push_back(RowNumber(n + 7));
  ASSERT_EQ(rows.size(), 60001u);
  EXPECT_EQ(rows[0], wide);
  for (std::size_t n = 0; n < 60000; ++n) ASSERT_EQ(rows[n + 1], RowNumber(n + 7)) << n;
  rows.Set(1, wide);
  EXPECT_EQ(rows[1], wide);
  EXPECT_EQ(rows[2], RowNumber(8));
}

}  // namespace
}  // namespace quavert

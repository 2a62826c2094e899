#include <gtest/gtest.h>

#include <string>

#include "decoding/list_rows.h"

namespace quavert {
namespace {

// A row whose texts differ from every other row's, with some empty texts among them.
ListRow RowNumber(std::size_t n) {
  const std::string number = std::to_string(n);
  return {n % 3 == 0 ? "" : std::string("C") + std::to_string(n % 16 + 1), number, n % 5 == 0 ? "" : "64", number + "0",
          std::string("Instrument: ") + std::string(n % 30, 'x') + number};
}

// Rows of any width read back as added across many storage blocks, also into the memory a
// ClearForReuse hands back.
TEST(ListRows, EveryRowReadsBackAsAddedAcrossBlocksAndAfterAClearForReuse) {
  const ListRow wide{"C10", std::string(254, 'n'), std::string(255, 'v'), std::string(70000, 'l'),
                     std::string(3 << 20, 'd')};  // longer than a storage block
  ListRows rows;
  for (std::size_t n = 0; n < 40000; ++n) rows.push_back(RowNumber(n));
  rows.ClearForReuse();
  EXPECT_TRUE(rows.empty());
  rows.push_back({});
  rows.push_back(wide);
  for (std::size_t n = 0; n < 60000; ++n) rows.Append(TextsOf(RowNumber(n + 7)));
  ASSERT_EQ(rows.size(), 60002u);
  EXPECT_EQ(rows[0], ListRow{});
  EXPECT_EQ(rows[1], wide);
  for (std::size_t n = 0; n < 60000; ++n) {
    ASSERT_EQ(rows[n + 2], RowNumber(n + 7)) << n;
    ASSERT_EQ(rows.Texts(n + 2), TextsOf(RowNumber(n + 7))) << n;
  }
  rows.Set(2, wide);
  EXPECT_EQ(rows[2], wide);
  EXPECT_EQ(rows[3], RowNumber(8));
}

TEST(ListRows, ReplacingARowLeavesTheOthersAndCopiesAreIndependent) {
  ListRows rows;
  for (std::size_t n = 0; n < 10; ++n) rows.push_back(RowNumber(n));
  const ListRows before = rows;
  EXPECT_EQ(rows, before);
  ListRow edited = rows[4];
  edited.Description = "Instrument: " + std::string(300, 'p');
  rows.Set(4, edited);
  EXPECT_EQ(rows[4], edited);
  EXPECT_FALSE(rows == before);
  for (std::size_t n : {3u, 5u, 9u}) EXPECT_EQ(rows[n], RowNumber(n)) << n;
  EXPECT_EQ(before[4], RowNumber(4));  // the copy kept its own texts

  ListRows shorter = before;
  shorter.clear();
  EXPECT_TRUE(shorter.empty());
  shorter.push_back(RowNumber(0));
  EXPECT_EQ(shorter.size(), 1u);
  EXPECT_EQ(shorter[0], RowNumber(0));
}

}  // namespace
}  // namespace quavert

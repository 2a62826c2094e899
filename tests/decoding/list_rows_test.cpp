#include <gtest/gtest.h>

#include <string>
#include <tuple>
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
  ListRows before = rows;
  EXPECT_EQ(rows, before);
  ListRow edited = rows[4];
  edited.Description = "Instrument: " + std::string(300, 'p');
  rows.Set(4, edited);
  EXPECT_EQ((std::vector{rows[3], rows[4], rows[5], before[4]}), (std::vector{RowNumber(3), edited, RowNumber(5), RowNumber(4)}));
  EXPECT_FALSE(rows == before);
  before.clear();
  before.push_back(RowNumber(0));
  EXPECT_EQ(std::tuple(before.size(), before[0], rows[0]), std::tuple(1u, RowNumber(0), RowNumber(0)));
}

}  // namespace
}  // namespace quavert

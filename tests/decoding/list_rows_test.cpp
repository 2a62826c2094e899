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

// Rows of any width read back as added across many storage blocks, also into the memory a
// ClearForReuse hands back; replacing a row leaves the others, and a copy keeps its own rows.
TEST(ListRows, EveryRowReadsBackAsAddedAcrossBlocksAfterAClearForReuseAndInACopy) {
  const ListRow wide{"C10", std::string(254, 'n'), std::string(255, 'v'), std::string(70000, 'l'),
                     std::string(3 << 20, 'd')};  // longer than a storage block
  ListRows rows;
  for (std::size_t n = 0; n < 40000; ++n) rows.push_back(RowNumber(n));
  rows.ClearForReuse();
  EXPECT_TRUE(rows.empty());
  rows.push_back({});
  rows.push_back(wide);
  for (std::size_t n = 0; n < 60000; ++n) rows.Append(TextsOf(RowNumber(n + 7)));
  const ListRows copy = rows;
  EXPECT_TRUE(copy == rows);
  rows.Set(2, wide);
  EXPECT_FALSE(copy == rows);
  ASSERT_EQ(rows.size(), 60002u);
  EXPECT_EQ((std::vector{rows[0], rows[1], rows[2], copy[2]}), (std::vector{ListRow{}, wide, wide, RowNumber(7)}));
  for (std::size_t n = 1; n < 60000; ++n) {
    ASSERT_EQ(rows[n + 2], RowNumber(n + 7)) << n;
    ASSERT_EQ(rows.Texts(n + 2), TextsOf(RowNumber(n + 7))) << n;
  }
}

}  // namespace
}  // namespace quavert

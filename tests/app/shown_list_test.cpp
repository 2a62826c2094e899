#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/shown_list.h"
#include "common/run_error.h"
#include "support/run_error_of.h"

namespace quavert {
namespace {

// The list's rows as the builder keeps them: numbers unpadded, a drum row's Description with the
// blanks it begins with.
TrackRows Kept() {
  TrackRows rows;
  rows.Assign(std::vector<EventRecord>(3),
              {{"C1", "C5", "100", "96", "On"}, {"", "", "", "24", "Text"}, {"C10", "36", "90", "0", "      Bass Drum 1"}});
  return rows;
}

TEST(ShownListTest, RowsShowTheirKeptTextsAndWrittenCellsUntilTheListIsFilledAgain) {
  const TrackRows kept = Kept();
  ShownList shown;
  shown.Fill(3);
  EXPECT_EQ((std::vector{shown.Item(kept, 0), shown.Item(kept, 1), shown.Item(kept, 2)}),
            (std::vector<ListItem>{{"C1 ", {"C5", "100", "96", "On"}},
                                   {"   ", {"", "", "24", "Text"}},
                                   {"C10", {"36", "90", "0", "      Bass Drum 1"}}}));

  shown.Write(kept, 0, 1, "c#4");
  shown.Write(kept, 2, 4, "Bass Drum 1");
  shown.Write(kept, 0, 2, "100");  // what the row shows anyway takes no room
  EXPECT_EQ((std::vector{shown.Text(kept, 0, 1), shown.Text(kept, 2, 4), shown.Text(kept, 0, 2), shown.Text(kept, 1, 1)}),
            (std::vector<std::string>{"c#4", "Bass Drum 1", "100", ""}));
  EXPECT_EQ(shown.WrittenCells(), 2u);
  shown.Write(kept, 0, 1, "C5");  // written back to the row's own text
  EXPECT_EQ(std::pair(shown.Text(kept, 0, 1), shown.WrittenCells()), std::pair(std::string("C5"), std::size_t{1}));

  shown.Fill(3);
  EXPECT_EQ(std::pair(shown.Text(kept, 2, 4), shown.WrittenCells()), std::pair(std::string("      Bass Drum 1"), std::size_t{0}));
}

TEST(ShownListTest, CellsOutsideTheRowsShownOrKeptAreRefused) {
  const TrackRows kept = Kept();
  ShownList shown;
  EXPECT_EQ(testing::RunErrorOf([&] { shown.Text(kept, 0, 0); }), kIndexOutOfRange);  // nothing shown yet
  shown.Fill(4);  // one row more than kept: a list that fell behind its rows
  shown.Write(kept, 1, 0, "x");
  for (const auto& [row, column] : std::vector<std::pair<std::int64_t, int>>{{3, 0}, {-1, 0}, {0, 5}, {0, -1}}) {
    SCOPED_TRACE(std::to_string(row) + "," + std::to_string(column));
    EXPECT_EQ(testing::RunErrorOf([&] { shown.Text(kept, row, column); }), kIndexOutOfRange);
    EXPECT_EQ(testing::RunErrorOf([&] { shown.Write(kept, row, column, "x"); }), kIndexOutOfRange);
  }
  shown.Fill(0);
  EXPECT_EQ(std::pair(shown.Rows(), testing::RunErrorOf([&] { shown.Text(kept, 1, 0); })), std::pair(std::int64_t{0}, int{kIndexOutOfRange}));
}

}  // namespace
}  // namespace quavert

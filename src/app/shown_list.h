#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "editing/track_rows.h"
#include "editing/list_item.h"

namespace quavert {

/// The event list as it is shown, over the session's rows (EditBuffers::Rows), which hold
/// the list's texts: how many rows it shows, and the cells an in-place edit wrote. Such a cell
/// shows the text as it was typed (the row keeps the number) until the list is filled again.
/// Rows are numbered from 0 here.
class ShownList {
 public:
  std::int64_t Rows() const { return rows_; }
  /// The list shows the first `rows` rows, each as it keeps its texts; what edits wrote is forgotten.
  void Fill(std::int64_t rows);
  /// Cell (row, column) shows `text` from now on. RunError 9 outside the shown rows or columns 0 .. 4.
  void Write(const TrackRows& kept, std::int64_t row, int column, std::string_view text);

  /// The text cell (row, column) shows: what an edit wrote there, or the kept row as the list
  /// shows it (the Channel padded to 3, numbers without leading blanks, the Description as kept).
  /// RunError 9 outside the shown rows, the kept rows or columns 0 .. 4.
  std::string Text(const TrackRows& kept, std::int64_t row, int column) const;
  /// The five texts row `row` shows. RunError 9 as Text.
  ListItem Item(const TrackRows& kept, std::int64_t row) const;
  /// How many cells show a text of their own.
  std::size_t WrittenCells() const { return written_.size(); }

 private:
  std::int64_t rows_ = 0;
  std::map<std::pair<std::int64_t, int>, std::string> written_;
};

}  // namespace quavert

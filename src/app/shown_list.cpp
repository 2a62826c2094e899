#include "app/shown_list.h"

#include "common/run_error.h"
#include "editing/row_rules.h"

namespace quavert {
namespace {

constexpr int kColumns = 5;

void CheckCell(const TrackRows& kept, std::int64_t shown, std::int64_t row, int column) {
  if (row < 0 || row >= shown || row >= kept.size() || column < 0 || column >= kColumns)
    throw RunError(kIndexOutOfRange);
}

std::string KeptText(const TrackRows& kept, std::int64_t row, int column) {
  const ListRow texts = kept.Texts(row);
  return ShownCell(TextsOf(texts), static_cast<std::size_t>(column));
}

}  // namespace

void ShownList::Fill(std::int64_t rows) {
  rows_ = rows < 0 ? 0 : rows;
  written_.clear();
}

void ShownList::Write(const TrackRows& kept, std::int64_t row, int column, std::string_view text) {
  CheckCell(kept, rows_, row, column);
  // A text the row shows anyway takes no room.
  if (text == KeptText(kept, row, column))
    written_.erase({row, column});
  else
    written_.insert_or_assign({row, column}, std::string(text));
}

std::string ShownList::Text(const TrackRows& kept, std::int64_t row, int column) const {
  CheckCell(kept, rows_, row, column);
  if (!written_.empty()) {
    const auto it = written_.find({row, column});
    if (it != written_.end()) return it->second;
  }
  return KeptText(kept, row, column);
}

ListItem ShownList::Item(const TrackRows& kept, std::int64_t row) const {
  ListItem item;
  item.Main = Text(kept, row, 0);
  for (int column = 1; column < kColumns; ++column) item.Sub[static_cast<std::size_t>(column - 1)] = Text(kept, row, column);
  return item;
}

}  // namespace quavert

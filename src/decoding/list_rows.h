#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "decoding/records.h"

namespace quavert {

/// The list's rows of a whole track, kept compactly: the five texts of each row lie one after
/// another in large blocks, with their lengths in front, so a row costs its text bytes and a few
/// more rather than five strings. Rows are numbered from 0.
class ListRows {
 public:
  ListRows() = default;
  ListRows(const ListRows& other);
  ListRows& operator=(const ListRows& other);
  ListRows(ListRows&&) noexcept = default;
  ListRows& operator=(ListRows&&) noexcept = default;

  std::size_t size() const { return places_.size(); }
  bool empty() const { return places_.empty(); }
  /// Forgets every row and gives its memory back.
  void clear();
  /// Forgets every row but keeps the memory for the rows that come next: listing one track after
  /// another then costs the memory of the largest, taken from the system once.
  void ClearForReuse();
  void reserve(std::size_t rows) { places_.reserve(rows); }

  void push_back(const ListRow& row) { Append(TextsOf(row)); }
  /// Adds a row after the last one.
  void Append(const ListRowTexts& texts);

  /// A copy of row `row`'s texts. `row` must be below size().
  const ListRow operator[](std::size_t row) const;
  /// Row `row`'s texts as views, valid until the rows change. `row` must be below size().
  ListRowTexts Texts(std::size_t row) const;
  /// Replaces row `row`'s texts. `row` must be below size().
  void Set(std::size_t row, const ListRow& texts);

  bool operator==(const ListRows& other) const;

 private:
  struct Place {
    std::uint32_t block;
    std::uint32_t offset;
  };
  // Bytes that are only ever appended to, and never move.
  struct Block {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
    std::size_t capacity = 0;
  };
  Place Store(const ListRowTexts& texts);

  std::vector<Place> places_;
  std::vector<Block> blocks_;
  std::size_t current_ = 0;  // the block new rows go to; the ones after it are empty
};

}  // namespace quavert

#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "decoding/records.h"
#include "editing/row_rules.h"

namespace quavert {

/// Report lines made one after another into memory that serves again once they are written;
/// the memory is not cleared first, so only the bytes written are ever touched.
class LineBuffer {
 public:
  /// The lines made since the last Clear, each ended by CR LF.
  std::string_view Lines() const { return {bytes_.get(), used_}; }
  void Clear() { used_ = 0; }
  /// Makes room for `size` bytes in all, the lines kept.
  void Reserve(std::size_t size);
  /// Room for `size` more bytes after the lines; Advance(end) takes what was written there.
  char* Room(std::size_t size) {
    if (capacity_ - used_ < size) Reserve(2 * capacity_ > used_ + size ? 2 * capacity_ : used_ + size);
    return bytes_.get() + used_;
  }
  void Advance(const char* end) { used_ = static_cast<std::size_t>(end - bytes_.get()); }

 private:
  std::unique_ptr<char[]> bytes_;
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
};

/// What a listing does with each row of a track besides writing its working files: makes the
/// row's texts from its record, adds the row's report line to `lines` (none without) and
/// counts its delta in `total_ticks`.
class ListingStep {
 public:
  ListingStep(RowNaming naming, LineBuffer* lines, std::int64_t& total_ticks)
      : naming_(naming), lines_(lines), total_ticks_(total_ticks) {}

  /// Lists row `index` (numbered from 0) from `record`, which gets its RowKind and NoteState.
  /// The row returned is valid until the next call.
  const BuiltRow& List(EventRecord& record, std::int64_t index);

 private:
  RowNaming naming_;
  LineBuffer* lines_;
  std::int64_t& total_ticks_;
  BuiltRow row_;
};

}  // namespace quavert

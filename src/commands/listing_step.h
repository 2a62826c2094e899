#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "decoding/records.h"
#include "editing/row_rules.h"

namespace quavert {

/// Report lines made one after another into memory that serves again once they are written.
struct LineBuffer {
  std::string Bytes;
  std::size_t Used = 0;

  /// The lines made since the last Clear, each ended by CR LF.
  std::string_view Lines() const { return std::string_view(Bytes).substr(0, Used); }
  void Clear() { Used = 0; }
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

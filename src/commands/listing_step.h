#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "decoding/records.h"
#include "editing/row_rules.h"

namespace quavert {

/// What a listing does with each row of a track besides writing its working files: makes the
/// row's texts from its record, keeps the row's report line and counts its delta in the total.
class ListingStep {
 public:
  ListingStep(RowNaming naming, bool keep_lines, std::int64_t& total_ticks)
      : naming_(naming), keep_lines_(keep_lines), total_ticks_(total_ticks) {}

  /// Lists row `index` (numbered from 0) from `record`, which gets its RowKind and NoteState.
  /// The row returned is valid until the next call.
  const BuiltRow& List(EventRecord& record, std::int64_t index);

  /// The report lines kept since the last ClearLines, each ended by CR LF.
  std::string_view Lines() const { return std::string_view(lines_).substr(0, used_); }
  /// Forgets the lines kept; their memory serves the next ones.
  void ClearLines() { used_ = 0; }

 private:
  RowNaming naming_;
  bool keep_lines_;
  std::int64_t& total_ticks_;
  BuiltRow row_;
  std::string lines_;
  std::size_t used_ = 0;
};

}  // namespace quavert

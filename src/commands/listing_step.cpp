#include "commands/listing_step.h"

#include <algorithm>

namespace quavert {

const BuiltRow& ListingStep::List(EventRecord& record, std::int64_t index) {
  BuildRow(record, index, naming_, row_);
  if (keep_lines_) {
    const std::size_t room = used_ + ReportLineRoom(row_);
    if (lines_.size() < room) lines_.resize(std::max(room, 2 * lines_.size()));
    used_ = static_cast<std::size_t>(WriteReportLine(row_, lines_.data() + used_) - lines_.data());
  }
  if (record.Delta >= 0) total_ticks_ += record.Delta;
  return row_;
}

}  // namespace quavert

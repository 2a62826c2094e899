#include "commands/listing_step.h"

#include <algorithm>

namespace quavert {

const BuiltRow& ListingStep::List(EventRecord& record, std::int64_t index) {
  BuildRow(record, index, naming_, row_);
  if (lines_ != nullptr) {
    std::string& bytes = lines_->Bytes;
    const std::size_t room = lines_->Used + ReportLineRoom(row_);
    if (bytes.size() < room) bytes.resize(std::max(room, 2 * bytes.size()));
    lines_->Used = static_cast<std::size_t>(WriteReportLine(row_, bytes.data() + lines_->Used) - bytes.data());
  }
  if (record.Delta >= 0) total_ticks_ += record.Delta;
  return row_;
}

}  // namespace quavert

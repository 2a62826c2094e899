#include "commands/listing_step.h"

#include <cstring>
#include <utility>

namespace quavert {

void LineBuffer::Reserve(std::size_t size) {
  if (size <= capacity_) return;
  std::unique_ptr<char[]> bytes(new char[size]);
  if (used_ > 0) std::memcpy(bytes.get(), bytes_.get(), used_);
  bytes_ = std::move(bytes);
  capacity_ = size;
}

const BuiltRow& ListingStep::List(EventRecord& record, std::int64_t index) {
  BuildRow(record, index, naming_, row_);
  if (lines_ != nullptr) lines_->Advance(WriteReportLine(row_, lines_->Room(ReportLineRoom(row_))));
  if (record.Delta >= 0) total_ticks_ += record.Delta;
  return row_;
}

}  // namespace quavert

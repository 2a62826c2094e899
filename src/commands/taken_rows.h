#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "commands/listing_step.h"
#include "commands/working_files.h"
#include "common/binary_file.h"

namespace quavert {

class Report;
struct Session;

/// A track listed while it is decoded, for a listing that keeps no rows and whose working
/// files nobody reads (quavert-cli's report): set as Session::RowsTaker, it takes each block
/// of rows from the decoder and lists it at once. The report lines wait until the decode has
/// given its own: in memory up to a limit, the earlier ones in a file of the application
/// folder beyond it. ListTakenRows finishes the listing.
class TakenTrackRows final : public DecodedRowsTaker {
 public:
  /// Lines kept in memory before they go to the file.
  static constexpr std::size_t kKeptLines = std::size_t{4} << 20;

  explicit TakenTrackRows(Session& session) : session_(session) {}
  ~TakenTrackRows();
  TakenTrackRows(const TakenTrackRows&) = delete;
  TakenTrackRows& operator=(const TakenTrackRows&) = delete;

  void TakeRows(std::int64_t first, std::span<EventRecord> rows) override;

  /// Rows taken from the current decode.
  std::int64_t Count() const { return next_; }
  /// The sum of their deltas, as the listing counts it.
  std::int64_t TotalTicks() const { return total_ticks_; }
  /// Appends their report lines to `report`, in order. RunError when they cannot be read or
  /// written.
  void WriteLines(Report& report);

 private:
  // Forgets the rows of an earlier decode.
  void Restart();

  Session& session_;
  std::int64_t next_ = 0;
  std::int64_t total_ticks_ = 0;
  LineBuffer lines_;
  std::optional<ListingStep> step_;
  BinaryFile spill_;
};

}  // namespace quavert

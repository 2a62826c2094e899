#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "decoding/records.h"
#include "editing/edit_buffers.h"

namespace quavert {

/// One change to the rows of the list: rows At .. At + Old - 1 became the New rows. It keeps
/// both sides, so that it can be made again or taken back; what it keeps is the rows it touched.
struct RowChange {
  std::int64_t At = 0;
  std::vector<EventRecord> OldRecords;
  std::vector<EventRecord> NewRecords;
  std::vector<ListRow> OldTexts;
  std::vector<ListRow> NewTexts;
  /// The origins of the rows on each side (see RowOrigins::Event); both empty when the change
  /// keeps the number of rows and leaves the origins as they are (a cell edit).
  std::vector<std::int64_t> OldOrigins;
  std::vector<std::int64_t> NewOrigins;
  bool PendingBefore = false;
  bool PendingAfter = false;
  std::int64_t LeadBefore = 0;
  std::int64_t LeadAfter = 0;
  /// Bytes of inserted rows the change names (index in RowOrigins::Inserted, bytes).
  std::vector<std::pair<std::int64_t, std::string>> Inserted;
  bool operator==(const RowChange&) const = default;
};

/// A change of rows `at` .. `at` + `count` - 1 of `buffers` to nothing yet: the Old side filled
/// from the buffers, the New side empty, the origins (made explicit when not pending) on both.
/// `count` rows from `at` must exist.
RowChange BeginRowChange(const EditBuffers& buffers, std::size_t at, std::size_t count, bool touch_origins);

/// Makes the change (or, with `undo`, takes it back) on `buffers`; the row count becomes what
/// the change leaves. RunError 9, and nothing changed, when the rows the change found are not there.
void ApplyRowChange(EditBuffers& buffers, const RowChange& change, bool undo = false);

}  // namespace quavert

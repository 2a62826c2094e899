#include "decoding/row_places.h"

#include "common/byte_reader.h"
#include "decoding/event_rows.h"
#include "decoding/event_scanner.h"

namespace quavert {

std::vector<RowPlace> RowPlaces(BinaryFile& file, std::int64_t data_first, std::int64_t data_last,
                                std::int64_t first_event_pos) {
  std::vector<RowPlace> places;
  ByteReader reader(file, data_first, data_last);
  EventScanner scanner(reader);
  try {
    const std::int32_t leading = scanner.Start().value;
    std::int64_t tick = leading > 0 ? leading : 0;
    bool timed = false;
    for (ScannedEvent event; scanner.Next(event);) {
      if (event.problem != ScanProblem::kNone || event.kind == ScannedKind::kEndOfTrack) break;
      // No event before the timed part has a row: the decoder begins it at first_event_pos.
      if (!timed && event.first == first_event_pos) timed = true;
      if (timed && event.kind != ScannedKind::kStray && GetsRow(event, /*timed_part_begun=*/true))
        places.push_back({event.first, event.last, tick});
      if (event.delta.value > 0) tick += event.delta.value;
    }
  } catch (const ReadPastLimit&) {
    // A track cut short: the rows found so far keep their places.
  }
  return places;
}

}  // namespace quavert

#include "decoding/event_rows.h"

#include <array>

#include "decoding/meta_types.h"

namespace quavert {
namespace {

// Indexed by the high nibble minus 8: whether a row under running status keeps its status
// negated.
constexpr std::array<bool, 7> kRunningStatusNegated = {
    false,  // 8x note off
    false,  // 9x note on
    true,   // Ax polyphonic pressure
    true,   // Bx controller
    false,  // Cx program change
    true,   // Dx channel pressure
    true,   // Ex pitch bend
};

bool IsTextOrLyric(const ScannedEvent& event) {
  return event.kind == ScannedKind::kMeta && (event.meta_type == kMetaText || event.meta_type == kMetaLyric);
}

}  // namespace

bool StartsTimedPart(const ScannedEvent& event) {
  switch (event.kind) {
    case ScannedKind::kChannel: return !event.running;
    case ScannedKind::kCutChannel:
    case ScannedKind::kSysex: return true;
    case ScannedKind::kMeta: return IsTextOrLyric(event) && event.delta.value >= 1;
    case ScannedKind::kEndOfTrack:
    case ScannedKind::kStray: return false;
  }
  return false;
}

bool GetsRow(const ScannedEvent& event, bool timed_part_begun) {
  if (event.problem != ScanProblem::kNone) return false;
  switch (event.kind) {
    case ScannedKind::kChannel:
    case ScannedKind::kSysex: return true;
    case ScannedKind::kMeta:
      if (IsTextOrLyric(event)) return timed_part_begun || event.delta.value >= 1;
      return timed_part_begun && (event.meta_type == kMetaMarker || event.meta_type == kMetaTempo ||
                                  event.meta_type == kMetaTimeSignature);
    case ScannedKind::kCutChannel:
    case ScannedKind::kEndOfTrack:
    case ScannedKind::kStray: return false;
  }
  return false;
}

int RowStatus(const ScannedEvent& event) {
  const bool negated = event.running && kRunningStatusNegated[(event.status >> 4) - 8];
  return negated ? -event.status : event.status;
}

}  // namespace quavert

#include "decoding/event_rows.h"

#include "decoding/meta_types.h"

namespace quavert {
namespace {

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

}  // namespace quavert

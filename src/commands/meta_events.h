#pragma once

#include <cstdint>
#include <string_view>

#include "decoding/event_scanner.h"

namespace quavert {

struct Session;
class RecordFile;

/// Label that starts the lyric line of a track; later lyrics line up under it.
inline constexpr std::string_view kLyricLabel = "Lyric             : ";

/// What the decoder does after a meta event.
enum class MetaOutcome {
  kContinue,  ///< go on with the next event
  kStop,      ///< the event's message was shown: the decode stops
};

/// Handles one meta event the scanner read (any but the end of track), `timed_part_begun`
/// telling whether the timed part had begun before it: appends its line to Text2's text and,
/// on the track's first decode since the load, to the report; adds the rows GetsRow gives it;
/// keeps the first tempo (TempoPos, TempoBpm, Text6) and TickMinutes; offers the
/// time-signature repair. An event with a problem shows its message and gives kStop.
/// RunError on file failures.
MetaOutcome HandleMetaEvent(Session& session, RecordFile& notes, const ScannedEvent& event, bool timed_part_begun);

/// Appends one Text2 line, Format6(number) & label & value & CR LF, to the track's text, and
/// the report line PadWidth(delta) blanks & Str(delta) & report_label & value to the decode's
/// report lines while the track's meta-event lines have not yet been written in this load.
void AddMetaLines(Session& session, std::int64_t number, std::string_view label, std::string_view report_label,
                  std::string_view value, std::int64_t delta);

}  // namespace quavert

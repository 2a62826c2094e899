#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "decoding/event_scanner.h"
#include "decoding/track_decode.h"

namespace quavert {

/// Label that starts the lyric line of a track; later lyrics line up under it.
inline constexpr std::string_view kLyricLabel = "Lyric             : ";

/// One decode going on: its input, where its findings go, and the lines it gathers.
struct TrackDecodeContext {
  const TrackDecodeInput& Input;
  TrackDecodeFacts& Facts;
  TrackDecodeSink& Sink;
  TellAsk& Port;
  std::string LyricText = std::string(kLyricLabel);  ///< the lyric line being built
  /// The report's meta-event lines, given to the sink when the decode ends or stops.
  std::vector<std::string> ReportLines;

  void AddRow(const EventRecord& row) { Sink.NewRow() = row; }
  /// Appends one Text2 line, Format6(number) & label & value & CR LF, to the track's text, and
  /// the report line PadWidth(delta) blanks & Str(delta) & report_label & value to the report
  /// lines when the input asks for them.
  void AddMetaLines(std::int64_t number, std::string_view label, std::string_view report_label,
                    std::string_view value, std::int64_t delta);
};

/// What the decoder does after a meta event.
enum class MetaOutcome {
  kContinue,  ///< go on with the next event
  kStop,      ///< the event's message was told: the decode stops
};

/// Handles one meta event the scanner read (any but the end of track), `timed_part_begun`
/// telling whether the timed part had begun before it: its lines, the rows GetsRow gives it, the
/// first tempo (TempoPos, TempoBpm, TempoText) and TickMinutes, the time-signature repair. An
/// event with a problem tells its message and gives kStop. RunError on file failures.
MetaOutcome HandleMetaEvent(TrackDecodeContext& decode, const ScannedEvent& event, bool timed_part_begun);

}  // namespace quavert

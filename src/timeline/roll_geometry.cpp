#include "timeline/roll_geometry.h"

#include <algorithm>
#include <cmath>

namespace quavert {

double XOfTick(const RollView& view, double tick) {
  return view.KeyboardWidth + (tick - view.ScrollTick) * view.PixelsPerTick;
}

double TickAtX(const RollView& view, double x) {
  return view.ScrollTick + (x - view.KeyboardWidth) / view.PixelsPerTick;
}

double YOfKey(const RollView& view, int key) {
  return static_cast<double>((kRollKeys - 1 - key) * view.KeyHeight - view.ScrollY);
}

int KeyAtY(const RollView& view, double y) {
  const double lane = std::floor((y + view.ScrollY) / view.KeyHeight);
  if (lane < 0 || lane >= kRollKeys) return -1;
  return kRollKeys - 1 - static_cast<int>(lane);
}

RollRect NoteRect(const RollView& view, const NoteSpan& span) {
  const double x = XOfTick(view, static_cast<double>(span.StartTick));
  const double width = span.Channel == kDrumChannel
                           ? view.DrumMarkWidth
                           : std::max(static_cast<double>(span.EndTick - span.StartTick) * view.PixelsPerTick, 1.0);
  return {x, YOfKey(view, span.Key), width, static_cast<double>(view.KeyHeight)};
}

std::int64_t SpanAt(const RollView& view, const NoteSpans& notes, double x, double y) {
  const int key = KeyAtY(view, y);
  if (key < 0 || x < view.KeyboardWidth) return -1;
  // A drum mark is wider than its ticks may be: look back far enough for it too.
  const double tick = TickAtX(view, x - view.DrumMarkWidth);
  std::int64_t found = -1;
  for (std::size_t i = FirstSpanReaching(notes, static_cast<std::int64_t>(std::floor(tick)));
       i < notes.Spans.size() && XOfTick(view, static_cast<double>(notes.Spans[i].StartTick)) <= x; ++i) {
    const NoteSpan& span = notes.Spans[i];
    if (span.Key != key) continue;
    const RollRect rect = NoteRect(view, span);
    if (x >= rect.X && x < rect.X + rect.Width) found = static_cast<std::int64_t>(i);
  }
  return found;
}

}  // namespace quavert

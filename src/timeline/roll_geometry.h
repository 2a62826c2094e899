#pragma once

#include <cstdint>

#include "timeline/note_spans.h"

namespace quavert {

/// Where the piano roll's picture stands: how many pixels a tick and a key take, what is
/// scrolled out of sight, and the keyboard strip at its left. Key 127 is at the top.
struct RollView {
  double PixelsPerTick = 0.1;
  int KeyHeight = 8;
  int KeyboardWidth = 40;   ///< pixels of the keyboard strip left of tick ScrollTick
  double ScrollTick = 0;    ///< the tick at the strip's right edge
  int ScrollY = 0;          ///< pixels of the keys above the top edge
  int DrumMarkWidth = 4;    ///< a drum note is a short mark, whatever its length
};

/// A rectangle in pixels of the roll's picture.
struct RollRect {
  double X = 0;
  double Y = 0;
  double Width = 0;
  double Height = 0;
  bool operator==(const RollRect&) const = default;
};

inline constexpr int kRollKeys = 128;

/// The x of `tick`.
double XOfTick(const RollView& view, double tick);
/// The tick at `x` (not rounded).
double TickAtX(const RollView& view, double x);
/// The y of the top edge of `key`'s lane.
double YOfKey(const RollView& view, int key);
/// The key whose lane holds `y`; -1 above the top key or below the bottom one.
int KeyAtY(const RollView& view, double y);
/// The whole height of the 128 lanes.
inline int RollHeight(const RollView& view) { return kRollKeys * view.KeyHeight; }

/// The bar of a note: from its start tick to its end tick (at least one pixel wide), one lane
/// high; a note on the drum channel is DrumMarkWidth wide.
RollRect NoteRect(const RollView& view, const NoteSpan& span);

/// The index of the span drawn at (x, y), the last one drawn there when several are; -1 for none.
std::int64_t SpanAt(const RollView& view, const NoteSpans& notes, double x, double y);

}  // namespace quavert

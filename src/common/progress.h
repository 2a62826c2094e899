#pragma once

#include <cstdint>

namespace quavert {

/// Where long work says how far it got, and learns whether the user asked it to stop.
class Progress {
 public:
  /// `done` of `total` units of the work are done. True when the user asked the work to stop;
  /// work that cannot stop goes on regardless.
  virtual bool Reached(std::int64_t done, std::int64_t total) = 0;

 protected:
  ~Progress() = default;
};

/// Tells a Progress of a loop's work at most kProgressSteps times however often the loop asks,
/// so that a loop may ask once per event. Without a Progress it tells nothing and never stops.
class ProgressSteps {
 public:
  static constexpr std::int64_t kProgressSteps = 200;

  /// Work of `total` units; when it is part `part` (from 0) of `parts` equal parts of a larger
  /// work, the Progress hears of the whole.
  ProgressSteps(Progress* progress, std::int64_t total, int part = 0, int parts = 1);
  /// `done` units are done: true when the user asked the work to stop.
  bool At(std::int64_t done) { return done >= next_ && Tell(done); }

 private:
  bool Tell(std::int64_t done);

  Progress* progress_;
  std::int64_t total_;
  std::int64_t before_;  // units of the parts before this one
  std::int64_t whole_;   // units of all the parts
  std::int64_t step_;
  std::int64_t next_;
};

}  // namespace quavert

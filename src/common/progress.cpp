#include "common/progress.h"

#include <algorithm>
#include <limits>

namespace quavert {

ProgressSteps::ProgressSteps(Progress* progress, std::int64_t total, int part, int parts)
    : progress_(progress),
      total_(std::max<std::int64_t>(total, 0)),
      before_(total_ * std::max(part, 0)),
      whole_(total_ * std::max({parts, part + 1, 1})),
      step_(std::max<std::int64_t>(whole_ / kProgressSteps, 1)),
      // The first step is told after a step's work, not at once: work too short for a step tells nothing.
      next_(progress == nullptr ? std::numeric_limits<std::int64_t>::max() : step_) {}

bool ProgressSteps::Tell(std::int64_t done) {
  // The next step is a whole step beyond this one, wherever the loop's units fell.
  next_ = done > std::numeric_limits<std::int64_t>::max() - step_ ? std::numeric_limits<std::int64_t>::max()
                                                                  : done + step_;
  return progress_->Reached(before_ + std::min(done, total_), whole_);
}

}  // namespace quavert

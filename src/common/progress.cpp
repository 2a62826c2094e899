#include "common/progress.h"

#include <algorithm>
#include <limits>

namespace quavert {

ProgressSteps::ProgressSteps(Progress* progress, std::int64_t total)
    : progress_(progress),
      total_(std::max<std::int64_t>(total, 0)),
      step_(std::max<std::int64_t>(total_ / kProgressSteps, 1)),
      // The first step is told after a step's work, not at once: work too short for a step tells nothing.
      next_(progress == nullptr ? std::numeric_limits<std::int64_t>::max() : step_) {}

bool ProgressSteps::Tell(std::int64_t done) {
  // The next step is a whole step beyond this one, wherever the loop's units fell.
  next_ = done > std::numeric_limits<std::int64_t>::max() - step_ ? std::numeric_limits<std::int64_t>::max()
                                                                  : done + step_;
  return progress_->Reached(std::min(done, total_), total_);
}

}  // namespace quavert

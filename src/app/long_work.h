#pragma once

#include <cstdint>

#include "app/toolkit.h"
#include "common/progress.h"

namespace quavert {

/// One long command's work as the window shows it: begun when made, ended when gone, and the
/// Progress its loops tell.
class LongWork final : public Progress {
 public:
  LongWork(Toolkit& ui, bool stoppable) : ui_(ui) { ui_.BeginWork(stoppable); }
  ~LongWork() { ui_.EndWork(); }
  LongWork(const LongWork&) = delete;
  LongWork& operator=(const LongWork&) = delete;

  bool Reached(std::int64_t done, std::int64_t total) override { return ui_.WorkProgress(done, total); }

 private:
  Toolkit& ui_;
};

}  // namespace quavert

#include "commands/guard.h"

#include <new>

#include "app/session.h"
#include "common/number_text.h"
#include "common/run_error.h"

namespace quavert {

int ErrorNumberOf(const std::exception& failure) {
  if (const auto* run_error = dynamic_cast<const RunError*>(&failure)) return run_error->code();
  if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) return kOutOfMemory;
  return kInternalError;
}

void ShowErrorNumber(Session& session, int code) {
  session.ui.MessageBox("Error:" + SignedNumber(code), Buttons::kOk);
}

}  // namespace quavert

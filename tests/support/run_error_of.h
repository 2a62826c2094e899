#pragma once

#include <functional>

#include "common/run_error.h"

namespace quavert::testing {

/// The number of the RunError `call` throws; 0 when it throws none.
inline int RunErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const RunError& error) {
    return error.code();
  }
  return 0;
}

}  // namespace quavert::testing

#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "lint/problem.h"

namespace quavert {

/// Hands a problem found at the 1-based file `position` to `sink`, with its 0-based offset.
void Report(const ProblemSink& sink, Severity severity, std::int64_t position, std::optional<int> track,
            const char* code, std::string message);

/// A byte as it is written in messages: "60 (3C hex)".
std::string ByteText(int byte);

}  // namespace quavert

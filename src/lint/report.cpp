#include "lint/report.h"

#include <cstdio>

namespace quavert {

void Report(const ProblemSink& sink, Severity severity, std::int64_t position, std::optional<int> track,
            const char* code, std::string message) {
  sink(Problem{position - 1, track, severity, code, std::move(message)});
}

std::string ByteText(int byte) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "%02X", byte & 0xFF);
  return std::to_string(byte) + " (" + hex + " hex)";
}

}  // namespace quavert

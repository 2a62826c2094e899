#pragma once

#include <string>

#include "lint/problem.h"

namespace quavert {

/// "FILE:OFFSET: error: TEXT [CODE]" (or "warning:"), without a line end.
std::string ProblemText(const std::string& file, const Problem& problem);
/// "FILE: E errors, W warnings".
std::string SummaryText(const std::string& file, int errors, int warnings);

/// {"file": ..., "offset": N, "track": N or null, "severity": "error", "code": ..., "message": ...}
std::string ProblemJson(const std::string& file, const Problem& problem);
/// {"file": ..., "errors": E, "warnings": W}
std::string SummaryJson(const std::string& file, int errors, int warnings);

/// `text` as a JSON string, quotes included. Bytes that are not UTF-8 stand for themselves as
/// Latin-1 characters (\u00XX).
std::string JsonString(const std::string& text);

}  // namespace quavert

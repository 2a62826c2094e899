#include "cli/companion.h"
#include "common/run_error.h"
#include "lint/lint.h"
#include "lint/lint_format.h"

namespace quavert::cli {

// The lint needs no session: it reads each file as it stands.
int LintFiles(const Options& options, std::ostream& out, std::ostream& err) {
  int status = 0;
  for (const std::string& path : options.Files) {
    std::vector<Problem> problems;
    try {
      problems = LintFile(path);
    } catch (const RunError& failure) {
      err << "quavert-cli: " << path << ": " << failure.reason() << '\n';
      status = 1;
      continue;
    }
    int errors = 0;
    int warnings = 0;
    for (const Problem& problem : problems) {
      (problem.severity == Severity::kError ? errors : warnings) += 1;
      out << (options.Json ? ProblemJson(path, problem) : ProblemText(path, problem)) << '\n';
    }
    out << (options.Json ? SummaryJson(path, errors, warnings) : SummaryText(path, errors, warnings)) << '\n';
    if (errors > 0) status = 1;
  }
  return status;
}

}  // namespace quavert::cli

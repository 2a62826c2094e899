#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quavert::cli {

/// One in-place edit given as --cell ITEM:COLUMN=TEXT.
struct CellEdit {
  long Item = 0;
  int Column = 0;
  std::string Text;
  bool operator==(const CellEdit&) const = default;
};

/// The command line, parsed.
struct Options {
  std::string Command;  ///< check, list, report, edit or lint
  std::vector<std::string> Files;
  long Track = 1;
  bool AnswerYes = false;
  std::string Out;
  std::vector<CellEdit> Cells;
  bool SaveTrack = false;
  std::optional<std::string> Tempo;
  std::optional<std::string> Ticks;
  bool Json = false;  ///< lint: one JSON object a line
};

/// Parses the arguments after the program name; an error text when they are not usable.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

/// The usage text printed with a usage error.
const char* UsageText();

}  // namespace quavert::cli

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

/// One change of edit's list, in the order given: a --cell, a --delete ITEM or an --insert
/// ITEM:TICKS:HEX.
struct EditAction {
  enum class Kind { kCell, kDelete, kInsert };
  Kind What = Kind::kCell;
  CellEdit Cell;      ///< kCell
  long Item = 0;      ///< kDelete, kInsert: the list item, from 1
  long Ticks = 0;     ///< kInsert: ticks after the item's time
  std::string Hex;    ///< kInsert: the event's bytes in hex
  bool operator==(const EditAction&) const = default;
};

/// The command line, parsed.
struct Options {
  std::string Command;  ///< check, list, report, edit, render, lint, --help or --version
  std::vector<std::string> Files;
  long Track = 1;
  bool AnswerYes = false;
  std::string Out;
  std::vector<CellEdit> Cells;
  std::vector<EditAction> Actions;  ///< every --cell, --delete and --insert, in order
  bool SaveTrack = false;
  std::optional<std::string> Tempo;
  std::optional<std::string> Ticks;
  std::string SoundFont;  ///< empty: QUAVERT_SOUNDFONT, else the first installed one
  long Rate = 44100;      ///< frames a second of the rendered sound
  bool Bytes = false;  ///< list: each row's offset, bytes and ticks
  bool Json = false;  ///< lint: one JSON object a line
};

/// The sample rates a render takes, those FluidSynth takes.
constexpr long kLowestRate = 8000;
constexpr long kHighestRate = 96000;

/// The line --version prints.
const char* VersionText();

/// Parses the arguments after the program name; an error text when they are not usable.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

/// The usage text printed with a usage error, and by --help.
const char* UsageText();

}  // namespace quavert::cli

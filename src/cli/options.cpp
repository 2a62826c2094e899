#include "cli/options.h"

#include <charconv>

namespace quavert::cli {
namespace {

bool ParseWhole(const std::string& text, long& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

// ITEM:COLUMN=TEXT, with ITEM from 1 and COLUMN 1 (Notes), 2 (Volume) or 3 (Length).
bool ParseCell(const std::string& text, CellEdit& cell) {
  const auto colon = text.find(':');
  const auto equals = text.find('=');
  if (colon == std::string::npos || equals == std::string::npos || equals < colon) return false;
  long column = 0;
  if (!ParseWhole(text.substr(0, colon), cell.Item) || cell.Item < 1) return false;
  if (!ParseWhole(text.substr(colon + 1, equals - colon - 1), column) || column < 1 || column > 3) return false;
  cell.Column = static_cast<int>(column);
  cell.Text = text.substr(equals + 1);
  return true;
}

// ITEM:TICKS:HEX, with ITEM from 1 and TICKS from 0; HEX is checked when it is inserted.
bool ParseInsert(const std::string& text, EditAction& action) {
  const auto first = text.find(':');
  const auto second = first == std::string::npos ? std::string::npos : text.find(':', first + 1);
  if (second == std::string::npos) return false;
  action.What = EditAction::Kind::kInsert;
  if (!ParseWhole(text.substr(0, first), action.Item) || action.Item < 1) return false;
  if (!ParseWhole(text.substr(first + 1, second - first - 1), action.Ticks) || action.Ticks < 0) return false;
  action.Hex = text.substr(second + 1);
  return true;
}

}  // namespace

const char* VersionText() { return "quavert-cli " QUAVERT_VERSION "\n"; }

const char* UsageText() {
  return "usage: quavert-cli check FILE...\n"
         "       quavert-cli list FILE [--track N] [--bytes] [--answer yes|no]\n"
         "       quavert-cli report FILE [--out PATH] [--answer yes|no]\n"
         "       quavert-cli edit FILE --out PATH [--track N] [--cell ITEM:COLUMN=TEXT]... [--delete ITEM]...\n"
         "                        [--insert ITEM:TICKS:HEX]... [--save-track] [--tempo TEXT] [--ticks TEXT]\n"
         "                        [--answer yes|no]\n"
         "       quavert-cli render FILE --out FILE.wav [--soundfont SF2] [--rate 44100]\n"
         "       quavert-cli lint FILE... [--json]\n"
         "       quavert-cli --help | --version\n"
         "  list --bytes adds three cells to each row: OFFSET, HEX (its bytes) and TICKS\n"
         "  edit applies --cell, --delete and --insert in the order given, ITEM numbering the list as\n"
         "  it stands after the one before; --insert 5:10:\"90 3C 64\" puts that event 10 ticks after item 5\n"
         "  render prints \"rendered: PATH SECONDS s\", SECONDS to one decimal\n"
         "  lint prints FILE:OFFSET: error|warning: TEXT [CODE] for each problem (OFFSET: the\n"
         "  0-based byte offset in the file), then FILE: E errors, W warnings\n";
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options options;
  if (args.empty()) {
    error = "no command given";
    return std::nullopt;
  }
  options.Command = args[0] == "-h" ? "--help" : args[0];
  if (options.Command == "--help" || options.Command == "--version") {
    if (args.size() > 1) {
      error = "unexpected argument '" + args[1] + "'";
      return std::nullopt;
    }
    return options;
  }
  const bool check = options.Command == "check";
  const bool list = options.Command == "list";
  const bool report = options.Command == "report";
  const bool edit = options.Command == "edit";
  const bool render = options.Command == "render";
  const bool lint = options.Command == "lint";
  if (!check && !list && !report && !edit && !render && !lint) {
    error = "unknown command '" + options.Command + "'";
    return std::nullopt;
  }

  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size();
    auto value = [&]() -> const std::string& { return args[++i]; };
    if (lint && arg == "--json") {
      options.Json = true;
    } else if (list && arg == "--bytes") {
      options.Bytes = true;
    } else if (check || arg.empty() || arg[0] != '-' || arg == "-") {
      options.Files.push_back(arg);
    } else if (arg == "--answer" && has_value && !render) {
      const std::string& answer = value();
      if (answer != "yes" && answer != "no") {
        error = "--answer takes yes or no";
        return std::nullopt;
      }
      options.AnswerYes = answer == "yes";
    } else if (arg == "--track" && has_value && (list || edit)) {
      if (!ParseWhole(value(), options.Track) || options.Track < 1) {
        error = "--track takes a track number from 1";
        return std::nullopt;
      }
    } else if (arg == "--out" && has_value && (report || edit || render)) {
      options.Out = value();
    } else if (arg == "--cell" && has_value && edit) {
      CellEdit cell;
      if (!ParseCell(value(), cell)) {
        error = "--cell takes ITEM:COLUMN=TEXT with COLUMN 1, 2 or 3";
        return std::nullopt;
      }
      options.Cells.push_back(cell);
      EditAction action;
      action.Cell = cell;
      options.Actions.push_back(action);
    } else if (arg == "--delete" && has_value && edit) {
      EditAction action;
      action.What = EditAction::Kind::kDelete;
      if (!ParseWhole(value(), action.Item) || action.Item < 1) {
        error = "--delete takes a list item number from 1";
        return std::nullopt;
      }
      options.Actions.push_back(action);
    } else if (arg == "--insert" && has_value && edit) {
      EditAction action;
      if (!ParseInsert(value(), action)) {
        error = "--insert takes ITEM:TICKS:HEX with ITEM from 1 and TICKS from 0";
        return std::nullopt;
      }
      options.Actions.push_back(action);
    } else if (arg == "--save-track" && edit) {
      options.SaveTrack = true;
    } else if (arg == "--tempo" && has_value && edit) {
      options.Tempo = value();
    } else if (arg == "--ticks" && has_value && edit) {
      options.Ticks = value();
    } else if (arg == "--soundfont" && has_value && render) {
      options.SoundFont = value();
    } else if (arg == "--rate" && has_value && render) {
      if (!ParseWhole(value(), options.Rate) || options.Rate < kLowestRate || options.Rate > kHighestRate) {
        error = "--rate takes frames a second from 8000 to 96000";
        return std::nullopt;
      }
    } else {
      error = "unexpected argument '" + arg + "'";
      return std::nullopt;
    }
  }

  const bool many = check || lint;
  if (options.Files.empty() || (!many && options.Files.size() != 1)) {
    error = many ? options.Command + " needs at least one FILE" : options.Command + " needs one FILE";
    return std::nullopt;
  }
  if ((edit || render) && options.Out.empty()) {
    error = options.Command + " needs --out PATH";
    return std::nullopt;
  }
  return options;
}

}  // namespace quavert::cli

#include "cli/companion.h"
#include "cli/row_byte_cells.h"
#include "commands/event_list.h"
#include "common/number_text.h"

namespace quavert::cli {

void PrintTrackText(Companion& companion) {
  const std::string text = companion.ui.GetText(Control::Text2);
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    companion.out << text.substr(start, end - start) << '\n';
  if (start < text.size()) companion.out << text.substr(start) << '\n';
}

void PrintRows(Companion& companion, const std::vector<std::optional<ByteCells>>* bytes) {
  // A row's line is put together and written at once: a list may have any number of rows.
  std::string line;
  std::size_t row = 0;
  for (const ListItem& item : companion.ui.Items()) {
    line.assign(TrimRight(item.Main));
    for (const std::string& sub : item.Sub) line.append(1, '\t').append(TrimRight(sub));
    if (bytes && row < bytes->size() && (*bytes)[row]) {
      const ByteCells& cells = *(*bytes)[row];
      line.append(1, '\t').append(PlainNumber(cells.offset)).append(1, '\t').append(cells.hex);
      line.append(1, '\t').append(PlainNumber(cells.tick));
    } else if (bytes) {
      line.append("\t\t\t");
    }
    ++row;
    line += '\n';
    companion.out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
}

bool BuildList(Companion& companion) {
  if (!companion.ui.IsEnabled(Control::Command1)) return false;
  Command1Click(companion.session);
  return true;
}

int List(const Options& options, std::ostream& out) {
  Companion companion(out, options);
  if (!companion.Open(options.Files.front()) || !companion.ChooseTrack(options.Track)) return 1;
  BuildList(companion);
  PrintTrackText(companion);
  out << "--\n";
  if (options.Bytes) {
    const std::vector<std::optional<ByteCells>> cells = RowByteCells(companion, options.Files.front());
    PrintRows(companion, &cells);
  } else {
    PrintRows(companion, nullptr);
  }
  return 0;
}

}  // namespace quavert::cli

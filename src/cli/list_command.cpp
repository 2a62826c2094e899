#include "cli/companion.h"
#include "cli/row_byte_cells.h"
#include "commands/event_list.h"
#include "common/number_text.h"
#include "common/text_encoding.h"

namespace quavert::cli {

namespace {

// A text of the file as --encoding asks: converted to UTF-8, or its bytes as they are.
std::string Printed(std::string_view bytes, const std::optional<TextEncoding>& encoding) {
  return encoding ? ToUtf8(bytes, *encoding) : std::string(bytes);
}

}  // namespace

void PrintTrackText(Companion& companion, const std::optional<TextEncoding>& encoding) {
  const std::string text = Printed(companion.ui.GetText(Control::Text2), encoding);
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    companion.out << text.substr(start, end - start) << '\n';
  if (start < text.size()) companion.out << text.substr(start) << '\n';
}

void PrintRows(Companion& companion, const std::vector<std::optional<ByteCells>>* bytes,
               const std::optional<TextEncoding>& encoding) {
  // A row's line is put together and written at once: a list may have any number of rows.
  std::string line;
  const Session& session = companion.session;
  ListItem item;
  for (std::int64_t row = 0; row < session.shown.Rows(); ++row) {
    item = session.shown.Item(session.buffers.ListBuffer, row);
    line.assign(Printed(TrimRight(item.Main), encoding));
    for (const std::string& sub : item.Sub) line.append(1, '\t').append(Printed(TrimRight(sub), encoding));
    if (bytes && static_cast<std::size_t>(row) < bytes->size() && (*bytes)[static_cast<std::size_t>(row)]) {
      const ByteCells& cells = *(*bytes)[static_cast<std::size_t>(row)];
      line.append(1, '\t').append(PlainNumber(cells.offset)).append(1, '\t').append(cells.hex);
      line.append(1, '\t').append(PlainNumber(cells.tick));
    } else if (bytes) {
      line.append("\t\t\t");
    }
    line += '\n';
    companion.out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
}

bool BuildList(Companion& companion) {
  if (!companion.session.controls.Notes) return false;
  Command1Click(companion.session);
  return true;
}

int List(const Options& options, std::ostream& out) {
  Companion companion(out, options);
  if (!companion.Open(options.Files.front()) || !companion.ChooseTrack(options.Track)) return 1;
  BuildList(companion);
  PrintTrackText(companion, options.Encoding);
  out << "--\n";
  if (options.Bytes) {
    const std::vector<std::optional<ByteCells>> cells = RowByteCells(companion, options.Files.front());
    PrintRows(companion, &cells, options.Encoding);
  } else {
    PrintRows(companion, nullptr, options.Encoding);
  }
  return 0;
}

}  // namespace quavert::cli

#include <fstream>

#include "cli/companion.h"
#include "cli/row_byte_cells.h"
#include "commands/event_list.h"
#include "common/file_system.h"
#include "common/number_text.h"
#include "common/run_error.h"
#include "editing/row_rules.h"
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

namespace {

// The rows of a listing, each a line of five cells (and with `bytes` three more), put aside in
// a file of the private folder until the total time that comes before them has been printed:
// the memory they take does not grow with the track.
class SpooledRows final : public ListedRows {
 public:
  SpooledRows(const std::string& path, const std::vector<std::optional<ByteCells>>* bytes,
              const std::optional<TextEncoding>& encoding)
      : path_(path), file_(path, std::ios::binary | std::ios::trunc), bytes_(bytes), encoding_(encoding) {}

  void Row(std::int64_t index, const ListRowTexts& texts) override {
    if (!file_.is_open()) throw RunError(kPathFileAccess);
    line_.clear();
    for (std::size_t column = 0; column < texts.size(); ++column) {
      if (column > 0) line_ += '\t';
      line_ += Printed(TrimRight(ShownCell(texts, column)), encoding_);
    }
    const auto row = static_cast<std::size_t>(index);
    if (bytes_ && row < bytes_->size() && (*bytes_)[row]) {
      const ByteCells& cells = *(*bytes_)[row];
      line_.append(1, '\t').append(PlainNumber(cells.offset)).append(1, '\t').append(cells.hex);
      line_.append(1, '\t').append(PlainNumber(cells.tick));
    } else if (bytes_) {
      line_.append("\t\t\t");
    }
    line_ += '\n';
    if (!file_.write(line_.data(), static_cast<std::streamsize>(line_.size()))) throw RunError(kDiskFull);
  }

  // Prints the rows put aside, in order.
  void CopyTo(std::ostream& out) {
    file_.close();
    std::ifstream rows(path_, std::ios::binary);
    if (rows.peek() != std::ifstream::traits_type::eof()) out << rows.rdbuf();
  }

 private:
  std::string path_;
  std::ofstream file_;
  const std::vector<std::optional<ByteCells>>* bytes_;
  const std::optional<TextEncoding>& encoding_;
  std::string line_;
};

}  // namespace

bool BuildList(Companion& companion, ListedRows* rows) {
  if (!companion.session.controls.Notes) return false;
  return Command1Click(companion.session, rows);
}

int List(const Options& options, std::ostream& out) {
  Companion companion(out, options);
  if (!companion.Open(options.Files.front()) || !companion.ChooseTrack(options.Track)) return 1;
  std::vector<std::optional<ByteCells>> cells;
  if (options.Bytes) cells = RowByteCells(companion, options.Files.front());
  SpooledRows rows(JoinPath(companion.folder.Path(), "rows.txt"), options.Bytes ? &cells : nullptr, options.Encoding);
  const bool listed = BuildList(companion, &rows);
  PrintTrackText(companion, options.Encoding);
  out << "--\n";
  if (listed) rows.CopyTo(out);
  return 0;
}

}  // namespace quavert::cli

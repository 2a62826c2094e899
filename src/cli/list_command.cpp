#include <ostream>

#include "cli/companion.h"
#include "cli/row_byte_cells.h"
#include "commands/event_list.h"
#include "common/number_text.h"
#include "common/run_error.h"
#include "common/text_encoding.h"
#include "editing/total_time.h"

namespace quavert::cli {

namespace {

// A text of the file as --encoding asks: converted to UTF-8, or its bytes as they are.
std::string Printed(std::string_view bytes, const std::optional<TextEncoding>& encoding) {
  return encoding ? ToUtf8(bytes, *encoding) : std::string(bytes);
}

}  // namespace

void PrintTrackText(std::ostream& out, const std::string& text2, const std::optional<TextEncoding>& encoding) {
  const std::string text = Printed(text2, encoding);
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    out << text.substr(start, end - start) << '\n';
  if (start < text.size()) out << text.substr(start) << '\n';
}

void PrintTrackText(Companion& companion, const std::optional<TextEncoding>& encoding) {
  PrintTrackText(companion.out, companion.ui.GetText(Control::Text2), encoding);
}

namespace {

// The rows of a listing, each a line of five cells (and with `bytes` three more), printed as
// they are made, after the track's text and "--": the memory they take does not grow with the
// track. The track's text ends with the total time the rows add up to, which the decode knows
// before the listing has added them.
class PrintedRows final : public ListedRows {
 public:
  PrintedRows(std::ostream& out, std::string heading, const std::vector<std::optional<ByteCells>>* bytes,
              const std::optional<TextEncoding>& encoding)
      : out_(out), heading_(std::move(heading)), bytes_(bytes), encoding_(encoding) {}

  void Row(std::int64_t index, const ListRowTexts& texts) override {
    if (!headed_) PrintHeading(heading_);
    line_.clear();
    for (std::size_t column = 0; column < texts.size(); ++column) {
      if (column > 0) line_ += '\t';
      // The cell as the list shows it, its trailing blanks removed: the Channel and the
      // Description as kept, the numbers without blanks either side.
      const std::string_view cell = column == 0 || column == 4 ? TrimRight(texts[column]) : Trim(texts[column]);
      if (encoding_)
        line_ += ToUtf8(cell, *encoding_);
      else
        line_ += cell;
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
    if (!out_.write(line_.data(), static_cast<std::streamsize>(line_.size()))) throw RunError(kDiskFull);
  }

  bool Headed() const { return headed_; }
  void PrintHeading(const std::string& text2) {
    PrintTrackText(out_, text2, encoding_);
    out_ << "--\n";
    headed_ = true;
  }

 private:
  std::ostream& out_;
  std::string heading_;
  bool headed_ = false;
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
  const DecoderState& decoder = companion.session.decoder;
  PrintedRows rows(out, companion.ui.GetText(Control::Text2) + TotalTime(decoder.RowTicks, decoder.TickMinutes).Text2,
                   options.Bytes ? &cells : nullptr, options.Encoding);
  BuildList(companion, &rows);
  // No row came: the track's text as the listing left it, whether it listed or not.
  if (!rows.Headed()) rows.PrintHeading(companion.ui.GetText(Control::Text2));
  return 0;
}

}  // namespace quavert::cli

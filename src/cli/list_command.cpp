#include "cli/companion.h"
#include "editing/event_list.h"

namespace quavert::cli {

void PrintTrackText(Companion& companion) {
  const std::string text = companion.ui.GetText(Control::Text2);
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    companion.out << text.substr(start, end - start) << '\n';
  if (start < text.size()) companion.out << text.substr(start) << '\n';
}

void PrintRows(Companion& companion) {
  for (const ListItem& item : companion.ui.Items()) {
    auto cell = [](const std::string& text) {
      const auto end = text.find_last_not_of(' ');
      return end == std::string::npos ? std::string() : text.substr(0, end + 1);
    };
    companion.out << cell(item.Main);
    for (const std::string& sub : item.Sub) companion.out << '\t' << cell(sub);
    companion.out << '\n';
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
  PrintRows(companion);
  return 0;
}

}  // namespace quavert::cli

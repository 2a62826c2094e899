// Times filling ListView1 with 16,001 and with 200,000 rows in the real window (offscreen),
// in chunks of items (the list builder's own size among them), then the first paint of the list.
// Usage: shell_list_bench [--check]  (--check: fail when a fill takes ten times its budget)
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/recording_media_service.h"
#include "commands/event_list.h"
#include "shell/event_list_model.h"
#include "shell/frm_main.h"
#include "support/temp_folder.h"

namespace {

using quavert::ListItem;

std::vector<ListItem> Rows(int count) {
  std::vector<ListItem> rows;
  rows.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const int key = 36 + i % 48;
    rows.push_back({std::to_string(1 + i % 16),
                    {std::to_string(key), std::to_string(64 + i % 64), std::to_string(i % 480),
                     i % 2 == 0 ? "On  - Acoustic Grand Piano" : "Off - Acoustic Grand Piano"}});
  }
  return rows;
}

struct Timing {
  double FillMs;
  double PaintMs;
};

Timing Fill(quavert::frmmain& window, const std::vector<ListItem>& rows, std::size_t chunk) {
  quavert::Toolkit& ui = window.toolkit();
  ui.ListClear();
  QCoreApplication::processEvents();
  QElapsedTimer clock;
  clock.start();
  std::vector<ListItem> part;
  for (std::size_t at = 0; at < rows.size(); at += chunk) {
    part.assign(rows.begin() + static_cast<long>(at), rows.begin() + static_cast<long>(std::min(rows.size(), at + chunk)));
    ui.ListAddItems(part);
  }
  const double fill = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  clock.restart();
  window.ListView1->scrollToBottom();
  window.ListView1->viewport()->repaint();
  QCoreApplication::processEvents();
  return {fill, static_cast<double>(clock.nsecsElapsed()) / 1e6};
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
  quavert::testing::TempFolder folder;
  quavert::RecordingMediaService media;
  quavert::frmmain window(folder.Path(), media);
  window.show();
  window.FormLoad();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;

  bool within = true;
  for (const auto& [count, budget_ms] : {std::pair{16001, 50.0}, std::pair{200000, 500.0}}) {
    const std::vector<ListItem> rows = Rows(count);
    for (const std::size_t chunk : {std::size_t{100}, quavert::kListFillChunk, rows.size()}) {
      const Timing timing = Fill(window, rows, chunk);
      const bool complete = window.listModel().Count() == count;
      std::printf("%7d rows in chunks of %6zu: fill %7.1f ms, first paint %6.1f ms (budget %3.0f ms)%s\n", count,
                  chunk, timing.FillMs, timing.PaintMs, budget_ms, complete ? "" : "  ROWS MISSING");
      within = within && complete && timing.FillMs + timing.PaintMs < 10 * budget_ms;
    }
  }
  window.close();
  return check && !within ? 1 : 0;
}

// Times showing 16,001 and 200,000 rows of the session in ListView1 of the real window
// (offscreen), then the first paint of the list's end.
// Usage: shell_list_bench [--check]  (--check: fail when a fill takes ten times its budget)
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/session.h"
#include "commands/event_list.h"
#include "shell/event_list_model.h"
#include "bench_window.h"
#include "shell/frm_main.h"

namespace {

// `count` rows of notes, as the list builder keeps them.
quavert::TrackRows Rows(int count) {
  std::vector<quavert::ListRow> texts;
  texts.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const int key = 36 + i % 48;
    texts.push_back({"C" + std::to_string(1 + i % 16), std::to_string(key), std::to_string(64 + i % 64),
                     std::to_string(i % 480), i % 2 == 0 ? "On  - Acoustic Grand Piano" : "Off - Acoustic Grand Piano"});
  }
  std::vector<quavert::EventRecord> records(texts.size());
  quavert::TrackRows rows;
  rows.Assign(std::move(records), std::move(texts));
  return rows;
}

struct Timing {
  double FillMs;
  double PaintMs;
};

Timing Fill(quavert::frmmain& window, const quavert::TrackRows& rows) {
  quavert::Session& session = window.session();
  quavert::ClearEventList(session);
  session.buffers.Rows = rows;
  QCoreApplication::processEvents();
  QElapsedTimer clock;
  clock.start();
  quavert::ShowEventList(session);
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
  quavert::bench::BenchWindow bench;
  if (!bench.Show()) return 1;
  quavert::frmmain& window = bench.window;

  bool within = true;
  for (const auto& [count, budget_ms] : {std::pair{16001, 50.0}, std::pair{200000, 500.0}}) {
    const quavert::TrackRows rows = Rows(count);
    const Timing timing = Fill(window, rows);
    const bool complete = window.listModel().Count() == count;
    std::printf("%7d rows: fill %7.1f ms, first paint %6.1f ms (budget %3.0f ms)%s\n", count, timing.FillMs,
                timing.PaintMs, budget_ms, complete ? "" : "  ROWS MISSING");
    within = within && complete && timing.FillMs + timing.PaintMs < 10 * budget_ms;
  }
  window.close();
  return check && !within ? 1 : 0;
}

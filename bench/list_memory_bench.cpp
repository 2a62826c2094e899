// The window's memory after "Notes..." on a large track: opens FILE in the real window
// (offscreen), chooses TRACK, lists it, paints the list's end, and prints the peak resident set
// before and after the listing (VmHWM of /proc/self/status), the rows listed, and the time
// "Notes..." and the scroll to the end took.
// Usage: shell_list_memory FILE [TRACK]
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "commands/load_driver.h"
#include "commands/track_selection.h"
#include "shell/event_list_model.h"
#include "bench_window.h"
#include "shell/frm_main.h"

namespace {

// A line of /proc/self/status in kilobytes, or -1.
long StatusKb(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key + ":", 0) == 0) return std::atol(line.c_str() + key.size() + 1);
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: shell_list_memory FILE [TRACK]\n");
    return 2;
  }
  QApplication app(argc, argv);
  quavert::bench::BenchWindow bench;
  if (!bench.Show()) return 1;
  quavert::frmmain& window = bench.window;
  quavert::Session& session = window.session();
  quavert::OpenMidiFile(session, argv[1]);
  quavert::Combo1Click(session, argc > 2 ? std::atoi(argv[2]) - 1 : 0);
  QCoreApplication::processEvents();
  const long before = StatusKb("VmHWM");
  QElapsedTimer clock;
  clock.start();
  window.Command1->click();
  const double listed = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  clock.restart();
  window.ListView1->scrollToBottom();
  window.ListView1->viewport()->repaint();
  QCoreApplication::processEvents();
  const double scrolled = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  std::printf("rows %lld, peak RSS before listing %ld kB, after %ld kB (now %ld kB); "
              "\"Notes...\" %.0f ms, scroll to the end %.0f ms\n",
              static_cast<long long>(window.listModel().Count()), before, StatusKb("VmHWM"), StatusKb("VmRSS"), listed,
              scrolled);
  window.close();
  return 0;
}

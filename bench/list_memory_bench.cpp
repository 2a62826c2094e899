// The window's memory after "Notes..." on a large track: opens FILE in the real window
// (offscreen), chooses TRACK, lists it, paints the list's end, and prints the peak resident set
// before and after the listing (VmHWM of /proc/self/status), the rows listed, the time until the
// list is first painted with rows, the time "Notes..." took to the end, and the time the scroll to
// the end took.
// Usage: shell_list_memory FILE [TRACK]
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
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

// When the list's viewport is first painted with rows, from the clock given.
class FirstRowsPaint final : public QObject {
 public:
  FirstRowsPaint(const QElapsedTimer& clock, const quavert::EventListModel& model) : clock_(clock), model_(model) {}
  double Ms() const { return ms_; }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && ms_ < 0 && model_.Count() > 0)
      ms_ = static_cast<double>(clock_.nsecsElapsed()) / 1e6;
    return false;
  }

 private:
  const QElapsedTimer& clock_;
  const quavert::EventListModel& model_;
  double ms_ = -1;
};

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
  FirstRowsPaint shown(clock, window.listModel());
  window.ListView1->viewport()->installEventFilter(&shown);
  clock.start();
  window.Command1->click();
  const double listed = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  // A list shown only at the end of the command is painted once the window gets to it.
  window.ListView1->viewport()->repaint();
  window.ListView1->viewport()->removeEventFilter(&shown);
  clock.restart();
  window.ListView1->scrollToBottom();
  window.ListView1->viewport()->repaint();
  QCoreApplication::processEvents();
  const double scrolled = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  std::printf("rows %lld, peak RSS before listing %ld kB, after %ld kB (now %ld kB); "
              "\"Notes...\" shown %.0f ms, done %.0f ms, scroll to the end %.0f ms\n",
              static_cast<long long>(window.listModel().Count()), before, StatusKb("VmHWM"), StatusKb("VmRSS"),
              shown.Ms(), listed, scrolled);
  window.close();
  return 0;
}

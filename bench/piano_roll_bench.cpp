// Times the piano roll of a track of 400,000 notes (800,000 rows): pairing the rows into notes,
// then painting the roll (offscreen, QWidget::grab) at its start, in its middle, and zoomed out
// until the whole track is in sight.
// Usage: shell_roll_bench [--check]  (--check: fail when a step takes ten times its budget)
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "shell/piano_roll.h"
#include "timeline/note_spans.h"

namespace {

constexpr int kNotes = 400000;
constexpr int kDivision = 480;

// Four voices on four channels, a note each a sixteenth apart, each lasting a quarter: every
// row a note's On or Off, as a dense track has them.
std::vector<quavert::EventRecord> Rows() {
  std::vector<quavert::EventRecord> rows;
  rows.reserve(2 * kNotes);
  struct Pending {
    int key, channel;
    long end;
  };
  std::vector<Pending> sounding;
  long tick = 0;
  for (int i = 0; i < kNotes; ++i) {
    const int channel = i % 4;
    const int key = 36 + (i * 7) % 60;
    // Offs due before this On come first.
    for (auto it = sounding.begin(); it != sounding.end();) {
      if (it->end > tick) {
        ++it;
        continue;
      }
      rows.push_back({0x80 | it->channel, it->key, 0, 0});
      it = sounding.erase(it);
    }
    rows.push_back({0x90 | channel, key, 40 + i % 80, 0});
    sounding.push_back({key, channel, tick + kDivision});
    if (i % 4 == 3) {
      rows.back().Delta = kDivision / 4;
      tick += kDivision / 4;
    }
  }
  for (const Pending& note : sounding) rows.push_back({0x80 | note.channel, note.key, 0, 0});
  return rows;
}

double Ms(QElapsedTimer& clock) { return static_cast<double>(clock.nsecsElapsed()) / 1e6; }

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
  const std::vector<quavert::EventRecord> rows = Rows();

  QElapsedTimer clock;
  clock.start();
  auto notes = std::make_shared<quavert::NoteSpans>(quavert::BuildNoteSpans(rows, 0));
  const double build = Ms(clock);

  quavert::PianoRoll roll;
  roll.resize(1000, 400);
  quavert::TempoMap map;
  map.Division = kDivision;
  roll.SetTempoMap(map);
  roll.SetNotes(notes, true);
  roll.show();
  roll.grab();  // the first paint sets up fonts and the backing store

  struct Step {
    const char* name;
    double budget_ms;
    double ms = 0;
  } steps[] = {{"paint at the start", 50}, {"paint in the middle", 50}, {"paint zoomed out to the whole track", 300}};
  clock.restart();
  roll.grab();
  steps[0].ms = Ms(clock);
  roll.horizontalScrollBar()->setValue(roll.horizontalScrollBar()->maximum() / 2);
  clock.restart();
  roll.grab();
  steps[1].ms = Ms(clock);
  for (int i = 0; i < 40; ++i) roll.ZoomOut();
  clock.restart();
  roll.grab();
  steps[2].ms = Ms(clock);

  std::printf("%zu rows, %zu notes, %lld ticks\n", rows.size(), notes->Spans.size(), static_cast<long long>(notes->EndTick));
  std::printf("pairing the rows into notes: %.1f ms\n", build);
  int failed = 0;
  for (const Step& step : steps) {
    std::printf("%s (1000 x 400): %.1f ms\n", step.name, step.ms);
    if (check && step.ms > 10 * step.budget_ms) ++failed;
  }
  if (check && build > 10 * 500) ++failed;
  return failed == 0 ? 0 : 1;
}

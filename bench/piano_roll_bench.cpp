// Times the piano roll of a track of 400,000 notes (800,000 rows): pairing the rows into notes,
// then painting the roll (offscreen, QWidget::grab) at its start, in its middle, and zoomed out
// until the whole track is in sight.
// Usage: shell_roll_bench [--check]  (--check: fail when a step takes ten times its budget)
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <cstdio>
#include <cstring>
#include <string>
#include <memory>
#include <vector>

#include "common/binary_file.h"
#include "shell/piano_roll.h"
#include "timeline/file_timeline.h"
#include "timeline/midi_length.h"
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

// The rows as a format-0 file: each row's event (with its status byte) and the delta after it.
std::string FileOf(const std::vector<quavert::EventRecord>& rows) {
  std::string track = std::string(1, '\0');
  for (const quavert::EventRecord& row : rows) {
    track += static_cast<char>(row.Status);
    track += static_cast<char>(row.Data1);
    track += static_cast<char>(row.Data2);
    for (int shift = 21; shift > 0; shift -= 7)
      if (row.Delta >> shift) track += static_cast<char>(0x80 | ((row.Delta >> shift) & 0x7F));
    track += static_cast<char>(row.Delta & 0x7F);
  }
  track += std::string("\xFF\x2F\x00", 3);
  auto be32 = [](std::size_t n) {
    return std::string{static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8), static_cast<char>(n)};
  };
  return std::string("MThd") + be32(6) + std::string("\0\0\0\1\x01\xE0", 6) + "MTrk" + be32(track.size()) + track;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
  const std::vector<quavert::EventRecord> rows = Rows();

  QElapsedTimer clock;
  const std::string path = "/tmp/quavert-roll-bench.mid";
  {
    quavert::BinaryFile out(path, quavert::BinaryFile::Mode::kCreate);
    out.Write(FileOf(rows));
    out.Close();
  }
  std::size_t row_timing_rows = 0;
  clock.start();
  {
    quavert::BinaryFile file(path, quavert::BinaryFile::Mode::kRead);
    quavert::ReadTempoMap(file);
    quavert::MidiLengthInTicks(file);
    row_timing_rows = quavert::ReadRowTiming(file, 23, file.Length()).Rows;
  }
  const double walk = Ms(clock);
  std::remove(path.c_str());
  clock.restart();
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
  std::printf("reading the file's tempo map, length and the timing of its %zu rows: %.1f ms\n", row_timing_rows, walk);
  std::printf("pairing the rows into notes: %.1f ms\n", build);
  int failed = 0;
  for (const Step& step : steps) {
    std::printf("%s (1000 x 400): %.1f ms\n", step.name, step.ms);
    if (check && step.ms > 10 * step.budget_ms) ++failed;
  }
  if (check && (build > 10 * 500 || walk > 10 * 500 || row_timing_rows != rows.size())) ++failed;
  return failed == 0 ? 0 : 1;
}

#pragma once

#include <QAbstractScrollArea>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>

#include "timeline/note_spans.h"
#include "timeline/roll_geometry.h"
#include "timeline/tempo_map.h"

namespace quavert {

/// The piano roll of the chosen track: one bar per note on a keyboard strip, velocity as
/// shade, channel as colour, bar lines, drums as short marks, the playhead, and the selected
/// note outlined. Only what is in sight is drawn. Ctrl+wheel zooms, the wheel scrolls the keys
/// and Shift+wheel the time.
class PianoRoll : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit PianoRoll(QWidget* parent = nullptr);

  /// The notes to draw, the tempo map that places the bar lines, the name of each key as the
  /// list gives it, and the drum name of each key for the tooltips.
  /// `new_track` shows the notes from the start, their keys in the middle of the picture.
  void SetNotes(std::shared_ptr<const NoteSpans> notes, bool new_track = false);
  void SetTempoMap(const TempoMap& map);
  void SetNames(const QStringList& key_names, const QStringList& drum_names);

  /// Outlines span `index` (-1 for none) and scrolls it into sight.
  void SelectSpan(std::int64_t index);
  std::int64_t SelectedSpan() const { return selected_; }
  /// The playhead's tick, nothing for none; `follow` scrolls it into sight.
  void SetPlayhead(std::optional<std::int64_t> tick, bool follow);
  std::optional<std::int64_t> Playhead() const { return playhead_; }

  void ZoomIn();
  void ZoomOut();
  /// Shows `tick` at the left of the picture (after the keyboard) and `key` in the middle.
  void ScrollTo(std::int64_t tick, int key);

  /// Where things stand now, for the painter and the tests.
  RollView View() const;
  const NoteSpans* Notes() const { return notes_.get(); }

 signals:
  /// A note was clicked: the index of its span.
  void spanClicked(qint64 index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void Zoom(double factor, double at_x);
  void UpdateScrollBars();
  void EnsureTickVisible(std::int64_t tick);
  void PaintKeyboard(class QPainter& painter, const RollView& view) const;
  void PaintBarLines(class QPainter& painter, const RollView& view) const;
  void PaintNotes(class QPainter& painter, const RollView& view) const;
  QString ToolTipAt(const QPoint& at) const;

  std::shared_ptr<const NoteSpans> notes_;
  TempoMap map_;
  QStringList key_names_;
  QStringList drum_names_;
  double pixels_per_tick_ = 0.1;
  std::int64_t selected_ = -1;
  std::optional<std::int64_t> playhead_;
};

}  // namespace quavert

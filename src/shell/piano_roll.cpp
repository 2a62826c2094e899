#include "shell/piano_roll.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace quavert {
namespace {

constexpr int kKeyHeight = 8;
constexpr int kKeyboardWidth = 44;
constexpr double kDefaultPixelsPerQuarter = 32;
constexpr double kFewestPixelsPerQuarter = 0.05;
constexpr double kMostPixelsPerQuarter = 800;
constexpr double kZoomStep = 1.5;
constexpr double kWidestPicture = 1e9;  // pixels a scroll bar can count
constexpr int kMiddleCKey = 60;
constexpr int kKeysAnOctave = 12;
constexpr int kFewestPixelsBetweenBars = 6;
constexpr int kChannels = 16;

bool IsBlackKey(int key) {
  constexpr std::array<bool, kKeysAnOctave> kBlack = {false, true, false, true, false, false,
                                                     true, false, true, false, true, false};
  return kBlack[static_cast<std::size_t>(key % kKeysAnOctave)];
}

// Channel as hue, velocity as shade: loud notes are deep, soft ones pale.
QColor NoteColour(const NoteSpan& span) {
  const int hue = span.Channel * 360 / kChannels;
  const int velocity = std::clamp(span.Velocity, 1, 127);
  return QColor::fromHsv(hue, 60 + velocity * 195 / 127, 250 - velocity * 90 / 127);
}

}  // namespace

PianoRoll::PianoRoll(QWidget* parent) : QAbstractScrollArea(parent) {
  pixels_per_tick_ = kDefaultPixelsPerQuarter / static_cast<double>(map_.Division);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setMinimumHeight(120);
  viewport()->setMouseTracking(false);
  setAcceptDrops(false);
  viewport()->setAcceptDrops(false);
  setFocusPolicy(Qt::ClickFocus);
}

void PianoRoll::SetNotes(std::shared_ptr<const NoteSpans> notes, bool new_track) {
  notes_ = std::move(notes);
  if (notes_ == nullptr || selected_ >= static_cast<std::int64_t>(notes_->Spans.size())) selected_ = -1;
  UpdateScrollBars();
  if (new_track && notes_ != nullptr && !notes_->Spans.empty()) {
    // A new track is shown from its start, its keys in the middle.
    int lowest = kRollKeys;
    int highest = -1;
    for (const NoteSpan& span : notes_->Spans) {
      lowest = std::min(lowest, span.Key);
      highest = std::max(highest, span.Key);
    }
    ScrollTo(0, (lowest + highest) / 2);
  }
  viewport()->update();
}

void PianoRoll::SetTempoMap(const TempoMap& map) {
  const double quarter = static_cast<double>(map_.Division);
  const double pixels_per_quarter = pixels_per_tick_ * quarter;
  map_ = map;
  // The zoom stays the same in quarter notes whatever the division.
  pixels_per_tick_ = (pixels_per_quarter > 0 ? pixels_per_quarter : kDefaultPixelsPerQuarter) /
                     static_cast<double>(std::max<std::int64_t>(map_.Division, 1));
  UpdateScrollBars();
  viewport()->update();
}

void PianoRoll::SetNames(const QStringList& key_names, const QStringList& drum_names) {
  key_names_ = key_names;
  drum_names_ = drum_names;
  viewport()->update();
}

RollView PianoRoll::View() const {
  RollView view;
  view.PixelsPerTick = pixels_per_tick_;
  view.KeyHeight = kKeyHeight;
  view.KeyboardWidth = kKeyboardWidth;
  view.ScrollTick = horizontalScrollBar()->value() / pixels_per_tick_;
  view.ScrollY = verticalScrollBar()->value();
  return view;
}

void PianoRoll::UpdateScrollBars() {
  const std::int64_t end = notes_ ? notes_->EndTick : 0;
  const double picture = std::min(static_cast<double>(end) * pixels_per_tick_ + kKeyboardWidth, kWidestPicture);
  const int width = viewport()->width();
  horizontalScrollBar()->setRange(0, std::max(0, static_cast<int>(picture) - width + kKeyboardWidth));
  horizontalScrollBar()->setPageStep(std::max(1, width - kKeyboardWidth));
  horizontalScrollBar()->setSingleStep(20);
  const int height = viewport()->height();
  verticalScrollBar()->setRange(0, std::max(0, kRollKeys * kKeyHeight - height));
  verticalScrollBar()->setPageStep(std::max(1, height));
  verticalScrollBar()->setSingleStep(kKeyHeight);
}

void PianoRoll::ScrollTo(std::int64_t tick, int key) {
  horizontalScrollBar()->setValue(static_cast<int>(std::min(static_cast<double>(tick) * pixels_per_tick_, kWidestPicture)));
  verticalScrollBar()->setValue((kRollKeys - 1 - key) * kKeyHeight - viewport()->height() / 2);
}

void PianoRoll::EnsureTickVisible(std::int64_t tick) {
  const RollView view = View();
  const double x = XOfTick(view, static_cast<double>(tick));
  if (x >= kKeyboardWidth && x < viewport()->width() - 8) return;
  const int room = viewport()->width() - kKeyboardWidth;
  horizontalScrollBar()->setValue(static_cast<int>(std::min(static_cast<double>(tick) * pixels_per_tick_ - room / 8, kWidestPicture)));
}

void PianoRoll::SelectSpan(std::int64_t index) {
  if (notes_ == nullptr || index < 0 || index >= static_cast<std::int64_t>(notes_->Spans.size())) index = -1;
  selected_ = index;
  if (index >= 0) {
    const NoteSpan& span = notes_->Spans[static_cast<std::size_t>(index)];
    EnsureTickVisible(span.StartTick);
    const RollView view = View();
    const double y = YOfKey(view, span.Key);
    if (y < 0 || y + kKeyHeight > viewport()->height()) ScrollTo(static_cast<std::int64_t>(view.ScrollTick), span.Key);
  }
  viewport()->update();
}

void PianoRoll::SetPlayhead(std::optional<std::int64_t> tick, bool follow) {
  playhead_ = tick;
  if (tick && follow) EnsureTickVisible(*tick);
  viewport()->update();
}

void PianoRoll::ZoomIn() { Zoom(kZoomStep, kKeyboardWidth); }
void PianoRoll::ZoomOut() { Zoom(1 / kZoomStep, kKeyboardWidth); }

void PianoRoll::Zoom(double factor, double at_x) {
  const double division = static_cast<double>(std::max<std::int64_t>(map_.Division, 1));
  const double tick = TickAtX(View(), at_x);
  const double per_quarter = std::clamp(pixels_per_tick_ * division * factor, kFewestPixelsPerQuarter, kMostPixelsPerQuarter);
  pixels_per_tick_ = per_quarter / division;
  UpdateScrollBars();
  // The tick under the pointer stays under it.
  horizontalScrollBar()->setValue(static_cast<int>(std::clamp(tick * pixels_per_tick_ - (at_x - kKeyboardWidth), 0.0, kWidestPicture)));
  viewport()->update();
}

void PianoRoll::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void PianoRoll::scrollContentsBy(int, int) { viewport()->update(); }

void PianoRoll::wheelEvent(QWheelEvent* event) {
  const QPoint steps = event->angleDelta();
  if (event->modifiers() & Qt::ControlModifier) {
    if (steps.y() != 0) Zoom(steps.y() > 0 ? kZoomStep : 1 / kZoomStep, event->position().x());
  } else if ((event->modifiers() & Qt::ShiftModifier) || steps.x() != 0) {
    const int delta = steps.x() != 0 ? steps.x() : steps.y();
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - delta);
  } else {
    verticalScrollBar()->setValue(verticalScrollBar()->value() - steps.y() / 2);
  }
  event->accept();
}

void PianoRoll::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || notes_ == nullptr) return QAbstractScrollArea::mousePressEvent(event);
  const std::int64_t index = SpanAt(View(), *notes_, event->position().x(), event->position().y());
  if (index < 0) return;
  selected_ = index;
  viewport()->update();
  emit spanClicked(index);
}

bool PianoRoll::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = ToolTipAt(help->pos());
    if (text.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), text, viewport());
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

QString PianoRoll::ToolTipAt(const QPoint& at) const {
  if (notes_ == nullptr) return {};
  const std::int64_t index = SpanAt(View(), *notes_, at.x(), at.y());
  if (index < 0) return {};
  const NoteSpan& span = notes_->Spans[static_cast<std::size_t>(index)];
  const QString key = span.Channel == kDrumChannel && span.Key < drum_names_.size() && !drum_names_[span.Key].isEmpty()
                          ? drum_names_[span.Key]
                          : span.Key < key_names_.size() ? key_names_[span.Key] : QString::number(span.Key);
  return QStringLiteral("%1  channel %2  velocity %3  ticks %4-%5")
      .arg(key)
      .arg(span.Channel + 1)
      .arg(span.Velocity)
      .arg(span.StartTick)
      .arg(span.EndTick);
}

void PianoRoll::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const RollView view = View();
  painter.fillRect(viewport()->rect(), QColor(250, 250, 250));
  // The lanes of the black keys, a shade darker.
  for (int key = 0; key < kRollKeys; ++key) {
    const double y = YOfKey(view, key);
    if (y + kKeyHeight < 0 || y > viewport()->height()) continue;
    if (IsBlackKey(key)) painter.fillRect(QRectF(kKeyboardWidth, y, viewport()->width(), kKeyHeight), QColor(236, 236, 240));
    if (key % kKeysAnOctave == 0) {
      painter.setPen(QColor(210, 210, 215));
      painter.drawLine(QPointF(kKeyboardWidth, y + kKeyHeight - 0.5), QPointF(viewport()->width(), y + kKeyHeight - 0.5));
    }
  }
  PaintBarLines(painter, view);
  PaintNotes(painter, view);
  if (playhead_) {
    const double x = XOfTick(view, static_cast<double>(*playhead_));
    if (x >= kKeyboardWidth) {
      painter.setPen(QPen(QColor(220, 30, 30), 2));
      painter.drawLine(QPointF(x, 0), QPointF(x, viewport()->height()));
    }
  }
  PaintKeyboard(painter, view);
}

void PianoRoll::PaintBarLines(QPainter& painter, const RollView& view) const {
  const auto first = static_cast<std::int64_t>(std::max(0.0, std::floor(view.ScrollTick)));
  const auto last = static_cast<std::int64_t>(std::ceil(TickAtX(view, viewport()->width())));
  const std::size_t most = static_cast<std::size_t>(viewport()->width()) + 1;
  double drawn_x = -1e9;
  painter.setPen(QColor(180, 180, 190));
  for (const std::int64_t tick : BarLineTicks(map_, first, last, most)) {
    const double x = XOfTick(view, static_cast<double>(tick));
    if (x - drawn_x < kFewestPixelsBetweenBars) continue;  // zoomed far out: every few bars
    painter.drawLine(QPointF(x, 0), QPointF(x, viewport()->height()));
    drawn_x = x;
  }
}

void PianoRoll::PaintNotes(QPainter& painter, const RollView& view) const {
  if (notes_ == nullptr) return;
  const std::vector<NoteSpan>& spans = notes_->Spans;
  const double first_tick = std::floor(view.ScrollTick);
  const double last_x = viewport()->width();
  const double height = viewport()->height();
  // The right edge drawn last in each lane: a bar inside pixels already drawn is left out, so
  // that a picture of many thousand notes costs no more than its pixels.
  std::array<int, kRollKeys> drawn_to;
  drawn_to.fill(std::numeric_limits<int>::min());
  painter.setPen(Qt::NoPen);
  for (std::size_t i = FirstSpanReaching(*notes_, static_cast<std::int64_t>(first_tick)); i < spans.size(); ++i) {
    const NoteSpan& span = spans[i];
    const RollRect rect = NoteRect(view, span);
    if (rect.X > last_x) break;
    if (rect.X + rect.Width < kKeyboardWidth || rect.Y + rect.Height < 0 || rect.Y > height) continue;
    const int right = static_cast<int>(std::ceil(rect.X + rect.Width));
    int& lane = drawn_to[static_cast<std::size_t>(span.Key)];
    if (right <= lane && static_cast<std::int64_t>(i) != selected_) continue;
    lane = std::max(lane, right);
    painter.fillRect(QRectF(rect.X, rect.Y + 1, rect.Width, rect.Height - 1), NoteColour(span));
  }
  if (selected_ >= 0 && selected_ < static_cast<std::int64_t>(spans.size())) {
    const RollRect rect = NoteRect(view, spans[static_cast<std::size_t>(selected_)]);
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect.X, rect.Y, rect.Width, rect.Height));
  }
}

void PianoRoll::PaintKeyboard(QPainter& painter, const RollView& view) const {
  painter.fillRect(QRectF(0, 0, kKeyboardWidth, viewport()->height()), Qt::white);
  QFont font = painter.font();
  font.setPixelSize(kKeyHeight + 2);
  painter.setFont(font);
  for (int key = 0; key < kRollKeys; ++key) {
    const double y = YOfKey(view, key);
    if (y + kKeyHeight < 0 || y > viewport()->height()) continue;
    if (IsBlackKey(key)) painter.fillRect(QRectF(kKeyboardWidth / 2.0, y, kKeyboardWidth / 2.0, kKeyHeight), QColor(40, 40, 40));
    if (key % kKeysAnOctave == 0) {
      painter.setPen(key == kMiddleCKey ? QColor(200, 0, 0) : Qt::black);
      const QString name = key < key_names_.size() ? key_names_[key] : QString::number(key);
      painter.drawText(QRectF(2, y - 3, kKeyboardWidth - 4, kKeyHeight + 4), Qt::AlignLeft | Qt::AlignVCenter, name);
      painter.setPen(QColor(160, 160, 160));
      painter.drawLine(QPointF(0, y + kKeyHeight - 0.5), QPointF(kKeyboardWidth, y + kKeyHeight - 0.5));
    }
  }
  painter.setPen(QColor(120, 120, 120));
  painter.drawLine(QPointF(kKeyboardWidth - 0.5, 0), QPointF(kKeyboardWidth - 0.5, viewport()->height()));
}

}  // namespace quavert

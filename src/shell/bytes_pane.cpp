#include "shell/bytes_pane.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace quavert {
namespace {

constexpr int kMargin = 4;
constexpr int kLeastOffsetDigits = 6;
const QColor kHighlight(190, 220, 255);

int Digits(std::int64_t n) {
  int digits = 1;
  for (; n >= 10; n /= 10) ++digits;
  return digits;
}

char HexDigit(int value) { return "0123456789ABCDEF"[value & 0x0F]; }

}  // namespace

BytesPane::BytesPane(QWidget* parent) : QAbstractScrollArea(parent) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setFocusPolicy(Qt::ClickFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  verticalScrollBar()->setSingleStep(1);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
    if (!scrolling_) scroll_target_ = -1;
  });
  UpdateScrollBars();
}

int BytesPane::LineHeight() const { return fontMetrics().height(); }
qreal BytesPane::CharWidth() const {
  return std::max(QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0')), qreal{1});
}

std::int64_t BytesPane::Lines() const {
  return (static_cast<std::int64_t>(bytes_.size()) + kBytesPerLine - 1) / kBytesPerLine;
}

int BytesPane::OffsetDigits() const {
  const std::int64_t last = first_offset_ + std::max<std::int64_t>(static_cast<std::int64_t>(bytes_.size()) - 1, 0);
  return std::max(kLeastOffsetDigits, Digits(std::max<std::int64_t>(last, 0)));
}

int BytesPane::HexColumn(int column) const { return OffsetDigits() + 2 + column * 3 + (column >= kBytesPerLine / 2 ? 1 : 0); }
int BytesPane::TextColumn(int column) const { return HexColumn(kBytesPerLine - 1) + 4 + column; }

std::int64_t BytesPane::TopLine() const { return verticalScrollBar()->value(); }

void BytesPane::SetBytes(std::string bytes, std::int64_t first_offset) {
  bytes_ = std::move(bytes);
  first_offset_ = first_offset;
  highlight_from_ = highlight_to_ = marked_ = scroll_target_ = -1;
  scrolling_ = true;
  UpdateScrollBars();
  verticalScrollBar()->setValue(0);
  scrolling_ = false;
  viewport()->update();
}

void BytesPane::SetHighlight(std::int64_t from, std::int64_t to) {
  const auto size = static_cast<std::int64_t>(bytes_.size());
  if (from < 0 || to < from || from >= size) from = to = -1;
  to = std::min(to, size - 1);
  highlight_from_ = from;
  highlight_to_ = to;
  // A byte clicked inside the range stays where it is.
  if (from >= 0 && !(marked_ >= from && marked_ <= to)) ScrollToByte(from);
  viewport()->update();
}

void BytesPane::SetMarkedByte(std::int64_t index) {
  marked_ = index >= 0 && index < static_cast<std::int64_t>(bytes_.size()) ? index : -1;
  if (marked_ >= 0) ScrollToByte(marked_);
  viewport()->update();
}

void BytesPane::ScrollToByte(std::int64_t index) {
  const std::int64_t line = index / kBytesPerLine;
  const int shown = std::max(viewport()->height() / LineHeight(), 1);
  QScrollBar* bar = verticalScrollBar();
  scroll_target_ = index;
  scrolling_ = true;
  // A line out of sight comes to a third of the way down, with the bytes before it in sight too.
  if (line < bar->value() || line >= bar->value() + shown) bar->setValue(static_cast<int>(std::max<std::int64_t>(line - shown / 3, 0)));
  scrolling_ = false;
}

QRect BytesPane::HexRect(std::int64_t index) const {
  const std::int64_t line = index / kBytesPerLine - TopLine();
  const qreal x = kMargin + HexColumn(static_cast<int>(index % kBytesPerLine)) * CharWidth() - horizontalScrollBar()->value();
  return QRectF(x, static_cast<qreal>(line * LineHeight()), 2 * CharWidth(), LineHeight()).toAlignedRect();
}

std::int64_t BytesPane::ByteAt(QPoint point) const {
  if (point.y() < 0) return -1;
  const std::int64_t line = TopLine() + point.y() / LineHeight();
  const int x = point.x() + horizontalScrollBar()->value() - kMargin;
  if (x < 0) return -1;
  const int column = static_cast<int>(x / CharWidth());
  int byte = -1;
  for (int i = 0; i < kBytesPerLine && byte < 0; ++i) {
    // A byte's digits and the blank after them, or its character.
    if (column >= HexColumn(i) && column < HexColumn(i) + 3) byte = i;
    if (column == TextColumn(i)) byte = i;
  }
  if (byte < 0) return -1;
  const std::int64_t index = line * kBytesPerLine + byte;
  return index < static_cast<std::int64_t>(bytes_.size()) ? index : -1;
}

QSize BytesPane::sizeHint() const {
  const int line = static_cast<int>(std::ceil(2 * kMargin + (TextColumn(kBytesPerLine - 1) + 1) * CharWidth()));
  return {line + verticalScrollBar()->sizeHint().width() + 2 * frameWidth() + 2, 12 * LineHeight()};
}

void BytesPane::UpdateScrollBars() {
  const int shown = std::max(viewport()->height() / LineHeight(), 1);
  const std::int64_t most = std::max<std::int64_t>(Lines() - shown, 0);
  verticalScrollBar()->setRange(0, static_cast<int>(std::min<std::int64_t>(most, INT32_MAX)));
  verticalScrollBar()->setPageStep(shown);
  const int width = static_cast<int>(std::ceil(2 * kMargin + (TextColumn(kBytesPerLine - 1) + 1) * CharWidth()));
  horizontalScrollBar()->setRange(0, std::max(width - viewport()->width(), 0));
  horizontalScrollBar()->setPageStep(viewport()->width());
}

void BytesPane::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  scrolling_ = true;
  UpdateScrollBars();
  scrolling_ = false;
  if (scroll_target_ >= 0) ScrollToByte(scroll_target_);
}

void BytesPane::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const std::int64_t index = ByteAt(event->position().toPoint());
  if (index < 0) return;
  SetMarkedByte(index);
  scroll_target_ = -1;
  emit byteClicked(index);
}

void BytesPane::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const int height = LineHeight();
  const qreal width = CharWidth();
  const int ascent = fontMetrics().ascent();
  const qreal left = kMargin - horizontalScrollBar()->value();
  const QColor text_colour = palette().color(QPalette::Text);
  const QColor offset_colour = palette().color(QPalette::PlaceholderText);
  const int digits = OffsetDigits();
  const auto size = static_cast<std::int64_t>(bytes_.size());
  const std::int64_t top = TopLine();
  const std::int64_t last_line = std::min(Lines() - 1, top + viewport()->height() / height);
  const auto x_of = [&](int column) { return left + column * width; };
  for (std::int64_t line = top; line <= last_line; ++line) {
    const int y = static_cast<int>(line - top) * height;
    const std::int64_t first = line * kBytesPerLine;
    const int count = static_cast<int>(std::min<std::int64_t>(kBytesPerLine, size - first));
    for (int i = 0; i < count; ++i) {
      const std::int64_t index = first + i;
      if (highlight_from_ < 0 || index < highlight_from_ || index > highlight_to_) continue;
      // The blank between two highlighted bytes is highlighted too, so the range reads as one.
      const int span = index < highlight_to_ && i + 1 < count ? HexColumn(i + 1) - HexColumn(i) : 2;
      painter.fillRect(QRectF(x_of(HexColumn(i)), y, span * width, height), kHighlight);
      painter.fillRect(QRectF(x_of(TextColumn(i)), y, width, height), kHighlight);
    }
    painter.setPen(offset_colour);
    painter.drawText(QPointF(left, y + ascent), QString::number(first_offset_ + first).rightJustified(digits));
    painter.setPen(text_colour);
    // Each byte at its own place: a fixed font's advance need not be a whole number of pixels.
    for (int i = 0; i < count; ++i) {
      const auto byte = static_cast<unsigned char>(bytes_[static_cast<std::size_t>(first + i)]);
      const char pair[2] = {HexDigit(byte >> 4), HexDigit(byte)};
      painter.drawText(QPointF(x_of(HexColumn(i)), y + ascent), QString::fromLatin1(pair, 2));
      const char shown = byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
      painter.drawText(QPointF(x_of(TextColumn(i)), y + ascent), QString(QLatin1Char(shown)));
    }
  }
  if (marked_ >= 0 && marked_ / kBytesPerLine >= top && marked_ / kBytesPerLine <= last_line) {
    painter.setPen(QPen(text_colour, 1));
    const int y = static_cast<int>(marked_ / kBytesPerLine - top) * height;
    const int column = static_cast<int>(marked_ % kBytesPerLine);
    painter.drawRect(QRectF(x_of(HexColumn(column)) - 1, y, 2 * width + 1, height - 1));
    painter.drawRect(QRectF(x_of(TextColumn(column)), y, width, height - 1));
  }
}

}  // namespace quavert

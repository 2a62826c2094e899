#pragma once

#include <QAbstractScrollArea>
#include <QRect>
#include <cstdint>
#include <string>

namespace quavert {

/// Bytes in hex and as text, 16 a line after the offset of the line's first byte: the chosen
/// track's chunk beside the list. One range of bytes (the selected row's) is highlighted and one
/// byte may be marked. Only the lines in sight are drawn, so a track of any length costs nothing
/// more to show than a short one.
class BytesPane : public QAbstractScrollArea {
  Q_OBJECT

 public:
  static constexpr int kBytesPerLine = 16;

  explicit BytesPane(QWidget* parent = nullptr);

  /// The bytes to show; the first is labelled with `first_offset`. The highlight and the mark go.
  void SetBytes(std::string bytes, std::int64_t first_offset);
  const std::string& Bytes() const { return bytes_; }
  std::int64_t FirstOffset() const { return first_offset_; }

  /// Highlights bytes `from` .. `to` (0-based indices, -1 for none) and scrolls them into sight.
  void SetHighlight(std::int64_t from, std::int64_t to);
  std::int64_t HighlightFrom() const { return highlight_from_; }
  std::int64_t HighlightTo() const { return highlight_to_; }
  /// Outlines byte `index` (-1 for none) and scrolls it into sight.
  void SetMarkedByte(std::int64_t index);
  std::int64_t MarkedByte() const { return marked_; }

  /// Where byte `index`'s hex digits are drawn in the viewport, as things stand.
  QRect HexRect(std::int64_t index) const;
  /// The byte whose hex digits or text character lie under `point` of the viewport; -1 for none.
  std::int64_t ByteAt(QPoint point) const;
  /// The first line in sight.
  std::int64_t TopLine() const;
  /// Wide enough for a whole line.
  QSize sizeHint() const override;

 signals:
  /// A byte was clicked: its index.
  void byteClicked(qint64 index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  std::int64_t Lines() const;
  int LineHeight() const;
  qreal CharWidth() const;  // the fixed font's advance, fractions kept so that columns do not drift
  int OffsetDigits() const;
  // Character columns where byte `column` of a line has its hex digits and its text character.
  int HexColumn(int column) const;
  int TextColumn(int column) const;
  void UpdateScrollBars();
  void ScrollToByte(std::int64_t index);

  std::string bytes_;
  std::int64_t first_offset_ = 0;
  std::int64_t highlight_from_ = -1;
  std::int64_t highlight_to_ = -1;
  std::int64_t marked_ = -1;
  // The byte the pane last scrolled to, kept in sight through resizes until the user scrolls.
  std::int64_t scroll_target_ = -1;
  bool scrolling_ = false;
};

}  // namespace quavert

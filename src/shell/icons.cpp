#include "shell/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>

namespace quavert {
namespace {

constexpr int kIconSize = 16;

void DrawOpen(QPainter& p) {
  p.setPen(QColor(120, 90, 10));
  p.setBrush(QColor(230, 190, 60));
  p.drawRect(QRectF(1.5, 3.5, 5, 2));    // tab
  p.drawRect(QRectF(1.5, 4.5, 13, 9));   // back
  p.setBrush(QColor(250, 215, 90));
  p.drawPolygon(QPolygonF({QPointF(1.5, 13.5), QPointF(3.5, 7.5), QPointF(15.5, 7.5), QPointF(14.5, 13.5)}));
}

void DrawSave(QPainter& p) {
  p.setPen(QColor(20, 40, 100));
  p.setBrush(QColor(50, 90, 180));
  p.drawRect(QRectF(1.5, 1.5, 13, 13));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(3.5, 1.5, 9, 6));    // label
  p.setBrush(QColor(190, 190, 190));
  p.drawRect(QRectF(4.5, 10.5, 7, 4));   // shutter
  p.fillRect(QRectF(9, 11, 2, 3), QColor(20, 40, 100));
}

void DrawPlay(QPainter& p) {
  p.setPen(QColor(0, 90, 0));
  p.setBrush(QColor(40, 170, 40));
  p.drawPolygon(QPolygonF({QPointF(3.5, 2.5), QPointF(13.5, 8), QPointF(3.5, 13.5)}));
}

void DrawPause(QPainter& p) {
  p.setPen(QColor(20, 40, 100));
  p.setBrush(QColor(60, 100, 200));
  p.drawRect(QRectF(3.5, 2.5, 3, 11));
  p.drawRect(QRectF(9.5, 2.5, 3, 11));
}

void DrawStop(QPainter& p) {
  p.setPen(QColor(110, 0, 0));
  p.setBrush(QColor(200, 40, 40));
  p.drawRect(QRectF(3.5, 3.5, 9, 9));
}

void DrawQuaver(QPainter& p) {
  const QColor ink(30, 30, 60);
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.save();
  p.translate(5.5, 12.5);
  p.rotate(-25);
  p.drawEllipse(QPointF(0, 0), 3.4, 2.4);
  p.restore();
  p.fillRect(QRectF(7.6, 1.5, 1.4, 11), ink);
  QPainterPath flag(QPointF(9, 1.5));
  flag.cubicTo(QPointF(10, 5), QPointF(14, 5), QPointF(12.5, 10));
  flag.cubicTo(QPointF(12.5, 7), QPointF(10.5, 6.5), QPointF(9, 6));
  p.drawPath(flag);
}

struct ShapeEntry {
  void (*Draw)(QPainter&);
  const char* ThemeName;
};

constexpr std::array<ShapeEntry, 6> kShapes{{
    {DrawOpen, "document-open"},
    {DrawSave, "document-save-as"},
    {DrawPlay, "media-playback-start"},
    {DrawPause, "media-playback-pause"},
    {DrawStop, "media-playback-stop"},
    {DrawQuaver, "audio-x-generic"},
}};

const ShapeEntry& EntryOf(IconShape shape) { return kShapes[static_cast<std::size_t>(shape)]; }

}  // namespace

QPixmap DrawIcon(IconShape shape) {
  QPixmap pixmap(kIconSize, kIconSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  EntryOf(shape).Draw(painter);
  return pixmap;
}

QIcon ToolbarIcon(IconShape shape) {
  return QIcon::fromTheme(QString::fromLatin1(EntryOf(shape).ThemeName), QIcon(DrawIcon(shape)));
}

}  // namespace quavert

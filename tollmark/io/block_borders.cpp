// Paragraph borders: QTextBlockFormat has none, so the document keeps them as
// pens in user properties and the editor and the export draw them with this.
#include <QPainter>
#include <QPen>
#include <QTextBlockFormat>

#include "tollmark/io/document_io.h"

namespace tollmark::io {

void PaintBlockBorders(QPainter& painter, const QRectF& rect, const QTextBlockFormat& format,
                       qreal dpi) {
  const qreal pointsToPixels = dpi / 72.0;
  const qreal spacing = format.doubleProperty(kBorderSpacing) * pointsToPixels;
  const QRectF box = rect.adjusted(-spacing, -spacing, spacing, spacing);
  struct Side {
    int property;
    QLineF line;
  };
  const Side sides[] = {
      {kBorderTop, QLineF(box.topLeft(), box.topRight())},
      {kBorderBottom, QLineF(box.bottomLeft(), box.bottomRight())},
      {kBorderLeft, QLineF(box.topLeft(), box.bottomLeft())},
      {kBorderRight, QLineF(box.topRight(), box.bottomRight())},
  };
  painter.save();
  for (const Side& side : sides) {
    if (!format.hasProperty(side.property)) continue;
    QPen pen = format.penProperty(side.property);
    if (pen.style() == Qt::NoPen) continue;
    pen.setWidthF(std::max<qreal>(pen.widthF() * pointsToPixels, 1.0));
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    painter.drawLine(side.line);
  }
  painter.restore();
}

}  // namespace tollmark::io

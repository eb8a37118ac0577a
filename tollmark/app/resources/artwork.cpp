#include "tollmark/app/resources/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tollmark {
namespace {

const QColor kInk(40, 40, 48);
const QColor kPaper(252, 252, 248);
const QColor kBlue(36, 94, 168);
const QColor kRed(196, 40, 40);
const QColor kGreen(40, 140, 60);
const QColor kYellow(250, 214, 60);

// All icons are drawn on a 16 × 16 grid and scaled.
void Page(QPainter& p, QRectF r = QRectF(3, 1, 10, 14)) {
  QPainterPath path;
  path.moveTo(r.left(), r.top());
  path.lineTo(r.right() - 3, r.top());
  path.lineTo(r.right(), r.top() + 3);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setPen(QPen(kInk, 0.8));
  p.setBrush(kPaper);
  p.drawPath(path);
  p.drawLine(QPointF(r.right() - 3, r.top()), QPointF(r.right() - 3, r.top() + 3));
  p.drawLine(QPointF(r.right() - 3, r.top() + 3), QPointF(r.right(), r.top() + 3));
}

void Letter(QPainter& p, const QString& text, QRectF r, bool bold, bool italic, bool underline,
            const QColor& color = kInk, qreal pixels = 12) {
  QFont font("DejaVu Serif");
  font.setPixelSize(qRound(pixels));
  font.setBold(bold);
  font.setItalic(italic);
  font.setUnderline(underline);
  p.setFont(font);
  p.setPen(color);
  p.drawText(r, Qt::AlignCenter, text);
}

// Lines of text, aligned: 0 left, 1 centre, 2 right, 3 justified.
void TextLines(QPainter& p, int alignment, qreal top = 3, qreal left = 2, qreal right = 14) {
  static constexpr qreal kWidths[] = {12, 8, 12, 6};
  p.setPen(QPen(kInk, 1.2));
  for (int i = 0; i < 4; ++i) {
    const qreal full = right - left;
    const qreal w = alignment == 3 ? full : kWidths[i] * full / 12;
    const qreal x = alignment == 1 ? left + (full - w) / 2 : alignment == 2 ? right - w : left;
    const qreal y = top + i * 3;
    p.drawLine(QPointF(x, y), QPointF(x + w, y));
  }
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& color) {
  p.setPen(QPen(color, 1.4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(from, to);
  const QPointF d = to - from;
  const qreal len = std::hypot(d.x(), d.y());
  const QPointF u = d / len;
  const QPointF n(-u.y(), u.x());
  QPolygonF head{to + u * 1.2, to - u * 3 + n * 2.5, to - u * 3 - n * 2.5};
  p.setBrush(color);
  p.setPen(Qt::NoPen);
  p.drawPolygon(head);
}

void CurvedArrow(QPainter& p, bool left) {
  QPainterPath path;
  const qreal s = left ? 1 : -1;
  const qreal cx = 8;
  path.moveTo(cx + s * 5, 12);
  path.cubicTo(cx + s * 6, 5, cx - s * 1, 3, cx - s * 3, 6);
  p.setPen(QPen(kBlue, 1.6, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  QPolygonF head{QPointF(cx - s * 6, 5), QPointF(cx - s * 1.5, 3.5), QPointF(cx - s * 3.5, 9)};
  p.setBrush(kBlue);
  p.setPen(Qt::NoPen);
  p.drawPolygon(head);
}

// A 3 × 3 table; `mark` draws over it.
void Grid(QPainter& p, const QColor& fill = kPaper) {
  p.setPen(QPen(QColor(120, 120, 130), 0.8));
  p.setBrush(fill);
  p.drawRect(QRectF(2, 3, 12, 10));
  for (int i = 1; i < 3; ++i) {
    p.drawLine(QPointF(2 + i * 4, 3), QPointF(2 + i * 4, 13));
  }
  p.drawLine(QPointF(2, 6.3), QPointF(14, 6.3));
  p.drawLine(QPointF(2, 9.6), QPointF(14, 9.6));
}

void BorderSide(QPainter& p, IconId id) {
  Grid(p);
  p.setPen(QPen(kInk, 1.8, Qt::SolidLine, Qt::SquareCap));
  p.setBrush(Qt::NoBrush);
  switch (id) {
    case IconId::kBorderLeft:
      p.drawLine(QPointF(2, 3), QPointF(2, 13));
      break;
    case IconId::kBorderTop:
      p.drawLine(QPointF(2, 3), QPointF(14, 3));
      break;
    case IconId::kBorderRight:
      p.drawLine(QPointF(14, 3), QPointF(14, 13));
      break;
    case IconId::kBorderBottom:
      p.drawLine(QPointF(2, 13), QPointF(14, 13));
      break;
    case IconId::kBorderAll:
      p.drawRect(QRectF(2, 3, 12, 10));
      p.drawLine(QPointF(6, 3), QPointF(6, 13));
      p.drawLine(QPointF(10, 3), QPointF(10, 13));
      p.drawLine(QPointF(2, 6.3), QPointF(14, 6.3));
      p.drawLine(QPointF(2, 9.6), QPointF(14, 9.6));
      break;
    default: {
      p.setPen(QPen(QColor(200, 200, 205), 0.8, Qt::DotLine));
      p.setBrush(kPaper);
      p.drawRect(QRectF(2, 3, 12, 10));
      break;
    }
  }
}

void Cross(QPainter& p, QPointF c) {
  p.setPen(QPen(kRed, 1.8, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + QPointF(-2.5, -2.5), c + QPointF(2.5, 2.5));
  p.drawLine(c + QPointF(-2.5, 2.5), c + QPointF(2.5, -2.5));
}

void Plus(QPainter& p, QPointF c) {
  p.setPen(QPen(kGreen, 2, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(c + QPointF(-3, 0), c + QPointF(3, 0));
  p.drawLine(c + QPointF(0, -3), c + QPointF(0, 3));
}

void Highlight(QPainter& p, QRectF r) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 130, 220, 150));
  p.drawRect(r);
}

void Magnifier(QPainter& p, QPointF c, qreal radius) {
  p.setPen(QPen(kInk, 1.8, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + QPointF(radius * 0.7, radius * 0.7), c + QPointF(radius * 1.8, radius * 1.8));
  p.setPen(QPen(kInk, 1.2));
  p.setBrush(QColor(200, 225, 250));
  p.drawEllipse(c, radius, radius);
}

void Draw(QPainter& p, IconId id) {
  switch (id) {
    case IconId::kNew:
      Page(p);
      break;
    case IconId::kOpen: {
      p.setPen(QPen(QColor(150, 110, 30), 0.8));
      p.setBrush(QColor(240, 200, 90));
      p.drawRect(QRectF(1.5, 4, 12, 9));
      p.drawRect(QRectF(1.5, 3, 5, 1.5));
      QPolygonF front{QPointF(3.5, 7), QPointF(15, 7), QPointF(13.5, 13), QPointF(1.5, 13)};
      p.setBrush(QColor(250, 222, 130));
      p.drawPolygon(front);
      break;
    }
    case IconId::kSave:
      p.setPen(QPen(kInk, 0.8));
      p.setBrush(kBlue);
      p.drawRoundedRect(QRectF(2, 2, 12, 12), 1, 1);
      p.setBrush(kPaper);
      p.drawRect(QRectF(4, 2, 8, 5));
      p.setBrush(QColor(200, 200, 205));
      p.drawRect(QRectF(5, 10, 6, 4));
      break;
    case IconId::kSaveAsPdf: {
      Page(p);
      p.setPen(Qt::NoPen);
      p.setBrush(kRed);
      p.drawRect(QRectF(1, 8, 14, 6));
      QFont font("DejaVu Sans");
      font.setPixelSize(5);
      font.setBold(true);
      p.setFont(font);
      p.setPen(Qt::white);
      p.drawText(QRectF(1, 8, 14, 6), Qt::AlignCenter, "PDF");
      break;
    }
    case IconId::kPrintPreview:
      Page(p, QRectF(2, 1, 10, 13));
      Magnifier(p, QPointF(9, 9), 3);
      break;
    case IconId::kPrint:
      p.setPen(QPen(kInk, 0.8));
      p.setBrush(kPaper);
      p.drawRect(QRectF(4, 1.5, 8, 5));
      p.setBrush(QColor(160, 165, 175));
      p.drawRoundedRect(QRectF(1.5, 6, 13, 6), 1, 1);
      p.setBrush(kPaper);
      p.drawRect(QRectF(4, 10, 8, 4.5));
      p.setBrush(kGreen);
      p.drawEllipse(QPointF(12.5, 8), 0.8, 0.8);
      break;
    case IconId::kFind:
      Magnifier(p, QPointF(6.5, 6.5), 4);
      break;
    case IconId::kCut:
      p.setPen(QPen(kInk, 1.2));
      p.drawLine(QPointF(5, 1.5), QPointF(10, 10));
      p.drawLine(QPointF(11, 1.5), QPointF(6, 10));
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(kRed, 1.3));
      p.drawEllipse(QPointF(5, 12), 2.2, 2.2);
      p.drawEllipse(QPointF(11, 12), 2.2, 2.2);
      break;
    case IconId::kCopy:
      Page(p, QRectF(1.5, 1, 8, 10));
      Page(p, QRectF(6.5, 5, 8, 10));
      break;
    case IconId::kPaste:
      p.setPen(QPen(QColor(120, 80, 30), 0.8));
      p.setBrush(QColor(205, 160, 90));
      p.drawRoundedRect(QRectF(2, 2.5, 10, 12), 1, 1);
      p.setBrush(QColor(180, 180, 185));
      p.drawRect(QRectF(5, 1, 4, 3));
      Page(p, QRectF(7, 6, 7.5, 9));
      break;
    case IconId::kUndo:
      CurvedArrow(p, true);
      break;
    case IconId::kRedo:
      CurvedArrow(p, false);
      break;
    case IconId::kInsertPicture: {
      p.setPen(QPen(kInk, 0.8));
      p.setBrush(QColor(190, 225, 250));
      p.drawRect(QRectF(1.5, 2.5, 13, 11));
      p.setPen(Qt::NoPen);
      p.setBrush(kYellow);
      p.drawEllipse(QPointF(11, 5.5), 1.6, 1.6);
      p.setBrush(kGreen);
      p.drawPolygon(QPolygonF{QPointF(2, 13), QPointF(6.5, 6.5), QPointF(10, 13)});
      p.setBrush(QColor(70, 160, 80));
      p.drawPolygon(QPolygonF{QPointF(7, 13), QPointF(10.5, 8.5), QPointF(14, 13)});
      break;
    }
    case IconId::kInsertTable:
      Grid(p);
      p.setPen(Qt::NoPen);
      p.setBrush(kBlue);
      p.drawRect(QRectF(2, 3, 12, 3.3));
      break;
    case IconId::kBold:
      Letter(p, "B", QRectF(0, 0, 16, 16), true, false, false);
      break;
    case IconId::kItalic:
      Letter(p, "I", QRectF(0, 0, 16, 16), true, true, false);
      break;
    case IconId::kUnderline:
      Letter(p, "U", QRectF(0, -1, 16, 16), false, false, true);
      break;
    case IconId::kAlignLeft:
      TextLines(p, 0);
      break;
    case IconId::kAlignCenter:
      TextLines(p, 1);
      break;
    case IconId::kAlignRight:
      TextLines(p, 2);
      break;
    case IconId::kAlignJustify:
      TextLines(p, 3);
      break;
    case IconId::kBullets:
      p.setPen(Qt::NoPen);
      p.setBrush(kInk);
      for (int i = 0; i < 3; ++i) p.drawEllipse(QPointF(3, 3.5 + i * 4.5), 1.3, 1.3);
      p.setPen(QPen(kInk, 1.2));
      for (int i = 0; i < 3; ++i) p.drawLine(QPointF(6, 3.5 + i * 4.5), QPointF(14, 3.5 + i * 4.5));
      break;
    case IconId::kNumbering: {
      QFont font("DejaVu Sans");
      font.setPixelSize(5);
      font.setBold(true);
      p.setFont(font);
      p.setPen(kInk);
      for (int i = 0; i < 3; ++i) {
        p.drawText(QRectF(0, 1 + i * 4.5, 5, 5), Qt::AlignCenter, QString::number(i + 1));
      }
      p.setPen(QPen(kInk, 1.2));
      for (int i = 0; i < 3; ++i) p.drawLine(QPointF(6, 3.5 + i * 4.5), QPointF(14, 3.5 + i * 4.5));
      break;
    }
    case IconId::kShrinkFont:
      Letter(p, "A", QRectF(0, 3, 11, 13), false, false, false, kInk, 9);
      Arrow(p, QPointF(13, 2), QPointF(13, 9), kBlue);
      break;
    case IconId::kGrowFont:
      Letter(p, "A", QRectF(0, 1, 11, 15), false, false, false, kInk, 13);
      Arrow(p, QPointF(13, 9), QPointF(13, 2), kBlue);
      break;
    case IconId::kTextColor:
      Letter(p, "A", QRectF(0, -2, 16, 14), true, false, false);
      p.setPen(Qt::NoPen);
      p.setBrush(kRed);
      p.drawRect(QRectF(2, 12, 12, 3));
      break;
    case IconId::kTextBackground:
      p.setPen(Qt::NoPen);
      p.setBrush(kYellow);
      p.drawRect(QRectF(1, 3, 14, 10));
      Letter(p, "ab", QRectF(0, 0, 16, 16), false, false, false, kInk, 10);
      break;
    case IconId::kDecreaseIndent:
      TextLines(p, 2, 3, 7, 15);
      Arrow(p, QPointF(6, 8), QPointF(1.5, 8), kBlue);
      break;
    case IconId::kIncreaseIndent:
      TextLines(p, 2, 3, 7, 15);
      Arrow(p, QPointF(1, 8), QPointF(5.5, 8), kBlue);
      break;
    case IconId::kParagraphBackground:
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(150, 210, 150));
      p.drawRect(QRectF(1, 1, 14, 14));
      TextLines(p, 0);
      break;
    case IconId::kBorderLeft:
    case IconId::kBorderTop:
    case IconId::kBorderRight:
    case IconId::kBorderBottom:
    case IconId::kBorderAll:
    case IconId::kBorderNone:
      BorderSide(p, id);
      break;
    case IconId::kInsertColumnLeft:
      Grid(p);
      Highlight(p, QRectF(2, 3, 4, 10));
      Plus(p, QPointF(4, 8));
      break;
    case IconId::kInsertColumnRight:
      Grid(p);
      Highlight(p, QRectF(10, 3, 4, 10));
      Plus(p, QPointF(12, 8));
      break;
    case IconId::kInsertRowAbove:
      Grid(p);
      Highlight(p, QRectF(2, 3, 12, 3.3));
      Plus(p, QPointF(8, 4.6));
      break;
    case IconId::kInsertRowBelow:
      Grid(p);
      Highlight(p, QRectF(2, 9.6, 12, 3.4));
      Plus(p, QPointF(8, 11.3));
      break;
    case IconId::kDeleteRows:
      Grid(p);
      Highlight(p, QRectF(2, 6.3, 12, 3.3));
      Cross(p, QPointF(8, 8));
      break;
    case IconId::kDeleteColumns:
      Grid(p);
      Highlight(p, QRectF(6, 3, 4, 10));
      Cross(p, QPointF(8, 8));
      break;
    case IconId::kDeleteTable:
      Grid(p);
      Cross(p, QPointF(8, 8));
      break;
    case IconId::kSplitCells:
      p.setPen(QPen(QColor(120, 120, 130), 0.8));
      p.setBrush(kPaper);
      p.drawRect(QRectF(2, 3, 12, 10));
      p.setPen(QPen(kRed, 1, Qt::DashLine));
      p.drawLine(QPointF(8, 3), QPointF(8, 13));
      Arrow(p, QPointF(6.5, 8), QPointF(3, 8), kBlue);
      Arrow(p, QPointF(9.5, 8), QPointF(13, 8), kBlue);
      break;
    case IconId::kMergeCells:
      p.setPen(QPen(QColor(120, 120, 130), 0.8));
      p.setBrush(kPaper);
      p.drawRect(QRectF(2, 3, 12, 10));
      Arrow(p, QPointF(2.5, 8), QPointF(6.5, 8), kBlue);
      Arrow(p, QPointF(13.5, 8), QPointF(9.5, 8), kBlue);
      break;
  }
}

QPixmap Render(IconId id, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.scale(size / 16.0, size / 16.0);
  Draw(painter, id);
  return pixmap;
}

// The mark of the program: a page with a quill nib over it.
void DrawMark(QPainter& p, const QRectF& r) {
  const qreal s = r.width() / 100.0;
  p.save();
  p.translate(r.topLeft());
  p.scale(s, s);
  QLinearGradient sky(0, 0, 100, 100);
  sky.setColorAt(0, QColor(34, 70, 140));
  sky.setColorAt(1, QColor(18, 36, 80));
  p.setPen(Qt::NoPen);
  p.setBrush(sky);
  p.drawRoundedRect(QRectF(0, 0, 100, 100), 14, 14);
  p.setBrush(kPaper);
  QPainterPath page;
  page.moveTo(22, 14);
  page.lineTo(64, 14);
  page.lineTo(80, 30);
  page.lineTo(80, 88);
  page.lineTo(22, 88);
  page.closeSubpath();
  p.drawPath(page);
  p.setPen(QPen(QColor(160, 170, 190), 3));
  for (int i = 0; i < 5; ++i)
    p.drawLine(QPointF(30, 40 + i * 9), QPointF(i == 4 ? 52 : 70, 40 + i * 9));
  QPainterPath nib;
  nib.moveTo(92, 6);
  nib.cubicTo(70, 16, 52, 40, 44, 70);
  nib.lineTo(52, 62);
  nib.cubicTo(66, 44, 82, 26, 92, 6);
  p.setPen(QPen(QColor(120, 20, 20), 1.5));
  p.setBrush(kRed);
  p.drawPath(nib);
  p.restore();
}

}  // namespace

QIcon CommandIcon(IconId id) {
  QIcon icon;
  icon.addPixmap(Render(id, 16));
  icon.addPixmap(Render(id, 24));
  icon.addPixmap(Render(id, 32));
  return icon;
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {16, 32, 64}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawMark(painter, QRectF(0, 0, size, size));
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

QPixmap AboutLogo(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(QColor(0xD4, 0xD0, 0xC7));
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawMark(painter, QRectF(size * 0.08, size * 0.08, size * 0.84, size * 0.84));
  return pixmap;
}

QPixmap AboutBanner(const QSize& size) {
  QPixmap pixmap(size);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient band(0, 0, size.width(), 0);
  band.setColorAt(0, QColor(18, 36, 80));
  band.setColorAt(1, QColor(90, 130, 200));
  painter.fillRect(pixmap.rect(), band);
  QFont title("DejaVu Serif");
  title.setPixelSize(size.height() * 2 / 5);
  title.setBold(true);
  title.setItalic(true);
  painter.setFont(title);
  painter.setPen(Qt::white);
  painter.drawText(QRectF(12, 0, size.width() - 24, size.height() * 0.62),
                   Qt::AlignLeft | Qt::AlignBottom, "Tollmark");
  QFont line("DejaVu Sans");
  line.setPixelSize(qMax(9, size.height() / 6));
  painter.setFont(line);
  painter.setPen(QColor(220, 230, 250));
  painter.drawText(QRectF(12, size.height() * 0.62, size.width() - 24, size.height() * 0.34),
                   Qt::AlignLeft | Qt::AlignVCenter, "Rich text in, PDF out");
  return pixmap;
}

}  // namespace tollmark

#include "tollmark/app/rich_view_edit.h"

#include "tollmark/app/ui_hooks.h"
#include "tollmark/io/document_io.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <vector>

namespace tollmark {

RichViewEdit::RichViewEdit(QWidget* parent) : QTextEdit(parent) {
  setObjectName("RichViewEdit1");
  setAcceptRichText(true);
  setLineWrapMode(QTextEdit::WidgetWidth);
  setTabChangesFocus(false);
  setMouseTracking(true);
  NewDocument();
}

QFont RichViewEdit::NormalFont() {
  QFont font("Arial");
  font.setPointSize(10);
  return font;
}

QTextDocument* RichViewEdit::MakeDocument() {
  auto* doc = new QTextDocument;
  doc->setDefaultFont(NormalFont());
  return doc;
}

void RichViewEdit::NewDocument() {
  ReplaceDocument(MakeDocument());
}

void RichViewEdit::ReplaceDocument(QTextDocument* doc) {
  // A document whose parent is the editor is freed by the next setDocument.
  doc->setParent(this);
  setDocument(doc);
  doc->clearUndoRedoStacks();
  doc->setModified(false);
  moveCursor(QTextCursor::Start);
}

void RichViewEdit::SetGridLinesShown(bool shown) {
  grid_lines_shown_ = shown;
  viewport()->update();
}

QPointF RichViewEdit::ViewportOffset() const {
  return QPointF(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

void RichViewEdit::paintEvent(QPaintEvent* event) {
  QTextEdit::paintEvent(event);
  QPainter painter(viewport());
  PaintParagraphBorders(painter);
  PaintPageBreaks(painter);
  if (grid_lines_shown_) PaintTableGrids(painter);
}

void RichViewEdit::PaintParagraphBorders(QPainter& painter) {
  QAbstractTextDocumentLayout* layout = document()->documentLayout();
  const QPointF offset = ViewportOffset();
  const QRectF visible = QRectF(viewport()->rect()).translated(-offset);
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    const QTextBlockFormat format = block.blockFormat();
    if (!format.hasProperty(io::kBorderTop) && !format.hasProperty(io::kBorderBottom) &&
        !format.hasProperty(io::kBorderLeft) && !format.hasProperty(io::kBorderRight)) {
      continue;
    }
    const QRectF rect = layout->blockBoundingRect(block);
    if (!rect.intersects(visible)) continue;
    io::PaintBlockBorders(painter, rect.translated(offset), format, logicalDpiY());
  }
}

// A dashed line across the page above every paragraph that starts a page.
void RichViewEdit::PaintPageBreaks(QPainter& painter) {
  QAbstractTextDocumentLayout* layout = document()->documentLayout();
  painter.setPen(QPen(QColor(128, 128, 128), 1, Qt::DashLine));
  const QPointF offset = ViewportOffset();
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    if (!(block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)) continue;
    const QRectF rect = layout->blockBoundingRect(block).translated(offset);
    const qreal y = rect.top() - 1;
    painter.drawLine(QPointF(0, y), QPointF(viewport()->width(), y));
  }
}

// Dotted cell outlines for tables drawn without borders, so that the user
// sees where the cells are. Only the screen shows them.
void RichViewEdit::PaintTableGrids(QPainter& painter) {
  QAbstractTextDocumentLayout* layout = document()->documentLayout();
  const QPointF offset = ViewportOffset();
  painter.setPen(QPen(QColor(160, 160, 160), 1, Qt::DotLine));
  std::vector<QTextFrame*> frames{document()->rootFrame()};
  while (!frames.empty()) {
    QTextFrame* frame = frames.back();
    frames.pop_back();
    for (QTextFrame* child : frame->childFrames()) frames.push_back(child);
    auto* table = qobject_cast<QTextTable*>(frame);
    if (!table || table->format().border() > 0) continue;
    const QRectF box = layout->frameBoundingRect(table);
    const int rows = table->rows();
    const int columns = table->columns();
    // Column edges from the left edge of each cell's text; row edges from the
    // bottom of each row's tallest cell.
    const qreal padding = table->format().cellPadding();
    std::vector<qreal> xs(columns + 1, box.right());
    std::vector<qreal> ys(rows + 1, box.top());
    xs[0] = box.left();
    for (int r = 0; r < rows; ++r) {
      qreal bottom = ys[r];
      for (int c = 0; c < columns; ++c) {
        const QTextTableCell cell = table->cellAt(r, c);
        if (cell.row() != r || cell.column() != c) continue;
        if (c > 0) {
          const QRectF first = layout->blockBoundingRect(cell.firstCursorPosition().block());
          xs[c] = std::min(xs[c], first.left() - padding);
        }
        if (cell.rowSpan() == 1) {
          const QRectF last = layout->blockBoundingRect(cell.lastCursorPosition().block());
          bottom = std::max(bottom, last.bottom() + padding);
        }
      }
      ys[r + 1] = r + 1 == rows ? box.bottom() : bottom;
    }
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) {
        const QTextTableCell cell = table->cellAt(r, c);
        if (cell.row() != r || cell.column() != c) continue;
        const QTextTableCellFormat format = cell.format().toTableCellFormat();
        if (format.topBorder() > 0 || format.leftBorder() > 0 || format.bottomBorder() > 0 ||
            format.rightBorder() > 0) {
          continue;  // drawn by the document itself
        }
        const QRectF rect(QPointF(xs[c], ys[r]),
                          QPointF(xs[std::min(columns, c + cell.columnSpan())],
                                  ys[std::min(rows, r + cell.rowSpan())]));
        painter.drawRect(rect.translated(offset));
      }
    }
  }
}

void RichViewEdit::mousePressEvent(QMouseEvent* event) {
  pressed_anchor_.clear();
  if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier)) {
    pressed_anchor_ = anchorAt(event->position().toPoint());
    if (!pressed_anchor_.isEmpty()) return;  // the link is followed on release
  }
  if (event->button() == Qt::RightButton) {
    // A right-click outside the selection moves the caret there.
    const QTextCursor clicked = cursorForPosition(event->position().toPoint());
    const QTextCursor current = textCursor();
    if (!current.hasSelection() || clicked.position() < current.selectionStart() ||
        clicked.position() > current.selectionEnd()) {
      setTextCursor(clicked);
    }
    return;
  }
  QTextEdit::mousePressEvent(event);
}

void RichViewEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (!pressed_anchor_.isEmpty()) {
    const QString anchor = anchorAt(event->position().toPoint());
    if (anchor == pressed_anchor_) Hooks().open_url(QUrl(anchor));
    pressed_anchor_.clear();
    return;
  }
  QTextEdit::mouseReleaseEvent(event);
}

void RichViewEdit::mouseMoveEvent(QMouseEvent* event) {
  QTextEdit::mouseMoveEvent(event);
  const bool on_link = (event->modifiers() & Qt::ControlModifier) &&
                       !anchorAt(event->position().toPoint()).isEmpty();
  viewport()->setCursor(on_link ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

void RichViewEdit::contextMenuEvent(QContextMenuEvent* event) {
  if (popup_menu_) {
    popup_menu_->exec(event->globalPos());
  } else {
    QTextEdit::contextMenuEvent(event);
  }
}

}  // namespace tollmark

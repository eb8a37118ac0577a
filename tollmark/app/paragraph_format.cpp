#include "tollmark/app/paragraph_format.h"

#include "tollmark/io/document_io.h"

#include <QPen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <algorithm>

namespace tollmark {
void MergeBlockFormat(QTextEdit& edit, const QTextBlockFormat& format) {
  QTextCursor cursor = edit.textCursor();
  cursor.mergeBlockFormat(format);
  edit.setTextCursor(cursor);
}

void SetAlignment(QTextEdit& edit, Qt::Alignment alignment) {
  QTextBlockFormat format;
  format.setAlignment(alignment | Qt::AlignAbsolute);
  MergeBlockFormat(edit, format);
}

void SetLineSpacing(QTextEdit& edit, int percent) {
  QTextBlockFormat format;
  format.setLineHeight(percent, QTextBlockFormat::ProportionalHeight);
  MergeBlockFormat(edit, format);
}

int LineSpacing(const QTextEdit& edit) {
  const QTextBlockFormat format = edit.textCursor().blockFormat();
  if (format.lineHeightType() != QTextBlockFormat::ProportionalHeight) return 100;
  return qRound(format.lineHeight());
}

void ChangeIndent(QTextEdit& edit, int steps) {
  QTextCursor cursor = edit.textCursor();
  cursor.beginEditBlock();
  const int end = cursor.selectionEnd();
  for (QTextBlock block = edit.document()->findBlock(cursor.selectionStart());
       block.isValid() && block.position() <= end; block = block.next()) {
    QTextCursor at(block);
    if (QTextList* list = block.textList()) {
      // A list item moves to a list one level deeper or shallower.
      QTextListFormat format = list->format();
      format.setIndent(std::max(1, format.indent() + steps));
      if (format.indent() == list->format().indent()) continue;
      list->remove(block);
      // Joins the list of the paragraph before when it has the same level, so
      // numbering continues.
      QTextList* previous = block.previous().textList();
      if (previous && previous->format().indent() == format.indent() &&
          previous->format().style() == format.style()) {
        previous->add(block);
      } else {
        at.createList(format);
      }
      continue;
    }
    QTextBlockFormat format = block.blockFormat();
    format.setIndent(std::max(0, format.indent() + steps));
    at.setBlockFormat(format);
  }
  cursor.endEditBlock();
}

void SetWordWrap(QTextEdit& edit, bool wrap) {
  QTextBlockFormat format;
  format.setNonBreakableLines(!wrap);
  MergeBlockFormat(edit, format);
}

bool WordWrap(const QTextEdit& edit) {
  return !edit.textCursor().blockFormat().nonBreakableLines();
}

std::optional<QTextListFormat::Style> CurrentListStyle(const QTextEdit& edit) {
  if (QTextList* list = edit.textCursor().currentList()) return list->format().style();
  return std::nullopt;
}

void ApplyListStyle(QTextEdit& edit, std::optional<QTextListFormat::Style> style, int level) {
  QTextCursor cursor = edit.textCursor();
  cursor.beginEditBlock();
  if (!style) {
    const int end = cursor.selectionEnd();
    for (QTextBlock block = edit.document()->findBlock(cursor.selectionStart());
         block.isValid() && block.position() <= end; block = block.next()) {
      if (QTextList* list = block.textList()) {
        list->remove(block);
        QTextBlockFormat format = block.blockFormat();
        format.setIndent(0);
        QTextCursor(block).setBlockFormat(format);
      }
    }
  } else if (QTextList* list = cursor.currentList(); list && !cursor.hasSelection()) {
    QTextListFormat format = list->format();
    format.setStyle(*style);
    format.setIndent(level);
    list->setFormat(format);
  } else {
    QTextListFormat format;
    format.setStyle(*style);
    format.setIndent(level);
    cursor.createList(format);
  }
  cursor.endEditBlock();
}

void ToggleList(QTextEdit& edit, QTextListFormat::Style style) {
  if (CurrentListStyle(edit) == style) {
    ApplyListStyle(edit, std::nullopt);
  } else {
    const QTextList* list = edit.textCursor().currentList();
    ApplyListStyle(edit, style, list ? list->format().indent() : 1);
  }
}

void InsertPageBreak(QTextEdit& edit) {
  QTextCursor cursor = edit.textCursor();
  cursor.beginEditBlock();
  cursor.removeSelectedText();
  QTextBlockFormat format = cursor.blockFormat();
  format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  cursor.insertBlock(format);
  cursor.endEditBlock();
  edit.setTextCursor(cursor);
}

bool HasPageBreak(const QTextEdit& edit) {
  return edit.textCursor().blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;
}

void RemovePageBreak(QTextEdit& edit) {
  QTextCursor cursor = edit.textCursor();
  QTextBlockFormat format = cursor.blockFormat();
  format.setPageBreakPolicy(format.pageBreakPolicy() & ~QTextFormat::PageBreak_AlwaysBefore);
  cursor.setBlockFormat(format);
}

void InsertHorizontalLine(QTextEdit& edit) {
  QTextCursor cursor = edit.textCursor();
  cursor.beginEditBlock();
  cursor.removeSelectedText();
  QTextBlockFormat rule;
  rule.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth,
                   QTextLength(QTextLength::PercentageLength, 100));
  if (cursor.block().length() > 1) cursor.insertBlock();
  cursor.setBlockFormat(rule);
  cursor.insertBlock(QTextBlockFormat());
  cursor.endEditBlock();
  edit.setTextCursor(cursor);
}

void SetParagraphBackground(QTextEdit& edit, const QColor& color) {
  QTextBlockFormat format;
  format.setBackground(color);
  MergeBlockFormat(edit, format);
}

ParagraphBorders CurrentParagraphBorders(const QTextEdit& edit) {
  const QTextBlockFormat format = edit.textCursor().blockFormat();
  ParagraphBorders borders;
  for (int side : {io::kBorderTop, io::kBorderLeft, io::kBorderBottom, io::kBorderRight}) {
    const QPen pen = format.penProperty(side);
    if (format.hasProperty(side) && pen.style() != Qt::NoPen) {
      borders.width = pen.widthF();
      borders.color = pen.color();
      borders.style = pen.style();
      break;
    }
  }
  if (format.hasProperty(io::kBorderSpacing)) {
    borders.spacing = format.doubleProperty(io::kBorderSpacing);
  }
  if (format.background().style() != Qt::NoBrush) borders.background = format.background().color();
  return borders;
}

void ApplyParagraphBorders(QTextEdit& edit, const ParagraphBorders& borders) {
  QTextBlockFormat format;
  const QPen pen = borders.width > 0 ? QPen(QBrush(borders.color), borders.width, borders.style)
                                     : QPen(Qt::NoPen);
  for (int side : {io::kBorderTop, io::kBorderLeft, io::kBorderBottom, io::kBorderRight}) {
    format.setProperty(side, pen);
  }
  format.setProperty(io::kBorderSpacing, borders.spacing);
  if (borders.background.isValid()) {
    format.setBackground(borders.background);
  } else {
    format.setBackground(Qt::NoBrush);
  }
  MergeBlockFormat(edit, format);
}

}  // namespace tollmark

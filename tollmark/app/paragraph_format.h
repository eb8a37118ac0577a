// Paragraph formatting of the paragraphs touched by the editor's selection:
// alignment, indents, spacing, lists, page breaks, borders and background.
#pragma once

#include <QColor>
#include <QTextBlockFormat>
#include <QTextListFormat>
#include <optional>

class QTextEdit;

namespace tollmark {

void MergeBlockFormat(QTextEdit& edit, const QTextBlockFormat& format);

void SetAlignment(QTextEdit& edit, Qt::Alignment alignment);

// Line spacing in percent of the single line height (100, 150, 200).
void SetLineSpacing(QTextEdit& edit, int percent);
// The caret paragraph's line spacing in percent; 100 when none is set.
int LineSpacing(const QTextEdit& edit);

// Moves the paragraphs one indent step to the left or right; list items move
// one list level instead.
void ChangeIndent(QTextEdit& edit, int steps);

// A paragraph whose lines are not wrapped runs past the right edge.
void SetWordWrap(QTextEdit& edit, bool wrap);
bool WordWrap(const QTextEdit& edit);

// Makes the paragraphs a list of `style`, or plain paragraphs again when the
// caret's paragraph already is one (Bullets and Numbering buttons).
void ToggleList(QTextEdit& edit, QTextListFormat::Style style);
// Sets the list style of the paragraphs; std::nullopt removes them from
// their lists.
void ApplyListStyle(QTextEdit& edit, std::optional<QTextListFormat::Style> style, int level = 1);
// The list style of the caret's paragraph, if it is a list item.
std::optional<QTextListFormat::Style> CurrentListStyle(const QTextEdit& edit);

// A page break: a new paragraph that starts on a new page.
void InsertPageBreak(QTextEdit& edit);
// Removes the page break before the caret's paragraph.
void RemovePageBreak(QTextEdit& edit);
bool HasPageBreak(const QTextEdit& edit);

void InsertHorizontalLine(QTextEdit& edit);

void SetParagraphBackground(QTextEdit& edit, const QColor& color);

// Borders and background of whole paragraphs: the same border on all four
// sides, or none.
struct ParagraphBorders {
  qreal width = 0;  // points; 0 = no border
  QColor color = Qt::black;
  Qt::PenStyle style = Qt::SolidLine;
  qreal spacing = 2;  // points between the text and the border
  QColor background;  // invalid = none
};
ParagraphBorders CurrentParagraphBorders(const QTextEdit& edit);
void ApplyParagraphBorders(QTextEdit& edit, const ParagraphBorders& borders);

}  // namespace tollmark

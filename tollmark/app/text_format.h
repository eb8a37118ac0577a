// Character formatting of the editor's selection (or of the typing style
// when nothing is selected).
#pragma once

#include <QColor>
#include <QFont>
#include <QTextCharFormat>
#include <functional>

class QTextEdit;

namespace tollmark {

// The font at the caret, with what the format leaves open taken from the
// document's default font.
QFont CurrentFont(const QTextEdit& edit);

// Applies `format` to the selection, or to the typing style without one.
void MergeCharFormat(QTextEdit& edit, const QTextCharFormat& format);

void SetBold(QTextEdit& edit, bool on);
void SetItalic(QTextEdit& edit, bool on);
void SetUnderline(QTextEdit& edit, bool on);
void SetAllCapitals(QTextEdit& edit, bool on);
bool IsAllCapitals(const QTextEdit& edit);

void SetFontName(QTextEdit& edit, const QString& family);
void SetFontSize(QTextEdit& edit, qreal points);
void SetTextColor(QTextEdit& edit, const QColor& color);
void SetTextBackgroundColor(QTextEdit& edit, const QColor& color);

// Changes every run of the selection (or the typing style) from its own size:
// Shrink/Grow step through the usual sizes; the by-one variants add or take
// one point. Sizes stay between 1 and 1638 points.
enum class SizeStep { kShrink, kGrow, kShrinkOnePoint, kGrowOnePoint };
qreal SteppedFontSize(qreal points, SizeStep step);
void StepFontSize(QTextEdit& edit, SizeStep step);

}  // namespace tollmark

#include "tollmark/app/text_format.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>
#include <array>
#include <cmath>

namespace tollmark {
namespace {

constexpr qreal kMinSize = 1;
constexpr qreal kMaxSize = 1638;
constexpr std::array<qreal, 16> kSizeSteps = {8,  9,  10, 11, 12, 14, 16, 18,
                                              20, 22, 24, 26, 28, 36, 48, 72};

qreal SizeOf(const QTextCharFormat& format, const QFont& fallback) {
  const qreal size = format.fontPointSize();
  return size > 0 ? size : fallback.pointSizeF();
}

}  // namespace

QFont CurrentFont(const QTextEdit& edit) {
  return edit.currentCharFormat().font().resolve(edit.document()->defaultFont());
}

void MergeCharFormat(QTextEdit& edit, const QTextCharFormat& format) {
  edit.mergeCurrentCharFormat(format);
}

void SetBold(QTextEdit& edit, bool on) {
  QTextCharFormat format;
  format.setFontWeight(on ? QFont::Bold : QFont::Normal);
  MergeCharFormat(edit, format);
}

void SetItalic(QTextEdit& edit, bool on) {
  QTextCharFormat format;
  format.setFontItalic(on);
  MergeCharFormat(edit, format);
}

void SetUnderline(QTextEdit& edit, bool on) {
  QTextCharFormat format;
  format.setFontUnderline(on);
  MergeCharFormat(edit, format);
}

void SetAllCapitals(QTextEdit& edit, bool on) {
  QTextCharFormat format;
  format.setFontCapitalization(on ? QFont::AllUppercase : QFont::MixedCase);
  MergeCharFormat(edit, format);
}

bool IsAllCapitals(const QTextEdit& edit) {
  return edit.currentCharFormat().fontCapitalization() == QFont::AllUppercase;
}

void SetFontName(QTextEdit& edit, const QString& family) {
  QTextCharFormat format;
  format.setFontFamilies(QStringList{family});
  MergeCharFormat(edit, format);
}

void SetFontSize(QTextEdit& edit, qreal points) {
  QTextCharFormat format;
  format.setFontPointSize(std::clamp(points, kMinSize, kMaxSize));
  MergeCharFormat(edit, format);
}

void SetTextColor(QTextEdit& edit, const QColor& color) {
  QTextCharFormat format;
  format.setForeground(color);
  MergeCharFormat(edit, format);
}

void SetTextBackgroundColor(QTextEdit& edit, const QColor& color) {
  QTextCharFormat format;
  format.setBackground(color);
  MergeCharFormat(edit, format);
}

qreal SteppedFontSize(qreal points, SizeStep step) {
  qreal result = points;
  switch (step) {
    case SizeStep::kShrinkOnePoint:
      result = std::floor(points - 1);
      break;
    case SizeStep::kGrowOnePoint:
      result = std::floor(points + 1);
      break;
    case SizeStep::kShrink: {
      auto it = std::lower_bound(kSizeSteps.begin(), kSizeSteps.end(), points);
      result = it == kSizeSteps.begin() ? points - 1 : *(it - 1);
      break;
    }
    case SizeStep::kGrow: {
      auto it = std::upper_bound(kSizeSteps.begin(), kSizeSteps.end(), points);
      result = it == kSizeSteps.end() ? points + 10 : *it;
      break;
    }
  }
  return std::clamp(result, kMinSize, kMaxSize);
}

void StepFontSize(QTextEdit& edit, SizeStep step) {
  const QFont base = edit.document()->defaultFont();
  QTextCursor cursor = edit.textCursor();
  if (!cursor.hasSelection()) {
    SetFontSize(edit, SteppedFontSize(SizeOf(edit.currentCharFormat(), base), step));
    return;
  }
  // Each run keeps its relative size: collect the runs first, then change them.
  const int start = cursor.selectionStart();
  const int end = cursor.selectionEnd();
  struct Run {
    int from, to;
    qreal size;
  };
  std::vector<Run> runs;
  for (QTextBlock block = edit.document()->findBlock(start);
       block.isValid() && block.position() < end; block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const int from = std::max(start, fragment.position());
      const int to = std::min(end, fragment.position() + fragment.length());
      if (from < to) runs.push_back({from, to, SizeOf(fragment.charFormat(), base)});
    }
  }
  cursor.beginEditBlock();
  for (const Run& run : runs) {
    QTextCursor part(edit.document());
    part.setPosition(run.from);
    part.setPosition(run.to, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setFontPointSize(SteppedFontSize(run.size, step));
    part.mergeCharFormat(format);
  }
  cursor.endEditBlock();
}

}  // namespace tollmark

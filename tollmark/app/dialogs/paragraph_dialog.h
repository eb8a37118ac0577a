// The Paragraph dialog: alignment, indents, spacing and line spacing of the
// selected paragraphs.
#pragma once

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QSpinBox;
class QTextBlockFormat;

namespace tollmark {

struct ParagraphSettings {
  Qt::Alignment alignment = Qt::AlignLeft;
  qreal left_indent = 0;  // pixels, like the editor's layout
  qreal right_indent = 0;
  qreal first_line = 0;
  qreal space_before = 0;
  qreal space_after = 0;
  int line_spacing = 100;  // percent of a single line

  static ParagraphSettings From(const QTextBlockFormat& format, qreal indent_width);
  // Only the properties the dialog sets; the block's indent level is folded
  // into the left indent.
  QTextBlockFormat ToFormat() const;
};

class ParagraphDialog : public QDialog {
  Q_OBJECT
 public:
  explicit ParagraphDialog(const ParagraphSettings& settings, QWidget* parent = nullptr);
  ParagraphSettings Settings() const;

 private:
  QComboBox* alignment_;
  QDoubleSpinBox* left_;
  QDoubleSpinBox* right_;
  QDoubleSpinBox* first_line_;
  QDoubleSpinBox* before_;
  QDoubleSpinBox* after_;
  QComboBox* line_spacing_;
  QSpinBox* line_percent_;
};

}  // namespace tollmark

// Paragraph Borders and Background dialog.
#pragma once

#include "tollmark/app/paragraph_format.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;

namespace tollmark {

class ColorButton;

class ParagraphBordersDialog : public QDialog {
  Q_OBJECT
 public:
  explicit ParagraphBordersDialog(const ParagraphBorders& borders, QWidget* parent = nullptr);
  ParagraphBorders Borders() const;

 private:
  QDoubleSpinBox* width_;
  QComboBox* style_;
  ColorButton* color_;
  QDoubleSpinBox* spacing_;
  ColorButton* background_;
};

}  // namespace tollmark

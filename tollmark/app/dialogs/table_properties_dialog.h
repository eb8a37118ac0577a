// Table Properties dialog.
#pragma once

#include "tollmark/app/table_commands.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace tollmark {

class ColorButton;

class TablePropertiesDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TablePropertiesDialog(const TableProperties& properties, QWidget* parent = nullptr);
  TableProperties Properties() const;

 private:
  QDoubleSpinBox* border_;
  ColorButton* border_color_;
  QDoubleSpinBox* spacing_;
  QDoubleSpinBox* padding_;
  QSpinBox* width_;
  QComboBox* alignment_;
  ColorButton* background_;
};

}  // namespace tollmark

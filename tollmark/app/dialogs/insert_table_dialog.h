// Insert Table dialog: size, border and width of a new table.
#pragma once

#include "tollmark/app/table_commands.h"

#include <QDialog>

class QDoubleSpinBox;
class QSpinBox;

namespace tollmark {

class InsertTableDialog : public QDialog {
  Q_OBJECT
 public:
  explicit InsertTableDialog(QWidget* parent = nullptr);
  TableShape Shape() const;

 private:
  QSpinBox* columns_;
  QSpinBox* rows_;
  QDoubleSpinBox* border_;
  QSpinBox* width_;
};

}  // namespace tollmark

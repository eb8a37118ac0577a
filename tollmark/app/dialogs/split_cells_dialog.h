// Split Cells dialog: into how many columns and rows the cell is divided.
#pragma once

#include <QDialog>

class QSpinBox;

namespace tollmark {

class SplitCellsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit SplitCellsDialog(QWidget* parent = nullptr);
  int Columns() const;
  int Rows() const;

 private:
  QSpinBox* columns_;
  QSpinBox* rows_;
};

}  // namespace tollmark

#include "tollmark/app/dialogs/split_cells_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tollmark {

SplitCellsDialog::SplitCellsDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("SplitCellsDialog");
  setWindowTitle("Split Cells");
  columns_ = new QSpinBox;
  columns_->setObjectName("ColumnsBox");
  columns_->setRange(1, 20);
  columns_->setValue(2);
  rows_ = new QSpinBox;
  rows_->setObjectName("RowsBox");
  rows_->setRange(1, 20);
  rows_->setValue(1);
  auto* form = new QFormLayout;
  form->addRow("Number of &columns:", columns_);
  form->addRow("Number of &rows:", rows_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

int SplitCellsDialog::Columns() const {
  return columns_->value();
}
int SplitCellsDialog::Rows() const {
  return rows_->value();
}

}  // namespace tollmark

#include "tollmark/app/dialogs/insert_table_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tollmark {

InsertTableDialog::InsertTableDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("InsertTableDialog");
  setWindowTitle("Insert Table");
  const TableShape defaults;
  columns_ = new QSpinBox;
  columns_->setObjectName("ColumnsBox");
  columns_->setRange(1, 63);
  columns_->setValue(defaults.columns);
  rows_ = new QSpinBox;
  rows_->setObjectName("RowsBox");
  rows_->setRange(1, 1000);
  rows_->setValue(defaults.rows);
  border_ = new QDoubleSpinBox;
  border_->setObjectName("BorderBox");
  border_->setRange(0, 10);
  border_->setSingleStep(0.5);
  border_->setSuffix(" px");
  border_->setValue(defaults.border);
  width_ = new QSpinBox;
  width_->setObjectName("WidthBox");
  width_->setRange(0, 100);
  width_->setSuffix(" %");
  width_->setSpecialValueText("Fit to contents");
  width_->setValue(defaults.width_percent);

  auto* form = new QFormLayout;
  form->addRow("Number of &columns:", columns_);
  form->addRow("Number of &rows:", rows_);
  form->addRow("&Border width:", border_);
  form->addRow("Table &width:", width_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

TableShape InsertTableDialog::Shape() const {
  TableShape shape;
  shape.columns = columns_->value();
  shape.rows = rows_->value();
  shape.border = border_->value();
  shape.width_percent = width_->value();
  return shape;
}

}  // namespace tollmark

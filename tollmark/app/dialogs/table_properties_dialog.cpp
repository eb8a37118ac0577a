#include "tollmark/app/dialogs/table_properties_dialog.h"

#include "tollmark/app/dialogs/color_button.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>
#include <array>

namespace tollmark {
namespace {

struct AlignmentItem {
  const char* caption;
  Qt::Alignment alignment;
};
constexpr std::array<AlignmentItem, 3> kAlignments = {
    {{"Left", Qt::AlignLeft}, {"Center", Qt::AlignHCenter}, {"Right", Qt::AlignRight}}};

QDoubleSpinBox* Pixels(const char* name, qreal maximum, qreal value) {
  auto* box = new QDoubleSpinBox;
  box->setObjectName(name);
  box->setRange(0, maximum);
  box->setSingleStep(0.5);
  box->setSuffix(" px");
  box->setValue(value);
  return box;
}

}  // namespace

TablePropertiesDialog::TablePropertiesDialog(const TableProperties& properties, QWidget* parent)
    : QDialog(parent) {
  setObjectName("TablePropertiesDialog");
  setWindowTitle("Table Properties");
  border_ = Pixels("BorderBox", 10, properties.border);
  border_color_ = new ColorButton("Border Color", false);
  border_color_->setObjectName("BorderColorButton");
  border_color_->SetColor(properties.border_color);
  spacing_ = Pixels("CellSpacingBox", 50, properties.cell_spacing);
  padding_ = Pixels("CellPaddingBox", 50, properties.cell_padding);
  width_ = new QSpinBox;
  width_->setObjectName("WidthBox");
  width_->setRange(0, 100);
  width_->setSuffix(" %");
  width_->setSpecialValueText("Fit to contents");
  width_->setValue(properties.width_percent);
  alignment_ = new QComboBox;
  alignment_->setObjectName("AlignmentBox");
  for (const AlignmentItem& item : kAlignments) {
    alignment_->addItem(item.caption);
    if (properties.alignment & item.alignment) alignment_->setCurrentIndex(alignment_->count() - 1);
  }
  background_ = new ColorButton("Table Background", true);
  background_->setObjectName("BackgroundColorButton");
  background_->SetColor(properties.background);

  auto* form = new QFormLayout;
  form->addRow("&Border width:", border_);
  form->addRow("Border &color:", border_color_);
  form->addRow("Cell &spacing:", spacing_);
  form->addRow("Cell &padding:", padding_);
  form->addRow("&Width:", width_);
  form->addRow("&Alignment:", alignment_);
  form->addRow("Back&ground:", background_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

TableProperties TablePropertiesDialog::Properties() const {
  TableProperties properties;
  properties.border = border_->value();
  properties.border_color = border_color_->Color();
  properties.cell_spacing = spacing_->value();
  properties.cell_padding = padding_->value();
  properties.width_percent = width_->value();
  properties.alignment = kAlignments[std::max(0, alignment_->currentIndex())].alignment;
  properties.background = background_->Color();
  return properties;
}

}  // namespace tollmark

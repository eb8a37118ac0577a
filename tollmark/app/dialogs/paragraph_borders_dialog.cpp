#include "tollmark/app/dialogs/paragraph_borders_dialog.h"

#include "tollmark/app/dialogs/color_button.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>
#include <array>

namespace tollmark {
namespace {

struct StyleItem {
  const char* caption;
  Qt::PenStyle style;
};
constexpr std::array<StyleItem, 3> kStyles = {
    {{"Solid", Qt::SolidLine}, {"Dotted", Qt::DotLine}, {"Dashed", Qt::DashLine}}};

}  // namespace

ParagraphBordersDialog::ParagraphBordersDialog(const ParagraphBorders& borders, QWidget* parent)
    : QDialog(parent) {
  setObjectName("ParagraphBordersDialog");
  setWindowTitle("Paragraph Borders and Background");

  width_ = new QDoubleSpinBox;
  width_->setObjectName("BorderWidthBox");
  width_->setRange(0, 12);
  width_->setSingleStep(0.5);
  width_->setSuffix(" pt");
  width_->setSpecialValueText("None");
  width_->setValue(borders.width);
  style_ = new QComboBox;
  style_->setObjectName("BorderStyleBox");
  for (const StyleItem& item : kStyles) {
    style_->addItem(item.caption);
    if (item.style == borders.style) style_->setCurrentIndex(style_->count() - 1);
  }
  color_ = new ColorButton("Border Color", false);
  color_->setObjectName("BorderColorButton");
  color_->SetColor(borders.color);
  spacing_ = new QDoubleSpinBox;
  spacing_->setObjectName("BorderSpacingBox");
  spacing_->setRange(0, 72);
  spacing_->setSuffix(" pt");
  spacing_->setValue(borders.spacing);
  background_ = new ColorButton("Background Color", true);
  background_->setObjectName("BackgroundColorButton");
  background_->SetColor(borders.background);

  auto* border_group = new QGroupBox("Border (all sides)");
  auto* border_layout = new QFormLayout(border_group);
  border_layout->addRow("&Width:", width_);
  border_layout->addRow("&Style:", style_);
  border_layout->addRow("&Color:", color_);
  border_layout->addRow("S&pacing to text:", spacing_);
  auto* background_group = new QGroupBox("Background");
  auto* background_layout = new QFormLayout(background_group);
  background_layout->addRow("Co&lor:", background_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(border_group);
  layout->addWidget(background_group);
  layout->addWidget(buttons);
}

ParagraphBorders ParagraphBordersDialog::Borders() const {
  ParagraphBorders borders;
  borders.width = width_->value();
  borders.style = kStyles[std::max(0, style_->currentIndex())].style;
  borders.color = color_->Color();
  borders.spacing = spacing_->value();
  borders.background = background_->Color();
  return borders;
}

}  // namespace tollmark

#include "tollmark/app/dialogs/bullets_numbering_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QListWidget>
#include <QSpinBox>
#include <QVBoxLayout>
#include <array>

namespace tollmark {
namespace {

struct StyleItem {
  const char* caption;
  int style;  // 0 = no list
};
constexpr std::array<StyleItem, 9> kStyles = {{
    {"None", 0},
    {"\u2022  Bullet", QTextListFormat::ListDisc},
    {"\u25E6  Circle", QTextListFormat::ListCircle},
    {"\u25AA  Square", QTextListFormat::ListSquare},
    {"1.  2.  3.", QTextListFormat::ListDecimal},
    {"a.  b.  c.", QTextListFormat::ListLowerAlpha},
    {"A.  B.  C.", QTextListFormat::ListUpperAlpha},
    {"i.  ii.  iii.", QTextListFormat::ListLowerRoman},
    {"I.  II.  III.", QTextListFormat::ListUpperRoman},
}};

}  // namespace

BulletsNumberingDialog::BulletsNumberingDialog(std::optional<QTextListFormat::Style> style,
                                               int level, QWidget* parent)
    : QDialog(parent) {
  setObjectName("BulletsNumberingDialog");
  setWindowTitle("Bullets and Numbering");
  styles_ = new QListWidget;
  styles_->setObjectName("ListStyleList");
  for (const StyleItem& item : kStyles) {
    styles_->addItem(QString::fromUtf8(item.caption));
    if ((style ? int(*style) : 0) == item.style) styles_->setCurrentRow(styles_->count() - 1);
  }
  level_ = new QSpinBox;
  level_->setObjectName("ListLevelBox");
  level_->setRange(1, 9);
  level_->setValue(std::max(1, level));

  auto* form = new QFormLayout;
  form->addRow("&Level:", level_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(styles_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(styles_);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

std::optional<QTextListFormat::Style> BulletsNumberingDialog::Style() const {
  const int row = styles_->currentRow();
  if (row <= 0) return std::nullopt;
  return static_cast<QTextListFormat::Style>(kStyles[row].style);
}

int BulletsNumberingDialog::Level() const {
  return level_->value();
}

}  // namespace tollmark

#include "tollmark/app/dialogs/symbol_dialog.h"

#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

namespace tollmark {
namespace {

constexpr int kColumns = 16;
constexpr int kCellSize = 30;
constexpr int kSymbolRole = Qt::UserRole + 1;

struct Range {
  char32_t first, last;
};
// Latin-1 signs and letters, Greek, punctuation, currency, letterlike signs,
// arrows, mathematical operators, geometric shapes and miscellaneous symbols.
constexpr std::array<Range, 10> kRanges = {{{0x21, 0x7E},
                                            {0xA1, 0xFF},
                                            {0x391, 0x3C9},
                                            {0x2010, 0x2030},
                                            {0x20A0, 0x20BF},
                                            {0x2100, 0x2135},
                                            {0x2190, 0x21FF},
                                            {0x2200, 0x22FF},
                                            {0x25A0, 0x25FF},
                                            {0x2600, 0x266F}}};

}  // namespace

SymbolDialog::SymbolDialog(const QFont& font, QWidget* parent) : QDialog(parent) {
  setObjectName("SymbolDialog");
  setWindowTitle("Symbol");
  font_ = new QFontComboBox;
  font_->setObjectName("FontBox");
  QFont upright = font;
  upright.setItalic(false);
  upright.setBold(false);
  font_->setCurrentFont(upright);
  grid_ = new QTableWidget(0, kColumns);
  grid_->setObjectName("SymbolGrid");
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setMinimumSectionSize(kCellSize);
  grid_->verticalHeader()->setMinimumSectionSize(kCellSize);
  for (int column = 0; column < kColumns; ++column) grid_->setColumnWidth(column, kCellSize);
  grid_->verticalHeader()->setDefaultSectionSize(kCellSize);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setMinimumSize(kCellSize * kColumns + 24, kCellSize * 10);
  preview_ = new QLabel;
  preview_->setObjectName("SymbolPreview");
  preview_->setMinimumWidth(90);
  preview_->setAlignment(Qt::AlignCenter);

  auto* top = new QHBoxLayout;
  auto* font_label = new QLabel("&Font:");
  font_label->setBuddy(font_);
  top->addWidget(font_label);
  top->addWidget(font_, 1);
  auto* middle = new QHBoxLayout;
  middle->addWidget(grid_, 1);
  middle->addWidget(preview_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setText("&Insert");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(middle);
  layout->addWidget(buttons);

  connect(font_, &QFontComboBox::currentFontChanged, this, &SymbolDialog::Fill);
  connect(grid_, &QTableWidget::currentCellChanged, this,
          [this](int row, int column) { Choose(row, column); });
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
    Choose(row, column);
    if (symbol_ != 0) accept();
  });
  Fill();
}

QString SymbolDialog::FontFamily() const {
  return font_->currentFont().family();
}

void SymbolDialog::Fill() {
  QFont font = font_->currentFont();
  font.setPointSize(12);
  const QFontMetrics metrics(font);
  grid_->clearContents();
  grid_->setRowCount(0);
  int index = 0;
  for (const Range& range : kRanges) {
    for (char32_t c = range.first; c <= range.last; ++c) {
      if (!metrics.inFontUcs4(c)) continue;
      if (index % kColumns == 0) grid_->setRowCount(index / kColumns + 1);
      auto* item = new QTableWidgetItem(QString::fromUcs4(&c, 1));
      item->setFont(font);
      item->setTextAlignment(Qt::AlignCenter);
      item->setData(kSymbolRole, static_cast<uint>(c));
      item->setToolTip(QString("U+%1").arg(static_cast<uint>(c), 4, 16, QChar('0')).toUpper());
      grid_->setItem(index / kColumns, index % kColumns, item);
      ++index;
    }
  }
  symbol_ = 0;
  preview_->clear();
  if (index > 0) grid_->setCurrentCell(0, 0);
}

void SymbolDialog::Choose(int row, int column) {
  const QTableWidgetItem* item = grid_->item(row, column);
  symbol_ = item ? static_cast<char32_t>(item->data(kSymbolRole).toUInt()) : 0;
  if (!item) {
    preview_->clear();
    return;
  }
  QFont font = font_->currentFont();
  font.setPointSize(36);
  preview_->setFont(font);
  preview_->setText(item->text());
}

}  // namespace tollmark

#include "tollmark/app/dialogs/paragraph_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QSpinBox>
#include <QTextBlockFormat>
#include <QVBoxLayout>
#include <array>

namespace tollmark {
namespace {

struct AlignmentItem {
  const char* caption;
  Qt::Alignment alignment;
};
constexpr std::array<AlignmentItem, 4> kAlignments = {{{"Left", Qt::AlignLeft},
                                                       {"Center", Qt::AlignHCenter},
                                                       {"Right", Qt::AlignRight},
                                                       {"Justify", Qt::AlignJustify}}};

QDoubleSpinBox* Length(const char* name, qreal minimum, qreal value) {
  auto* box = new QDoubleSpinBox;
  box->setObjectName(name);
  box->setRange(minimum, 2000);
  box->setDecimals(1);
  box->setSuffix(" px");
  box->setValue(value);
  return box;
}

}  // namespace

ParagraphSettings ParagraphSettings::From(const QTextBlockFormat& format, qreal indent_width) {
  ParagraphSettings settings;
  settings.alignment = format.alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute;
  if (settings.alignment == Qt::AlignLeading || settings.alignment == 0) {
    settings.alignment = Qt::AlignLeft;
  }
  settings.left_indent = format.leftMargin() + format.indent() * indent_width;
  settings.right_indent = format.rightMargin();
  settings.first_line = format.textIndent();
  settings.space_before = format.topMargin();
  settings.space_after = format.bottomMargin();
  if (format.lineHeightType() == QTextBlockFormat::ProportionalHeight) {
    settings.line_spacing = qRound(format.lineHeight());
  }
  return settings;
}

QTextBlockFormat ParagraphSettings::ToFormat() const {
  QTextBlockFormat format;
  format.setAlignment(alignment | Qt::AlignAbsolute);
  format.setIndent(0);
  format.setLeftMargin(left_indent);
  format.setRightMargin(right_indent);
  format.setTextIndent(first_line);
  format.setTopMargin(space_before);
  format.setBottomMargin(space_after);
  format.setLineHeight(line_spacing, QTextBlockFormat::ProportionalHeight);
  return format;
}

ParagraphDialog::ParagraphDialog(const ParagraphSettings& settings, QWidget* parent)
    : QDialog(parent) {
  setObjectName("ParagraphDialog");
  setWindowTitle("Paragraph");

  alignment_ = new QComboBox;
  alignment_->setObjectName("AlignmentBox");
  for (const AlignmentItem& item : kAlignments) {
    alignment_->addItem(item.caption);
    if (settings.alignment == item.alignment) alignment_->setCurrentIndex(alignment_->count() - 1);
  }

  left_ = Length("LeftIndentBox", 0, settings.left_indent);
  right_ = Length("RightIndentBox", 0, settings.right_indent);
  first_line_ = Length("FirstLineBox", -2000, settings.first_line);
  before_ = Length("SpaceBeforeBox", 0, settings.space_before);
  after_ = Length("SpaceAfterBox", 0, settings.space_after);

  line_spacing_ = new QComboBox;
  line_spacing_->setObjectName("LineSpacingBox");
  line_spacing_->addItems({"Single", "1.5 lines", "Double", "Multiple"});
  line_percent_ = new QSpinBox;
  line_percent_->setObjectName("LineSpacingPercentBox");
  line_percent_->setRange(50, 500);
  line_percent_->setSuffix(" %");
  line_percent_->setValue(settings.line_spacing);
  const int preset = settings.line_spacing == 100   ? 0
                     : settings.line_spacing == 150 ? 1
                     : settings.line_spacing == 200 ? 2
                                                    : 3;
  line_spacing_->setCurrentIndex(preset);
  line_percent_->setEnabled(preset == 3);
  connect(line_spacing_, &QComboBox::currentIndexChanged, this, [this](int index) {
    static constexpr int kPercents[] = {100, 150, 200};
    if (index < 3) line_percent_->setValue(kPercents[index]);
    line_percent_->setEnabled(index == 3);
  });

  auto* general = new QGroupBox("General");
  auto* general_layout = new QFormLayout(general);
  general_layout->addRow("&Alignment:", alignment_);
  auto* indents = new QGroupBox("Indents");
  auto* indents_layout = new QFormLayout(indents);
  indents_layout->addRow("&Left:", left_);
  indents_layout->addRow("&Right:", right_);
  indents_layout->addRow("&First line:", first_line_);
  auto* spacing = new QGroupBox("Spacing");
  auto* spacing_layout = new QFormLayout(spacing);
  spacing_layout->addRow("&Before:", before_);
  spacing_layout->addRow("A&fter:", after_);
  spacing_layout->addRow("Li&ne spacing:", line_spacing_);
  spacing_layout->addRow("&Multiple of a line:", line_percent_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(general);
  layout->addWidget(indents);
  layout->addWidget(spacing);
  layout->addWidget(buttons);
}

ParagraphSettings ParagraphDialog::Settings() const {
  ParagraphSettings settings;
  settings.alignment = kAlignments[std::max(0, alignment_->currentIndex())].alignment;
  settings.left_indent = left_->value();
  settings.right_indent = right_->value();
  settings.first_line = first_line_->value();
  settings.space_before = before_->value();
  settings.space_after = after_->value();
  settings.line_spacing = line_percent_->value();
  return settings;
}

}  // namespace tollmark

#include "tollmark/app/dialogs/find_replace_dialog.h"

#include "tollmark/app/ui_hooks.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace tollmark {

FindReplaceDialog::FindReplaceDialog(Mode mode, QTextEdit& edit, SearchOptions& options,
                                     QWidget* parent)
    : QDialog(parent), edit_(edit), options_(options) {
  const bool replacing = mode == Mode::kReplace;
  setObjectName(replacing ? "ReplaceDialog" : "FindDialog");
  setWindowTitle(replacing ? "Replace" : "Find");

  auto* fields = new QFormLayout;
  find_edit_ = new QLineEdit(options.text);
  find_edit_->setObjectName("FindEdit");
  fields->addRow("Fi&nd what:", find_edit_);
  if (replacing) {
    replace_edit_ = new QLineEdit;
    replace_edit_->setObjectName("ReplaceEdit");
    fields->addRow("Re&place with:", replace_edit_);
  }
  match_case_ = new QCheckBox("Match &case");
  match_case_->setObjectName("MatchCaseBox");
  match_case_->setChecked(options.match_case);
  whole_words_ = new QCheckBox("Match &whole word only");
  whole_words_->setObjectName("WholeWordsBox");
  whole_words_->setChecked(options.whole_words);

  auto* direction = new QGroupBox("Direction");
  up_ = new QRadioButton("&Up");
  up_->setObjectName("UpButton");
  auto* down = new QRadioButton("&Down");
  down->setObjectName("DownButton");
  (options.backwards ? up_ : down)->setChecked(true);
  auto* direction_layout = new QHBoxLayout(direction);
  direction_layout->addWidget(up_);
  direction_layout->addWidget(down);

  auto* left = new QVBoxLayout;
  left->addLayout(fields);
  left->addWidget(match_case_);
  left->addWidget(whole_words_);
  left->addWidget(direction);
  left->addStretch();

  auto* buttons = new QVBoxLayout;
  find_next_ = new QPushButton("&Find Next");
  find_next_->setObjectName("FindNextButton");
  find_next_->setDefault(true);
  buttons->addWidget(find_next_);
  connect(find_next_, &QPushButton::clicked, this, &FindReplaceDialog::FindNextClicked);
  if (replacing) {
    replace_ = new QPushButton("&Replace");
    replace_->setObjectName("ReplaceButton");
    replace_all_ = new QPushButton("Replace &All");
    replace_all_->setObjectName("ReplaceAllButton");
    buttons->addWidget(replace_);
    buttons->addWidget(replace_all_);
    connect(replace_, &QPushButton::clicked, this, &FindReplaceDialog::ReplaceClicked);
    connect(replace_all_, &QPushButton::clicked, this, &FindReplaceDialog::ReplaceAllClicked);
  }
  auto* close = new QPushButton("Close");
  close->setObjectName("CloseButton");
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(close);
  buttons->addStretch();

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(buttons);
  connect(find_edit_, &QLineEdit::textChanged, this, &FindReplaceDialog::UpdateButtons);
  UpdateButtons();
}

void FindReplaceDialog::UpdateButtons() {
  const bool have_text = !find_edit_->text().isEmpty();
  find_next_->setEnabled(have_text);
  if (replace_) replace_->setEnabled(have_text);
  if (replace_all_) replace_all_->setEnabled(have_text);
}

void FindReplaceDialog::ReadOptions() {
  options_.text = find_edit_->text();
  options_.match_case = match_case_->isChecked();
  options_.whole_words = whole_words_->isChecked();
  options_.backwards = up_->isChecked();
}

void FindReplaceDialog::NotFound() {
  Hooks().inform(this, windowTitle(), QString("Cannot find \"%1\".").arg(options_.text));
}

void FindReplaceDialog::FindNextClicked() {
  ReadOptions();
  if (!FindNext(edit_, options_)) NotFound();
}

void FindReplaceDialog::ReplaceClicked() {
  ReadOptions();
  if (!ReplaceNext(edit_, options_, replace_edit_->text())) NotFound();
}

void FindReplaceDialog::ReplaceAllClicked() {
  ReadOptions();
  const int count = ReplaceAll(edit_, options_, replace_edit_->text());
  if (count == 0) {
    NotFound();
  } else {
    Hooks().inform(this, windowTitle(),
                   QString("%1 occurrence%2 replaced.").arg(count).arg(count == 1 ? "" : "s"));
  }
}

}  // namespace tollmark

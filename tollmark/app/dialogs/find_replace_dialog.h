// Find and Replace dialog. It stays open while the user steps through the
// occurrences; the search settings are written back for Find Next.
#pragma once

#include "tollmark/app/search.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTextEdit;

namespace tollmark {

class FindReplaceDialog : public QDialog {
  Q_OBJECT
 public:
  enum class Mode { kFind, kReplace };
  FindReplaceDialog(Mode mode, QTextEdit& edit, SearchOptions& options, QWidget* parent);

 private:
  void ReadOptions();
  void FindNextClicked();
  void ReplaceClicked();
  void ReplaceAllClicked();
  void NotFound();
  void UpdateButtons();

  QTextEdit& edit_;
  SearchOptions& options_;
  QLineEdit* find_edit_;
  QLineEdit* replace_edit_ = nullptr;
  QCheckBox* match_case_;
  QCheckBox* whole_words_;
  QRadioButton* up_;
  QPushButton* find_next_;
  QPushButton* replace_ = nullptr;
  QPushButton* replace_all_ = nullptr;
};

}  // namespace tollmark

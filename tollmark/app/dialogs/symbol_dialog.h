// Insert Symbol dialog: a grid of the characters of a font.
#pragma once

#include <QDialog>

class QFontComboBox;
class QLabel;
class QTableWidget;

namespace tollmark {

class SymbolDialog : public QDialog {
  Q_OBJECT
 public:
  explicit SymbolDialog(const QFont& font, QWidget* parent = nullptr);

  // The chosen character (0 when none) and the font it was shown in.
  char32_t Symbol() const { return symbol_; }
  QString FontFamily() const;

 private:
  void Fill();
  void Choose(int row, int column);

  QFontComboBox* font_;
  QTableWidget* grid_;
  QLabel* preview_;
  char32_t symbol_ = 0;
};

}  // namespace tollmark

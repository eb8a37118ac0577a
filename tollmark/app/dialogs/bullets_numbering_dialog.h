// Bullets and Numbering dialog: the list style and level of the paragraphs.
#pragma once

#include <QDialog>
#include <QTextListFormat>
#include <optional>

class QListWidget;
class QSpinBox;

namespace tollmark {

class BulletsNumberingDialog : public QDialog {
  Q_OBJECT
 public:
  BulletsNumberingDialog(std::optional<QTextListFormat::Style> style, int level,
                         QWidget* parent = nullptr);
  // std::nullopt: no list.
  std::optional<QTextListFormat::Style> Style() const;
  int Level() const;

 private:
  QListWidget* styles_;
  QSpinBox* level_;
};

}  // namespace tollmark

// A button that shows a colour and lets the user pick another one; with
// `allow_none`, a small "None" entry clears it.
#pragma once

#include <QColor>
#include <QToolButton>

namespace tollmark {

class ColorButton : public QToolButton {
  Q_OBJECT
 public:
  explicit ColorButton(const QString& title, bool allow_none, QWidget* parent = nullptr);

  QColor Color() const { return color_; }  // invalid = none
  void SetColor(const QColor& color);

 private:
  void Pick();

  QString title_;
  QColor color_;
};

}  // namespace tollmark

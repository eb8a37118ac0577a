#include "tollmark/app/dialogs/color_picker.h"

#include "tollmark/app/ui_hooks.h"

#include <QColorDialog>

namespace tollmark {

std::optional<QColor> PickColor(QWidget* parent, const QColor& initial, const QString& title) {
  static const bool greys_set = [] {
    const int count = QColorDialog::customCount();
    for (int i = 0; i < count; ++i) {
      const int level = count > 1 ? 255 - i * 255 / (count - 1) : 255;
      QColorDialog::setCustomColor(i, QColor(level, level, level));
    }
    return true;
  }();
  (void)greys_set;
  QColorDialog dialog(initial.isValid() ? initial : QColor(Qt::black), parent);
  dialog.setObjectName("ColorDialog1");
  dialog.setWindowTitle(title);
  if (Hooks().exec_dialog(dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.currentColor();
}

}  // namespace tollmark

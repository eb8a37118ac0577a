#include "tollmark/app/dialogs/color_button.h"

#include "tollmark/app/dialogs/color_picker.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

namespace tollmark {

ColorButton::ColorButton(const QString& title, bool allow_none, QWidget* parent)
    : QToolButton(parent), title_(title) {
  setIconSize(QSize(40, 14));
  connect(this, &QToolButton::clicked, this, &ColorButton::Pick);
  if (allow_none) {
    auto* menu = new QMenu(this);
    menu->addAction("Choose...", this, &ColorButton::Pick);
    menu->addAction("None", this, [this] { SetColor(QColor()); });
    setMenu(menu);
    setPopupMode(QToolButton::MenuButtonPopup);
  }
  SetColor(QColor());
}

void ColorButton::SetColor(const QColor& color) {
  color_ = color;
  QPixmap swatch(iconSize());
  swatch.fill(Qt::transparent);
  QPainter painter(&swatch);
  painter.setPen(QColor(90, 90, 90));
  painter.setBrush(color.isValid() ? QBrush(color) : QBrush(Qt::white));
  painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
  if (!color.isValid()) {
    painter.setPen(QPen(QColor(200, 0, 0), 1));
    painter.drawLine(1, swatch.height() - 2, swatch.width() - 2, 1);
  }
  painter.end();
  setIcon(QIcon(swatch));
  setToolTip(color.isValid() ? color.name() : QString("None"));
}

void ColorButton::Pick() {
  if (auto chosen = PickColor(this, color_, title_)) SetColor(*chosen);
}

}  // namespace tollmark

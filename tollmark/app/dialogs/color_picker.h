// The colour dialog of the window (ColorDialog1), shown through the hooks.
#pragma once

#include <QColor>
#include <QString>
#include <optional>

class QWidget;

namespace tollmark {

// The chosen colour, or nothing when the user cancelled. The dialog's
// custom colours start as sixteen greys from white to black.
std::optional<QColor> PickColor(QWidget* parent, const QColor& initial, const QString& title);

}  // namespace tollmark

// Table commands on the table at the editor's caret.
#pragma once

#include <QColor>
#include <QTextTableFormat>

class QTextEdit;
class QTextTable;

namespace tollmark {

struct TableShape {
  int rows = 2;
  int columns = 3;
  qreal border = 1;
  int width_percent = 100;  // 0 = as wide as the text
};
void InsertTable(QTextEdit& edit, const TableShape& shape);

// The table the caret is in, if any.
QTextTable* CurrentTable(const QTextEdit& edit);

// The rectangle of cells covered by the selection (or the caret's cell).
struct CellRange {
  int first_row = 0;
  int row_count = 0;
  int first_column = 0;
  int column_count = 0;
};
CellRange SelectedCells(const QTextEdit& edit, const QTextTable& table);

enum class Side { kLeft, kRight, kAbove, kBelow };
void InsertColumn(QTextEdit& edit, Side side);
void InsertRow(QTextEdit& edit, Side side);
void DeleteRows(QTextEdit& edit);
void DeleteColumns(QTextEdit& edit);
void DeleteTable(QTextEdit& edit);

void SelectTable(QTextEdit& edit);
void SelectColumns(QTextEdit& edit);
void SelectRows(QTextEdit& edit);
void SelectCell(QTextEdit& edit);

// Vertical alignment of the selected cells' contents; AlignNormal is the
// default (top).
void AlignCellContents(QTextEdit& edit, QTextCharFormat::VerticalAlignment alignment);

enum class CellBorder { kLeft, kTop, kRight, kBottom, kAll, kNone };
void SetCellBorders(QTextEdit& edit, CellBorder which);

// Splits the caret's cell into `rows` × `columns` cells. A merged cell is
// split within its span first; what remains is made with new rows and
// columns, whose neighbours are merged so the rest of the table keeps its
// shape.
void SplitCell(QTextEdit& edit, int rows, int columns);
void MergeCells(QTextEdit& edit);
bool CanMergeCells(const QTextEdit& edit);

struct TableProperties {
  qreal border = 1;
  QColor border_color = Qt::black;
  qreal cell_spacing = 2;
  qreal cell_padding = 2;
  int width_percent = 100;  // 0 = as wide as the text
  Qt::Alignment alignment = Qt::AlignLeft;
  QColor background;  // invalid = none
};
TableProperties PropertiesOf(const QTextTable& table);
void SetTableProperties(QTextEdit& edit, const TableProperties& properties);

}  // namespace tollmark

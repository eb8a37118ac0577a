#include "tollmark/app/table_commands.h"

#include <QTextCursor>
#include <QTextEdit>
#include <QTextTable>
#include <algorithm>
#include <vector>

namespace tollmark {
namespace {

QTextTableCellFormat CellFormat(const QTextTableCell& cell) {
  return cell.format().toTableCellFormat();
}

// Visits each cell of the range once (a merged cell by its top-left corner).
template <typename Visit>
void ForEachCell(QTextTable& table, const CellRange& range, Visit visit) {
  for (int r = range.first_row; r < range.first_row + range.row_count; ++r) {
    for (int c = range.first_column; c < range.first_column + range.column_count; ++c) {
      QTextTableCell cell = table.cellAt(r, c);
      if (!cell.isValid()) continue;
      const bool first_visit = (cell.row() == r || r == range.first_row) &&
                               (cell.column() == c || c == range.first_column);
      if (first_visit) visit(cell);
    }
  }
}

// Sizes of `parts` groups that together make `total`, the larger ones first.
std::vector<int> Portions(int total, int parts) {
  std::vector<int> sizes(parts, total / parts);
  for (int i = 0; i < total % parts; ++i) ++sizes[i];
  return sizes;
}

// Borders are kept on the cells (with collapsed borders), as RTF keeps them.
void SetAllCellBorders(QTextTable& table, qreal width, const QColor& color) {
  QTextTableFormat table_format = table.format();
  table_format.setBorder(0);
  table_format.setBorderCollapse(true);
  table.setFormat(table_format);
  const QTextFrameFormat::BorderStyle style =
      width > 0 ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None;
  for (int r = 0; r < table.rows(); ++r) {
    for (int c = 0; c < table.columns(); ++c) {
      QTextTableCell cell = table.cellAt(r, c);
      if (cell.row() != r || cell.column() != c) continue;
      QTextTableCellFormat format = CellFormat(cell);
      format.setBorder(width);
      format.setBorderStyle(style);
      format.setBorderBrush(color);
      cell.setFormat(format);
    }
  }
}

void SelectCells(QTextEdit& edit, QTextTable& table, int row1, int column1, int row2, int column2) {
  QTextCursor cursor = table.cellAt(row1, column1).firstCursorPosition();
  cursor.setPosition(table.cellAt(row2, column2).lastCursorPosition().position(),
                     QTextCursor::KeepAnchor);
  edit.setTextCursor(cursor);
}

}  // namespace

void InsertTable(QTextEdit& edit, const TableShape& shape) {
  QTextTableFormat format;
  format.setCellSpacing(0);
  format.setCellPadding(4);
  format.setBorderCollapse(true);
  if (shape.width_percent > 0) {
    format.setWidth(QTextLength(QTextLength::PercentageLength, shape.width_percent));
  }
  QTextCursor cursor = edit.textCursor();
  cursor.beginEditBlock();
  cursor.removeSelectedText();
  QTextTable* table =
      cursor.insertTable(std::max(1, shape.rows), std::max(1, shape.columns), format);
  SetAllCellBorders(*table, shape.border, Qt::black);
  cursor.endEditBlock();
  edit.setTextCursor(table->cellAt(0, 0).firstCursorPosition());
}

QTextTable* CurrentTable(const QTextEdit& edit) {
  return edit.textCursor().currentTable();
}

CellRange SelectedCells(const QTextEdit& edit, const QTextTable& table) {
  const QTextCursor cursor = edit.textCursor();
  CellRange range;
  cursor.selectedTableCells(&range.first_row, &range.row_count, &range.first_column,
                            &range.column_count);
  if (range.first_row >= 0) return range;
  const QTextTableCell cell = table.cellAt(cursor);
  return {cell.row(), cell.rowSpan(), cell.column(), cell.columnSpan()};
}

void InsertColumn(QTextEdit& edit, Side side) {
  QTextTable* table = CurrentTable(edit);
  if (!table) return;
  const CellRange range = SelectedCells(edit, *table);
  table->insertColumns(
      side == Side::kLeft ? range.first_column : range.first_column + range.column_count, 1);
}

void InsertRow(QTextEdit& edit, Side side) {
  QTextTable* table = CurrentTable(edit);
  if (!table) return;
  const CellRange range = SelectedCells(edit, *table);
  table->insertRows(side == Side::kAbove ? range.first_row : range.first_row + range.row_count, 1);
}

void DeleteRows(QTextEdit& edit) {
  QTextTable* table = CurrentTable(edit);
  if (!table) return;
  const CellRange range = SelectedCells(edit, *table);
  table->removeRows(range.first_row, range.row_count);
}

void DeleteColumns(QTextEdit& edit) {
  QTextTable* table = CurrentTable(edit);
  if (!table) return;
  const CellRange range = SelectedCells(edit, *table);
  table->removeColumns(range.first_column, range.column_count);
}

void DeleteTable(QTextEdit& edit) {
  QTextTable* table = CurrentTable(edit);
  if (!table) return;
  table->removeRows(0, table->rows());
}

void SelectTable(QTextEdit& edit) {
  QTextTable* table = CurrentTable(edit);
  if (!table) return;
  SelectCells(edit, *table, 0, 0, table->rows() - 1, table->columns() - 1);
}

void SelectColumns(QTextEdit& edit) {
  QTextTable* table = CurrentTable(edit);
  if (!table) return;
  const CellRange range = SelectedCells(edit, *table);
  SelectCells(edit, *table, 0, range.first_column, table->rows() - 1,
              range.first_column + range.column_count - 1);
}

void SelectRows(QTextEdit& edit) {
  QTextTable* table = CurrentTable(edit);
  if (!table) return;
  const CellRange range = SelectedCells(edit, *table);
  SelectCells(edit, *table, range.first_row, 0, range.first_row + range.row_count - 1,
              table->columns() - 1);
}

void SelectCell(QTextEdit& edit) {
  QTextTable* table = CurrentTable(edit);
  if (!table) return;
  const QTextTableCell cell = table->cellAt(edit.textCursor());
  QTextCursor cursor = cell.firstCursorPosition();
  cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
  edit.setTextCursor(cursor);
}

void AlignCellContents(QTextEdit& edit, QTextCharFormat::VerticalAlignment alignment) {
  QTextTable* table = CurrentTable(edit);
  if (!table) return;
  QTextCursor cursor = edit.textCursor();
  cursor.beginEditBlock();
  ForEachCell(*table, SelectedCells(edit, *table), [&](QTextTableCell& cell) {
    QTextTableCellFormat format = CellFormat(cell);
    format.setVerticalAlignment(alignment);
    cell.setFormat(format);
  });
  cursor.endEditBlock();
}

void SetCellBorders(QTextEdit& edit, CellBorder which) {
  QTextTable* table = CurrentTable(edit);
  if (!table) return;
  const CellRange range = SelectedCells(edit, *table);
  // A single side toggles: it is switched off when every selected cell has it.
  bool all_have = true;
  ForEachCell(*table, range, [&](QTextTableCell& cell) {
    const QTextTableCellFormat format = CellFormat(cell);
    switch (which) {
      case CellBorder::kLeft:
        all_have &= format.leftBorder() > 0;
        break;
      case CellBorder::kTop:
        all_have &= format.topBorder() > 0;
        break;
      case CellBorder::kRight:
        all_have &= format.rightBorder() > 0;
        break;
      case CellBorder::kBottom:
        all_have &= format.bottomBorder() > 0;
        break;
      default:
        break;
    }
  });
  const qreal width =
      which == CellBorder::kNone ? 0 : (all_have && which != CellBorder::kAll ? 0 : 1);
  QTextCursor cursor = edit.textCursor();
  cursor.beginEditBlock();
  QTextTableFormat table_format = table->format();
  if (!table_format.borderCollapse()) {
    table_format.setBorderCollapse(true);
    table->setFormat(table_format);
  }
  ForEachCell(*table, range, [&](QTextTableCell& cell) {
    QTextTableCellFormat format = CellFormat(cell);
    const auto set_side = [&](CellBorder side) {
      switch (side) {
        case CellBorder::kLeft:
          format.setLeftBorder(width);
          format.setLeftBorderStyle(QTextFrameFormat::BorderStyle_Solid);
          format.setLeftBorderBrush(Qt::black);
          break;
        case CellBorder::kTop:
          format.setTopBorder(width);
          format.setTopBorderStyle(QTextFrameFormat::BorderStyle_Solid);
          format.setTopBorderBrush(Qt::black);
          break;
        case CellBorder::kRight:
          format.setRightBorder(width);
          format.setRightBorderStyle(QTextFrameFormat::BorderStyle_Solid);
          format.setRightBorderBrush(Qt::black);
          break;
        case CellBorder::kBottom:
          format.setBottomBorder(width);
          format.setBottomBorderStyle(QTextFrameFormat::BorderStyle_Solid);
          format.setBottomBorderBrush(Qt::black);
          break;
        default:
          break;
      }
    };
    if (which == CellBorder::kAll || which == CellBorder::kNone) {
      for (CellBorder side :
           {CellBorder::kLeft, CellBorder::kTop, CellBorder::kRight, CellBorder::kBottom}) {
        set_side(side);
      }
    } else {
      set_side(which);
    }
    cell.setFormat(format);
  });
  cursor.endEditBlock();
}

void SplitCell(QTextEdit& edit, int rows, int columns) {
  QTextTable* table = CurrentTable(edit);
  if (!table || rows < 1 || columns < 1) return;
  const QTextTableCell cell = table->cellAt(edit.textCursor());
  const int row = cell.row();
  const int column = cell.column();
  const int row_span = cell.rowSpan();
  const int column_span = cell.columnSpan();
  QTextCursor cursor = edit.textCursor();
  cursor.beginEditBlock();
  if (row_span > 1 || column_span > 1) table->splitCell(row, column, 1, 1);

  // More columns than the cell covers: new columns after it, with the cells
  // of the other rows widened over them.
  if (columns > column_span) {
    const int added = columns - column_span;
    const int last = column + column_span - 1;
    table->insertColumns(last + 1, added);
    for (int r = 0; r < table->rows(); ++r) {
      if (r >= row && r < row + row_span) continue;
      const QTextTableCell other = table->cellAt(r, last);
      if (other.row() != r) continue;  // merged from a row above, done there
      if (other.column() + other.columnSpan() - 1 != last) continue;  // already spans
      table->mergeCells(r, other.column(), other.rowSpan(), other.columnSpan() + added);
    }
  }
  if (rows > row_span) {
    const int added = rows - row_span;
    const int last = row + row_span - 1;
    table->insertRows(last + 1, added);
    const int area_columns = std::max(columns, column_span);
    for (int c = 0; c < table->columns(); ++c) {
      if (c >= column && c < column + area_columns) continue;
      const QTextTableCell other = table->cellAt(last, c);
      if (other.column() != c) continue;
      if (other.row() + other.rowSpan() - 1 != last) continue;
      table->mergeCells(other.row(), c, other.rowSpan() + added, other.columnSpan());
    }
  }
  // Fewer parts than the area has cells: merge them into even groups.
  const int area_rows = std::max(rows, row_span);
  const int area_columns = std::max(columns, column_span);
  const std::vector<int> row_sizes = Portions(area_rows, rows);
  const std::vector<int> column_sizes = Portions(area_columns, columns);
  int r = row;
  for (int row_size : row_sizes) {
    int c = column;
    for (int column_size : column_sizes) {
      if (row_size > 1 || column_size > 1) table->mergeCells(r, c, row_size, column_size);
      c += column_size;
    }
    r += row_size;
  }
  cursor.endEditBlock();
  edit.setTextCursor(table->cellAt(row, column).firstCursorPosition());
}

bool CanMergeCells(const QTextEdit& edit) {
  int first_row = -1, rows = 0, first_column = -1, columns = 0;
  edit.textCursor().selectedTableCells(&first_row, &rows, &first_column, &columns);
  return first_row >= 0 && (rows > 1 || columns > 1);
}

void MergeCells(QTextEdit& edit) {
  QTextTable* table = CurrentTable(edit);
  if (!table || !CanMergeCells(edit)) return;
  const QTextCursor cursor = edit.textCursor();
  table->mergeCells(cursor);
}

TableProperties PropertiesOf(const QTextTable& table) {
  const QTextTableFormat format = table.format();
  TableProperties properties;
  const QTextTableCellFormat first = CellFormat(table.cellAt(0, 0));
  properties.border =
      first.hasProperty(QTextFormat::TableCellTopBorder) ? first.topBorder() : format.border();
  properties.border_color = first.hasProperty(QTextFormat::TableCellTopBorderBrush)
                                ? first.topBorderBrush().color()
                                : format.borderBrush().color();
  properties.cell_spacing = format.cellSpacing();
  properties.cell_padding = format.cellPadding();
  properties.width_percent = format.width().type() == QTextLength::PercentageLength
                                 ? qRound(format.width().rawValue())
                                 : 0;
  properties.alignment = format.alignment() & Qt::AlignHorizontal_Mask;
  if (format.background().style() != Qt::NoBrush)
    properties.background = format.background().color();
  return properties;
}

void SetTableProperties(QTextEdit& edit, const TableProperties& properties) {
  QTextTable* table = CurrentTable(edit);
  if (!table) return;
  QTextCursor cursor = edit.textCursor();
  cursor.beginEditBlock();
  SetAllCellBorders(*table, properties.border, properties.border_color);
  QTextTableFormat format = table->format();
  format.setCellSpacing(properties.cell_spacing);
  format.setCellPadding(properties.cell_padding);
  if (properties.width_percent > 0) {
    format.setWidth(QTextLength(QTextLength::PercentageLength, properties.width_percent));
  } else {
    format.setWidth(QTextLength());
  }
  format.setAlignment(properties.alignment);
  if (properties.background.isValid()) {
    format.setBackground(properties.background);
  } else {
    format.clearBackground();
  }
  table->setFormat(format);
  cursor.endEditBlock();
}

}  // namespace tollmark

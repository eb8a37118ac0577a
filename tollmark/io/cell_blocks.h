// Qt keeps a table cell's format in the character format of the cell's first
// block, where every other block keeps its paragraph mark's format: code that
// reads or sets a block's character format must tell the two apart.
#pragma once

#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>

namespace tollmark::io {

inline bool IsFirstBlockOfCell(const QTextBlock& block) {
  QTextCursor cursor(block);
  const QTextTable* table = cursor.currentTable();
  if (!table) return false;
  const QTextTableCell cell = table->cellAt(block.position());
  return cell.isValid() && cell.firstPosition() == block.position();
}

}  // namespace tollmark::io

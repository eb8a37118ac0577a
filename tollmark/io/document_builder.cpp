#include "tollmark/io/document_builder.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <algorithm>

#include "tollmark/io/rtf_tables.h"

namespace tollmark::io {
namespace {

class Builder {
 public:
  explicit Builder(const RtfDocument& model) : model_(model) {
    lists_.assign(model.lists.size(), nullptr);
  }

  // Emits items at `cursor`, whose block is empty and takes the first
  // paragraph; `inCell` when that block is the first of a table cell.
  void EmitItems(QTextCursor& cursor, const std::vector<RtfItem>& items, bool inCell = false);

 private:
  void EmitParagraph(QTextCursor& cursor, const RtfParagraph& paragraph, bool newBlock,
                     bool cellStart);
  void EmitTable(QTextCursor& cursor, const RtfTable& table);

  const RtfDocument& model_;
  std::vector<QTextList*> lists_;
};

void Builder::EmitParagraph(QTextCursor& cursor, const RtfParagraph& paragraph, bool newBlock,
                            bool cellStart) {
  if (newBlock) {
    cursor.insertBlock(paragraph.format, paragraph.markFormat);
  } else {
    cursor.setBlockFormat(paragraph.format);
    // The first block of a table cell carries the cell's own format (spans,
    // background, borders) where other blocks have their mark's format.
    if (!cellStart) cursor.setBlockCharFormat(paragraph.markFormat);
  }
  if (paragraph.list >= 0 && paragraph.list < static_cast<int>(lists_.size())) {
    QTextList*& list = lists_[paragraph.list];
    if (list) {
      list->add(cursor.block());
    } else {
      list = cursor.createList(model_.lists[paragraph.list]);
    }
  }
  for (const RtfRun& run : paragraph.runs) {
    if (run.format.isImageFormat()) {
      cursor.insertImage(run.format.toImageFormat());
    } else {
      cursor.insertText(run.text, run.format);
    }
  }
}

void Builder::EmitItems(QTextCursor& cursor, const std::vector<RtfItem>& items, bool inCell) {
  bool fresh = true;  // the cursor's block is empty and unused
  for (const RtfItem& item : items) {
    if (item.table) {
      inCell = false;
      // A table goes after the current block, which Qt keeps before it: the
      // previous paragraph, or an empty block at the start of a frame.
      EmitTable(cursor, *item.table);
      fresh = true;  // the block after a table
      continue;
    }
    EmitParagraph(cursor, item.paragraph, !fresh, inCell && fresh);
    fresh = false;
    inCell = false;
  }
}

void Builder::EmitTable(QTextCursor& cursor, const RtfTable& table) {
  const std::vector<int> grid = TableGrid(table);
  const int columns = std::max<int>(1, static_cast<int>(grid.size()) - 1);
  const int rows = static_cast<int>(table.rows.size());

  // Each RTF cell covers the grid columns between its left and right edges.
  struct Placed {
    int column = 0, span = 1;
    const RtfCell* cell = nullptr;
    const RtfCellDef* def = nullptr;
  };
  auto gridIndex = [&](int edge) {
    auto it = std::lower_bound(grid.begin(), grid.end(), edge);
    if (it == grid.end()) return static_cast<int>(grid.size()) - 1;
    if (it != grid.begin() && *it != edge && edge - *(it - 1) < *it - edge) --it;
    return static_cast<int>(it - grid.begin());
  };
  std::vector<std::vector<Placed>> placed(rows);
  static const RtfCellDef kDefaultDef;
  for (int r = 0; r < rows; ++r) {
    const RtfRow& row = table.rows[r];
    int left = row.def.left;
    int column = grid.size() > 1 ? gridIndex(left) : 0;
    for (size_t i = 0; i < row.cells.size(); ++i) {
      const RtfCellDef* def = i < row.def.cells.size() ? &row.def.cells[i] : &kDefaultDef;
      int end = i < row.def.cells.size() ? gridIndex(std::max(def->right, left + 1)) : column + 1;
      end = std::clamp(end, column + 1, std::max(columns, column + 1));
      if (column >= columns) break;  // cells beyond the grid: no room left
      end = std::min(end, columns);
      if (def->horizontal == RtfMerge::kContinue && !placed[r].empty()) {
        placed[r].back().span = end - placed[r].back().column;  // old-style merge
      } else {
        placed[r].push_back({column, end - column, &row.cells[i], def});
      }
      if (i < row.def.cells.size()) left = def->right;
      column = end;
    }
  }

  QTextTableFormat format;
  format.setBorder(0);
  format.setBorderCollapse(true);
  format.setCellSpacing(0);
  const RtfRowDef& first = table.rows.front().def;
  format.setCellPadding(first.gap / 15.0);
  format.setAlignment(first.alignment);
  if (grid.size() > 1) {
    QList<QTextLength> widths;
    for (int c = 0; c < columns; ++c) {
      widths.append(QTextLength(QTextLength::FixedLength, (grid[c + 1] - grid[c]) / 15.0));
    }
    format.setColumnWidthConstraints(widths);
  }
  QTextTable* qtable = cursor.insertTable(rows, columns, format);

  // Vertical merges: a continuing cell joins the cell above that starts in the same column.
  std::vector<std::vector<int>> rowSpan(rows);
  for (int r = 0; r < rows; ++r) rowSpan[r].assign(placed[r].size(), 1);
  std::vector<std::vector<bool>> absorbed(rows);
  for (int r = 0; r < rows; ++r) absorbed[r].assign(placed[r].size(), false);
  for (int r = 1; r < rows; ++r) {
    for (size_t i = 0; i < placed[r].size(); ++i) {
      if (placed[r][i].def->vertical != RtfMerge::kContinue) continue;
      // Walk up to the cell this one continues.
      for (int up = r - 1; up >= 0; --up) {
        auto it = std::find_if(placed[up].begin(), placed[up].end(),
                               [&](const Placed& p) { return p.column == placed[r][i].column; });
        if (it == placed[up].end()) break;
        size_t j = static_cast<size_t>(it - placed[up].begin());
        if (absorbed[up][j]) continue;
        if (up + rowSpan[up][j] == r && it->span == placed[r][i].span) {
          ++rowSpan[up][j];
          absorbed[r][i] = true;
        }
        break;
      }
    }
  }

  for (int r = 0; r < rows; ++r) {
    for (size_t i = 0; i < placed[r].size(); ++i) {
      const Placed& p = placed[r][i];
      if (absorbed[r][i]) continue;
      if (p.span > 1 || rowSpan[r][i] > 1) qtable->mergeCells(r, p.column, rowSpan[r][i], p.span);
    }
  }
  for (int r = 0; r < rows; ++r) {
    for (size_t i = 0; i < placed[r].size(); ++i) {
      const Placed& p = placed[r][i];
      QTextTableCell cell = qtable->cellAt(r, p.column);
      if (!cell.isValid()) continue;
      if (absorbed[r][i]) continue;
      QTextCharFormat cellFormat = cell.format();  // keeps the spans of the merge
      cellFormat.merge(p.def->format);
      cell.setFormat(cellFormat);
      QTextCursor inner = cell.firstCursorPosition();
      EmitItems(inner, p.cell->items, true);
    }
  }
  cursor = qtable->lastCursorPosition();
  cursor.movePosition(QTextCursor::NextBlock);
}

}  // namespace

void BuildDocument(const RtfDocument& model, QTextDocument& doc) {
  const bool undo = doc.isUndoRedoEnabled();
  doc.setUndoRedoEnabled(false);  // loading is not an edit
  doc.clear();
  QFont font = doc.defaultFont();
  if (!model.defaultFamily.isEmpty()) font.setFamilies({model.defaultFamily});
  font.setPointSizeF(12);  // RTF's default size
  doc.setDefaultFont(font);
  for (const RtfPicture& picture : model.pictures) {
    doc.addResource(QTextDocument::ImageResource, QUrl(picture.name), picture.image);
  }
  QTextCursor cursor(&doc);
  cursor.beginEditBlock();
  Builder builder(model);
  builder.EmitItems(cursor, model.body);
  cursor.endEditBlock();
  SetDocumentInfo(doc, model.info);
  doc.setUndoRedoEnabled(undo);
  doc.setModified(false);
}

}  // namespace tollmark::io

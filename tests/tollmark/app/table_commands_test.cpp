// Splitting cells and the cell ranges the table commands work on.
#include "tollmark/app/table_commands.h"

#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextEdit>
#include <QTextTable>
#include <string>

namespace tollmark_test {
namespace {

// "row,column:rows x columns" for every cell, by its top-left corner.
std::string Shape(const QTextTable& table) {
  std::string out;
  for (int r = 0; r < table.rows(); ++r) {
    for (int c = 0; c < table.columns(); ++c) {
      const QTextTableCell cell = table.cellAt(r, c);
      if (cell.row() != r || cell.column() != c) continue;
      out += (out.empty() ? "" : " ") + std::to_string(r) + "," + std::to_string(c) + ":" +
             std::to_string(cell.rowSpan()) + "x" + std::to_string(cell.columnSpan());
    }
  }
  return out;
}

struct SplitCase {
  const char* name;
  int rows, columns;            // the table
  int merge_row, merge_column;  // a merged area first, if any
  int merge_rows, merge_columns;
  int split_rows, split_columns;  // the split of the cell at the merge corner
  const char* shape;
};

const SplitCase kSplitCases[] = {
    {"plain cell into two columns", 2, 2, 0, 0, 1, 1, 1, 2,
     "0,0:1x1 0,1:1x1 0,2:1x1 1,0:1x2 1,2:1x1"},
    {"plain cell into two rows", 2, 2, 0, 1, 1, 1, 2, 1, "0,0:2x1 0,1:1x1 1,1:1x1 2,0:1x1 2,1:1x1"},
    {"plain cell into 2 x 2", 1, 1, 0, 0, 1, 1, 2, 2, "0,0:1x1 0,1:1x1 1,0:1x1 1,1:1x1"},
    {"merged pair back into two", 2, 2, 0, 0, 1, 2, 1, 2, "0,0:1x1 0,1:1x1 1,0:1x1 1,1:1x1"},
    {"merged four into two halves", 1, 4, 0, 0, 1, 4, 1, 2, "0,0:1x2 0,2:1x2"},
    {"merged pair into three", 2, 2, 0, 0, 1, 2, 1, 3, "0,0:1x1 0,1:1x1 0,2:1x1 1,0:1x1 1,1:1x2"},
    {"one part leaves it whole", 2, 2, 0, 0, 1, 2, 1, 1, "0,0:1x2 1,0:1x1 1,1:1x1"},
};

class SplitCellTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCellTest, KeepsTheRestOfTheTableInShape) {
  const SplitCase& c = GetParam();
  QTextEdit edit;
  QTextTable* table = edit.textCursor().insertTable(c.rows, c.columns);
  if (c.merge_rows > 1 || c.merge_columns > 1) {
    table->mergeCells(c.merge_row, c.merge_column, c.merge_rows, c.merge_columns);
  }
  edit.setTextCursor(table->cellAt(c.merge_row, c.merge_column).firstCursorPosition());
  tollmark::SplitCell(edit, c.split_rows, c.split_columns);
  EXPECT_EQ(Shape(*table), c.shape);
  // One undo step restores the table.
  edit.undo();
  QTextTable* restored = edit.textCursor().currentTable();
  ASSERT_NE(restored, nullptr);
  EXPECT_EQ(restored->columns(), c.columns);
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitCellTest, ::testing::ValuesIn(kSplitCases),
                         [](const ::testing::TestParamInfo<SplitCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

TEST(TableCommandsTest, RowAndColumnCommandsUseTheSelectedCells) {
  QTextEdit edit;
  QTextTable* table = edit.textCursor().insertTable(3, 3);
  QTextCursor cursor = table->cellAt(0, 1).firstCursorPosition();
  cursor.setPosition(table->cellAt(1, 2).firstCursorPosition().position(), QTextCursor::KeepAnchor);
  edit.setTextCursor(cursor);
  const tollmark::CellRange range = tollmark::SelectedCells(edit, *table);
  EXPECT_EQ(range.first_row, 0);
  EXPECT_EQ(range.row_count, 2);
  EXPECT_EQ(range.first_column, 1);
  EXPECT_EQ(range.column_count, 2);
  tollmark::DeleteColumns(edit);
  EXPECT_EQ(table->columns(), 1);
  EXPECT_EQ(table->rows(), 3);
}

TEST(TableCommandsTest, CommandsOutsideATableDoNothing) {
  QTextEdit edit;
  edit.setPlainText("no table");
  tollmark::InsertRow(edit, tollmark::Side::kBelow);
  tollmark::DeleteTable(edit);
  tollmark::SplitCell(edit, 2, 2);
  tollmark::SetCellBorders(edit, tollmark::CellBorder::kAll);
  EXPECT_EQ(edit.toPlainText(), "no table");
  EXPECT_FALSE(edit.document()->isModified());
}

}  // namespace
}  // namespace tollmark_test

#include "tollmark/io/rtf_tables.h"

#include <algorithm>

namespace tollmark::io {
namespace {

// Beyond this many cells a table stops growing and its further rows become
// plain paragraphs: the text survives, a giant grid does not get allocated.
constexpr size_t kMaxTableCells = 200000;
constexpr int kDefaultCellWidth = 1440;  // twips

// A row with more cells than \cellx definitions gets default-width cells.
void CompleteDef(RtfRow& row) {
  std::vector<RtfCellDef>& cells = row.def.cells;
  int right = cells.empty() ? row.def.left : cells.back().right;
  while (cells.size() < row.cells.size()) {
    right += kDefaultCellWidth;
    RtfCellDef def;
    def.right = right;
    cells.push_back(def);
  }
}

}  // namespace

std::vector<RtfItem>& RtfTableStack::Items(int depth, std::vector<RtfItem>& body) {
  return depth == 0 ? body : levels_[depth - 1].cell.items;
}

void RtfTableStack::CloseLevel(std::vector<RtfItem>& body) {
  Level level = std::move(levels_.back());
  levels_.pop_back();
  std::vector<RtfItem>& parent = Items(static_cast<int>(levels_.size()), body);
  if (!level.cell.items.empty()) level.row.cells.push_back(std::move(level.cell));
  if (!level.row.cells.empty()) {
    level.row.def = level.lastDef;
    CompleteDef(level.row);
    level.table->rows.push_back(std::move(level.row));
  }
  if (level.table->rows.empty()) return;
  RtfItem item;
  item.table = std::move(level.table);
  parent.push_back(std::move(item));
}

void RtfTableStack::Reach(int depth, std::vector<RtfItem>& body) {
  while (static_cast<int>(levels_.size()) > depth) CloseLevel(body);
  while (static_cast<int>(levels_.size()) < depth) levels_.emplace_back();
}

void RtfTableStack::AddParagraph(RtfParagraph&& paragraph, int depth, std::vector<RtfItem>& body) {
  Reach(depth, body);
  RtfItem item;
  item.paragraph = std::move(paragraph);
  Items(depth, body).push_back(std::move(item));
}

void RtfTableStack::EndCell(int depth, std::vector<RtfItem>& body) {
  Reach(depth, body);
  Level& level = levels_.back();
  level.row.cells.push_back(std::move(level.cell));
  level.cell = RtfCell();
}

void RtfTableStack::EndRow(int depth, const RtfRowDef& def, std::vector<RtfItem>& body) {
  Reach(depth, body);
  Level& level = levels_.back();
  if (!level.cell.items.empty()) {
    level.row.cells.push_back(std::move(level.cell));
    level.cell = RtfCell();
  }
  if (level.row.cells.empty()) return;
  level.lastDef = def;
  level.row.def = def;
  CompleteDef(level.row);
  size_t width = std::max(level.row.cells.size(), def.cells.size());
  if (level.cellCount + width > kMaxTableCells) {
    // Keep the text of an oversized table as paragraphs after it.
    RtfRow row = std::move(level.row);
    level.row = RtfRow();
    CloseLevel(body);
    std::vector<RtfItem>& parent = Items(static_cast<int>(levels_.size()), body);
    for (RtfCell& cell : row.cells) {
      for (RtfItem& item : cell.items) parent.push_back(std::move(item));
    }
    levels_.emplace_back();
    return;
  }
  level.cellCount += width;
  level.table->rows.push_back(std::move(level.row));
  level.row = RtfRow();
}

std::vector<int> TableGrid(const RtfTable& table) {
  std::vector<int> edges;
  for (const RtfRow& row : table.rows) {
    int left = row.def.left;
    edges.push_back(left);
    int previous = left;
    for (const RtfCellDef& cell : row.def.cells) {
      // Edges that go backwards are a writer's mistake: keep cells at least 1 twip wide.
      int right = std::max(cell.right, previous + 1);
      edges.push_back(right);
      previous = right;
    }
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  if (edges.size() > static_cast<size_t>(kMaxColumns) + 1) {
    // Too many distinct edges: snap them to an even grid of kMaxColumns columns.
    const int64_t first = edges.front();
    const int64_t span = std::max<int64_t>(int64_t(edges.back()) - first, 1);
    for (int& edge : edges) {
      int64_t step = ((edge - first) * kMaxColumns + span / 2) / span;
      edge = static_cast<int>(first + step * span / kMaxColumns);
    }
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  }
  return edges;
}

}  // namespace tollmark::io

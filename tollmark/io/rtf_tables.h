// Collects the paragraphs of RTF tables, nested to any depth, into rows and
// cells; a table ends when a paragraph of a shallower depth arrives.
#pragma once

#include <vector>

#include "tollmark/io/rtf_model.h"

namespace tollmark::io {

class RtfTableStack {
 public:
  // `depth` 0 is the body, 1 a top-level table, 2 a table in its cells...
  void AddParagraph(RtfParagraph&& paragraph, int depth, std::vector<RtfItem>& body);
  void EndCell(int depth, std::vector<RtfItem>& body);
  void EndRow(int depth, const RtfRowDef& def, std::vector<RtfItem>& body);
  void CloseAll(std::vector<RtfItem>& body) { Reach(0, body); }
  int Depth() const { return static_cast<int>(levels_.size()); }

 private:
  struct Level {
    std::unique_ptr<RtfTable> table = std::make_unique<RtfTable>();
    RtfRow row;
    RtfCell cell;
    RtfRowDef lastDef;
    size_t cellCount = 0;  // cells in the table so far, for the size cap
  };
  void Reach(int depth, std::vector<RtfItem>& body);
  void CloseLevel(std::vector<RtfItem>& body);
  std::vector<RtfItem>& Items(int depth, std::vector<RtfItem>& body);

  std::vector<Level> levels_;
};

// Column grid of a table: the sorted distinct edges (twips) of every cell of
// every row, at most kMaxColumns + 1 of them.
constexpr int kMaxColumns = 63;
std::vector<int> TableGrid(const RtfTable& table);

}  // namespace tollmark::io

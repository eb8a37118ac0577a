// Any bytes as a TrueType font file: the table directory, the cmap, metrics
// and glyph readers of both subset builders must refuse bad data with an
// exception and never read outside it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "quillora/core/exception.h"
#include "quillora/fonts/ansi_subset.h"
#include "quillora/fonts/truetype.h"
#include "quillora/fonts/ttf_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quillora;
  std::string file(reinterpret_cast<const char*>(data), size);
  truetype::TTableSource source;
  try {
    source = truetype::TableSourceFromFile(file);
  } catch (const Exception&) {
    return 0;
  }
  // The characters to use come from the end of the input.
  std::vector<uint16_t> chars;
  for (size_t i = 0; i + 1 < size && chars.size() < 8; i += 2)
    chars.push_back(static_cast<uint16_t>(data[size - 1 - i] | (data[size - 2 - i] << 8)));
  try {
    TTTFData font("Fuzz", true, 0, size % 2 == 0, source);
    for (uint16_t c : chars) {
      font.CharToGlyph(c);
      font.CharWidth(c);
      font.FindGlyph(c).Used = true;
      font.MarkExtraGlyph(c);
    }
    std::string out;
    font.WriteSubsetFont(out);
    out.clear();
    font.WriteToUnicodeCMap("TT1", out);
    font.GetWidthArray();
  } catch (const Exception&) {
  }
  try {
    std::vector<uint16_t> sorted(chars.begin(), chars.end());
    std::sort(sorted.begin(), sorted.end());
    TAnsiFontSubset subset("Fuzz", 0, source);
    std::string out;
    subset.Build(out, static_cast<int>(sorted.size()), sorted.data());
  } catch (const Exception&) {
  }
  return 0;
}

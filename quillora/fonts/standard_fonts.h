// The fourteen standard Type 1 fonts of PDF: names, widths by single-byte
// code and ascents, laid out by StandardFontIndex (0 Helvetica ... 13
// ZapfDingbats). Read-only, shared by every document.
#pragma once

#include <cstdint>
#include <string_view>

namespace quillora {

using StandardFontIndex = uint8_t;

inline constexpr int StandardFontCount = 14;

extern const char* const StandardFontNames[StandardFontCount];
// Advance widths in thousandths of the font size, by code 0..255.
extern const uint16_t StandardFontWidths[StandardFontCount][256];
// Distance from the top of a line of text to its baseline, in thousandths.
extern const int32_t StandardFontAscents[StandardFontCount];

inline std::string_view StandardFontName(StandardFontIndex index) {
  return StandardFontNames[index];
}
inline uint16_t StandardFontWidth(StandardFontIndex index, uint8_t code) {
  return StandardFontWidths[index][code];
}
inline int32_t StandardFontAscent(StandardFontIndex index) {
  return StandardFontAscents[index];
}

}  // namespace quillora

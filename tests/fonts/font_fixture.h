// Small synthetic TrueType fonts built table by table, for the edge cases
// the installed fonts do not show (fixed pitch, composites of our own, odd
// glyph lengths, broken tables).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "quillora/fonts/truetype.h"

namespace fixture {

struct Segment {
  uint16_t start, end;
  int16_t delta;
  uint16_t rangeOffset = 0;
};

struct Font {
  uint16_t unitsPerEm = 1000;
  bool longLoca = false;
  std::vector<Segment> segments;  // the 0xFFFF terminator is added
  std::vector<uint16_t> glyphIdArray;
  std::vector<std::string> glyphs;                    // glyf records
  std::vector<std::pair<uint16_t, int16_t>> metrics;  // hmtx long metrics
  std::vector<int16_t> extraLsb;                      // lsb of glyphs beyond the long metrics
  bool withCvt = true, withFpgm = true, withPrep = true;

  std::map<uint32_t, std::string> Tables() const;
  quillora::truetype::TTableSource Source() const;
};

// A simple glyph record of Size bytes (contour count 1, then filler).
std::string SimpleGlyph(size_t size, uint8_t fill = 0x11);
// A composite glyph record referring to the components in order.
std::string CompositeGlyph(const std::vector<uint16_t>& components);

// The tables of a font file (tag -> data) as the file's directory says.
std::map<uint32_t, std::string> ReadTables(const std::string& file);
// The table tags of a font file in directory order.
std::vector<std::string> TableOrder(const std::string& file);

}  // namespace fixture

// TTTFData: the TrueType data of one installed font used for Unicode text
// (a Type 0 font with an Identity-H CIDFontType2 descendant). It maps
// characters to glyphs and widths while pages are drawn, remembers what was
// used, and at the end writes the /W text, the ToUnicode CMap and a subset
// font program that keeps every glyph slot.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "quillora/fonts/truetype.h"

namespace quillora {

struct TCharGlyph {
  uint16_t Char = 0;   // UTF-16 code unit (Basic Multilingual Plane)
  uint16_t Glyph = 0;  // glyph index in the font
  int32_t Width = 0;   // advance in thousandths of the em
  bool Used = false;
};

class TTTFData {
 public:
  // Reads the installed font (bold gives weight 700, italic per Style).
  // Raises "Cannot recieve data from font" when a table is missing and
  // "Incorrect or unknown font format" for data it cannot use.
  TTTFData(const std::string& FaceName, bool Embedded, int Style);
  // The same from any source of tables (a font file in memory, a fixture).
  TTTFData(const std::string& FaceName, bool Embedded, int Style, bool FixedPitch,
           truetype::TTableSource Source);

  const std::string& FaceName() const { return FFaceName; }
  int Style() const { return FStyle; }
  bool Embedded() const { return FEmbedded; }
  bool FixedPitch() const { return FFixedPitch; }
  uint16_t NumGlyphs() const { return FNumGlyphs; }
  uint16_t UnitsPerEm() const { return FUnitsPerEm; }
  bool LongLoca() const { return FLongLoca; }
  uint16_t NumberOfHMetrics() const { return FNumberOfHMetrics; }
  const truetype::TCMap4& Segments() const { return FCMap; }
  const std::vector<TCharGlyph>& CharMap() const { return FCharMap; }

  // Width of the entry for C (the lowest mapped character's when C is not
  // mapped); marks nothing.
  int CharWidth(char16_t C) const { return FCharMap[IndexOf(C)].Width; }
  // Glyph of the entry for C, and marks that entry used.
  uint16_t CharToGlyph(char16_t C) {
    TCharGlyph& e = FCharMap[IndexOf(C)];
    e.Used = true;
    return e.Glyph;
  }
  // The first entry showing Glyph, or the entry at position 0.
  TCharGlyph& FindGlyph(uint16_t Glyph);
  // Glyph text (from shaping) may show glyphs no character maps: they are
  // kept in the subset and the widths array with their own widths.
  void MarkExtraGlyph(uint16_t Glyph);
  int GlyphWidth(uint16_t Glyph) const { return WidthOfGlyph(Glyph); }

  // "[" glyph "[" width "]" ... "]" for every used entry.
  std::string GetWidthArray() const;
  // Appends the ToUnicode CMap text of the used entries to Stream.
  void WriteToUnicodeCMap(std::string_view Name, std::string& Stream) const;
  // Appends the subset font program to Stream.
  void WriteSubsetFont(std::string& Stream);

 private:
  void Read(truetype::TTableSource& Source);
  size_t IndexOf(char16_t C) const;
  int WidthOfGlyph(uint16_t Glyph) const;

  std::string FFaceName;
  int FStyle = 0;
  bool FEmbedded = true;
  bool FFixedPitch = false;
  truetype::TTableSource FSource;
  std::string FCmapData;
  std::string FHmtxData;
  std::string FMaxpData;  // first 32 bytes of maxp
  std::string FHeadData;  // first 54 bytes of head
  std::string FHheaData;  // first 36 bytes of hhea
  uint16_t FNumGlyphs = 0;
  uint16_t FUnitsPerEm = 0;
  bool FLongLoca = false;
  uint16_t FNumberOfHMetrics = 0;
  truetype::TCMap4 FCMap;
  std::vector<TCharGlyph> FCharMap;
  std::vector<int32_t> FGlyphIndex;    // first CharMap position of each glyph, built on demand
  std::vector<uint16_t> FExtraGlyphs;  // ascending
};

}  // namespace quillora

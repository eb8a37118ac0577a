// TAnsiFontSubset: a small TrueType program holding only the glyphs of the
// single-byte (WinAnsi) codes a document used, renumbered after three empty
// glyphs, with new cmap, loca, hmtx, name and post tables. Lives for one call
// of BuildAnsiSubset.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quillora/fonts/truetype.h"

namespace quillora {

class TAnsiFontSubset {
 public:
  TAnsiFontSubset(std::string FaceName, int Style, truetype::TTableSource Source);

  // Count characters (ascending Unicode values of the used codes); appends
  // the font program to Stream.
  void Build(std::string& Stream, int Count, const uint16_t* Chars);

  // What the last build kept, for inspection.
  bool SawNoBreakSpace() const { return FSawNoBreakSpace; }
  int UsedCount() const { return FUsedCount; }

 private:
  struct TRecord {
    uint16_t SourceGlyph;
    uint16_t NewGlyph;
    uint8_t Code;
    uint16_t Unicode;
  };
  void ReadFont();
  void MarkChar(uint16_t C);
  void WriteFont(std::string& Stream);
  std::string BuildCmap(const std::vector<TRecord>& Records) const;
  std::string BuildHmtx(const std::vector<uint16_t>& Order) const;
  void Metric(uint16_t Glyph, uint16_t& Advance, int16_t& Lsb) const;

  std::string FFaceName;
  int FStyle = 0;
  truetype::TTableSource FSource;
  truetype::TCMap4 FCMap;
  bool FHasCvt = true, FHasFpgm = true, FHasPrep = true;
  std::string FCvt, FFpgm, FPrep;
  std::string FHeadData, FHheaData, FMaxpData, FHmtxData;
  uint16_t FNumberOfHMetrics = 0;
  std::vector<std::string> FGlyphs;
  std::vector<bool> FUsed;
  std::vector<uint16_t> FKept;  // characters of the build
  bool FSawNoBreakSpace = false;
  int FUsedCount = 0;
};

// Writes the subset program of the installed font FaceName (bold and italic
// from Style) for the Count characters of Chars into Stream. Count 0 writes
// nothing; the face "Marlett" is copied whole.
void BuildAnsiSubset(const std::string& FaceName, int Style, std::string& Stream, int Count,
                     const uint16_t* Chars);

}  // namespace quillora

// TPDFFont: one font of the document: a standard Type 1 font, a TrueType
// font for single-byte text (a simple font with a subset program), or a
// TrueType font for Unicode text (a Type 0 font with a CID descendant).
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "quillora/fonts/ttf_data.h"

namespace quillora {

class TPDFDocument;

class TPDFFont {
 public:
  // A standard font (index 0..13).
  explicit TPDFFont(uint8_t StandardIndex);
  // A TrueType font; call LoadMetrics before use.
  TPDFFont(std::string FontName, int Style, bool Unicode, bool Embedded, bool Symbol);
  ~TPDFFont();
  TPDFFont(const TPDFFont&) = delete;
  TPDFFont& operator=(const TPDFFont&) = delete;

  // -1 until the first page that uses the font is saved.
  int ObjectNumber() const { return FObjectNumber; }
  void SetObjectNumber(int v) { FObjectNumber = v; }
  bool Used() const { return FUsed; }
  void SetUsed(bool v) { FUsed = v; }
  const std::string& ResourceName() const { return FResourceName; }
  void SetResourceName(std::string v) { FResourceName = std::move(v); }

  const std::string& FontName() const { return FFontName; }
  const std::string& UpperName() const { return FUpperName; }  // for lookups
  int Style() const { return FStyle; }
  bool Unicode() const { return FUnicode; }
  bool StandardFont() const { return FStandardFont; }
  uint8_t StandardIndex() const { return FStandardIndex; }
  bool Embedded() const { return FEmbedded; }
  bool Symbol() const { return FSymbol; }
  bool FixedPitch() const { return FFixedPitch; }
  int FontAscent() const { return FAscent; }
  int FontDescent() const { return FDescent; }
  int FirstUsedCode() const { return FFirstUsed; }
  int LastUsedCode() const { return FLastUsed; }
  bool CodeUsed(uint8_t Code) const { return FUsedCodes[Code]; }

  // Width of a single-byte code in thousandths of the size (the standard
  // table, or the TrueType font's own widths).
  int Width(uint8_t Code) const;
  // The ascent in thousandths of the size.
  int Ascent() const;

  // Reads metrics and widths (TrueType fonts; once, at creation).
  void LoadMetrics();
  // Single-byte TrueType fonts: every byte of Text becomes a used code.
  void MarkUsed(std::string_view Text);
  void MarkCharUsed(uint8_t Code);

  // The Unicode font's TrueType data (null for the other kinds).
  TTTFData* TTFData() const { return FTTFData.get(); }

  // Writes the font's objects when it is used.
  void Save(TPDFDocument& Document);

 private:
  std::string BaseName() const;
  int WriteProgram(TPDFDocument& Document, const std::string& Program);
  int WriteDescriptor(TPDFDocument& Document, int ProgramNumber);
  void SaveStandard(TPDFDocument& Document);
  void SaveSingleByte(TPDFDocument& Document);
  void SaveUnicode(TPDFDocument& Document);

  int FObjectNumber = -1;
  std::string FFontName;
  std::string FUpperName;
  int FStyle = 0;
  bool FUnicode = false;
  bool FStandardFont = false;
  std::string FResourceName;
  uint8_t FStandardIndex = 0;
  std::array<int, 256> FWidths{};
  int FAscent = 0;
  int FDescent = 0;
  bool FEmbedded = true;
  // Outline metrics at a 1000-unit em.
  int FItalicAngle = 0;
  int FOutlineAscent = 0;
  int FOutlineDescent = 0;
  int FBBoxLeft = 0, FBBoxTop = 0, FBBoxRight = 0, FBBoxBottom = 0;
  std::bitset<256> FUsedCodes;
  int FFirstUsed = 255;
  int FLastUsed = 0;
  bool FUsed = false;
  std::unique_ptr<TTTFData> FTTFData;
  bool FSymbol = false;
  bool FFixedPitch = false;
};

}  // namespace quillora

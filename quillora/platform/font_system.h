// The installed fonts: families and their faces (fontconfig), metrics and
// font data of one created font (FreeType), and composition of combining marks
// (HarfBuzz). The quantities are those a Windows program gets from GDI for a
// logical font: pixel metrics at the font's height, outline metrics, advance
// widths, extents, table bytes by tag and the whole font file.
//
// Face names are 8-bit text in Windows-1252, as the library's PDF text is.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillora::platform {

// Windows character-set numbers (the charset byte of a logical font).
inline constexpr int ANSI_CHARSET = 0;
inline constexpr int DEFAULT_CHARSET = 1;
inline constexpr int SYMBOL_CHARSET = 2;
inline constexpr int MAC_CHARSET = 77;
inline constexpr int SHIFTJIS_CHARSET = 128;
inline constexpr int HANGEUL_CHARSET = 129;
inline constexpr int JOHAB_CHARSET = 130;
inline constexpr int GB2312_CHARSET = 134;
inline constexpr int CHINESEBIG5_CHARSET = 136;
inline constexpr int GREEK_CHARSET = 161;
inline constexpr int TURKISH_CHARSET = 162;
inline constexpr int VIETNAMESE_CHARSET = 163;
inline constexpr int HEBREW_CHARSET = 177;
inline constexpr int ARABIC_CHARSET = 178;
inline constexpr int BALTIC_CHARSET = 186;
inline constexpr int RUSSIAN_CHARSET = 204;
inline constexpr int THAI_CHARSET = 222;
inline constexpr int EASTEUROPE_CHARSET = 238;
inline constexpr int OEM_CHARSET = 255;

// Pixels per inch of the screen (and of the reference device of recordings).
int ScreenPixelsPerInch();

// One installed face of a family, as enumeration reports it.
struct TFaceInfo {
  std::string FaceName;  // the family as the system spells it
  std::string StyleName;
  int Weight = 400;  // 100..900, 400 regular, 700 bold
  bool Italic = false;
  bool TrueType = false;  // a font program with TrueType outlines (glyf)
  bool Bold() const { return Weight >= 600; }
};

// The faces of a family, regular first. A family that is not installed but
// has an installed metric-compatible alias ("Arial" -> "Liberation Sans")
// yields the alias's faces. Charset DEFAULT_CHARSET (1) means any; another
// charset keeps only faces that cover it. Only TrueType faces are listed.
std::vector<TFaceInfo> EnumerateFaces(std::string_view faceName, int charset = DEFAULT_CHARSET);

// The installed spelling of a family (directly or through its alias), or
// empty when neither is installed.
std::string ResolveFamily(std::string_view faceName);

// TrueType families that cover the charset, fontconfig's preferred
// sans-serif family first, then the rest by name. Charset 1 means any.
std::vector<std::string> FamiliesForCharset(int charset);

// Whether a face covers the characters of a Windows charset.
bool FaceCoversCharset(std::string_view faceName, int charset);

// A logical font, as a program asks for one.
struct TLogFont {
  std::string FaceName;
  int Height = 0;  // < 0: character (em) height in pixels; > 0: cell height; 0: default
  int Width = 0;   // average character width in pixels; 0: the natural width
  int Weight = 400;
  bool Italic = false;
  int Charset = ANSI_CHARSET;
};

// Pixel metrics of a created font (GDI's TEXTMETRIC).
struct TTextMetrics {
  int Height = 0;  // Ascent + Descent
  int Ascent = 0;
  int Descent = 0;
  int InternalLeading = 0;  // Height - em height
  int ExternalLeading = 0;
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
  int Weight = 400;
  bool Italic = false;
  bool FixedPitch = false;
  int Charset = ANSI_CHARSET;
};

// Outline metrics of a created font (GDI's OUTLINETEXTMETRIC), in pixels of
// the font's em height; create the font with Height -1000 to get them in
// thousandths of the em.
struct TOutlineMetrics {
  int EmSquare = 0;  // units per em of the font program
  int Ascent = 0;    // typographic ascender
  int Descent = 0;   // typographic descender (negative below the baseline)
  int LineGap = 0;
  int ItalicAngle = 0;  // tenths of a degree, negative for a right slant
  int BBoxLeft = 0, BBoxTop = 0, BBoxRight = 0, BBoxBottom = 0;  // y up
  int CapHeight = 0;
  int XHeight = 0;
  int UnderlinePosition = 0, UnderlineSize = 0;
  int StrikeoutPosition = 0, StrikeoutSize = 0;
};

struct TTextExtent {
  int Width = 0;   // sum of the advances
  int Height = 0;  // the font's cell height
};

// Glyph indices of the font with their advances in pixels, as character
// placement returns them.
struct TGlyphRun {
  std::vector<uint16_t> Glyphs;
  std::vector<int> Advances;
};

// A created font: one installed face at one height. Cheap to create: faces
// are opened once per process and shared.
class TFont {
 public:
  // The best installed face for the request: the family (or its alias) in
  // the nearest style, otherwise fontconfig's choice, as GDI substitutes.
  // Null only when the machine has no usable font at all.
  static std::unique_ptr<TFont> Create(const TLogFont& request);

  ~TFont();
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  const TLogFont& Request() const { return request_; }
  const std::string& FaceName() const;  // the face actually used
  bool TrueType() const;
  int UnitsPerEm() const;
  double EmPixels() const { return em_; }  // em height in pixels

  TTextMetrics TextMetrics() const;
  TOutlineMetrics OutlineMetrics() const;

  // Advance of one character in pixels (A + B + C of GDI's ABC widths); an
  // unmapped character takes the advance of the font's missing glyph.
  int CharAdvance(char32_t c) const;
  // Same in font units, unrounded and unscaled.
  int CharAdvanceUnits(char32_t c) const;

  // GetTextExtentPoint32 for UTF-16 text; per-character advances on request.
  TTextExtent TextExtent(std::u16string_view text, std::vector<int>* advances = nullptr) const;
  // The same for single-byte text in the font's charset code page.
  TTextExtent TextExtentA(std::string_view text, std::vector<int>* advances = nullptr) const;

  // Composes base characters with combining marks into the font's glyphs
  // (GetCharacterPlacement with diacritics, glyph shaping and reordering).
  // False when the font cannot shape the text.
  bool PlaceCharacters(std::u16string_view text, TGlyphRun& run) const;

  // Bytes of one table of the font program (GetFontData); false when the
  // font has no such table.
  bool GetTable(uint32_t tag, std::string& data) const;
  // The whole font file, unchanged; empty when it cannot be read.
  std::string FontFile() const;

  struct Face;  // an opened installed face, shared by the fonts made from it

 private:
  TFont(std::shared_ptr<Face> face, const TLogFont& request);
  std::shared_ptr<Face> face_;
  TLogFont request_;
  double em_ = 0;      // em height in pixels
  double xscale_ = 1;  // horizontal stretch from a non-zero Width
};

// A four-letter table tag as a number ("glyf" -> 0x676C7966).
constexpr uint32_t TableTag(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
         (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

// A font program loaded from memory, for checking programs the library wrote.
class TFontProgram {
 public:
  // Null when FreeType refuses the bytes.
  static std::unique_ptr<TFontProgram> Load(std::string bytes);
  ~TFontProgram();
  int NumGlyphs() const;
  uint16_t GlyphOfChar(char32_t c) const;  // 0 when unmapped
  // The unscaled outline of a glyph as text (contours, points, on/off tags);
  // empty for an empty glyph; "error" when it cannot be loaded.
  std::string Outline(uint16_t glyph) const;
  int AdvanceUnits(uint16_t glyph) const;

 private:
  TFontProgram() = default;
  std::string bytes_;
  void* face_ = nullptr;
};

}  // namespace quillora::platform

#include "quillora/platform/font_system.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "quillora/platform/codepage.h"

namespace quillora::platform {
namespace {

// ---- names: the library speaks Windows-1252, fontconfig UTF-8 ----

std::string AnsiToUtf8(std::string_view s) {
  std::string out;
  for (char16_t c : MultiByteToUnicode(s, 1252)) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::string Utf8ToAnsi(std::string_view s) {
  std::u16string wide;
  for (size_t i = 0; i < s.size();) {
    uint8_t b = static_cast<uint8_t>(s[i]);
    char32_t c = b;
    size_t n = 1;
    if (b >= 0xF0 && i + 3 < s.size()) {
      c = ((b & 7u) << 18) | ((s[i + 1] & 0x3Fu) << 12) | ((s[i + 2] & 0x3Fu) << 6) |
          (s[i + 3] & 0x3Fu);
      n = 4;
    } else if (b >= 0xE0 && i + 2 < s.size()) {
      c = ((b & 0xFu) << 12) | ((s[i + 1] & 0x3Fu) << 6) | (s[i + 2] & 0x3Fu);
      n = 3;
    } else if (b >= 0xC0 && i + 1 < s.size()) {
      c = ((b & 0x1Fu) << 6) | (s[i + 1] & 0x3Fu);
      n = 2;
    }
    wide.push_back(c > 0xFFFF ? u'?' : static_cast<char16_t>(c));
    i += n;
  }
  return UnicodeToMultiByte(wide, 1252);
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && Upper(a) == Upper(b);
}

// ---- charsets: which characters prove that a face serves one ----

std::vector<char32_t> CharsetProbes(int charset) {
  switch (charset) {
    case SYMBOL_CHARSET:
      return {0xF041};
    case SHIFTJIS_CHARSET:
      return {0x3042, 0x30A2, 0x65E5};
    case HANGEUL_CHARSET:
    case JOHAB_CHARSET:
      return {0xAC00, 0xD55C};
    case GB2312_CHARSET:
      return {0x4E2D, 0x6C49};
    case CHINESEBIG5_CHARSET:
      return {0x4E2D, 0x7E41};
    case GREEK_CHARSET:
      return {0x0391, 0x03A9, 0x03B1, 0x03C9};
    case TURKISH_CHARSET:
      return {0x011E, 0x0130, 0x015F};
    case VIETNAMESE_CHARSET:
      return {0x01A0, 0x01AF, 0x20AB};
    case HEBREW_CHARSET:
      return {0x05D0, 0x05EA};
    case ARABIC_CHARSET:
      return {0x0627, 0x0645};
    case BALTIC_CHARSET:
      return {0x0100, 0x0116, 0x012E, 0x0172};
    case RUSSIAN_CHARSET:
      return {0x0410, 0x042F, 0x0430, 0x044F, 0x0401};
    case THAI_CHARSET:
      return {0x0E01, 0x0E2E};
    case EASTEUROPE_CHARSET:
      return {0x0141, 0x0158, 0x0150, 0x010C};
    case DEFAULT_CHARSET:
      return {};
    default:
      return {0x0041, 0x00E9};
  }
}

int CodePageOfCharset(int charset) {
  switch (charset) {
    case MAC_CHARSET:
      return 10000;
    case SHIFTJIS_CHARSET:
      return 932;
    case HANGEUL_CHARSET:
      return 949;
    case JOHAB_CHARSET:
      return 1361;
    case GB2312_CHARSET:
      return 936;
    case CHINESEBIG5_CHARSET:
      return 950;
    case GREEK_CHARSET:
      return 1253;
    case TURKISH_CHARSET:
      return 1254;
    case VIETNAMESE_CHARSET:
      return 1258;
    case HEBREW_CHARSET:
      return 1255;
    case ARABIC_CHARSET:
      return 1256;
    case BALTIC_CHARSET:
      return 1257;
    case RUSSIAN_CHARSET:
      return 1251;
    case THAI_CHARSET:
      return 874;
    case EASTEUROPE_CHARSET:
      return 1250;
    default:
      return 1252;
  }
}

// ---- the catalog of installed TrueType faces ----

struct FaceEntry {
  TFaceInfo info;
  std::string file;
  int index = 0;
  FcCharSet* charset = nullptr;  // owned reference
};

struct Catalog;
Catalog& TheCatalog();

}  // namespace

struct TFont::Face {
  FT_Face ft = nullptr;
  std::string file;
  int index = 0;
  TFaceInfo info;
  bool symbolCmap = false;
  hb_font_t* hb = nullptr;
  ~Face() {
    if (hb) hb_font_destroy(hb);
    if (ft) FT_Done_Face(ft);
  }
};

namespace {

struct Catalog {
  FT_Library library = nullptr;
  std::vector<FaceEntry> faces;
  std::map<std::pair<std::string, int>, std::shared_ptr<TFont::Face>> open;
  std::map<std::string, std::string> resolved;  // upper-case request -> family
  std::string preferred;
  bool preferredKnown = false;

  Catalog() {
    FT_Init_FreeType(&library);
    FcInit();
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_WEIGHT, FC_SLANT, FC_FILE,
                                            FC_INDEX, FC_FONTFORMAT, FC_CHARSET, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    for (int i = 0; set && i < set->nfont; ++i) {
      FcPattern* p = set->fonts[i];
      FcChar8* format = nullptr;
      if (FcPatternGetString(p, FC_FONTFORMAT, 0, &format) != FcResultMatch ||
          std::string_view(reinterpret_cast<char*>(format)) != "TrueType")
        continue;
      FaceEntry e;
      // The last family value is the legacy (GDI) family: "DejaVu Sans
      // Condensed" rather than the typographic "DejaVu Sans".
      FcChar8* family = nullptr;
      for (int k = 0; FcPatternGetString(p, FC_FAMILY, k, &family) == FcResultMatch; ++k)
        e.info.FaceName = Utf8ToAnsi(reinterpret_cast<char*>(family));
      FcChar8* style = nullptr;
      for (int k = 0; FcPatternGetString(p, FC_STYLE, k, &style) == FcResultMatch; ++k)
        e.info.StyleName = Utf8ToAnsi(reinterpret_cast<char*>(style));
      double weight = FC_WEIGHT_REGULAR;
      FcPatternGetDouble(p, FC_WEIGHT, 0, &weight);
      e.info.Weight = static_cast<int>(std::lround(FcWeightToOpenTypeDouble(weight)));
      int slant = FC_SLANT_ROMAN;
      FcPatternGetInteger(p, FC_SLANT, 0, &slant);
      e.info.Italic = slant != FC_SLANT_ROMAN;
      e.info.TrueType = true;
      FcChar8* file = nullptr;
      if (FcPatternGetString(p, FC_FILE, 0, &file) != FcResultMatch) continue;
      e.file = reinterpret_cast<char*>(file);
      FcPatternGetInteger(p, FC_INDEX, 0, &e.index);
      FcCharSet* cs = nullptr;
      if (FcPatternGetCharSet(p, FC_CHARSET, 0, &cs) == FcResultMatch)
        e.charset = FcCharSetCopy(cs);
      if (e.info.FaceName.empty()) {
        if (e.charset) FcCharSetDestroy(e.charset);
        continue;
      }
      faces.push_back(std::move(e));
    }
    if (set) FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    // A fixed order: by family, then regular before bold, upright before italic.
    std::sort(faces.begin(), faces.end(), [](const FaceEntry& a, const FaceEntry& b) {
      std::string ua = Upper(a.info.FaceName), ub = Upper(b.info.FaceName);
      if (ua != ub) return ua < ub;
      if (a.info.Italic != b.info.Italic) return !a.info.Italic;
      if (a.info.Weight != b.info.Weight) {
        return std::abs(a.info.Weight - 400) < std::abs(b.info.Weight - 400);
      }
      return a.file < b.file;
    });
  }

  std::string Spelling(std::string_view name) const {
    for (const auto& e : faces)
      if (SameName(e.info.FaceName, name)) return e.info.FaceName;
    return {};
  }

  // The installed family for a name: itself, or the first metric-compatible
  // alias that fontconfig binds strongly to it. Weak substitutes (generic
  // fallbacks such as "sans-serif" preferences) do not count.
  std::string Resolve(std::string_view name) {
    if (name.empty()) return {};
    std::string key = Upper(name);
    auto it = resolved.find(key);
    if (it != resolved.end()) return it->second;
    std::string result = Spelling(name);
    if (result.empty()) {
      FcPattern* p = FcPatternCreate();
      std::string utf8 = AnsiToUtf8(name);
      FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8.c_str()));
      FcConfigSubstitute(nullptr, p, FcMatchPattern);
      FcValue v;
      FcValueBinding b;
      for (int i = 1; FcPatternGetWithBinding(p, FC_FAMILY, i, &v, &b) == FcResultMatch; ++i) {
        if (b == FcValueBindingWeak || v.type != FcTypeString) continue;
        std::string candidate = Spelling(Utf8ToAnsi(reinterpret_cast<const char*>(v.u.s)));
        if (!candidate.empty()) {
          result = candidate;
          break;
        }
      }
      FcPatternDestroy(p);
    }
    resolved.emplace(key, result);
    return result;
  }

  // fontconfig's preferred sans-serif family, asked once.
  std::string PreferredSansSerif() {
    if (!preferredKnown) {
      preferred = AskPreferredSansSerif();
      preferredKnown = true;
    }
    return preferred;
  }

  std::string AskPreferredSansSerif() {
    FcPattern* p = FcPatternCreate();
    FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    std::string result;
    FcValue v;
    for (int i = 0; result.empty() && FcPatternGet(p, FC_FAMILY, i, &v) == FcResultMatch; ++i) {
      if (v.type == FcTypeString)
        result = Spelling(Utf8ToAnsi(reinterpret_cast<const char*>(v.u.s)));
    }
    FcPatternDestroy(p);
    return result;
  }

  static bool Covers(const FaceEntry& e, int charset) {
    if (charset == DEFAULT_CHARSET) return true;
    if (!e.charset) return false;
    for (char32_t c : CharsetProbes(charset))
      if (!FcCharSetHasChar(e.charset, c)) return false;
    return true;
  }

  std::shared_ptr<TFont::Face> Open(const FaceEntry& e) {
    auto key = std::make_pair(e.file, e.index);
    auto it = open.find(key);
    if (it != open.end()) return it->second;
    auto face = std::make_shared<TFont::Face>();
    if (FT_New_Face(library, e.file.c_str(), e.index, &face->ft) != 0) {
      face->ft = nullptr;
      return nullptr;
    }
    face->file = e.file;
    face->index = e.index;
    face->info = e.info;
    if (FT_Select_Charmap(face->ft, FT_ENCODING_UNICODE) != 0 &&
        FT_Select_Charmap(face->ft, FT_ENCODING_MS_SYMBOL) == 0)
      face->symbolCmap = true;
    open.emplace(key, face);
    return face;
  }
};

// Kept for the life of the process and never destroyed: fonts held by
// objects that outlive static destruction must still find FreeType alive.
Catalog& TheCatalog() {
  static Catalog* catalog = new Catalog();
  return *catalog;
}

int Round(double v) {
  return static_cast<int>(std::lround(v));
}

}  // namespace

int ScreenPixelsPerInch() {
  return 96;
}

std::vector<TFaceInfo> EnumerateFaces(std::string_view faceName, int charset) {
  Catalog& c = TheCatalog();
  std::vector<TFaceInfo> result;
  std::string family = c.Resolve(faceName);
  if (family.empty()) return result;
  for (const auto& e : c.faces)
    if (e.info.FaceName == family && Catalog::Covers(e, charset)) result.push_back(e.info);
  return result;
}

std::string ResolveFamily(std::string_view faceName) {
  return TheCatalog().Resolve(faceName);
}

bool FaceCoversCharset(std::string_view faceName, int charset) {
  return !EnumerateFaces(faceName, charset).empty();
}

std::vector<std::string> FamiliesForCharset(int charset) {
  Catalog& c = TheCatalog();
  std::vector<std::string> result;
  for (const auto& e : c.faces) {
    if (!Catalog::Covers(e, charset)) continue;
    if (result.empty() || result.back() != e.info.FaceName) result.push_back(e.info.FaceName);
  }
  std::string preferred = c.PreferredSansSerif();
  auto it = std::find(result.begin(), result.end(), preferred);
  if (it != result.end()) std::rotate(result.begin(), it, it + 1);
  return result;
}

// ---- TFont ----

std::unique_ptr<TFont> TFont::Create(const TLogFont& request) {
  Catalog& c = TheCatalog();
  std::string family = c.Resolve(request.FaceName);
  if (family.empty()) {
    // GDI substitutes a face that serves the charset; we take the preferred
    // sans-serif family that does.
    auto families =
        FamiliesForCharset(request.Charset == SYMBOL_CHARSET ? ANSI_CHARSET : request.Charset);
    if (families.empty()) families = FamiliesForCharset(DEFAULT_CHARSET);
    if (families.empty()) return nullptr;
    family = families.front();
  }
  const FaceEntry* best = nullptr;
  int bestScore = 0;
  for (const auto& e : c.faces) {
    if (e.info.FaceName != family) continue;
    int score = (e.info.Italic != request.Italic ? 10000 : 0) +
                std::abs(e.info.Weight - (request.Weight <= 0 ? 400 : request.Weight));
    if (!best || score < bestScore) {
      best = &e;
      bestScore = score;
    }
  }
  if (!best) return nullptr;
  auto face = c.Open(*best);
  if (!face) return nullptr;
  return std::unique_ptr<TFont>(new TFont(std::move(face), request));
}

TFont::TFont(std::shared_ptr<Face> face, const TLogFont& request)
    : face_(std::move(face)), request_(request) {
  FT_Face ft = face_->ft;
  double upem = ft->units_per_EM ? ft->units_per_EM : 1000;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  double cell = os2 && (os2->usWinAscent + os2->usWinDescent) > 0
                    ? os2->usWinAscent + os2->usWinDescent
                    : ft->ascender - ft->descender;
  if (cell <= 0) cell = upem;
  int height = request.Height == 0 ? 16 : request.Height;
  em_ = height < 0 ? -height : height * upem / cell;
  if (request.Width > 0) {
    double avg = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : upem / 2;
    double natural = avg * em_ / upem;
    if (natural > 0) xscale_ = request.Width / natural;
  }
}

TFont::~TFont() = default;

const std::string& TFont::FaceName() const {
  return face_->info.FaceName;
}

bool TFont::TrueType() const {
  return face_->info.TrueType;
}

int TFont::UnitsPerEm() const {
  return face_->ft->units_per_EM;
}

TTextMetrics TFont::TextMetrics() const {
  FT_Face ft = face_->ft;
  double scale = em_ / (ft->units_per_EM ? ft->units_per_EM : 1000);
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA));
  auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(ft, FT_SFNT_POST));
  TTextMetrics m;
  double winAscent = os2 ? os2->usWinAscent : ft->ascender;
  double winDescent = os2 ? os2->usWinDescent : -ft->descender;
  m.Ascent = Round(winAscent * scale);
  m.Descent = Round(winDescent * scale);
  m.Height = m.Ascent + m.Descent;
  m.InternalLeading = m.Height - Round(em_);
  if (hhea) {
    double gap = hhea->Line_Gap - ((winAscent + winDescent) - (hhea->Ascender - hhea->Descender));
    m.ExternalLeading = std::max(0, Round(gap * scale));
    m.MaxCharWidth = Round(hhea->advance_Width_Max * scale * xscale_);
  }
  m.AveCharWidth =
      Round((os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : ft->units_per_EM / 2.0) * scale *
            xscale_);
  m.Weight = request_.Weight > 0 ? request_.Weight : (os2 ? os2->usWeightClass : 400);
  m.Italic = request_.Italic || face_->info.Italic;
  m.FixedPitch = (post && post->isFixedPitch != 0) || FT_IS_FIXED_WIDTH(ft);
  m.Charset = request_.Charset;
  return m;
}

TOutlineMetrics TFont::OutlineMetrics() const {
  FT_Face ft = face_->ft;
  double scale = em_ / (ft->units_per_EM ? ft->units_per_EM : 1000);
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(ft, FT_SFNT_POST));
  auto* head = static_cast<TT_Header*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HEAD));
  TOutlineMetrics m;
  m.EmSquare = ft->units_per_EM;
  if (os2) {
    m.Ascent = Round(os2->sTypoAscender * scale);
    m.Descent = Round(os2->sTypoDescender * scale);
    m.LineGap = Round(os2->sTypoLineGap * scale);
    m.StrikeoutPosition = Round(os2->yStrikeoutPosition * scale);
    m.StrikeoutSize = Round(os2->yStrikeoutSize * scale);
    if (os2->version >= 2) {
      m.CapHeight = Round(os2->sCapHeight * scale);
      m.XHeight = Round(os2->sxHeight * scale);
    }
  } else {
    m.Ascent = Round(ft->ascender * scale);
    m.Descent = Round(ft->descender * scale);
  }
  if (post) {
    m.ItalicAngle = Round(post->italicAngle / 65536.0 * 10);
    m.UnderlinePosition = Round(post->underlinePosition * scale);
    m.UnderlineSize = Round(post->underlineThickness * scale);
  }
  if (head) {
    m.BBoxLeft = Round(head->xMin * scale);
    m.BBoxBottom = Round(head->yMin * scale);
    m.BBoxRight = Round(head->xMax * scale);
    m.BBoxTop = Round(head->yMax * scale);
  }
  return m;
}

int TFont::CharAdvanceUnits(char32_t c) const {
  FT_Face ft = face_->ft;
  FT_UInt glyph = FT_Get_Char_Index(ft, c);
  if (glyph == 0 && face_->symbolCmap && c < 0x100) glyph = FT_Get_Char_Index(ft, 0xF000 + c);
  FT_Fixed advance = 0;
  if (FT_Get_Advance(ft, glyph, FT_LOAD_NO_SCALE, &advance) != 0) return 0;
  return static_cast<int>(advance);
}

int TFont::CharAdvance(char32_t c) const {
  double scale = em_ / (face_->ft->units_per_EM ? face_->ft->units_per_EM : 1000);
  return Round(CharAdvanceUnits(c) * scale * xscale_);
}

TTextExtent TFont::TextExtent(std::u16string_view text, std::vector<int>* advances) const {
  TTextExtent e;
  e.Height = TextMetrics().Height;
  if (advances) advances->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    bool pair = c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] < 0xE000;
    if (pair) c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    int a = CharAdvance(c);
    e.Width += a;
    if (advances) {
      advances->push_back(a);
      if (pair) advances->push_back(0);
    }
    if (pair) ++i;
  }
  return e;
}

TTextExtent TFont::TextExtentA(std::string_view text, std::vector<int>* advances) const {
  if (request_.Charset == SYMBOL_CHARSET || face_->symbolCmap) {
    std::u16string wide;
    for (char ch : text) wide.push_back(static_cast<uint8_t>(ch));
    return TextExtent(wide, advances);
  }
  std::u16string wide = MultiByteToUnicode(text, CodePageOfCharset(request_.Charset));
  if (!advances || wide.size() == text.size()) return TextExtent(wide, advances);
  // Double-byte text: one advance per byte, at the character's first byte;
  // the second byte of a pair gets 0.
  const int codePage = CodePageOfCharset(request_.Charset);
  std::vector<int> perChar;
  TTextExtent e = TextExtent(wide, &perChar);
  advances->assign(text.size(), 0);
  size_t at = 0;
  for (size_t i = 0; i < perChar.size() && at < text.size(); ++i) {
    (*advances)[at] = perChar[i];
    bool pair = IsLeadByte(codePage, static_cast<uint8_t>(text[at])) && at + 1 < text.size();
    at += pair ? 2 : 1;
  }
  return e;
}

bool TFont::PlaceCharacters(std::u16string_view text, TGlyphRun& run) const {
  run.Glyphs.clear();
  run.Advances.clear();
  if (!face_->hb) {
    hb_blob_t* blob = hb_blob_create_from_file(face_->file.c_str());
    hb_face_t* face = hb_face_create(blob, face_->index);
    face_->hb = hb_font_create(face);
    hb_face_destroy(face);
    hb_blob_destroy(blob);
  }
  if (hb_face_get_glyph_count(hb_font_get_face(face_->hb)) == 0) return false;
  hb_buffer_t* buffer = hb_buffer_create();
  hb_buffer_add_utf16(buffer, reinterpret_cast<const uint16_t*>(text.data()),
                      static_cast<int>(text.size()), 0, static_cast<int>(text.size()));
  hb_buffer_guess_segment_properties(buffer);
  // Character placement composes and reorders but does not kern.
  hb_feature_t noKerning = {HB_TAG('k', 'e', 'r', 'n'), 0, 0, static_cast<unsigned>(-1)};
  hb_shape(face_->hb, buffer, &noKerning, 1);
  unsigned count = 0;
  hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
  hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
  int xscale = 0, yscale = 0;
  hb_font_get_scale(face_->hb, &xscale, &yscale);
  double scale = em_ / (xscale ? xscale : 1000) * xscale_;
  for (unsigned i = 0; i < count; ++i) {
    run.Glyphs.push_back(static_cast<uint16_t>(info[i].codepoint));
    run.Advances.push_back(Round(pos[i].x_advance * scale));
  }
  hb_buffer_destroy(buffer);
  return count > 0;
}

bool TFont::GetTable(uint32_t tag, std::string& data) const {
  FT_ULong length = 0;
  if (FT_Load_Sfnt_Table(face_->ft, tag, 0, nullptr, &length) != 0) return false;
  data.assign(length, '\0');
  if (length == 0) return true;
  return FT_Load_Sfnt_Table(face_->ft, tag, 0, reinterpret_cast<FT_Byte*>(data.data()), &length) ==
         0;
}

std::string TFont::FontFile() const {
  std::ifstream in(face_->file, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// ---- TFontProgram ----

std::unique_ptr<TFontProgram> TFontProgram::Load(std::string bytes) {
  std::unique_ptr<TFontProgram> p(new TFontProgram());
  p->bytes_ = std::move(bytes);
  FT_Face face = nullptr;
  if (FT_New_Memory_Face(TheCatalog().library, reinterpret_cast<const FT_Byte*>(p->bytes_.data()),
                         static_cast<FT_Long>(p->bytes_.size()), 0, &face) != 0)
    return nullptr;
  p->face_ = face;
  return p;
}

TFontProgram::~TFontProgram() {
  if (face_) FT_Done_Face(static_cast<FT_Face>(face_));
}

int TFontProgram::NumGlyphs() const {
  return static_cast<int>(static_cast<FT_Face>(face_)->num_glyphs);
}

uint16_t TFontProgram::GlyphOfChar(char32_t c) const {
  return static_cast<uint16_t>(FT_Get_Char_Index(static_cast<FT_Face>(face_), c));
}

int TFontProgram::AdvanceUnits(uint16_t glyph) const {
  FT_Fixed advance = 0;
  if (FT_Get_Advance(static_cast<FT_Face>(face_), glyph, FT_LOAD_NO_SCALE, &advance) != 0)
    return -1;
  return static_cast<int>(advance);
}

std::string TFontProgram::Outline(uint16_t glyph) const {
  FT_Face face = static_cast<FT_Face>(face_);
  if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0) return "error";
  const FT_Outline& o = face->glyph->outline;
  std::ostringstream s;
  for (int i = 0; i < o.n_contours; ++i) s << "c" << o.contours[i] << " ";
  for (int i = 0; i < o.n_points; ++i)
    s << o.points[i].x << "," << o.points[i].y << (o.tags[i] & 1 ? "+" : "-") << " ";
  return s.str();
}

}  // namespace quillora::platform

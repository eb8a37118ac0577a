#include "quillora/fonts/ansi_subset.h"

#include <algorithm>
#include <memory>

#include "quillora/core/exception.h"
#include "quillora/fonts/winansi.h"
#include "quillora/platform/font_system.h"

namespace quillora {

using namespace truetype;

namespace {

std::string Required(TTableSource& source, uint32_t tag) {
  std::string data;
  if (!source || !source(tag, data)) throw Exception("Cannot recieve data from font");
  return data;
}

std::string Record(std::string data, size_t size) {
  if (data.size() < size) FormatError();
  data.resize(size);
  return data;
}

// The same names whatever font is subset.
std::string FixedNameTable() {
  struct Entry {
    uint16_t platform, encoding, language, nameId;
    const char* text;
    uint16_t field;  // bytes the record claims (0: the string's own length)
  };
  const Entry entries[10] = {{1, 0, 0, 1, "Arial", 0},
                             {1, 0, 0, 2, "Regular", 0},
                             {1, 0, 0, 4, "Arial", 0},
                             {1, 0, 0, 6, "ArialMT", 0},
                             {1, 0, 0, 3, "Quillora: Arial", 31},
                             {3, 1, 0x0409, 1, "Arial", 0},
                             {3, 1, 0x0409, 2, "Regular", 0},
                             {3, 1, 0x0409, 4, "Arial", 0},
                             {3, 1, 0x0409, 6, "ArialMT", 0},
                             {3, 1, 0x0409, 3, "Quillora: Arial", 0}};
  std::string records, strings;
  for (const auto& e : entries) {
    std::string s;
    for (const char* p = e.text; *p; ++p) {
      if (e.platform == 3) s.push_back('\0');
      s.push_back(*p);
    }
    if (e.field > s.size()) s.resize(e.field, '\0');
    WriteU16(records, e.platform);
    WriteU16(records, e.encoding);
    WriteU16(records, e.language);
    WriteU16(records, e.nameId);
    WriteU16(records, static_cast<uint16_t>(s.size()));
    WriteU16(records, static_cast<uint16_t>(strings.size()));
    strings += s;
  }
  std::string t;
  WriteU16(t, 0);
  WriteU16(t, 10);
  WriteU16(t, 126);
  t += records;
  t += strings;
  t.resize(260, '\0');
  return t;
}

std::string FixedPostTable() {
  std::string t;
  WriteU32(t, 0x00020000);  // version 2.0
  WriteU32(t, 0);           // italicAngle
  WriteU16(t, static_cast<uint16_t>(-217));
  WriteU16(t, 150);
  WriteU32(t, 0);  // isFixedPitch
  for (int i = 0; i < 4; ++i) WriteU32(t, 0);
  WriteU16(t, 4);
  for (uint16_t index : {0, 0, 258, 68}) WriteU16(t, index);
  t.push_back(9);
  t += "afii10065";
  return t;
}

}  // namespace

TAnsiFontSubset::TAnsiFontSubset(std::string FaceName, int Style, TTableSource Source)
    : FFaceName(std::move(FaceName)), FStyle(Style), FSource(std::move(Source)) {}

void TAnsiFontSubset::ReadFont() {
  std::string cmap = Required(FSource, Tag("cmap"));
  FHasCvt = FSource(Tag("cvt "), FCvt);
  FHasFpgm = FSource(Tag("fpgm"), FFpgm);
  std::string glyf = Required(FSource, Tag("glyf"));
  FHeadData = Record(Required(FSource, Tag("head")), 54);
  FHheaData = Record(Required(FSource, Tag("hhea")), 36);
  FHmtxData = Required(FSource, Tag("hmtx"));
  std::string loca = Required(FSource, Tag("loca"));
  FMaxpData = Record(Required(FSource, Tag("maxp")), 32);
  Required(FSource, Tag("name"));
  FHasPrep = FSource(Tag("prep"), FPrep);
  Required(FSource, Tag("post"));
  FCMap = ParseCMap4(cmap);
  FNumberOfHMetrics = ReadU16(FHheaData, 34);
  if (FNumberOfHMetrics == 0 || FHmtxData.size() / 4 < FNumberOfHMetrics) FormatError();
  FGlyphs = SplitGlyphs(loca, glyf, ReadU16(FMaxpData, 4), ReadU16(FHeadData, 50) == 1);
  FUsed.assign(FGlyphs.size(), false);
}

void TAnsiFontSubset::MarkChar(uint16_t C) {
  if (C == 0xA0) FSawNoBreakSpace = true;
  uint16_t g = FCMap.Lookup(C);
  if (g < FUsed.size()) FUsed[g] = true;
}

void TAnsiFontSubset::Build(std::string& Stream, int Count, const uint16_t* Chars) {
  if (Count <= 0) return;
  ReadFont();
  std::vector<uint16_t> kept;
  for (int i = 0; i < Count; ++i)
    if (FCMap.Covers(Chars[i])) kept.push_back(Chars[i]);
  if (Count == 1) {
    if (kept.empty())
      kept = {34};
    else if (kept[0] > 33)
      kept = {34, kept[0]};
    else
      kept = {kept[0], 34};
  } else if (Count == 2 && kept.size() == 2 && kept[1] == 0xA0) {
    kept.insert(kept.begin() + 1, 34);
  }
  for (uint16_t c : kept)
    if (c > 32) MarkChar(c);

  // Codes of characters whose glyph carries another character's code (a
  // glyph shared by two used characters) still need their own mapping.
  FKept = kept;
  WriteFont(Stream);
  FGlyphs.clear();
  FUsed.clear();
  FCvt.clear();
  FFpgm.clear();
  FPrep.clear();
  FHmtxData.clear();
}

void TAnsiFontSubset::Metric(uint16_t Glyph, uint16_t& Advance, int16_t& Lsb) const {
  if (Glyph < FNumberOfHMetrics) {
    Advance = ReadU16(FHmtxData, 4 * size_t(Glyph));
    Lsb = ReadS16(FHmtxData, 4 * size_t(Glyph) + 2);
    return;
  }
  Advance = ReadU16(FHmtxData, 4 * (size_t(FNumberOfHMetrics) - 1));
  size_t at = 4 * size_t(FNumberOfHMetrics) + 2 * (size_t(Glyph) - FNumberOfHMetrics);
  Lsb = at + 2 <= FHmtxData.size() ? ReadS16(FHmtxData, at) : 0;
}

std::string TAnsiFontSubset::BuildCmap(const std::vector<TRecord>& Records) const {
  std::string t;
  WriteU16(t, 0);
  WriteU16(t, 2);
  WriteU16(t, 1);
  WriteU16(t, 0);
  WriteU32(t, 20);
  WriteU16(t, 3);
  WriteU16(t, 1);
  WriteU32(t, 282);
  // Format 0 for the Macintosh record.
  uint8_t codes[256] = {};
  codes[32] = 2;
  for (const auto& r : Records) codes[r.Code] = static_cast<uint8_t>(r.NewGlyph);
  WriteU16(t, 0);
  WriteU16(t, 262);
  WriteU16(t, 0);
  t.append(reinterpret_cast<const char*>(codes), 256);

  // Format 4: space to glyph 2, then one segment per run of consecutive
  // characters whose source glyphs are consecutive too.
  struct Segment {
    uint16_t start, end;
    uint16_t delta;
  };
  std::vector<Segment> segments{{32, 32, static_cast<uint16_t>(2 - 32)}};
  uint16_t prevChar = 32;
  int prevSource = -2;
  bool first = true;
  for (const auto& r : Records) {
    if (first || r.Unicode != prevChar + 1 || r.SourceGlyph != prevSource + 1) {
      segments.back().end = prevChar;
      segments.push_back({r.Unicode, r.Unicode, static_cast<uint16_t>(r.NewGlyph - r.Unicode)});
    }
    first = false;
    prevChar = r.Unicode;
    prevSource = r.SourceGlyph;
  }
  segments.back().end = prevChar;
  segments.push_back({0xFFFF, 0xFFFF, 1});
  uint16_t segCount = static_cast<uint16_t>(segments.size());
  uint16_t power = 1, log2 = 0;
  while (power * 2 <= segCount) {
    power *= 2;
    ++log2;
  }
  size_t arrayWords = 1 + Records.size();
  WriteU16(t, 4);
  WriteU16(t, static_cast<uint16_t>(16 + 8 * segCount + 2 * arrayWords));
  WriteU16(t, 0);
  WriteU16(t, static_cast<uint16_t>(segCount * 2));
  WriteU16(t, static_cast<uint16_t>(power * 2));
  WriteU16(t, log2);
  WriteU16(t, static_cast<uint16_t>(segCount * 2 - power * 2));
  for (const auto& s : segments) WriteU16(t, s.end);
  WriteU16(t, 0);
  for (const auto& s : segments) WriteU16(t, s.start);
  for (const auto& s : segments) WriteU16(t, s.delta);
  for (size_t i = 0; i < segments.size(); ++i) WriteU16(t, 0);
  for (size_t i = 0; i < arrayWords; ++i) WriteU16(t, static_cast<uint16_t>(2 + i));
  return t;
}

std::string TAnsiFontSubset::BuildHmtx(const std::vector<uint16_t>& Order) const {
  std::string t;
  for (int i = 0; i < 4; ++i) WriteU16(t, 0);
  // The space glyph's metric for the reserved space glyph (the font's glyph
  // 1 when it maps no space).
  uint16_t space = FCMap.Lookup(32);
  uint16_t advance = 0;
  int16_t lsb = 0;
  Metric(space != 0 && space < FGlyphs.size() ? space : 1, advance, lsb);
  WriteU16(t, advance);
  WriteU16(t, static_cast<uint16_t>(lsb));
  for (uint16_t g : Order) {
    Metric(g, advance, lsb);
    WriteU16(t, advance);
    WriteU16(t, static_cast<uint16_t>(lsb));
  }
  return t;
}

void TAnsiFontSubset::WriteFont(std::string& Stream) {
  CloseComposites(FGlyphs, FUsed);
  std::vector<uint16_t> order;  // used source glyphs in source order
  std::vector<uint16_t> newIndex(FGlyphs.size(), 0);
  for (size_t g = 0; g < FGlyphs.size(); ++g) {
    if (FUsed[g]) {
      if (order.size() + 3 >= 0xFFFF) FormatError();
      newIndex[g] = static_cast<uint16_t>(order.size() + 3);
      order.push_back(static_cast<uint16_t>(g));
    } else {
      FGlyphs[g].clear();
    }
  }
  FUsedCount = static_cast<int>(order.size());
  for (uint16_t g : order) {
    std::string& glyph = FGlyphs[g];
    ForEachComponent(glyph, [&](size_t at) {
      uint16_t component = ReadU16(glyph, at);
      PutU16(glyph, at, component < newIndex.size() ? newIndex[component] : 0);
    });
    // Short offsets count words: every glyph keeps an even length.
    if (glyph.size() % 2 != 0) glyph.push_back('\0');
  }

  // The first character of each glyph, walking the segments in order.
  std::vector<int32_t> firstChar(FGlyphs.size(), -1);
  size_t total = 0;
  for (size_t i = 0; i < FCMap.SegCount(); ++i)
    if (FCMap.EndCodes[i] >= FCMap.StartCodes[i])
      total += FCMap.EndCodes[i] - FCMap.StartCodes[i] + 1u;
  if (total > 0x20000) FormatError();
  for (size_t i = 0; i < FCMap.SegCount(); ++i) {
    for (uint32_t c = FCMap.StartCodes[i]; c <= FCMap.EndCodes[i]; ++c) {
      uint16_t g = FCMap.GlyphInSegment(static_cast<uint16_t>(c), i);
      if (g < firstChar.size() && firstChar[g] < 0) firstChar[g] = static_cast<int32_t>(c);
    }
  }
  std::vector<TRecord> records;
  std::vector<bool> coded(256, false);
  for (uint16_t g : order) {
    uint8_t code = firstChar[g] >= 0 ? UnicodeToWinAnsi(static_cast<char16_t>(firstChar[g])) : 0;
    // Space is the reserved glyph 2 and control codes map to nothing.
    if (code <= 32) continue;
    records.push_back({g, newIndex[g], code, WinAnsiToUnicode(code)});
    coded[code] = true;
  }
  for (uint16_t c : FKept) {
    uint8_t code = UnicodeToWinAnsi(c);
    uint16_t g = FCMap.Lookup(c);
    if (code <= 32 || coded[code] || g >= FUsed.size() || !FUsed[g]) continue;
    records.push_back({g, newIndex[g], code, WinAnsiToUnicode(code)});
    coded[code] = true;
  }
  std::stable_sort(records.begin(), records.end(),
                   [](const TRecord& a, const TRecord& b) { return a.Unicode < b.Unicode; });

  uint16_t n = static_cast<uint16_t>(order.size() + 3);
  size_t glyphBytes = 0;
  for (uint16_t g : order) glyphBytes += FGlyphs[g].size();
  bool longLoca = glyphBytes / 2 > 0xFFFF;
  std::string glyf, loca;
  glyf.reserve(glyphBytes);
  auto entry = [&](size_t v) {
    if (longLoca)
      WriteU32(loca, static_cast<uint32_t>(v));
    else
      WriteU16(loca, static_cast<uint16_t>(v / 2));
  };
  for (int i = 0; i < 4; ++i) entry(0);
  for (uint16_t g : order) {
    glyf += FGlyphs[g];
    entry(glyf.size());
  }
  std::string head = FHeadData;
  PutU16(head, 50, longLoca ? 1 : 0);
  std::string hhea = FHheaData;
  PutU16(hhea, 34, n);
  std::string maxp = FMaxpData;
  PutU16(maxp, 4, n);

  std::vector<TTableOut> tables;
  tables.push_back({Tag("cmap"), BuildCmap(records)});
  if (FHasCvt) tables.push_back({Tag("cvt "), FCvt});
  if (FHasFpgm) tables.push_back({Tag("fpgm"), FFpgm});
  tables.push_back({Tag("glyf"), std::move(glyf)});
  tables.push_back({Tag("head"), std::move(head)});
  tables.push_back({Tag("hhea"), std::move(hhea)});
  tables.push_back({Tag("hmtx"), BuildHmtx(order)});
  tables.push_back({Tag("loca"), std::move(loca)});
  tables.push_back({Tag("maxp"), std::move(maxp)});
  tables.push_back({Tag("name"), FixedNameTable()});
  tables.push_back({Tag("post"), FixedPostTable()});
  if (FHasPrep) tables.push_back({Tag("prep"), FPrep});
  std::string font;
  WriteOffsetTable(font, static_cast<uint16_t>(tables.size()));
  WriteTables(font, tables);
  Stream += font;
}

void BuildAnsiSubset(const std::string& FaceName, int Style, std::string& Stream, int Count,
                     const uint16_t* Chars) {
  if (Count <= 0) return;
  platform::TLogFont request;
  request.FaceName = FaceName;
  request.Height = -1000;
  request.Weight = (Style & 1) ? 700 : 400;
  request.Italic = (Style & 2) != 0;
  request.Charset = platform::ANSI_CHARSET;
  std::shared_ptr<platform::TFont> font = platform::TFont::Create(request);
  if (!font) throw Exception("Cannot recieve data from font");
  std::string upper = FaceName;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (upper == "MARLETT") {
    Stream += font->FontFile();
    return;
  }
  TAnsiFontSubset subset(FaceName, Style, [font](uint32_t tag, std::string& data) {
    return font->GetTable(tag, data);
  });
  subset.Build(Stream, Count, Chars);
}

}  // namespace quillora

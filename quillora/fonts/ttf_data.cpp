#include "quillora/fonts/ttf_data.h"

#include <algorithm>
#include <memory>

#include "quillora/core/exception.h"
#include "quillora/core/tokens.h"
#include "quillora/platform/font_system.h"

namespace quillora {

using namespace truetype;

namespace {

std::string RequiredTable(TTableSource& source, uint32_t tag) {
  std::string data;
  if (!source || !source(tag, data)) throw Exception("Cannot recieve data from font");
  return data;
}

// The leading fixed-size record of a table; a shorter table is not a font
// we can use.
std::string Record(std::string data, size_t size) {
  if (data.size() < size) FormatError();
  data.resize(size);
  return data;
}

}  // namespace

TTTFData::TTTFData(const std::string& FaceName, bool Embedded, int Style)
    : FFaceName(FaceName), FStyle(Style), FEmbedded(Embedded) {
  platform::TLogFont request;
  request.FaceName = FaceName;
  request.Height = -1000;
  request.Weight = (Style & 1) ? 700 : 400;
  request.Italic = (Style & 2) != 0;
  std::shared_ptr<platform::TFont> font = platform::TFont::Create(request);
  if (font) {
    FFixedPitch = font->TextMetrics().FixedPitch;
    FSource = [font](uint32_t tag, std::string& data) { return font->GetTable(tag, data); };
  }
  Read(FSource);
}

TTTFData::TTTFData(const std::string& FaceName, bool Embedded, int Style, bool FixedPitch,
                   TTableSource Source)
    : FFaceName(FaceName),
      FStyle(Style),
      FEmbedded(Embedded),
      FFixedPitch(FixedPitch),
      FSource(std::move(Source)) {
  Read(FSource);
}

void TTTFData::Read(TTableSource& Source) {
  FCmapData = RequiredTable(Source, Tag("cmap"));
  FHmtxData = RequiredTable(Source, Tag("hmtx"));
  FMaxpData = Record(RequiredTable(Source, Tag("maxp")), 32);
  FHeadData = Record(RequiredTable(Source, Tag("head")), 54);
  FHheaData = Record(RequiredTable(Source, Tag("hhea")), 36);
  FNumGlyphs = ReadU16(FMaxpData, 4);
  FUnitsPerEm = ReadU16(FHeadData, 18);
  FLongLoca = ReadU16(FHeadData, 50) == 1;
  FNumberOfHMetrics = ReadU16(FHheaData, 34);
  if (FUnitsPerEm == 0 || FNumberOfHMetrics == 0 || FHmtxData.size() / 4 < FNumberOfHMetrics)
    FormatError();
  FCMap = ParseCMap4(FCmapData);

  // Every segment but the 0xFFFF terminator adds its characters. Segments of
  // a sound font do not overlap, so more characters than the plane holds
  // means a broken table.
  size_t total = 0;
  for (size_t i = 0; i + 1 < FCMap.SegCount(); ++i)
    if (FCMap.EndCodes[i] >= FCMap.StartCodes[i])
      total += FCMap.EndCodes[i] - FCMap.StartCodes[i] + 1u;
  if (total > 0x10000) FormatError();
  FCharMap.reserve(total);
  for (size_t i = 0; i + 1 < FCMap.SegCount(); ++i) {
    for (uint32_t c = FCMap.StartCodes[i]; c <= FCMap.EndCodes[i]; ++c) {
      TCharGlyph e;
      e.Char = static_cast<uint16_t>(c);
      e.Glyph = FCMap.GlyphInSegment(e.Char, i);
      e.Width = WidthOfGlyph(e.Glyph);
      FCharMap.push_back(e);
    }
  }
  if (FCharMap.empty()) FormatError();
  // Lookups are binary searches: keep the entries ascending even when the
  // segments are not.
  if (!std::is_sorted(FCharMap.begin(), FCharMap.end(),
                      [](const TCharGlyph& a, const TCharGlyph& b) { return a.Char < b.Char; })) {
    std::stable_sort(FCharMap.begin(), FCharMap.end(),
                     [](const TCharGlyph& a, const TCharGlyph& b) { return a.Char < b.Char; });
  }
}

int TTTFData::WidthOfGlyph(uint16_t Glyph) const {
  size_t metric = FFixedPitch || Glyph >= FNumberOfHMetrics
                      ? (FFixedPitch ? 0 : FNumberOfHMetrics - 1u)
                      : Glyph;
  uint32_t advance = ReadU16(FHmtxData, 4 * metric);
  return static_cast<int>(advance * 1000u / FUnitsPerEm);
}

size_t TTTFData::IndexOf(char16_t C) const {
  auto it = std::lower_bound(FCharMap.begin(), FCharMap.end(), C,
                             [](const TCharGlyph& e, char16_t c) { return e.Char < c; });
  if (it == FCharMap.end() || it->Char != C) return 0;
  return static_cast<size_t>(it - FCharMap.begin());
}

TCharGlyph& TTTFData::FindGlyph(uint16_t Glyph) {
  if (FGlyphIndex.empty()) {
    uint16_t highest = 0;
    for (const auto& e : FCharMap) highest = std::max(highest, e.Glyph);
    FGlyphIndex.assign(highest + 1u, -1);
    for (size_t i = FCharMap.size(); i-- > 0;)
      FGlyphIndex[FCharMap[i].Glyph] = static_cast<int32_t>(i);
  }
  if (Glyph < FGlyphIndex.size() && FGlyphIndex[Glyph] >= 0) return FCharMap[FGlyphIndex[Glyph]];
  return FCharMap[0];
}

void TTTFData::MarkExtraGlyph(uint16_t Glyph) {
  if (Glyph >= FNumGlyphs) return;
  auto it = std::lower_bound(FExtraGlyphs.begin(), FExtraGlyphs.end(), Glyph);
  if (it == FExtraGlyphs.end() || *it != Glyph) FExtraGlyphs.insert(it, Glyph);
}

std::string TTTFData::GetWidthArray() const {
  std::string s = "[";
  auto entry = [&](uint16_t glyph, int width) {
    AppendInt(s, glyph);
    s += '[';
    AppendInt(s, width);
    s += ']';
  };
  for (const auto& e : FCharMap)
    if (e.Used) entry(e.Glyph, e.Width);
  for (uint16_t g : FExtraGlyphs) entry(g, WidthOfGlyph(g));
  s += ']';
  return s;
}

void TTTFData::WriteToUnicodeCMap(std::string_view Name, std::string& Stream) const {
  std::vector<const TCharGlyph*> used;
  uint16_t lowest = 0xFFFF, highest = 0;
  for (const auto& e : FCharMap) {
    if (!e.Used) continue;
    used.push_back(&e);
    lowest = std::min(lowest, e.Glyph);
    highest = std::max(highest, e.Glyph);
  }
  if (used.empty()) lowest = 0;
  std::string& s = Stream;
  s += "/CIDInit /ProcSet findresource begin 12 dict begin begincmap /CIDSystemInfo << \r";
  s += "/Registry (";
  s += Name;
  s += "+0) /Ordering (T42UV) /Supplement 0 >> def\r";
  s += "/CMapName /";
  s += Name;
  s += "+0 def\r";
  s += "/CMapType 2 def\r";
  s += "1 begincodespacerange <" + WordToHex(lowest) + "> <" + WordToHex(highest) +
       "> endcodespacerange\r";
  size_t next = 0;
  while (next < used.size()) {
    size_t n = std::min<size_t>(100, used.size() - next);
    AppendInt(s, static_cast<int64_t>(n));
    s += " beginbfchar\r";
    for (size_t k = 0; k < n; ++k, ++next)
      s += "<" + WordToHex(used[next]->Glyph) + "> <" + WordToHex(used[next]->Char) + ">\r";
    s += "endbfchar\r";
  }
  s += "endcmap CMapName currentdict /CMap defineresource pop end end";
}

void TTTFData::WriteSubsetFont(std::string& Stream) {
  // Viewers want more than one glyph: with fewer than two characters used,
  // the quotation mark and the entry at position 2 come along. The entry at
  // position 1 is renamed to the quotation mark only when it is not itself
  // the character on the page (renaming that one would lose its glyph).
  size_t usedCount = 0;
  for (const auto& e : FCharMap) usedCount += e.Used;
  if (usedCount < 2) {
    if (FCharMap.size() > 1 && !FCharMap[1].Used) {
      FCharMap[1].Char = 0x22;
      FCharMap[1].Used = true;
    }
    if (FCharMap.size() > 2) FCharMap[2].Used = true;
  }

  std::string cvt, fpgm, prep;
  bool hasCvt = FSource(Tag("cvt "), cvt);
  bool hasFpgm = FSource(Tag("fpgm"), fpgm);
  bool hasPrep = FSource(Tag("prep"), prep);
  std::string loca = RequiredTable(FSource, Tag("loca"));
  std::string glyf = RequiredTable(FSource, Tag("glyf"));
  std::vector<std::string> glyphs = SplitGlyphs(loca, glyf, FNumGlyphs, FLongLoca);
  glyf.clear();
  glyf.shrink_to_fit();

  std::vector<bool> used(glyphs.size(), false);
  for (const auto& e : FCharMap) {
    if (!e.Used) continue;
    uint16_t g = FCMap.Lookup(e.Char);
    if (g < used.size()) used[g] = true;
  }
  for (uint16_t g : FExtraGlyphs)
    if (g < used.size()) used[g] = true;
  CloseComposites(glyphs, used);

  bool longLoca = FLongLoca;
  size_t total = 0;
  for (size_t g = 0; g < glyphs.size(); ++g) {
    if (!used[g]) {
      glyphs[g].clear();
    } else if (!longLoca && glyphs[g].size() % 2 != 0) {
      glyphs[g].push_back('\0');  // short offsets count words
    }
    total += glyphs[g].size();
  }
  std::string head = FHeadData;
  if (!longLoca && total / 2 > 0xFFFF) {
    longLoca = true;
    PutU16(head, 50, 1);
  }
  std::string newLoca;
  std::string newGlyf;
  newGlyf.reserve(total);
  size_t offset = 0;
  auto writeEntry = [&](size_t v) {
    if (longLoca)
      WriteU32(newLoca, static_cast<uint32_t>(v));
    else
      WriteU16(newLoca, static_cast<uint16_t>(v / 2));
  };
  for (const auto& g : glyphs) {
    writeEntry(offset);
    offset += g.size();
    newGlyf += g;
  }
  writeEntry(offset);

  std::vector<TTableOut> tables;
  tables.push_back({Tag("hhea"), FHheaData});
  tables.push_back({Tag("loca"), std::move(newLoca)});
  tables.push_back({Tag("cmap"), FCmapData});
  tables.push_back({Tag("head"), std::move(head)});
  tables.push_back({Tag("maxp"), FMaxpData});
  if (hasCvt) tables.push_back({Tag("cvt "), std::move(cvt)});
  if (hasPrep) tables.push_back({Tag("prep"), std::move(prep)});
  tables.push_back({Tag("glyf"), std::move(newGlyf)});
  tables.push_back({Tag("hmtx"), FHmtxData});
  if (hasFpgm) tables.push_back({Tag("fpgm"), std::move(fpgm)});
  std::string font;
  WriteOffsetTable(font, static_cast<uint16_t>(tables.size()));
  WriteTables(font, tables);
  Stream += font;
}

}  // namespace quillora

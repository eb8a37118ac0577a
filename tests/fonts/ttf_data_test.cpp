#include "quillora/fonts/ttf_data.h"

#include <gtest/gtest.h>

#include "font_fixture.h"
#include "quillora/core/exception.h"
#include "quillora/platform/font_system.h"
#include "support/pdf_tools.h"

using namespace quillora;
using namespace quillora::truetype;

namespace {

// Printable ASCII mapped by one segment with delta -29: space is glyph 3.
fixture::Font AsciiFont() {
  fixture::Font f;
  f.unitsPerEm = 2048;
  f.segments = {{0x20, 0x7E, -29}};
  for (int g = 0; g < 98; ++g)
    f.glyphs.push_back(g < 3 ? "" : fixture::SimpleGlyph(12 + 2 * (g % 5)));
  for (int g = 0; g < 98; ++g) f.metrics.push_back({static_cast<uint16_t>(1000 + g), 0});
  return f;
}

std::string ExpectError(const std::function<void()>& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.what();
  }
  return "no error";
}

TEST(TTFData, CharMapFromSegments) {
  auto f = AsciiFont();
  TTTFData data("Fixture", true, 0, false, f.Source());
  ASSERT_EQ(data.CharMap().size(), 95u);
  EXPECT_EQ(data.CharMap()[0].Char, 0x20);
  EXPECT_EQ(data.CharMap()[0].Glyph, 3);
  EXPECT_EQ(data.CharMap()[94].Char, 0x7E);
  EXPECT_EQ(data.NumGlyphs(), 98);
  EXPECT_EQ(data.UnitsPerEm(), 2048);
  // Width = advance / (units per em / 1000), truncated: 1003 -> 489.
  EXPECT_EQ(data.CharWidth(u' '), 1003 * 1000 / 2048);
  EXPECT_EQ(data.CharWidth(u'A'), (1000 + 'A' - 29) * 1000 / 2048);
}

TEST(TTFData, UnmappedCharactersFallBackToTheLowestEntry) {
  auto f = AsciiFont();
  TTTFData data("Fixture", true, 0, false, f.Source());
  EXPECT_EQ(data.CharWidth(u'\u0416'), data.CharWidth(u' '));
  EXPECT_FALSE(data.CharMap()[0].Used);
  EXPECT_EQ(data.CharToGlyph(u'\u0416'), 3);
  EXPECT_TRUE(data.CharMap()[0].Used);
  // Lookup by glyph: the first entry showing it, or position 0.
  EXPECT_EQ(data.FindGlyph(3 + 'B' - 32).Char, u'B');
  EXPECT_EQ(data.FindGlyph(999).Char, u' ');
}

TEST(TTFData, WidthRules) {
  // Advance 1229 at 2048 units per em is 600.
  fixture::Font f;
  f.unitsPerEm = 2048;
  f.segments = {{0x41, 0x43, -64}};  // A B C -> 1 2 3
  f.glyphs = {"", "", "", ""};
  f.metrics = {{500, 0}, {1229, 0}, {2048, 0}};  // glyph 3 takes the last long metric
  f.extraLsb = {0};
  TTTFData proportional("Fixture", true, 0, false, f.Source());
  EXPECT_EQ(proportional.CharWidth(u'A'), 600);
  EXPECT_EQ(proportional.CharWidth(u'B'), 1000);
  EXPECT_EQ(proportional.CharWidth(u'C'), 1000);
  TTTFData fixed("Fixture", true, 0, true, f.Source());
  for (char16_t c : {u'A', u'B', u'C'}) EXPECT_EQ(fixed.CharWidth(c), 244);  // first metric
}

TEST(TTFData, RangeOffsetsIndexTheGlyphArrayAndAddTheDelta) {
  fixture::Font f;
  // Segment 0 uses the array; its offset counts from its own offset word:
  // 2 segments -> offset 4 reaches array[0].
  f.segments = {{0x61, 0x63, 5, 4}};
  f.glyphIdArray = {10, 0, 12};
  f.glyphs.assign(20, "");
  f.metrics = {{100, 0}};
  f.extraLsb.assign(19, 0);
  TTTFData data("Fixture", true, 0, false, f.Source());
  ASSERT_EQ(data.CharMap().size(), 3u);
  EXPECT_EQ(data.CharMap()[0].Glyph, 15);
  EXPECT_EQ(data.CharMap()[1].Glyph, 5);  // the delta is added to a zero entry too
  EXPECT_EQ(data.CharMap()[2].Glyph, 17);
}

TEST(TTFData, WidthArrayAndToUnicodeText) {
  auto f = AsciiFont();
  TTTFData data("Fixture", true, 0, false, f.Source());
  EXPECT_EQ(data.GetWidthArray(), "[]");
  data.CharToGlyph(u'B');
  data.CharToGlyph(u' ');
  data.CharToGlyph(u'B');
  std::string w1 = std::to_string(data.CharWidth(u' ')), w2 = std::to_string(data.CharWidth(u'B'));
  EXPECT_EQ(data.GetWidthArray(), "[3[" + w1 + "]37[" + w2 + "]]");
  std::string cmap;
  data.WriteToUnicodeCMap("TT1", cmap);
  EXPECT_EQ(cmap,
            "/CIDInit /ProcSet findresource begin 12 dict begin begincmap /CIDSystemInfo << \r"
            "/Registry (TT1+0) /Ordering (T42UV) /Supplement 0 >> def\r"
            "/CMapName /TT1+0 def\r"
            "/CMapType 2 def\r"
            "1 begincodespacerange <0003> <0025> endcodespacerange\r"
            "2 beginbfchar\r"
            "<0003> <0020>\r"
            "<0025> <0042>\r"
            "endbfchar\r"
            "endcmap CMapName currentdict /CMap defineresource pop end end");
}

TEST(TTFData, ToUnicodeBlocksOfAHundred) {
  fixture::Font f;
  f.segments = {{0x100, 0x1FF, -0xF0}};
  f.glyphs.assign(0x110, "");
  f.metrics = {{100, 0}};
  f.extraLsb.assign(0x10F, 0);
  struct Case {
    int used;
    std::vector<std::string> blocks;
  } cases[] = {{100, {"100 beginbfchar"}},
               {101, {"100 beginbfchar", "1 beginbfchar"}},
               {250, {"100 beginbfchar", "100 beginbfchar", "50 beginbfchar"}}};
  for (const auto& c : cases) {
    TTTFData data("Fixture", true, 0, false, f.Source());
    for (int i = 0; i < c.used; ++i) data.CharToGlyph(static_cast<char16_t>(0x100 + i));
    std::string cmap;
    data.WriteToUnicodeCMap("TT2", cmap);
    std::vector<std::string> blocks;
    for (size_t at = cmap.find("beginbfchar"); at != std::string::npos;
         at = cmap.find("beginbfchar", at + 1)) {
      size_t start = cmap.rfind('\r', at) + 1;
      blocks.push_back(cmap.substr(start, at + 11 - start));
    }
    EXPECT_EQ(blocks, c.blocks) << c.used;
  }
}

TEST(TTFData, SubsetKeepsEveryGlyphSlotInTheFixedLayout) {
  auto f = AsciiFont();
  // Glyph 97 is a composite of 'A' (36) and glyph 96, which is a composite
  // of 'z' (93): both levels of components come in.
  f.glyphs[96] = fixture::CompositeGlyph({93});
  f.glyphs[97] = fixture::CompositeGlyph({36, 96});
  f.segments.push_back({0xE9, 0xE9, static_cast<int16_t>(97 - 0xE9)});
  TTTFData data("Fixture", true, 0, false, f.Source());
  data.CharToGlyph(u'\u00E9');
  data.CharToGlyph(u'B');
  std::string program;
  data.WriteSubsetFont(program);

  EXPECT_EQ(fixture::TableOrder(program),
            (std::vector<std::string>{"hhea", "loca", "cmap", "head", "maxp", "cvt ", "prep",
                                      "glyf", "hmtx", "fpgm"}));
  EXPECT_EQ(ReadU32(program, 0), 0x00010000u);
  EXPECT_EQ(ReadU16(program, 4), 10);
  EXPECT_EQ(ReadU16(program, 6), 128);
  EXPECT_EQ(ReadU16(program, 8), 3);
  EXPECT_EQ(ReadU16(program, 10), 32);
  EXPECT_EQ(ReadU32(program, 12 + 8), 172u);  // first table right after the records
  for (int i = 0; i < 10; ++i) {
    size_t r = 12 + 16 * i;
    uint32_t offset = ReadU32(program, r + 8), length = ReadU32(program, r + 12);
    EXPECT_EQ(offset % 4, 0u);
    EXPECT_EQ(ReadU32(program, r + 4),
              TableChecksum(std::string_view(program).substr(offset, length)));
  }
  auto tables = fixture::ReadTables(program);
  auto source = f.Tables();
  for (const char* same : {"cmap", "hmtx", "maxp", "head", "hhea", "cvt ", "fpgm", "prep"})
    EXPECT_EQ(tables[Tag(same)], source[Tag(same)]) << same;
  auto glyphs = SplitGlyphs(tables[Tag("loca")], tables[Tag("glyf")], 98, false);
  ASSERT_EQ(tables[Tag("loca")].size(), 99u * 2);
  for (int g = 0; g < 98; ++g) {
    bool kept = g == 97 || g == 96 || g == 93 || g == 36 || g == 3 + 'B' - 32;
    EXPECT_EQ(glyphs[g], kept ? f.glyphs[g] : "") << g;
  }
}

TEST(TTFData, OneCharacterBringsTheQuotationMarkAndPositionTwo) {
  auto f = AsciiFont();
  TTTFData data("Fixture", true, 0, false, f.Source());
  data.CharToGlyph(u'x');
  std::string program;
  data.WriteSubsetFont(program);
  EXPECT_EQ(data.CharMap()[1].Char, 0x22);
  EXPECT_TRUE(data.CharMap()[1].Used);
  EXPECT_TRUE(data.CharMap()[2].Used);
  auto tables = fixture::ReadTables(program);
  auto glyphs = SplitGlyphs(tables[Tag("loca")], tables[Tag("glyf")], 98, false);
  int kept = 0;
  for (const auto& g : glyphs) kept += !g.empty();
  EXPECT_EQ(kept, 2);  // x and the quotation mark (also the glyph at position 2)
  EXPECT_FALSE(glyphs[3 + 'x' - 32].empty());
  EXPECT_FALSE(glyphs[3 + '"' - 32].empty());
}

TEST(TTFData, TheOneCharacterOnThePageKeepsItsGlyph) {
  // Renaming position 1 when it is the character shown would drop its glyph.
  auto f = AsciiFont();
  TTTFData data("Fixture", true, 0, false, f.Source());
  data.CharToGlyph(u'!');
  std::string program;
  data.WriteSubsetFont(program);
  EXPECT_EQ(data.CharMap()[1].Char, u'!');
  auto tables = fixture::ReadTables(program);
  auto glyphs = SplitGlyphs(tables[Tag("loca")], tables[Tag("glyf")], 98, false);
  EXPECT_FALSE(glyphs[3 + '!' - 32].empty());
  EXPECT_FALSE(glyphs[3 + '"' - 32].empty());
}

TEST(TTFData, FontsWithoutHintingTablesStillEmbed) {
  auto f = AsciiFont();
  f.withCvt = f.withFpgm = f.withPrep = false;
  TTTFData data("Fixture", true, 0, false, f.Source());
  data.CharToGlyph(u'A');
  data.CharToGlyph(u'B');
  std::string program;
  data.WriteSubsetFont(program);
  EXPECT_EQ(fixture::TableOrder(program),
            (std::vector<std::string>{"hhea", "loca", "cmap", "head", "maxp", "glyf", "hmtx"}));
  EXPECT_EQ(ReadU16(program, 10), 7 * 16 - 64);
}

TEST(TTFData, BrokenFontsAreRefusedWithoutReadingPastTables) {
  auto good = AsciiFont();
  auto without = [&](const char* tag) {
    auto t = std::make_shared<std::map<uint32_t, std::string>>(good.Tables());
    t->erase(Tag(tag));
    return TTableSource([t](uint32_t k, std::string& d) {
      auto it = t->find(k);
      if (it == t->end()) return false;
      d = it->second;
      return true;
    });
  };
  auto with = [&](const char* tag, std::string data) {
    auto t = std::make_shared<std::map<uint32_t, std::string>>(good.Tables());
    (*t)[Tag(tag)] = std::move(data);
    return TTableSource([t](uint32_t k, std::string& d) {
      auto it = t->find(k);
      if (it == t->end()) return false;
      d = it->second;
      return true;
    });
  };
  std::string cmap = good.Tables()[Tag("cmap")];
  std::string badOffset = cmap;
  PutU16(badOffset, 8, 0x0FFF);  // encoding record offset far outside
  std::string format6 = cmap;
  PutU16(format6, 12, 6);
  std::string macOnly = cmap;
  PutU16(macOnly, 4, 1);
  std::string truncated = cmap.substr(0, 30);
  fixture::Font empty;
  empty.glyphs = {""};
  empty.metrics = {{100, 0}};
  struct Case {
    const char* name;
    TTableSource source;
    std::string message;
  } cases[] = {
      {"no cmap", without("cmap"), "Cannot recieve data from font"},
      {"no hhea", without("hhea"), "Cannot recieve data from font"},
      {"cmap offset outside", with("cmap", badOffset), "Offset Error"},
      {"format 6", with("cmap", format6), "Incorrect or unknown font format"},
      {"no Windows subtable", with("cmap", macOnly), "Incorrect or unknown font format"},
      {"truncated subtable", with("cmap", truncated), "Incorrect or unknown font format"},
      {"short head", with("head", std::string(20, '\0')), "Incorrect or unknown font format"},
      {"short hmtx", with("hmtx", std::string(6, '\0')), "Incorrect or unknown font format"},
      {"empty char map", empty.Source(), "Incorrect or unknown font format"},
  };
  for (auto& c : cases)
    EXPECT_EQ(ExpectError([&] { TTTFData("Fixture", true, 0, false, c.source); }), c.message)
        << c.name;
  // The glyph tables are read only for the subset.
  TTTFData noGlyf("Fixture", true, 0, false, without("glyf"));
  noGlyf.CharToGlyph(u'A');
  std::string out;
  EXPECT_EQ(ExpectError([&] { noGlyf.WriteSubsetFont(out); }), "Cannot recieve data from font");
}

// The installed DejaVu Sans: the subset loads in FreeType and fontTools and
// every used glyph keeps its outline.
TEST(TTFData, InstalledFontSubsetIsAValidProgram) {
  TTTFData data("DejaVu Sans", true, 0);
  const std::u16string text =
      u"Hello, \u041F\u0440\u0438\u0432\u0435\u0442 \u03A9 \u00E9\u00C5\u1EA0";
  for (char16_t c : text) data.CharToGlyph(c);
  std::string program;
  data.WriteSubsetFont(program);
  auto subset = platform::TFontProgram::Load(program);
  ASSERT_TRUE(subset);
  auto font = platform::TFont::Create({"DejaVu Sans", -1000, 0, 400, false, 0});
  auto source = platform::TFontProgram::Load(font->FontFile());
  EXPECT_EQ(subset->NumGlyphs(), source->NumGlyphs());
  for (char16_t c : text) {
    uint16_t g = source->GlyphOfChar(c);
    ASSERT_NE(g, 0) << int(c);
    EXPECT_EQ(subset->GlyphOfChar(c), g);
    EXPECT_EQ(subset->Outline(g), source->Outline(g)) << int(c);
  }
  auto dir = testing_support::FreshDir("ttf_subset");
  testing_support::WriteFile(dir / "subset.ttf", program);
  auto list = testing_support::Run("/usr/bin/python3 -m fontTools.ttx -l " +
                                   testing_support::Quote((dir / "subset.ttf").string()));
  EXPECT_EQ(list.exit_code, 0) << list.err;
  auto dump = testing_support::Run("/usr/bin/python3 -m fontTools.ttx -q -o " +
                                   testing_support::Quote((dir / "subset.ttx").string()) + " " +
                                   testing_support::Quote((dir / "subset.ttf").string()));
  EXPECT_EQ(dump.exit_code, 0) << dump.err;
  EXPECT_EQ(dump.err, "");
}

}  // namespace

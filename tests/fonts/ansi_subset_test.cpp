#include "quillora/fonts/ansi_subset.h"

#include <gtest/gtest.h>

#include "font_fixture.h"
#include "quillora/platform/font_system.h"
#include "support/pdf_tools.h"

using namespace quillora;
using namespace quillora::truetype;

namespace {

// Printable ASCII with space at glyph 3 ('A' is 36, 'B' 37), plus é (U+00E9)
// as a composite of 'e' (72) and an accent at glyph 98.
fixture::Font LatinFont() {
  fixture::Font f;
  f.unitsPerEm = 2048;
  f.segments = {{0x20, 0x7E, -29}, {0xE9, 0xE9, static_cast<int16_t>(99 - 0xE9)}};
  for (int g = 0; g < 100; ++g) f.glyphs.push_back(g < 4 ? "" : fixture::SimpleGlyph(12 + g % 3));
  f.glyphs[99] = fixture::CompositeGlyph({72, 98});
  for (int g = 0; g < 100; ++g)
    f.metrics.push_back({static_cast<uint16_t>(1000 + g), static_cast<int16_t>(g)});
  return f;
}

std::string Build(const fixture::Font& f, std::vector<uint16_t> chars) {
  std::string out;
  TAnsiFontSubset subset("Fixture", 0, f.Source());
  subset.Build(out, static_cast<int>(chars.size()), chars.data());
  return out;
}

struct Cmap {
  std::vector<uint8_t> format0;
  std::vector<uint16_t> ends, starts, deltas;
  uint16_t Map(uint16_t c) const {
    for (size_t i = 0; i < ends.size(); ++i)
      if (c >= starts[i] && c <= ends[i]) return static_cast<uint16_t>(c + deltas[i]);
    return 0;
  }
};

Cmap ParseOurCmap(const std::string& t) {
  Cmap m;
  EXPECT_EQ(ReadU16(t, 2), 2);
  EXPECT_EQ(ReadU32(t, 8), 20u);
  EXPECT_EQ(ReadU32(t, 16), 282u);
  for (int i = 0; i < 256; ++i) m.format0.push_back(static_cast<uint8_t>(t[26 + i]));
  std::string_view f4 = std::string_view(t).substr(282);
  size_t n = ReadU16(f4, 6) / 2;
  for (size_t i = 0; i < n; ++i) {
    m.ends.push_back(ReadU16(f4, 14 + 2 * i));
    m.starts.push_back(ReadU16(f4, 16 + 2 * n + 2 * i));
    m.deltas.push_back(ReadU16(f4, 16 + 4 * n + 2 * i));
  }
  EXPECT_EQ(ReadU16(f4, 2), f4.size());
  return m;
}

TEST(AnsiSubset, TwoLettersGiveFiveGlyphs) {
  auto f = LatinFont();
  std::string program = Build(f, {'A', 'B'});
  EXPECT_EQ(fixture::TableOrder(program),
            (std::vector<std::string>{"cmap", "cvt ", "fpgm", "glyf", "head", "hhea", "hmtx",
                                      "loca", "maxp", "name", "post", "prep"}));
  EXPECT_EQ(ReadU16(program, 6), 128);
  EXPECT_EQ(ReadU16(program, 8), 3);
  EXPECT_EQ(ReadU16(program, 10), 64);
  auto t = fixture::ReadTables(program);
  EXPECT_EQ(ReadU16(t[Tag("maxp")], 4), 5);
  EXPECT_EQ(ReadU16(t[Tag("maxp")], 14), 7);  // the rest of maxp as read
  EXPECT_EQ(ReadU16(t[Tag("hhea")], 34), 5);
  EXPECT_EQ(ReadU16(t[Tag("head")], 50), 0);
  // loca: N + 1 short entries, three empty glyphs, then A and B.
  std::string& loca = t[Tag("loca")];
  ASSERT_EQ(loca.size(), 6u * 2);
  std::vector<uint16_t> entries;
  for (int i = 0; i < 6; ++i) entries.push_back(ReadU16(loca, 2 * i));
  size_t a = f.glyphs[36].size() + f.glyphs[36].size() % 2;
  size_t b = f.glyphs[37].size() + f.glyphs[37].size() % 2;
  EXPECT_EQ(entries, (std::vector<uint16_t>{0, 0, 0, 0, uint16_t(a / 2), uint16_t((a + b) / 2)}));
  // Odd glyphs are padded to an even length so short offsets stay exact.
  EXPECT_EQ(t[Tag("glyf")].substr(0, f.glyphs[36].size()), f.glyphs[36]);
  EXPECT_EQ(t[Tag("glyf")].size(), a + b);

  Cmap m = ParseOurCmap(t[Tag("cmap")]);
  EXPECT_EQ(m.format0[65], 3);
  EXPECT_EQ(m.format0[66], 4);
  EXPECT_EQ(m.format0[32], 2);
  EXPECT_EQ(m.format0[67], 0);
  EXPECT_EQ(m.Map(65), 3);
  EXPECT_EQ(m.Map(66), 4);
  EXPECT_EQ(m.Map(32), 2);
  // Space segment, one segment for A-B (consecutive source glyphs), terminator.
  EXPECT_EQ(m.starts, (std::vector<uint16_t>{32, 65, 0xFFFF}));
  EXPECT_EQ(m.ends, (std::vector<uint16_t>{32, 66, 0xFFFF}));

  // hmtx: (0,0), (0,0), the space glyph's metric, then A and B as read.
  std::string& hmtx = t[Tag("hmtx")];
  ASSERT_EQ(hmtx.size(), 5u * 4);
  EXPECT_EQ(ReadU16(hmtx, 8), 1003);
  EXPECT_EQ(ReadU16(hmtx, 12), 1036);
  EXPECT_EQ(ReadS16(hmtx, 14), 36);
  EXPECT_EQ(ReadU16(hmtx, 16), 1037);
}

TEST(AnsiSubset, FixedNameAndPostTables) {
  auto t = fixture::ReadTables(Build(LatinFont(), {'A', 'B'}));
  const std::string& name = t[Tag("name")];
  ASSERT_EQ(name.size(), 260u);
  EXPECT_EQ(ReadU16(name, 2), 10);
  EXPECT_EQ(ReadU16(name, 4), 126);
  // Fifth record: Macintosh unique ID in a field of 31 bytes.
  EXPECT_EQ(ReadU16(name, 6 + 4 * 12 + 6), 3);
  EXPECT_EQ(ReadU16(name, 6 + 4 * 12 + 8), 31);
  EXPECT_EQ(name.substr(126, 5), "Arial");
  EXPECT_EQ(name.substr(126 + 24, 15), "Quillora: Arial");
  EXPECT_EQ(name.substr(126 + 55, 10), std::string("\0A\0r\0i\0a\0l", 10));
  EXPECT_EQ(name.substr(259), std::string(1, '\0'));
  const std::string& post = t[Tag("post")];
  ASSERT_EQ(post.size(), 52u);
  EXPECT_EQ(ReadU32(post, 0), 0x00020000u);
  EXPECT_EQ(ReadS16(post, 8), -217);
  EXPECT_EQ(ReadU16(post, 10), 150);
  EXPECT_EQ(ReadU16(post, 32), 4);
  EXPECT_EQ(ReadU16(post, 38), 258);
  EXPECT_EQ(post.substr(42),
            "\x09"
            "afii10065");
}

TEST(AnsiSubset, OneCharacterComesWithTheQuotationMark) {
  auto f = LatinFont();
  struct Case {
    uint16_t c;
    std::vector<uint16_t> newGlyphOf;  // characters in new glyph order
  } cases[] = {{'x', {'"', 'x'}}, {'!', {'!', '"'}}, {0x4E2D, {'"'}}};
  for (const auto& c : cases) {
    auto t = fixture::ReadTables(Build(f, {c.c}));
    Cmap m = ParseOurCmap(t[Tag("cmap")]);
    EXPECT_EQ(ReadU16(t[Tag("maxp")], 4), 3 + c.newGlyphOf.size()) << c.c;
    for (size_t k = 0; k < c.newGlyphOf.size(); ++k)
      EXPECT_EQ(m.format0[c.newGlyphOf[k]], 3 + k) << c.c;
  }
}

TEST(AnsiSubset, CompositesBringAndRenumberTheirComponents) {
  auto f = LatinFont();
  auto t = fixture::ReadTables(Build(f, {'B', 0xE9}));
  // Used source glyphs in order: 37 (B), 72 (e), 98 (accent), 99 (é).
  EXPECT_EQ(ReadU16(t[Tag("maxp")], 4), 7);
  auto glyphs = SplitGlyphs(t[Tag("loca")], t[Tag("glyf")], 7, false);
  EXPECT_EQ(glyphs[4].substr(0, f.glyphs[72].size()), f.glyphs[72]);
  std::vector<uint16_t> components;
  ForEachComponent(glyphs[6], [&](size_t at) { components.push_back(ReadU16(glyphs[6], at)); });
  EXPECT_EQ(components, (std::vector<uint16_t>{4, 5}));
  Cmap m = ParseOurCmap(t[Tag("cmap")]);
  EXPECT_EQ(m.format0[0xE9], 6);
  EXPECT_EQ(m.format0['e'], 4);  // the component's own character keeps a code
  EXPECT_EQ(m.Map(0xE9), 6);
  EXPECT_EQ(m.Map('B'), 3);
}

TEST(AnsiSubset, WithoutPrepElevenTables) {
  auto f = LatinFont();
  f.withPrep = false;
  std::string program = Build(f, {'A'});
  EXPECT_EQ(ReadU16(program, 4), 11);
  EXPECT_EQ(ReadU16(program, 10), 48);
  auto order = fixture::TableOrder(program);
  EXPECT_EQ(std::count(order.begin(), order.end(), "prep"), 0);
}

TEST(AnsiSubset, LargeGlyphDataSwitchesToLongOffsets) {
  fixture::Font f;
  f.segments = {{0x41, 0x43, -61}};  // A B C -> 4 5 6
  f.glyphs = {"",
              "",
              "",
              "",
              fixture::SimpleGlyph(50001),
              fixture::SimpleGlyph(50000),
              fixture::SimpleGlyph(40000)};
  f.longLoca = true;
  f.metrics = {{500, 0}};
  f.extraLsb.assign(6, 0);
  auto t = fixture::ReadTables(Build(f, {'A', 'B', 'C'}));
  EXPECT_EQ(ReadU16(t[Tag("head")], 50), 1);
  const std::string& loca = t[Tag("loca")];
  ASSERT_EQ(loca.size(), 7u * 4);
  EXPECT_EQ(ReadU32(loca, 16), 50002u);  // padded to even
  EXPECT_EQ(ReadU32(loca, 24), 140002u);
  EXPECT_EQ(t[Tag("glyf")].size(), 140002u);
}

TEST(AnsiSubset, NothingForNoCharacters) {
  std::string out = "x";
  BuildAnsiSubset("DejaVu Sans", 0, out, 0, nullptr);
  EXPECT_EQ(out, "x");
}

// The installed fonts: every used glyph renders the same outline as in the
// source, and the program passes FreeType and fontTools.
TEST(AnsiSubset, InstalledFontsGiveValidPrograms) {
  struct Case {
    const char* face;
    int style;
  } cases[] = {{"DejaVu Sans", 0}, {"Liberation Serif", 3}, {"Liberation Sans", 2}};
  const std::u16string text = u"AZaz09.,;!?\u00E9\u00C5\u00FC\u20AC\u2014\u00DF\u0152";
  std::vector<uint16_t> chars(text.begin(), text.end());
  std::sort(chars.begin(), chars.end());
  for (const auto& c : cases) {
    std::string program;
    BuildAnsiSubset(c.face, c.style, program, static_cast<int>(chars.size()), chars.data());
    auto subset = platform::TFontProgram::Load(program);
    ASSERT_TRUE(subset) << c.face;
    auto font =
        platform::TFont::Create({c.face, -1000, 0, c.style & 1 ? 700 : 400, (c.style & 2) != 0, 0});
    auto source = platform::TFontProgram::Load(font->FontFile());
    auto t = fixture::ReadTables(program);
    Cmap m = ParseOurCmap(t[Tag("cmap")]);
    for (char16_t ch : text) {
      uint8_t code = static_cast<uint8_t>(ch < 0x100 ? ch : 0);
      if (ch == 0x20AC) code = 0x80;
      if (ch == 0x2014) code = 0x97;
      if (ch == 0x0152) code = 0x8C;
      uint16_t g = m.format0[code];
      ASSERT_GE(g, 3) << c.face << " " << int(ch);
      EXPECT_EQ(subset->GlyphOfChar(ch), g) << c.face << " " << int(ch);
      EXPECT_EQ(subset->Outline(g), source->Outline(source->GlyphOfChar(ch)))
          << c.face << " " << int(ch);
      EXPECT_EQ(subset->AdvanceUnits(g), source->AdvanceUnits(source->GlyphOfChar(ch)));
    }
    auto dir = testing_support::FreshDir("ansi_subset");
    testing_support::WriteFile(dir / "subset.ttf", program);
    auto dump = testing_support::Run("/usr/bin/python3 -m fontTools.ttx -q -o " +
                                     testing_support::Quote((dir / "subset.ttx").string()) + " " +
                                     testing_support::Quote((dir / "subset.ttf").string()));
    EXPECT_EQ(dump.exit_code, 0) << dump.err;
    EXPECT_EQ(dump.err, "") << c.face;
  }
}

}  // namespace

#include "font_fixture.h"

#include <memory>

using namespace quillora::truetype;

namespace fixture {

std::string SimpleGlyph(size_t size, uint8_t fill) {
  std::string g;
  WriteU16(g, 1);
  for (int i = 0; i < 4; ++i) WriteU16(g, 0);
  while (g.size() < size) g.push_back(static_cast<char>(fill));
  g.resize(size);
  return g;
}

std::string CompositeGlyph(const std::vector<uint16_t>& components) {
  std::string g;
  WriteU16(g, 0xFFFF);
  for (int i = 0; i < 4; ++i) WriteU16(g, 0);
  for (size_t i = 0; i < components.size(); ++i) {
    // Word arguments, then a 2x2 matrix on the second component, to walk
    // every record shape.
    uint16_t flags = 0x0001 | (i + 1 < components.size() ? 0x0020 : 0) | (i == 1 ? 0x0080 : 0);
    WriteU16(g, flags);
    WriteU16(g, components[i]);
    WriteU16(g, 10);
    WriteU16(g, 20);
    if (i == 1)
      for (int k = 0; k < 4; ++k) WriteU16(g, 0x4000);
  }
  return g;
}

std::map<uint32_t, std::string> Font::Tables() const {
  std::map<uint32_t, std::string> t;
  // cmap: one Windows Unicode format 4 subtable.
  std::vector<Segment> segs = segments;
  segs.push_back({0xFFFF, 0xFFFF, 1, 0});
  std::string sub;
  uint16_t segCount = static_cast<uint16_t>(segs.size());
  WriteU16(sub, 4);
  WriteU16(sub, static_cast<uint16_t>(16 + 8 * segCount + 2 * glyphIdArray.size()));
  WriteU16(sub, 0);
  WriteU16(sub, segCount * 2);
  WriteU16(sub, 0);
  WriteU16(sub, 0);
  WriteU16(sub, 0);
  for (auto& s : segs) WriteU16(sub, s.end);
  WriteU16(sub, 0);
  for (auto& s : segs) WriteU16(sub, s.start);
  for (auto& s : segs) WriteU16(sub, static_cast<uint16_t>(s.delta));
  for (auto& s : segs) WriteU16(sub, s.rangeOffset);
  for (auto g : glyphIdArray) WriteU16(sub, g);
  std::string cmap;
  WriteU16(cmap, 0);
  WriteU16(cmap, 1);
  WriteU16(cmap, 3);
  WriteU16(cmap, 1);
  WriteU32(cmap, 12);
  cmap += sub;
  t[Tag("cmap")] = cmap;

  std::string hmtx;
  for (auto [a, l] : metrics) {
    WriteU16(hmtx, a);
    WriteU16(hmtx, static_cast<uint16_t>(l));
  }
  for (auto l : extraLsb) WriteU16(hmtx, static_cast<uint16_t>(l));
  t[Tag("hmtx")] = hmtx;

  std::string maxp(32, '\0');
  maxp[1] = 1;  // version 1.0
  PutU16(maxp, 4, static_cast<uint16_t>(glyphs.size()));
  PutU16(maxp, 14, 7);  // a field that must survive unchanged
  t[Tag("maxp")] = maxp;

  std::string head(54, '\0');
  head[1] = 1;
  PutU16(head, 18, unitsPerEm);
  PutU16(head, 50, longLoca ? 1 : 0);
  t[Tag("head")] = head;

  std::string hhea(36, '\0');
  hhea[1] = 1;
  PutU16(hhea, 34, static_cast<uint16_t>(metrics.size()));
  t[Tag("hhea")] = hhea;

  std::string glyf, loca;
  auto entry = [&](size_t v) {
    if (longLoca)
      WriteU32(loca, static_cast<uint32_t>(v));
    else
      WriteU16(loca, static_cast<uint16_t>(v / 2));
  };
  for (const auto& g : glyphs) {
    entry(glyf.size());
    glyf += g;
    if (!longLoca && glyf.size() % 2) glyf.push_back('\0');  // short offsets count words
  }
  entry(glyf.size());
  t[Tag("glyf")] = glyf;
  t[Tag("loca")] = loca;
  if (withCvt) t[Tag("cvt ")] = std::string("\0\1\0\2", 4);
  if (withFpgm) t[Tag("fpgm")] = std::string("\xB0\x01\x2C", 3);
  if (withPrep) t[Tag("prep")] = std::string("\xB8\x01\xFF\x85", 4);
  t[Tag("name")] = std::string(6, '\0');
  t[Tag("post")] = std::string(32, '\0');
  return t;
}

TTableSource Font::Source() const {
  auto tables = std::make_shared<std::map<uint32_t, std::string>>(Tables());
  return [tables](uint32_t tag, std::string& data) {
    auto it = tables->find(tag);
    if (it == tables->end()) return false;
    data = it->second;
    return true;
  };
}

std::map<uint32_t, std::string> ReadTables(const std::string& file) {
  std::map<uint32_t, std::string> t;
  uint16_t n = ReadU16(file, 4);
  for (uint16_t i = 0; i < n; ++i) {
    size_t r = 12 + 16 * size_t(i);
    t[ReadU32(file, r)] = file.substr(ReadU32(file, r + 8), ReadU32(file, r + 12));
  }
  return t;
}

std::vector<std::string> TableOrder(const std::string& file) {
  std::vector<std::string> tags;
  uint16_t n = ReadU16(file, 4);
  for (uint16_t i = 0; i < n; ++i) tags.push_back(file.substr(12 + 16 * size_t(i), 4));
  return tags;
}

}  // namespace fixture

#include "quillora/fonts/truetype.h"

#include <map>
#include <memory>

#include "quillora/core/exception.h"

namespace quillora::truetype {

void FormatError() {
  throw Exception("Incorrect or unknown font format");
}

uint16_t ReadU16(std::string_view Data, size_t Offset) {
  if (Offset > Data.size() || Data.size() - Offset < 2) FormatError();
  return static_cast<uint16_t>((static_cast<uint8_t>(Data[Offset]) << 8) |
                               static_cast<uint8_t>(Data[Offset + 1]));
}

int16_t ReadS16(std::string_view Data, size_t Offset) {
  return static_cast<int16_t>(ReadU16(Data, Offset));
}

uint32_t ReadU32(std::string_view Data, size_t Offset) {
  return (static_cast<uint32_t>(ReadU16(Data, Offset)) << 16) | ReadU16(Data, Offset + 2);
}

void WriteU16(std::string& Out, uint16_t Value) {
  Out.push_back(static_cast<char>(Value >> 8));
  Out.push_back(static_cast<char>(Value & 0xFF));
}

void WriteU32(std::string& Out, uint32_t Value) {
  WriteU16(Out, static_cast<uint16_t>(Value >> 16));
  WriteU16(Out, static_cast<uint16_t>(Value & 0xFFFF));
}

void PutU16(std::string& Data, size_t Offset, uint16_t Value) {
  if (Offset > Data.size() || Data.size() - Offset < 2) FormatError();
  Data[Offset] = static_cast<char>(Value >> 8);
  Data[Offset + 1] = static_cast<char>(Value & 0xFF);
}

uint32_t TableChecksum(std::string_view Data) {
  uint32_t sum = 0;
  size_t i = 0;
  for (; i + 4 <= Data.size(); i += 4) sum += ReadU32(Data, i);
  if (i < Data.size()) {
    uint32_t last = 0;
    for (size_t k = 0; k < 4; ++k)
      last = (last << 8) | (i + k < Data.size() ? static_cast<uint8_t>(Data[i + k]) : 0);
    sum += last;
  }
  return sum;
}

TTableSource TableSourceFromFile(std::string FontFile) {
  auto file = std::make_shared<const std::string>(std::move(FontFile));
  std::string_view data(*file);
  uint32_t version = ReadU32(data, 0);
  if (version != 0x00010000 && version != Tag("true")) FormatError();
  uint16_t numTables = ReadU16(data, 4);
  auto directory = std::make_shared<std::map<uint32_t, std::string_view>>();
  for (uint16_t i = 0; i < numTables; ++i) {
    size_t record = 12 + 16 * static_cast<size_t>(i);
    uint32_t tag = ReadU32(data, record);
    uint32_t offset = ReadU32(data, record + 8);
    uint32_t length = ReadU32(data, record + 12);
    if (offset > data.size() || data.size() - offset < length) FormatError();
    directory->emplace(tag, data.substr(offset, length));
  }
  return [file, directory](uint32_t tag, std::string& out) {
    auto it = directory->find(tag);
    if (it == directory->end()) return false;
    out.assign(it->second);
    return true;
  };
}

uint16_t TCMap4::GlyphInSegment(uint16_t C, size_t I) const {
  uint16_t s = StartCodes[I], e = EndCodes[I];
  if (C > e || C < s) return 0;
  uint16_t d = static_cast<uint16_t>(IdDeltas[I]);
  uint16_t r = IdRangeOffsets[I];
  if (r != 0) {
    // The offset counts from the segment's own range-offset word into the
    // glyph index array that follows the range offsets.
    int64_t index = r / 2 + static_cast<int64_t>(I) + (C - s) - static_cast<int64_t>(SegCount());
    if (index < 0 || index >= static_cast<int64_t>(GlyphIdArray.size())) return 0;
    return static_cast<uint16_t>(GlyphIdArray[index] + d);
  }
  return static_cast<uint16_t>(C + d);
}

uint16_t TCMap4::Lookup(uint16_t C) const {
  for (size_t i = 0; i < SegCount(); ++i)
    if (C >= StartCodes[i] && C <= EndCodes[i]) return GlyphInSegment(C, i);
  return 0;
}

bool TCMap4::Covers(uint16_t C) const {
  for (size_t i = 0; i < SegCount(); ++i)
    if (C >= StartCodes[i] && C <= EndCodes[i]) return true;
  return false;
}

TCMap4 ParseCMap4(std::string_view Cmap) {
  uint16_t numRecords = ReadU16(Cmap, 2);
  bool found = false;
  uint32_t offset = 0;
  for (uint16_t i = 0; i < numRecords; ++i) {
    size_t record = 4 + 8 * static_cast<size_t>(i);
    uint16_t platform = ReadU16(Cmap, record);
    uint16_t encoding = ReadU16(Cmap, record + 2);
    if (platform == 3 && (encoding == 1 || encoding == 0)) {
      offset = ReadU32(Cmap, record + 4);
      found = true;
      if (encoding == 1) break;
    }
  }
  if (!found) FormatError();
  if (offset >= Cmap.size()) throw Exception("Offset Error");
  std::string_view sub = Cmap.substr(offset);
  TCMap4 m;
  m.Format = ReadU16(sub, 0);
  if (m.Format != 4) FormatError();
  m.Length = ReadU16(sub, 2);
  m.Language = ReadU16(sub, 4);
  m.SegCountX2 = ReadU16(sub, 6);
  m.SearchRange = ReadU16(sub, 8);
  m.EntrySelector = ReadU16(sub, 10);
  m.RangeShift = ReadU16(sub, 12);
  size_t segCount = m.SegCountX2 / 2;
  size_t pos = 14;
  m.EndCodes.resize(segCount);
  for (auto& v : m.EndCodes) v = ReadU16(sub, (pos += 2) - 2);
  m.ReservedPad = ReadU16(sub, pos);
  pos += 2;
  m.StartCodes.resize(segCount);
  for (auto& v : m.StartCodes) v = ReadU16(sub, (pos += 2) - 2);
  m.IdDeltas.resize(segCount);
  for (auto& v : m.IdDeltas) v = ReadS16(sub, (pos += 2) - 2);
  m.IdRangeOffsets.resize(segCount);
  for (auto& v : m.IdRangeOffsets) v = ReadU16(sub, (pos += 2) - 2);
  // The glyph index array is the rest of the subtable, as far as the table
  // really holds it.
  int64_t words = static_cast<int64_t>(m.Length / 2) - static_cast<int64_t>(4 * segCount + 8);
  if (words > 0) {
    int64_t available = static_cast<int64_t>((sub.size() - std::min(sub.size(), pos)) / 2);
    words = std::min(words, available);
    m.GlyphIdArray.resize(static_cast<size_t>(words));
    for (auto& v : m.GlyphIdArray) v = ReadU16(sub, (pos += 2) - 2);
  }
  return m;
}

std::vector<std::string> SplitGlyphs(std::string_view Loca, std::string_view Glyf, int NumGlyphs,
                                     bool LongLoca) {
  std::vector<std::string> glyphs(static_cast<size_t>(std::max(NumGlyphs, 0)));
  auto entry = [&](int g) -> size_t {
    size_t v = LongLoca ? ReadU32(Loca, 4 * static_cast<size_t>(g))
                        : 2 * static_cast<size_t>(ReadU16(Loca, 2 * static_cast<size_t>(g)));
    return std::min(v, Glyf.size());
  };
  if (NumGlyphs <= 0) return glyphs;
  size_t start = entry(0);
  for (int g = 0; g < NumGlyphs; ++g) {
    size_t end = entry(g + 1);
    if (end > start) glyphs[g].assign(Glyf.substr(start, end - start));
    start = end;
  }
  return glyphs;
}

bool IsComposite(std::string_view Glyph) {
  return Glyph.size() >= 10 && ReadS16(Glyph, 0) < 0;
}

void ForEachComponent(std::string_view Glyph, const std::function<void(size_t)>& Visit) {
  if (!IsComposite(Glyph)) return;
  size_t pos = 10;
  while (pos + 4 <= Glyph.size()) {
    uint16_t flags = ReadU16(Glyph, pos);
    Visit(pos + 2);
    pos += 4;
    pos += (flags & 0x0001) ? 4 : 2;
    if (flags & 0x0008)
      pos += 2;
    else if (flags & 0x0040)
      pos += 4;
    else if (flags & 0x0080)
      pos += 8;
    if (!(flags & 0x0020)) break;
  }
}

void CloseComposites(const std::vector<std::string>& Glyphs, std::vector<bool>& Used) {
  std::vector<size_t> work;
  for (size_t g = 0; g < Glyphs.size(); ++g)
    if (Used[g] && IsComposite(Glyphs[g])) work.push_back(g);
  while (!work.empty()) {
    size_t g = work.back();
    work.pop_back();
    ForEachComponent(Glyphs[g], [&](size_t at) {
      size_t component = ReadU16(Glyphs[g], at);
      if (component < Glyphs.size() && !Used[component]) {
        Used[component] = true;
        if (IsComposite(Glyphs[component])) work.push_back(component);
      }
    });
  }
}

void WriteOffsetTable(std::string& Out, uint16_t NumTables) {
  uint16_t power = 1, log2 = 0;
  while (power * 2 <= NumTables) {
    power *= 2;
    ++log2;
  }
  WriteU32(Out, 0x00010000);
  WriteU16(Out, NumTables);
  WriteU16(Out, static_cast<uint16_t>(power * 16));
  WriteU16(Out, log2);
  WriteU16(Out, static_cast<uint16_t>(NumTables * 16 - power * 16));
}

void WriteTables(std::string& Out, const std::vector<TTableOut>& Tables) {
  size_t offset = 12 + 16 * Tables.size();
  for (const auto& t : Tables) {
    WriteU32(Out, t.Tag);
    WriteU32(Out, TableChecksum(t.Data));
    WriteU32(Out, static_cast<uint32_t>(offset));
    WriteU32(Out, static_cast<uint32_t>(t.Data.size()));
    offset += (t.Data.size() + 3) & ~size_t(3);
  }
  for (const auto& t : Tables) {
    Out.append(t.Data);
    Out.append((4 - t.Data.size() % 4) % 4, '\0');
  }
}

}  // namespace quillora::truetype

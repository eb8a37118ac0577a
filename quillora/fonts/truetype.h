// Reading and writing the pieces of TrueType font files that both subset
// builders share. Every read is checked against the bytes at hand: a table
// that is too short, or an offset that points outside it, raises
// "Incorrect or unknown font format" instead of reading past it. All
// multi-byte values are big-endian.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillora::truetype {

// Delivers one table of a font by its tag; false when the font has none.
using TTableSource = std::function<bool(uint32_t Tag, std::string& Data)>;

// The tables of a font file held in memory (the sfnt table directory is
// parsed and checked when the source is made).
TTableSource TableSourceFromFile(std::string FontFile);

constexpr uint32_t Tag(const char* s) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
         (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

[[noreturn]] void FormatError();

uint16_t ReadU16(std::string_view Data, size_t Offset);
int16_t ReadS16(std::string_view Data, size_t Offset);
uint32_t ReadU32(std::string_view Data, size_t Offset);
void WriteU16(std::string& Out, uint16_t Value);
void WriteU32(std::string& Out, uint32_t Value);
void PutU16(std::string& Data, size_t Offset, uint16_t Value);  // overwrite in place

// The TrueType table checksum: big-endian 32-bit words summed modulo 2^32, a
// final partial word padded with zero bytes.
uint32_t TableChecksum(std::string_view Data);

// A format 4 cmap subtable, parsed.
struct TCMap4 {
  uint16_t Format = 4;
  uint16_t Length = 0;
  uint16_t Language = 0;
  uint16_t SegCountX2 = 0;
  uint16_t SearchRange = 0;
  uint16_t EntrySelector = 0;
  uint16_t RangeShift = 0;
  std::vector<uint16_t> EndCodes;
  uint16_t ReservedPad = 0;
  std::vector<uint16_t> StartCodes;
  std::vector<int16_t> IdDeltas;
  std::vector<uint16_t> IdRangeOffsets;
  std::vector<uint16_t> GlyphIdArray;

  size_t SegCount() const { return EndCodes.size(); }
  // The glyph of character C in segment I (0 outside the segment).
  uint16_t GlyphInSegment(uint16_t C, size_t I) const;
  // The glyph of C through all segments (0 when no segment holds it).
  uint16_t Lookup(uint16_t C) const;
  // Whether some segment holds C.
  bool Covers(uint16_t C) const;
};

// Chooses the Windows Unicode (3/1) subtable, or else the Windows Symbol
// (3/0) one, and parses it. An encoding-record offset outside the table
// raises "Offset Error"; no Windows subtable, or one not in format 4, raises
// "Incorrect or unknown font format".
TCMap4 ParseCMap4(std::string_view Cmap);

// The glyph records of glyf, split by loca (32-bit entries when LongLoca,
// else 16-bit values times two). Offsets beyond glyf are clamped to its end
// and a decreasing entry gives an empty glyph, so no record reads outside.
std::vector<std::string> SplitGlyphs(std::string_view Loca, std::string_view Glyf, int NumGlyphs,
                                     bool LongLoca);

// Whether a glyph record is composite (its contour count is negative).
bool IsComposite(std::string_view Glyph);

// Calls Visit with the byte offset of each component's glyph index inside a
// composite glyph record, walking the component records as far as the data
// goes.
void ForEachComponent(std::string_view Glyph, const std::function<void(size_t)>& Visit);

// Marks the components of every used composite glyph used, and theirs in
// turn (a work list: no recursion, cycles end).
void CloseComposites(const std::vector<std::string>& Glyphs, std::vector<bool>& Used);

// The offset table of a font file: version 0x00010000 and the search fields
// computed from NumTables.
void WriteOffsetTable(std::string& Out, uint16_t NumTables);

struct TTableOut {
  uint32_t Tag;
  std::string Data;
};
// Table records, then the tables in the given order, each starting on a
// multiple of 4 and padded with zero bytes; lengths exclude the padding.
void WriteTables(std::string& Out, const std::vector<TTableOut>& Tables);

}  // namespace quillora::truetype

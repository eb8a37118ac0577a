// The enhanced metafile format: record type numbers, constants, record field
// offsets, and a bounds-checked little-endian reader for one record and for a
// whole metafile. Shared by the recorder (which writes these records) and the
// converter (which reads them).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "quillora/core/exception.h"

namespace quillora::emf {

// --- record types ------------------------------------------------------------
enum RecordType : uint32_t {
  EMR_HEADER = 1,
  EMR_POLYBEZIER = 2,
  EMR_POLYGON = 3,
  EMR_POLYLINE = 4,
  EMR_POLYBEZIERTO = 5,
  EMR_POLYLINETO = 6,
  EMR_POLYPOLYLINE = 7,
  EMR_POLYPOLYGON = 8,
  EMR_SETWINDOWEXTEX = 9,
  EMR_SETWINDOWORGEX = 10,
  EMR_SETVIEWPORTEXTEX = 11,
  EMR_SETVIEWPORTORGEX = 12,
  EMR_SETBRUSHORGEX = 13,
  EMR_EOF = 14,
  EMR_SETPIXELV = 15,
  EMR_SETMAPPERFLAGS = 16,
  EMR_SETMAPMODE = 17,
  EMR_SETBKMODE = 18,
  EMR_SETPOLYFILLMODE = 19,
  EMR_SETROP2 = 20,
  EMR_SETSTRETCHBLTMODE = 21,
  EMR_SETTEXTALIGN = 22,
  EMR_SETCOLORADJUSTMENT = 23,
  EMR_SETTEXTCOLOR = 24,
  EMR_SETBKCOLOR = 25,
  EMR_OFFSETCLIPRGN = 26,
  EMR_MOVETOEX = 27,
  EMR_SETMETARGN = 28,
  EMR_EXCLUDECLIPRECT = 29,
  EMR_INTERSECTCLIPRECT = 30,
  EMR_SCALEVIEWPORTEXTEX = 31,
  EMR_SCALEWINDOWEXTEX = 32,
  EMR_SAVEDC = 33,
  EMR_RESTOREDC = 34,
  EMR_SETWORLDTRANSFORM = 35,
  EMR_MODIFYWORLDTRANSFORM = 36,
  EMR_SELECTOBJECT = 37,
  EMR_CREATEPEN = 38,
  EMR_CREATEBRUSHINDIRECT = 39,
  EMR_DELETEOBJECT = 40,
  EMR_ANGLEARC = 41,
  EMR_ELLIPSE = 42,
  EMR_RECTANGLE = 43,
  EMR_ROUNDRECT = 44,
  EMR_ARC = 45,
  EMR_CHORD = 46,
  EMR_PIE = 47,
  EMR_SELECTPALETTE = 48,
  EMR_CREATEPALETTE = 49,
  EMR_SETPALETTEENTRIES = 50,
  EMR_RESIZEPALETTE = 51,
  EMR_REALIZEPALETTE = 52,
  EMR_EXTFLOODFILL = 53,
  EMR_LINETO = 54,
  EMR_ARCTO = 55,
  EMR_POLYDRAW = 56,
  EMR_SETARCDIRECTION = 57,
  EMR_SETMITERLIMIT = 58,
  EMR_BEGINPATH = 59,
  EMR_ENDPATH = 60,
  EMR_CLOSEFIGURE = 61,
  EMR_FILLPATH = 62,
  EMR_STROKEANDFILLPATH = 63,
  EMR_STROKEPATH = 64,
  EMR_FLATTENPATH = 65,
  EMR_WIDENPATH = 66,
  EMR_SELECTCLIPPATH = 67,
  EMR_ABORTPATH = 68,
  EMR_GDICOMMENT = 70,
  EMR_FILLRGN = 71,
  EMR_FRAMERGN = 72,
  EMR_INVERTRGN = 73,
  EMR_PAINTRGN = 74,
  EMR_EXTSELECTCLIPRGN = 75,
  EMR_BITBLT = 76,
  EMR_STRETCHBLT = 77,
  EMR_MASKBLT = 78,
  EMR_PLGBLT = 79,
  EMR_SETDIBITSTODEVICE = 80,
  EMR_STRETCHDIBITS = 81,
  EMR_EXTCREATEFONTINDIRECTW = 82,
  EMR_EXTTEXTOUTA = 83,
  EMR_EXTTEXTOUTW = 84,
  EMR_POLYBEZIER16 = 85,
  EMR_POLYGON16 = 86,
  EMR_POLYLINE16 = 87,
  EMR_POLYBEZIERTO16 = 88,
  EMR_POLYLINETO16 = 89,
  EMR_POLYPOLYLINE16 = 90,
  EMR_POLYPOLYGON16 = 91,
  EMR_POLYDRAW16 = 92,
  EMR_CREATEMONOBRUSH = 93,
  EMR_CREATEDIBPATTERNBRUSHPT = 94,
  EMR_EXTCREATEPEN = 95,
  EMR_POLYTEXTOUTA = 96,
  EMR_POLYTEXTOUTW = 97,
  EMR_SETICMMODE = 98,
  EMR_CREATECOLORSPACE = 99,
  EMR_SETCOLORSPACE = 100,
  EMR_DELETECOLORSPACE = 101,
  EMR_GLSRECORD = 102,
  EMR_GLSBOUNDEDRECORD = 103,
  EMR_PIXELFORMAT = 104,
  EMR_DRAWESCAPE = 105,
  EMR_EXTESCAPE = 106,
  EMR_STARTDOC = 107,
  EMR_SMALLTEXTOUT = 108,
  EMR_FORCEUFIMAPPING = 109,
  EMR_NAMEDESCAPE = 110,
  EMR_COLORCORRECTPALETTE = 111,
  EMR_SETICMPROFILEA = 112,
  EMR_SETICMPROFILEW = 113,
  EMR_ALPHABLEND = 114,
  EMR_ALPHADIBBLEND = 115,
  EMR_TRANSPARENTBLT = 116,
  EMR_TRANSPARENTDIB = 117,
  EMR_GRADIENTFILL = 118,
  EMR_SETLINKEDUFIS = 119,
  EMR_SETTEXTJUSTIFICATION = 120,
};
constexpr uint32_t EMR_MAX = 120;

// The record's name without the "EMR_" prefix; empty for types without one.
std::string_view RecordName(uint32_t Type);

// --- header ---------------------------------------------------------------
constexpr uint32_t ENHMETA_SIGNATURE = 0x464D4520;  // " EMF"
constexpr uint32_t ENHMETA_VERSION = 0x10000;
// The base header is 88 bytes; with the pixel-format fields 100, with the
// micrometre size 108.
constexpr uint32_t HEADER_BASE_SIZE = 88;
constexpr uint32_t HEADER_EXT1_SIZE = 100;
constexpr uint32_t HEADER_EXT2_SIZE = 108;
namespace header {
constexpr size_t Bounds = 8;  // RECTL, device units, inclusive
constexpr size_t Frame = 24;  // RECTL, 0.01 mm, inclusive
constexpr size_t Signature = 40;
constexpr size_t Version = 44;
constexpr size_t Bytes = 48;
constexpr size_t Records = 52;
constexpr size_t Handles = 56;  // uint16
constexpr size_t Reserved = 58;
constexpr size_t DescriptionChars = 60;
constexpr size_t DescriptionOffset = 64;
constexpr size_t PalEntries = 68;
constexpr size_t DevicePixels = 72;       // SIZEL
constexpr size_t DeviceMillimeters = 80;  // SIZEL
constexpr size_t PixelFormatSize = 88;
constexpr size_t PixelFormatOffset = 92;
constexpr size_t OpenGL = 96;
constexpr size_t DeviceMicrometers = 100;  // SIZEL
}  // namespace header

// --- field offsets of the records, from the record start ---------------------
// Every record: type at 0, size at 4 (a multiple of 4, header included).
constexpr size_t RECORD_HEADER_SIZE = 8;

namespace poly {  // POLYLINE, POLYGON, POLYBEZIER(TO), POLYLINETO and the 16 forms
constexpr size_t Bounds = 8;
constexpr size_t Count = 24;
constexpr size_t Points = 28;  // 8 bytes per point, 4 in the 16 forms
}  // namespace poly
namespace polypoly {  // POLYPOLYLINE, POLYPOLYGON and the 16 forms
constexpr size_t Bounds = 8;
constexpr size_t Polys = 24;
constexpr size_t Count = 28;
constexpr size_t Counts = 32;  // Polys uint32 counts, then the points
}  // namespace polypoly
namespace polydraw {  // POLYDRAW, POLYDRAW16: points, then Count type bytes
constexpr size_t Bounds = 8;
constexpr size_t Count = 24;
constexpr size_t Points = 28;
}  // namespace polydraw
namespace xform {  // SETWORLDTRANSFORM, MODIFYWORLDTRANSFORM: six floats
constexpr size_t M11 = 8, M12 = 12, M21 = 16, M22 = 20, Dx = 24, Dy = 28;
constexpr size_t Mode = 32;  // MODIFYWORLDTRANSFORM only
}  // namespace xform
namespace scaleext {  // SCALEVIEWPORTEXTEX, SCALEWINDOWEXTEX
constexpr size_t XNum = 8, XDenom = 12, YNum = 16, YDenom = 20;
}
namespace box {  // RECTANGLE, ELLIPSE, ROUNDRECT, ARC, CHORD, PIE, ARCTO
constexpr size_t Left = 8, Top = 12, Right = 16, Bottom = 20;
constexpr size_t CornerWidth = 24, CornerHeight = 28;  // ROUNDRECT
constexpr size_t StartX = 24, StartY = 28, EndX = 32, EndY = 36;
}  // namespace box
namespace anglearc {
constexpr size_t CenterX = 8, CenterY = 12, Radius = 16, StartAngle = 20, SweepAngle = 24;
}
namespace setpixel {
constexpr size_t X = 8, Y = 12, Color = 16;
}
namespace pen {  // CREATEPEN
constexpr size_t Index = 8, Style = 12, Width = 16, WidthY = 20, Color = 24;
constexpr size_t Size = 28;
}  // namespace pen
namespace extpen {  // EXTCREATEPEN
constexpr size_t Index = 8, BmiOffset = 12, BmiSize = 16, BitsOffset = 20, BitsSize = 24;
constexpr size_t Style = 28, Width = 32, BrushStyle = 36, Color = 40, Hatch = 44, NumEntries = 48,
                 Entries = 52;
}  // namespace extpen
namespace brush {  // CREATEBRUSHINDIRECT
constexpr size_t Index = 8, Style = 12, Color = 16, Hatch = 20;
constexpr size_t Size = 24;
}  // namespace brush
namespace font {  // EXTCREATEFONTINDIRECTW: a LOGFONTW at 12
constexpr size_t Index = 8;
constexpr size_t LogFont = 12;
constexpr size_t LogFontWSize = 92;  // face name of 32 UTF-16 units at +28
constexpr size_t LogFontASize = 60;  // face name of 32 bytes at +28
}  // namespace font
// Offsets inside a LOGFONT (both forms).
namespace logfont {
constexpr size_t Height = 0, Width = 4, Escapement = 8, Orientation = 12, Weight = 16;
constexpr size_t Italic = 20, Underline = 21, StrikeOut = 22, CharSet = 23;
constexpr size_t OutPrecision = 24, ClipPrecision = 25, Quality = 26, PitchAndFamily = 27;
constexpr size_t FaceName = 28;
constexpr size_t FaceNameChars = 32;
}  // namespace logfont
namespace text {  // EXTTEXTOUTA, EXTTEXTOUTW
constexpr size_t Bounds = 8, GraphicsMode = 24, XScale = 28, YScale = 32;
constexpr size_t RefX = 36, RefY = 40, Chars = 44, StringOffset = 48, Options = 52;
constexpr size_t RectLeft = 56, RectTop = 60, RectRight = 64, RectBottom = 68;
constexpr size_t DxOffset = 72;
constexpr size_t Size = 76;
}  // namespace text
namespace smalltext {  // SMALLTEXTOUT
constexpr size_t X = 8, Y = 12, Chars = 16, Options = 20, GraphicsMode = 24, XScale = 28,
                 YScale = 32;
constexpr size_t Clip = 36;  // RECTL unless ETO_NO_RECT
}  // namespace smalltext
namespace blt {  // BITBLT, STRETCHBLT, MASKBLT, TRANSPARENTBLT, ALPHABLEND
constexpr size_t Bounds = 8, XDest = 24, YDest = 28, CxDest = 32, CyDest = 36, Rop = 40;
constexpr size_t XSrc = 44, YSrc = 48, XformSrc = 52, BkColorSrc = 76, UsageSrc = 80;
constexpr size_t BmiOffset = 84, BmiSize = 88, BitsOffset = 92, BitsSize = 96;
constexpr size_t CxSrc = 100, CySrc = 104;  // STRETCHBLT, ALPHABLEND, TRANSPARENTBLT
constexpr size_t BitBltSize = 100;
constexpr size_t StretchBltSize = 108;
// MASKBLT continues after BitsSize with the mask bitmap.
constexpr size_t MaskX = 100, MaskY = 104, MaskUsage = 108, MaskBmiOffset = 112, MaskBmiSize = 116,
                 MaskBitsOffset = 120, MaskBitsSize = 124;
constexpr size_t MaskBltSize = 128;
}  // namespace blt
namespace dibits {  // SETDIBITSTODEVICE, STRETCHDIBITS
constexpr size_t Bounds = 8, XDest = 24, YDest = 28, XSrc = 32, YSrc = 36, CxSrc = 40, CySrc = 44;
constexpr size_t BmiOffset = 48, BmiSize = 52, BitsOffset = 56, BitsSize = 60, Usage = 64;
constexpr size_t StartScan = 68, Scans = 72;          // SETDIBITSTODEVICE
constexpr size_t Rop = 68, CxDest = 72, CyDest = 76;  // STRETCHDIBITS
constexpr size_t SetDIBitsSize = 76, StretchDIBitsSize = 80;
}  // namespace dibits
namespace cliprgn {  // EXTSELECTCLIPRGN
constexpr size_t DataSize = 8, Mode = 12, Data = 16;
}
namespace fillrgn {  // FILLRGN
constexpr size_t Bounds = 8, DataSize = 24, Brush = 28, Data = 32;
}
namespace rgndata {  // RGNDATAHEADER, then Count RECTLs
constexpr size_t HeaderSize = 0, Type = 4, Count = 8, RgnSize = 12, Bounds = 16;
constexpr size_t Rects = 32;
}  // namespace rgndata
namespace comment {  // GDICOMMENT
constexpr size_t DataSize = 8, Data = 12;
}
namespace eof {
constexpr size_t PalEntries = 8, PalOffset = 12;
constexpr size_t Size = 20;  // with no palette: the trailing size word at 16
}  // namespace eof

// --- constants ---------------------------------------------------------------
enum MapMode : int32_t {
  MM_TEXT = 1,
  MM_LOMETRIC = 2,
  MM_HIMETRIC = 3,
  MM_LOENGLISH = 4,
  MM_HIENGLISH = 5,
  MM_TWIPS = 6,
  MM_ISOTROPIC = 7,
  MM_ANISOTROPIC = 8,
};
enum BkMode : int32_t { TRANSPARENT = 1, OPAQUE = 2 };
enum PolyFillMode : int32_t { ALTERNATE = 1, WINDING = 2 };
enum ArcDirection : int32_t { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };
enum GraphicsMode : int32_t { GM_COMPATIBLE = 1, GM_ADVANCED = 2 };
enum ModifyWorldTransformMode : int32_t {
  MWT_IDENTITY = 1,
  MWT_LEFTMULTIPLY = 2,
  MWT_RIGHTMULTIPLY = 3,
  MWT_SET = 4,
};
// Text alignment flags.
constexpr uint32_t TA_NOUPDATECP = 0, TA_UPDATECP = 1;
constexpr uint32_t TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6;
constexpr uint32_t TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24;
constexpr uint32_t TA_RTLREADING = 256;
// Text output options.
constexpr uint32_t ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4, ETO_GLYPH_INDEX = 0x10,
                   ETO_RTLREADING = 0x80, ETO_NO_RECT = 0x100, ETO_SMALL_CHARS = 0x200,
                   ETO_PDY = 0x2000;
// Pen styles (low four bits) and kinds.
enum PenStyle : uint32_t {
  PS_SOLID = 0,
  PS_DASH = 1,
  PS_DOT = 2,
  PS_DASHDOT = 3,
  PS_DASHDOTDOT = 4,
  PS_NULL = 5,
  PS_INSIDEFRAME = 6,
  PS_USERSTYLE = 7,
  PS_ALTERNATE = 8,
};
constexpr uint32_t PS_STYLE_MASK = 0x0F;
constexpr uint32_t PS_ENDCAP_MASK = 0xF00, PS_JOIN_MASK = 0xF000, PS_TYPE_MASK = 0xF0000;
constexpr uint32_t PS_ENDCAP_ROUND = 0x0, PS_ENDCAP_SQUARE = 0x100, PS_ENDCAP_FLAT = 0x200;
constexpr uint32_t PS_JOIN_ROUND = 0x0, PS_JOIN_BEVEL = 0x1000, PS_JOIN_MITER = 0x2000;
constexpr uint32_t PS_COSMETIC = 0x0, PS_GEOMETRIC = 0x10000;
// Brush styles and hatches.
enum BrushStyle : uint32_t {
  BS_SOLID = 0,
  BS_NULL = 1,
  BS_HATCHED = 2,
  BS_PATTERN = 3,
  BS_INDEXED = 4,
  BS_DIBPATTERN = 5,
  BS_DIBPATTERNPT = 6,
};
enum HatchStyle : uint32_t {
  HS_HORIZONTAL = 0,
  HS_VERTICAL = 1,
  HS_FDIAGONAL = 2,
  HS_BDIAGONAL = 3,
  HS_CROSS = 4,
  HS_DIAGCROSS = 5,
};
// Stock objects: SELECTOBJECT with the high bit set.
constexpr uint32_t STOCK_OBJECT_FLAG = 0x80000000;
enum StockObject : uint32_t {
  WHITE_BRUSH = 0,
  LTGRAY_BRUSH = 1,
  GRAY_BRUSH = 2,
  DKGRAY_BRUSH = 3,
  BLACK_BRUSH = 4,
  NULL_BRUSH = 5,
  WHITE_PEN = 6,
  BLACK_PEN = 7,
  NULL_PEN = 8,
  OEM_FIXED_FONT = 10,
  ANSI_FIXED_FONT = 11,
  ANSI_VAR_FONT = 12,
  SYSTEM_FONT = 13,
  DEVICE_DEFAULT_FONT = 14,
  DEFAULT_PALETTE = 15,
  SYSTEM_FIXED_FONT = 16,
  DEFAULT_GUI_FONT = 17,
  DC_BRUSH = 18,
  DC_PEN = 19,
};
// POLYDRAW point types.
constexpr uint8_t PT_CLOSEFIGURE = 0x01, PT_LINETO = 0x02, PT_BEZIERTO = 0x04, PT_MOVETO = 0x06;
// Clip region combination modes.
enum RegionMode : int32_t { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
// Raster operations.
constexpr uint32_t SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6,
                   SRCINVERT = 0x00660046, SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008,
                   NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226,
                   PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
                   DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;
// DIB colour usage.
constexpr uint32_t DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1;
// Stretch modes.
enum StretchMode : int32_t {
  BLACKONWHITE = 1,
  WHITEONBLACK = 2,
  COLORONCOLOR = 3,
  HALFTONE = 4,
};
// Font weights and charsets used by the recorder and the converter.
constexpr int32_t FW_NORMAL = 400, FW_BOLD = 700;
constexpr uint8_t ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2;

// --- reading -------------------------------------------------------------------

// Raised when a field lies outside its record. The converter skips such a
// record; nothing past the record is ever read.
class ERecordBounds : public Exception {
 public:
  ERecordBounds() : Exception("Metafile record field outside the record") {}
};

// One record: Data points at its type field, Size is its declared size, which
// the metafile reader has already checked against the file.
class TRecord {
 public:
  TRecord() = default;
  TRecord(const uint8_t* Data, uint32_t Size) : FData(Data), FSize(Size) {}

  uint32_t Type() const { return U32(0); }
  uint32_t Size() const { return FSize; }
  const uint8_t* Data() const { return FData; }

  // Whether Bytes bytes at Offset lie inside the record.
  bool Fits(uint64_t Offset, uint64_t Bytes) const {
    return Offset <= FSize && Bytes <= FSize - Offset;
  }
  // How many of Count items of ItemSize bytes from Offset lie in the record.
  uint64_t FittingCount(uint64_t Offset, uint64_t Count, uint64_t ItemSize) const {
    if (Offset > FSize || ItemSize == 0) return 0;
    const uint64_t Room = (FSize - Offset) / ItemSize;
    return Count < Room ? Count : Room;
  }

  uint8_t U8(uint64_t Offset) const {
    Check(Offset, 1);
    return FData[Offset];
  }
  uint16_t U16(uint64_t Offset) const {
    Check(Offset, 2);
    return static_cast<uint16_t>(FData[Offset] | (FData[Offset + 1] << 8));
  }
  int16_t I16(uint64_t Offset) const { return static_cast<int16_t>(U16(Offset)); }
  uint32_t U32(uint64_t Offset) const {
    Check(Offset, 4);
    return LoadU32(FData + Offset);
  }
  int32_t I32(uint64_t Offset) const { return static_cast<int32_t>(U32(Offset)); }
  float F32(uint64_t Offset) const {
    const uint32_t Bits = U32(Offset);
    float F;
    std::memcpy(&F, &Bits, 4);
    return F;
  }
  // Bytes bytes at Offset, checked.
  const uint8_t* Bytes(uint64_t Offset, uint64_t Count) const {
    Check(Offset, Count);
    return FData + Offset;
  }

  // Unchecked loads for loops whose range was checked once with Fits or
  // FittingCount.
  static uint32_t LoadU32(const uint8_t* P) {
    return static_cast<uint32_t>(P[0]) | static_cast<uint32_t>(P[1]) << 8 |
           static_cast<uint32_t>(P[2]) << 16 | static_cast<uint32_t>(P[3]) << 24;
  }
  static int32_t LoadI32(const uint8_t* P) { return static_cast<int32_t>(LoadU32(P)); }
  static int16_t LoadI16(const uint8_t* P) { return static_cast<int16_t>(P[0] | (P[1] << 8)); }
  static uint16_t LoadU16(const uint8_t* P) { return static_cast<uint16_t>(P[0] | (P[1] << 8)); }

 private:
  void Check(uint64_t Offset, uint64_t Count) const {
    if (!Fits(Offset, Count)) throw ERecordBounds();
  }

  const uint8_t* FData = nullptr;
  uint32_t FSize = 0;
};

// The fields of the header record the converter and the tools use.
struct THeader {
  int32_t BoundsLeft = 0, BoundsTop = 0, BoundsRight = 0, BoundsBottom = 0;
  int32_t FrameLeft = 0, FrameTop = 0, FrameRight = 0, FrameBottom = 0;
  uint32_t Version = 0;
  uint32_t Bytes = 0;
  uint32_t Records = 0;
  uint16_t Handles = 0;
  int32_t DeviceWidth = 0, DeviceHeight = 0;  // pixels
  int32_t MillimetersWidth = 0, MillimetersHeight = 0;
  uint32_t HeaderSize = 0;
};

// Reads a whole metafile held in memory. The constructor checks the header
// and raises TPDFException "Not an enhanced metafile" or "Broken metafile
// header"; Next then delivers each record in order, stopping at the EOF
// record, at the end of the data, or at a record whose size is not valid.
class TReader {
 public:
  TReader(const uint8_t* Data, size_t Size);
  const THeader& Header() const { return FHeader; }
  // The next record (the header record first); false at the end.
  bool Next(TRecord& Record);
  // Whether the walk stopped at a record with a broken size.
  bool Truncated() const { return FTruncated; }
  size_t Position() const { return FPosition; }

 private:
  const uint8_t* FData;
  size_t FSize;
  size_t FPosition = 0;
  bool FDone = false;
  bool FTruncated = false;
  THeader FHeader;
};

}  // namespace quillora::emf

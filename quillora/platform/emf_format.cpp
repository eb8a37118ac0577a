#include "quillora/platform/emf_format.h"

#include <array>

namespace quillora::emf {

namespace {

constexpr std::array<std::string_view, EMR_MAX + 1> kNames = {
    "",
    "HEADER",
    "POLYBEZIER",
    "POLYGON",
    "POLYLINE",
    "POLYBEZIERTO",
    "POLYLINETO",
    "POLYPOLYLINE",
    "POLYPOLYGON",
    "SETWINDOWEXTEX",
    "SETWINDOWORGEX",
    "SETVIEWPORTEXTEX",
    "SETVIEWPORTORGEX",
    "SETBRUSHORGEX",
    "EOF",
    "SETPIXELV",
    "SETMAPPERFLAGS",
    "SETMAPMODE",
    "SETBKMODE",
    "SETPOLYFILLMODE",
    "SETROP2",
    "SETSTRETCHBLTMODE",
    "SETTEXTALIGN",
    "SETCOLORADJUSTMENT",
    "SETTEXTCOLOR",
    "SETBKCOLOR",
    "OFFSETCLIPRGN",
    "MOVETOEX",
    "SETMETARGN",
    "EXCLUDECLIPRECT",
    "INTERSECTCLIPRECT",
    "SCALEVIEWPORTEXTEX",
    "SCALEWINDOWEXTEX",
    "SAVEDC",
    "RESTOREDC",
    "SETWORLDTRANSFORM",
    "MODIFYWORLDTRANSFORM",
    "SELECTOBJECT",
    "CREATEPEN",
    "CREATEBRUSHINDIRECT",
    "DELETEOBJECT",
    "ANGLEARC",
    "ELLIPSE",
    "RECTANGLE",
    "ROUNDRECT",
    "ARC",
    "CHORD",
    "PIE",
    "SELECTPALETTE",
    "CREATEPALETTE",
    "SETPALETTEENTRIES",
    "RESIZEPALETTE",
    "REALIZEPALETTE",
    "EXTFLOODFILL",
    "LINETO",
    "ARCTO",
    "POLYDRAW",
    "SETARCDIRECTION",
    "SETMITERLIMIT",
    "BEGINPATH",
    "ENDPATH",
    "CLOSEFIGURE",
    "FILLPATH",
    "STROKEANDFILLPATH",
    "STROKEPATH",
    "FLATTENPATH",
    "WIDENPATH",
    "SELECTCLIPPATH",
    "ABORTPATH",
    "",
    "GDICOMMENT",
    "FILLRGN",
    "FRAMERGN",
    "INVERTRGN",
    "PAINTRGN",
    "EXTSELECTCLIPRGN",
    "BITBLT",
    "STRETCHBLT",
    "MASKBLT",
    "PLGBLT",
    "SETDIBITSTODEVICE",
    "STRETCHDIBITS",
    "EXTCREATEFONTINDIRECTW",
    "EXTTEXTOUTA",
    "EXTTEXTOUTW",
    "POLYBEZIER16",
    "POLYGON16",
    "POLYLINE16",
    "POLYBEZIERTO16",
    "POLYLINETO16",
    "POLYPOLYLINE16",
    "POLYPOLYGON16",
    "POLYDRAW16",
    "CREATEMONOBRUSH",
    "CREATEDIBPATTERNBRUSHPT",
    "EXTCREATEPEN",
    "POLYTEXTOUTA",
    "POLYTEXTOUTW",
    "SETICMMODE",
    "CREATECOLORSPACE",
    "SETCOLORSPACE",
    "DELETECOLORSPACE",
    "GLSRECORD",
    "GLSBOUNDEDRECORD",
    "PIXELFORMAT",
    "DRAWESCAPE",
    "EXTESCAPE",
    "STARTDOC",
    "SMALLTEXTOUT",
    "FORCEUFIMAPPING",
    "NAMEDESCAPE",
    "COLORCORRECTPALETTE",
    "SETICMPROFILEA",
    "SETICMPROFILEW",
    "ALPHABLEND",
    "ALPHADIBBLEND",
    "TRANSPARENTBLT",
    "TRANSPARENTDIB",
    "GRADIENTFILL",
    "SETLINKEDUFIS",
    "SETTEXTJUSTIFICATION",
};

}  // namespace

std::string_view RecordName(uint32_t Type) {
  return Type <= EMR_MAX ? kNames[Type] : "";
}

TReader::TReader(const uint8_t* Data, size_t Size) : FData(Data), FSize(Size) {
  if (Size < RECORD_HEADER_SIZE || TRecord(Data, 8).U32(0) != EMR_HEADER)
    throw TPDFException("Not an enhanced metafile");
  const uint32_t HeaderSize = TRecord::LoadU32(Data + 4);
  if (Size < HEADER_BASE_SIZE || HeaderSize < HEADER_BASE_SIZE || HeaderSize > Size)
    throw TPDFException("Broken metafile header");
  const TRecord H(Data, HeaderSize);
  if (H.U32(header::Signature) != ENHMETA_SIGNATURE)
    throw TPDFException("Not an enhanced metafile");
  FHeader.BoundsLeft = H.I32(header::Bounds);
  FHeader.BoundsTop = H.I32(header::Bounds + 4);
  FHeader.BoundsRight = H.I32(header::Bounds + 8);
  FHeader.BoundsBottom = H.I32(header::Bounds + 12);
  FHeader.FrameLeft = H.I32(header::Frame);
  FHeader.FrameTop = H.I32(header::Frame + 4);
  FHeader.FrameRight = H.I32(header::Frame + 8);
  FHeader.FrameBottom = H.I32(header::Frame + 12);
  FHeader.Version = H.U32(header::Version);
  FHeader.Bytes = H.U32(header::Bytes);
  FHeader.Records = H.U32(header::Records);
  FHeader.Handles = H.U16(header::Handles);
  FHeader.DeviceWidth = H.I32(header::DevicePixels);
  FHeader.DeviceHeight = H.I32(header::DevicePixels + 4);
  FHeader.MillimetersWidth = H.I32(header::DeviceMillimeters);
  FHeader.MillimetersHeight = H.I32(header::DeviceMillimeters + 4);
  FHeader.HeaderSize = HeaderSize;
}

bool TReader::Next(TRecord& Record) {
  if (FDone) return false;
  if (FSize - FPosition < RECORD_HEADER_SIZE) {
    FDone = true;
    FTruncated = FPosition != FSize;
    return false;
  }
  const uint8_t* P = FData + FPosition;
  const uint32_t RecordSize = TRecord::LoadU32(P + 4);
  if (RecordSize < RECORD_HEADER_SIZE || RecordSize > FSize - FPosition) {
    FDone = true;
    FTruncated = true;
    return false;
  }
  Record = TRecord(P, RecordSize);
  FPosition += RecordSize;
  if (TRecord::LoadU32(P) == EMR_EOF) FDone = true;
  return true;
}

}  // namespace quillora::emf

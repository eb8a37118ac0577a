// Playback: the record loop, dispatch on the record type, the record log and
// the diagnostic dump.
#include "quillora/metafile/emw_parser.h"

#include <filesystem>
#include <fstream>

#include "quillora/core/document.h"
#include "quillora/core/emf_options.h"
#include "quillora/core/exception.h"
#include "quillora/page/page.h"
#include "quillora/platform/font_system.h"

namespace quillora {

using namespace emf;

namespace {

int gDumpCounter = 0;

// Records that keep the text colour mode in force.
bool KeepsTextColorMode(uint32_t Type) {
  switch (Type) {
    case EMR_SETBKMODE:
    case EMR_SETTEXTALIGN:
    case EMR_SETTEXTCOLOR:
    case EMR_SETBKCOLOR:
    case EMR_MOVETOEX:
    case EMR_SAVEDC:
    case EMR_RESTOREDC:
    case EMR_SELECTOBJECT:
    case EMR_CREATEPEN:
    case EMR_CREATEBRUSHINDIRECT:
    case EMR_DELETEOBJECT:
    case EMR_BITBLT:
    case EMR_EXTCREATEFONTINDIRECTW:
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW:
    case EMR_SMALLTEXTOUT:
      return true;
    default:
      return false;
  }
}

bool IsTextRecord(uint32_t Type) {
  return Type == EMR_EXTTEXTOUTA || Type == EMR_EXTTEXTOUTW || Type == EMR_SMALLTEXTOUT;
}

}  // namespace

TEMWParser::TEMWParser(TPDFPage& Page) : FPage(Page), FOptions(Page.Document().EMFOptions()) {
  FScaleX =
      static_cast<long double>(Page.Document().Resolution()) / FOptions.ReferencePixelsPerInchX();
  FScaleY =
      static_cast<long double>(Page.Document().Resolution()) / FOptions.ReferencePixelsPerInchY();
}

TEMWParser::~TEMWParser() = default;

int TEMWParser::DumpCounter() {
  return gDumpCounter;
}

void TEMWParser::SetMetafile(std::string_view Bytes) {
  TReader Reader(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size());
  FHeader = Reader.Header();
  FMetafile = Bytes;
  FHaveMetafile = true;
}

void TEMWParser::GetPlaybackSize(int64_t& Width, int64_t& Height) const {
  if (!FHaveMetafile) {
    Width = Height = 0;
    return;
  }
  Width = RoundHalfEven(FHeader.BoundsRight * FScaleX) + 1;
  Height = RoundHalfEven(FHeader.BoundsBottom * FScaleY) + 1;
}

void TEMWParser::ResetState() {
  FDC = TDCState();
  FDC.Font = DefaultFont();
  FSaved.Clear();
  FMapMode = 1;
  FWindowOrg = FViewportOrg = TIntPoint{0, 0};
  FWindowExt = FViewportExt = TIntPoint{1, 1};
  FWindowScale = FViewportScale = TScale();
  FWorldScaleX = FWorldScaleY = 1;
  FWorldOffsetX = FWorldOffsetY = 0;
  FTextVAlign = FTextHAlign = 0;
  FTextUpdateCP = false;
  FClipActive = FInPath = FHollowBrush = false;
  FArcCounterClockwise = FBkOpaque = FAlternateFill = FFontChanged = true;
  FCurrentPos = TIntPoint{0, 0};
  FLastFillColor = 0;
  FBkColor = 0xFFFFFF;  // the screen context's background
  FRecordCount = 0;
  FPenStyle = 0;
  FPenWidth = 0;
  FPenColor = FBrushColor = FTextColor = 0;
  FTextColorMode = false;
  FClipRectValid = false;
  FSymbolFont = false;
  FFont = FDC.Font;
  FLoggedContent = FPage.ContentText().size();
}

void TEMWParser::PlayMetafile() {
  if (!FHaveMetafile) return;
  FObjects.assign(FHeader.Handles, TGdiObject());
  FLogging = FOptions.DiagnosticDump();
  FLog.clear();

  BeginPlaybackText();
  FPage.SetLineCap(FOptions.LineCap());
  FPage.SetLineJoin(FOptions.LineJoin());
  ResetState();
  if (FLogging) {
    std::error_code Ignored;
    std::filesystem::create_directory("HDCDebug", Ignored);
  }

  TReader Reader(reinterpret_cast<const uint8_t*>(FMetafile.data()), FMetafile.size());
  TRecord R;
  while (Reader.Next(R)) {
    ++FRecordCount;
    try {
      Dispatch(R);
      if (FLogging) LogRecord(R);
    } catch (const Exception&) {
      // A record that cannot be handled is skipped; the rest still plays.
    }
  }

  if (FLogging) WriteDump();
  FObjects.clear();
  EndPlaybackText();
}

void TEMWParser::Dispatch(const TRecord& R) {
  const uint32_t Type = R.Type();
  if (FInPath && IsTextRecord(Type)) return;
  if (FTextColorMode && !KeepsTextColorMode(Type)) EndTextColorMode();
  if (IsTextRecord(Type) && !FTextColorMode) BeginTextColorMode();

  switch (Type) {
    case EMR_POLYBEZIER:
      DoPolyBezier(R, false);
      break;
    case EMR_POLYBEZIER16:
      DoPolyBezier(R, true);
      break;
    case EMR_POLYGON:
      DoPolygon(R, false);
      break;
    case EMR_POLYGON16:
      DoPolygon(R, true);
      break;
    case EMR_POLYLINE:
      DoPolyline(R, false);
      break;
    case EMR_POLYLINE16:
      DoPolyline(R, true);
      break;
    case EMR_POLYBEZIERTO:
      DoPolyBezierTo(R, false);
      break;
    case EMR_POLYBEZIERTO16:
      DoPolyBezierTo(R, true);
      break;
    case EMR_POLYLINETO:
      DoPolylineTo(R, false);
      break;
    case EMR_POLYLINETO16:
      DoPolylineTo(R, true);
      break;
    case EMR_POLYPOLYLINE:
      DoPolyPolyline(R, false, false);
      break;
    case EMR_POLYPOLYLINE16:
      DoPolyPolyline(R, true, false);
      break;
    case EMR_POLYPOLYGON:
      DoPolyPolyline(R, false, true);
      break;
    case EMR_POLYPOLYGON16:
      DoPolyPolyline(R, true, true);
      break;
    case EMR_POLYDRAW:
      DoPolyDraw(R, false);
      break;
    case EMR_POLYDRAW16:
      DoPolyDraw(R, true);
      break;
    case EMR_SETWINDOWEXTEX:
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTEXTEX:
    case EMR_SETVIEWPORTORGEX:
      DoSetExtOrg(R);
      break;
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX:
      DoScaleExt(R);
      break;
    case EMR_SETMAPMODE:
      DoSetMapMode(R);
      break;
    case EMR_SETPIXELV:
      DoSetPixel(R);
      break;
    case EMR_SETBKMODE:
    case EMR_SETPOLYFILLMODE:
    case EMR_SETSTRETCHBLTMODE:
    case EMR_SETTEXTALIGN:
    case EMR_SETTEXTCOLOR:
    case EMR_SETBKCOLOR:
    case EMR_SETARCDIRECTION:
      DoSimpleState(R);
      break;
    case EMR_MOVETOEX:
      DoMoveTo(R);
      break;
    case EMR_INTERSECTCLIPRECT:
      DoIntersectClipRect(R);
      break;
    case EMR_SAVEDC:
      DoSaveDC();
      break;
    case EMR_RESTOREDC:
      DoRestoreDC(R);
      break;
    case EMR_SETWORLDTRANSFORM:
      DoSetWorldTransform(R);
      break;
    case EMR_MODIFYWORLDTRANSFORM:
      DoModifyWorldTransform(R);
      break;
    case EMR_SELECTOBJECT:
      DoSelectObject(R);
      break;
    case EMR_CREATEPEN:
      DoCreatePen(R);
      break;
    case EMR_EXTCREATEPEN:
      DoExtCreatePen(R);
      break;
    case EMR_CREATEBRUSHINDIRECT:
      DoCreateBrush(R);
      break;
    case EMR_EXTCREATEFONTINDIRECTW:
      DoCreateFont(R);
      break;
    case EMR_DELETEOBJECT:
      DoDeleteObject(R);
      break;
    case EMR_ANGLEARC:
      DoAngleArc(R);
      break;
    case EMR_ELLIPSE:
      DoEllipse(R);
      break;
    case EMR_RECTANGLE:
      DoRectangle(R);
      break;
    case EMR_ROUNDRECT:
      DoRoundRect(R);
      break;
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
      DoArc(R, Type);
      break;
    case EMR_ARCTO:
      DoArcTo(R);
      break;
    case EMR_LINETO:
      DoLineTo(R);
      break;
    case EMR_BEGINPATH:
    case EMR_ENDPATH:
    case EMR_CLOSEFIGURE:
    case EMR_FILLPATH:
    case EMR_STROKEANDFILLPATH:
    case EMR_STROKEPATH:
    case EMR_ABORTPATH:
      DoPathRecord(Type);
      break;
    case EMR_SELECTCLIPPATH:
      DoSelectClipPath();
      break;
    case EMR_FILLRGN:
      DoFillRgn(R);
      break;
    case EMR_EXTSELECTCLIPRGN:
      DoExtSelectClipRgn(R);
      break;
    case EMR_BITBLT:
    case EMR_MASKBLT:
    case EMR_TRANSPARENTBLT:
      DoBitBlt(R, Type);
      break;
    case EMR_STRETCHBLT:
      DoStretchBlt(R);
      break;
    case EMR_ALPHABLEND:
      DoAlphaBlend(R);
      break;
    case EMR_SETDIBITSTODEVICE:
      DoSetDIBitsToDevice(R);
      break;
    case EMR_STRETCHDIBITS:
      DoStretchDIBits(R);
      break;
    case EMR_EXTTEXTOUTA:
      DoExtTextOut(R, false);
      break;
    case EMR_EXTTEXTOUTW:
      DoExtTextOut(R, true);
      break;
    case EMR_SMALLTEXTOUT:
      DoSmallTextOut(R);
      break;
    default:
      // EXCLUDECLIPRECT, SETMITERLIMIT, SETTEXTJUSTIFICATION, palettes,
      // pattern brushes, comments and the rest change nothing.
      break;
  }
}

void TEMWParser::LogRecord(const TRecord& R) {
  std::string Line = IntToStr(FRecordCount);
  Line += "   ";
  Line += RecordName(R.Type());
  const uint64_t Words = std::min<uint64_t>((R.Size() - RECORD_HEADER_SIZE) / 4, 18);
  for (uint64_t i = 0; i < Words; ++i) {
    Line += ' ';
    AppendInt(Line, R.I32(RECORD_HEADER_SIZE + 4 * i));
  }
  if (R.Type() == EMR_EXTTEXTOUTW) Line += FTextDetails;
  FLog.push_back(std::move(Line));

  const std::string& Content = FPage.ContentText();
  if (Content.size() > FLoggedContent) {
    static const std::string kRule(35, '-');
    FLog.emplace_back();
    FLog.push_back(kRule);
    size_t Pos = FLoggedContent;
    while (Pos < Content.size()) {
      size_t End = Content.find("\r\n", Pos);
      if (End == std::string::npos) End = Content.size();
      FLog.push_back("     " + Content.substr(Pos, End - Pos));
      Pos = End + 2;
    }
    FLog.push_back(kRule);
    FLog.emplace_back();
  }
  FLoggedContent = Content.size();
}

void TEMWParser::WriteDump() {
  const std::string Base = "HDCDebug/" + IntToStr(gDumpCounter);
  {
    std::ofstream Copy(Base + ".emf", std::ios::binary);
    if (Copy) Copy.write(FMetafile.data(), static_cast<std::streamsize>(FMetafile.size()));
  }
  std::ofstream Log(Base + ".txt", std::ios::binary);
  if (!Log) throw Exception("Cannot create file \"" + Base + ".txt\"");
  for (const std::string& Line : FLog) {
    Log << Line << "\r\n";
  }
  Log.close();
  if (!Log) throw Exception("Cannot create file \"" + Base + ".txt\"");
  ++gDumpCounter;
}

}  // namespace quillora

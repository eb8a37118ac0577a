// TEMWParser: replays an enhanced metafile record by record into the page's
// drawing operations. One instance per playback.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "quillora/metafile/dc_state.h"
#include "quillora/platform/emf_format.h"

namespace quillora {

class TPDFPage;
class TPDFEMFParseOptions;
class TBitmap;
namespace platform {
class TFont;
}

class TEMWParser {
 public:
  explicit TEMWParser(TPDFPage& Page);
  ~TEMWParser();
  TEMWParser(const TEMWParser&) = delete;
  TEMWParser& operator=(const TEMWParser&) = delete;

  // The metafile to play: its bytes stay owned by the caller and must live
  // until PlayMetafile returns. Raises TPDFException for a broken header.
  void SetMetafile(std::string_view Bytes);
  // The picture size in device units from the header's bounds.
  void GetPlaybackSize(int64_t& Width, int64_t& Height) const;
  // Replays every record into the page.
  void PlayMetafile();

  // Playbacks that wrote a diagnostic dump in this process.
  static int DumpCounter();

 private:
  // --- playback (emw_parser.cpp) --------------------------------------------
  void ResetState();
  void Dispatch(const emf::TRecord& R);
  void LogRecord(const emf::TRecord& R);
  void WriteDump();

  // --- state and mapping (emw_state.cpp) --------------------------------------
  long double MapX(long double X) const;
  long double MapY(long double Y) const;
  long double DeviceX(long double X) const { return X * FScaleX; }
  long double DeviceY(long double Y) const { return Y * FScaleY; }
  long double SizeScaleX() const;
  long double SizeScaleY() const;
  void SetWorldFields(const TXForm& T);
  void SetFillFromBrush(bool SkipIfSame);
  void SetFillFromTextColor();
  void SetFillFromBackground();
  void SetStrokeFromPen();
  void WriteFill(TColorRef Color);
  void BeginTextColorMode() { FTextColorMode = true; }
  void EndTextColorMode();
  void SelectPen(const TPenObject& Pen);
  void SelectBrush(const TBrushObject& Brush);
  void SelectStockObject(uint32_t Index);
  void DecodeTextAlign(uint32_t Flags);

  void DoSetExtOrg(const emf::TRecord& R);
  void DoScaleExt(const emf::TRecord& R);
  void DoSetMapMode(const emf::TRecord& R);
  void DoSetWorldTransform(const emf::TRecord& R);
  void DoModifyWorldTransform(const emf::TRecord& R);
  void DoCreatePen(const emf::TRecord& R);
  void DoExtCreatePen(const emf::TRecord& R);
  void DoCreateBrush(const emf::TRecord& R);
  void DoCreateFont(const emf::TRecord& R);
  void DoDeleteObject(const emf::TRecord& R);
  void DoSelectObject(const emf::TRecord& R);
  void DoSaveDC();
  void DoRestoreDC(const emf::TRecord& R);
  void DoSimpleState(const emf::TRecord& R);

  // --- drawing records (emw_drawing.cpp) --------------------------------------
  void PaintShape();
  void StrokeShape();
  void PaintClosedFigure();
  void M(int32_t X, int32_t Y);
  void L(int32_t X, int32_t Y);
  // Reads up to Count points at Offset into FPoints, only those that fit.
  size_t ReadPoints(const emf::TRecord& R, size_t Offset, uint64_t Count, bool Small);
  void CloseClipForRect();
  void CloseClipForPath();

  void DoMoveTo(const emf::TRecord& R);
  void DoLineTo(const emf::TRecord& R);
  void DoPolyline(const emf::TRecord& R, bool Small);
  void DoPolylineTo(const emf::TRecord& R, bool Small);
  void DoPolyPolyline(const emf::TRecord& R, bool Small, bool Polygon);
  void DoPolygon(const emf::TRecord& R, bool Small);
  void DoPolyBezier(const emf::TRecord& R, bool Small);
  void DoPolyBezierTo(const emf::TRecord& R, bool Small);
  void DoPolyDraw(const emf::TRecord& R, bool Small);
  void DoRectangle(const emf::TRecord& R);
  void DoEllipse(const emf::TRecord& R);
  void DoRoundRect(const emf::TRecord& R);
  void DoArc(const emf::TRecord& R, uint32_t Type);
  void DoArcTo(const emf::TRecord& R);
  void DoAngleArc(const emf::TRecord& R);
  void DoSetPixel(const emf::TRecord& R);
  void DoPathRecord(uint32_t Type);
  void DoIntersectClipRect(const emf::TRecord& R);
  void DoSelectClipPath();
  void DoExtSelectClipRgn(const emf::TRecord& R);
  void DoFillRgn(const emf::TRecord& R);
  // Region rectangles in metafile device units as one path of rectangles.
  void RegionRectangles(const emf::TRecord& R, size_t DataOffset, uint32_t DataSize);

  // --- text records (emw_text.cpp) ---------------------------------------------
  // The page's text state at the start and at the end of a playback.
  void BeginPlaybackText();
  void EndPlaybackText();
  void SelectPdfFont();
  const platform::TFont& MeasureFont();
  // Installed-font lookups, remembered for the playback (they ask the
  // platform's font configuration each time).
  bool CachedFontExists(const std::string& Face, int Charset);
  const std::string& CachedFontForCharset(int Charset);
  // Height of "Wg" in the current font, logical units.
  int WgHeight();
  void DoExtTextOut(const emf::TRecord& R, bool Wide);
  void DoSmallTextOut(const emf::TRecord& R);
  void ReopenClip(bool Reopen);

  // --- bitmap records (emw_bitmap.cpp) -----------------------------------------
  void PatternFill(const emf::TRecord& R);
  int AddBitmap(TBitmap& Bitmap, bool Monochrome);
  void BoundsPlacement(const emf::TRecord& R, int Index);
  void DoBitBlt(const emf::TRecord& R, uint32_t Type);
  void DoStretchBlt(const emf::TRecord& R);
  void DoAlphaBlend(const emf::TRecord& R);
  void DoSetDIBitsToDevice(const emf::TRecord& R);
  void DoStretchDIBits(const emf::TRecord& R);

  TPDFPage& FPage;
  const TPDFEMFParseOptions& FOptions;
  std::string_view FMetafile;
  emf::THeader FHeader;
  bool FHaveMetafile = false;
  bool FLogging = false;
  std::vector<std::string> FLog;
  size_t FLoggedContent = 0;  // bytes of the page content already logged
  std::string FTextDetails;
  int FRecordCount = 0;

  // The recording's device context and its saved states.
  TDCState FDC;
  TDCStack FSaved;

  // Converter state.
  long double FScaleX = 1, FScaleY = 1;
  int32_t FMapMode = 1;
  TIntPoint FWindowOrg, FViewportOrg;
  TIntPoint FWindowExt{1, 1}, FViewportExt{1, 1};
  struct TScale {
    bool On = false;
    int32_t XNum = 1, XDenom = 1, YNum = 1, YDenom = 1;
  };
  TScale FWindowScale, FViewportScale;
  long double FWorldScaleX = 1, FWorldScaleY = 1;
  long double FWorldOffsetX = 0, FWorldOffsetY = 0;
  TIntPoint FCurrentPos;
  uint32_t FPenStyle = 0;
  long double FPenWidth = 0;
  TColorRef FPenColor = 0;
  TColorRef FBrushColor = 0;
  bool FHollowBrush = false;
  TColorRef FTextColor = 0;
  TColorRef FBkColor = 0xFFFFFF;
  bool FBkOpaque = true;
  bool FAlternateFill = true;
  bool FArcCounterClockwise = true;
  int FTextVAlign = 0;  // 0 top, 1 baseline, 2 bottom
  int FTextHAlign = 0;  // 0 left, 1 centre, 2 right
  bool FTextUpdateCP = false;
  TLogFontA FFont;
  bool FFontChanged = true;
  bool FSymbolFont = false;
  TColorRef FLastFillColor = 0;
  bool FTextColorMode = false;
  bool FInPath = false;
  bool FClipActive = false;
  long double FClipRect[4] = {0, 0, 0, 0};
  bool FClipRectValid = false;
  int32_t FStretchMode = 0;
  std::vector<TGdiObject> FObjects;

  // Scratch buffers reused from record to record.
  std::vector<TIntPoint> FPoints;
  std::u16string FWide;
  std::string FBytes;
  std::vector<uint16_t> FGlyphs;
  std::vector<double> FAdvances;
  struct TFontExists {
    std::string Face;
    int Charset;
    bool Exists;
  };
  std::vector<TFontExists> FFontExists;
  std::vector<std::pair<int, std::string>> FFontForCharset;
  // The font measured for text placement, made again when FFont changes.
  std::unique_ptr<platform::TFont> FMeasureFont;
  TLogFontA FMeasureFontFor;
};

}  // namespace quillora

// TMetafileCanvas: a GDI-like drawing surface that records an enhanced
// metafile. Every call appends the record or records GDI writes for it, so
// the converter plays our recordings like those of any Windows program.
//
// Coordinates are logical units; the device is the reference device context
// (96 pixels per inch unless told otherwise). Pens, brushes and the font are
// values the program sets; the canvas creates, selects and deletes the
// matching objects in the metafile when a drawing call first needs them.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "quillora/core/tokens.h"
#include "quillora/platform/bitmap.h"
#include "quillora/platform/canvas_objects.h"
#include "quillora/platform/emf_format.h"
#include "quillora/platform/metafile_writer.h"

namespace quillora {

namespace platform {
class TFont;
}
class TMetafile;

// The device a recording is made for: its resolution and the size of its
// surface (which the header reports in pixels and millimetres).
struct TReferenceDC {
  int PixelsPerInchX = 96;
  int PixelsPerInchY = 96;
  int WidthPixels = 1920;
  int HeightPixels = 1440;
  int WidthMillimeters() const;
  int HeightMillimeters() const;
};

class TMetafileCanvas {
 public:
  // Starts a recording for Metafile; its Width and Height (when set) give
  // the frame. The metafile receives the finished bytes on Close or when the
  // canvas is destroyed; until then it keeps what it held.
  explicit TMetafileCanvas(TMetafile& Metafile, const TReferenceDC& Reference = {});
  ~TMetafileCanvas();
  TMetafileCanvas(const TMetafileCanvas&) = delete;
  TMetafileCanvas& operator=(const TMetafileCanvas&) = delete;

  // Writes the end record and the header counts and hands the bytes to the
  // metafile. Later drawing calls raise Exception "Metafile canvas closed".
  void Close();
  bool Closed() const { return FClosed; }
  const TReferenceDC& Reference() const { return FReference; }
  // Bytes recorded so far (without the end record).
  size_t RecordedSize() const { return FWriter.Size(); }

  // --- objects ------------------------------------------------------------
  TPen& Pen() { return FState.Pen; }
  TBrush& Brush() { return FState.Brush; }
  TCanvasFont& Font() { return FState.Font; }
  // Selects a stock pen or brush (WHITE_BRUSH .. NULL_PEN of emf_format.h);
  // Pen() or Brush() then describe it. False for other indexes.
  bool SelectStockObject(uint32_t Index);

  // --- device-context attributes -------------------------------------------
  void SetTextColor(TColorRef Color);
  TColorRef TextColor() const { return FState.TextColor; }
  void SetBkColor(TColorRef Color);
  TColorRef BkColor() const { return FState.BkColor; }
  void SetBkMode(int Mode);  // TRANSPARENT or OPAQUE
  int BkMode() const { return FState.BkMode; }
  void SetPolyFillMode(int Mode);  // ALTERNATE or WINDING
  int PolyFillMode() const { return FState.PolyFillMode; }
  void SetArcDirection(int Direction);  // AD_COUNTERCLOCKWISE or AD_CLOCKWISE
  int ArcDirection() const { return FState.ArcDirection; }
  void SetTextAlign(uint32_t Flags);  // TA_* flags
  uint32_t TextAlign() const { return FState.TextAlign; }
  void SetStretchBltMode(int Mode);
  int StretchBltMode() const { return FState.StretchMode; }
  void SetROP2(int Mode);
  int ROP2() const { return FState.Rop2; }
  void SetMiterLimit(int Limit);
  int MiterLimit() const { return FState.MiterLimit; }

  // --- mapping --------------------------------------------------------------
  // Invalid modes and values raise nothing and write nothing; the setters
  // return false then, as GDI does.
  bool SetMapMode(int Mode);
  int MapMode() const { return FState.MapMode; }
  void SetWindowOrg(int X, int Y);
  void SetViewportOrg(int X, int Y);
  bool SetWindowExt(int X, int Y);
  bool SetViewportExt(int X, int Y);
  bool ScaleWindowExt(int XNum, int XDenom, int YNum, int YDenom);
  bool ScaleViewportExt(int XNum, int XDenom, int YNum, int YDenom);
  TPoint WindowOrg() const { return FState.WindowOrg; }
  TPoint ViewportOrg() const { return FState.ViewportOrg; }
  TSize WindowExt() const { return FState.WindowExt; }
  TSize ViewportExt() const { return FState.ViewportExt; }
  // World transforms need the advanced graphics mode; leaving it needs the
  // identity transform.
  bool SetGraphicsMode(int Mode);
  int GraphicsMode() const { return FState.GraphicsMode; }
  bool SetWorldTransform(const TXForm& XForm);
  bool ModifyWorldTransform(const TXForm& XForm, int Mode);  // MWT_*
  const TXForm& WorldTransform() const { return FState.World; }
  // Logical to device units through the world transform and the mapping.
  TPoint LPtoDP(TPoint P) const;

  // The level of the saved state (1 for the first); RestoreDC takes a level
  // (> 0) or a count back (< 0) and returns false when there is none.
  int SaveDC();
  bool RestoreDC(int Level);

  // --- lines and shapes -----------------------------------------------------
  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);
  TPoint PenPos() const { return FState.CurrentPos; }
  // Point lists that GDI refuses (too few points, Bézier counts other than
  // 3n+1 or 3n, counts that do not add up) record nothing and return false.
  bool Polyline(std::span<const TPoint> Points);
  bool PolylineTo(std::span<const TPoint> Points);
  bool Polygon(std::span<const TPoint> Points);
  bool PolyPolyline(std::span<const TPoint> Points, std::span<const uint32_t> Counts);
  bool PolyPolygon(std::span<const TPoint> Points, std::span<const uint32_t> Counts);
  bool PolyBezier(std::span<const TPoint> Points);
  bool PolyBezierTo(std::span<const TPoint> Points);
  bool PolyDraw(std::span<const TPoint> Points, std::span<const uint8_t> Types);  // PT_*
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void RoundRect(int X1, int Y1, int X2, int Y2, int CornerWidth, int CornerHeight);
  void Ellipse(int X1, int Y1, int X2, int Y2);
  // The elliptic arc inside the box from the radial through (X3, Y3) to the
  // one through (X4, Y4), in the arc direction.
  void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void ArcTo(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  // Angles in degrees, counter-clockwise; a negative radius is refused.
  bool AngleArc(int X, int Y, int Radius, float StartAngle, float SweepAngle);
  // Fill with the brush (right and bottom edges excluded); FrameRect draws a
  // border one logical unit wide with the brush.
  void FillRect(const TRect& Rect);
  void FrameRect(const TRect& Rect);
  void SetPixel(int X, int Y, TColorRef Color);

  // --- paths ------------------------------------------------------------------
  void BeginPath();
  void EndPath();
  void CloseFigure();
  void AbortPath();
  void FillPath();
  void StrokePath();
  void StrokeAndFillPath();
  void FlattenPath();
  void WidenPath();
  void SelectClipPath(int Mode);  // RGN_*

  // --- clipping ---------------------------------------------------------------
  void IntersectClipRect(int X1, int Y1, int X2, int Y2);
  void ExcludeClipRect(int X1, int Y1, int X2, int Y2);
  // A region is a list of rectangles in device units. An empty region with
  // RGN_COPY removes the clip.
  void SelectClipRgn(std::span<const TRect> Region, int Mode = emf::RGN_COPY);
  void FillRgn(std::span<const TRect> Region);

  // --- text -------------------------------------------------------------------
  // Wide text is UTF-16; single-byte text is in the code page of the font's
  // charset. Advances are logical units, one per character (two with
  // ETO_PDY); when empty they are measured with the font, as GDI writes
  // them. Glyph-index text (ETO_GLYPH_INDEX) must bring its advances.
  void TextOut(int X, int Y, std::u16string_view Text);
  void TextOut(int X, int Y, std::string_view Text);
  void TextRect(const TRect& Rect, int X, int Y, std::u16string_view Text,
                uint32_t Options = emf::ETO_CLIPPED);
  void TextRect(const TRect& Rect, int X, int Y, std::string_view Text,
                uint32_t Options = emf::ETO_CLIPPED);
  void ExtTextOut(int X, int Y, uint32_t Options, const TRect* Rect, std::u16string_view Text,
                  std::span<const int> Advances = {});
  void ExtTextOut(int X, int Y, uint32_t Options, const TRect* Rect, std::string_view Text,
                  std::span<const int> Advances = {});
  // Size of the text in the current font, logical units.
  TSize TextExtent(std::u16string_view Text);
  TSize TextExtent(std::string_view Text);
  int TextWidth(std::u16string_view Text) { return TextExtent(Text).Width; }
  int TextWidth(std::string_view Text) { return TextExtent(Text).Width; }
  int TextHeight(std::u16string_view Text) { return TextExtent(Text).Height; }
  int TextHeight(std::string_view Text) { return TextExtent(Text).Height; }

  // --- bitmaps ----------------------------------------------------------------
  // Source rectangles are in bitmap pixels, top row 0, and must lie inside
  // the bitmap (Exception "Source rectangle outside the bitmap" otherwise).
  // The records carry exactly the source rectangle as a bottom-up DIB.
  void Draw(int X, int Y, const TBitmap& Bitmap);
  void StretchDraw(const TRect& Rect, const TBitmap& Bitmap);
  // Without a source, the raster operation paints with the brush (PATCOPY).
  void BitBlt(int X, int Y, int Width, int Height, const TBitmap* Source, int XSrc, int YSrc,
              uint32_t Rop);
  void StretchBlt(int X, int Y, int Width, int Height, const TBitmap& Source, int XSrc, int YSrc,
                  int WidthSrc, int HeightSrc, uint32_t Rop = emf::SRCCOPY);
  void StretchDIBits(int X, int Y, int Width, int Height, int XSrc, int YSrc, int WidthSrc,
                     int HeightSrc, const TBitmap& Source, uint32_t Rop = emf::SRCCOPY);
  void SetDIBitsToDevice(int X, int Y, int XSrc, int YSrc, int WidthSrc, int HeightSrc,
                         const TBitmap& Source);
  void AlphaBlend(int X, int Y, int Width, int Height, const TBitmap& Source, int XSrc, int YSrc,
                  int WidthSrc, int HeightSrc, TBlendFunction Blend);
  // Mask is a 1-bit bitmap; Rop is a quaternary raster operation.
  void MaskBlt(int X, int Y, int Width, int Height, const TBitmap& Source, int XSrc, int YSrc,
               const TBitmap& Mask, int XMask, int YMask, uint32_t Rop);
  void TransparentBlt(int X, int Y, int Width, int Height, const TBitmap& Source, int XSrc,
                      int YSrc, int WidthSrc, int HeightSrc, TColorRef Transparent);

 private:
  static constexpr uint32_t kNoObject = 0;

  struct TState {
    int MapMode = emf::MM_TEXT;
    TPoint WindowOrg, ViewportOrg;
    TSize WindowExt{1, 1}, ViewportExt{1, 1};
    int GraphicsMode = emf::GM_COMPATIBLE;
    TXForm World;
    TColorRef TextColor = 0;
    TColorRef BkColor = 0xFFFFFF;
    int BkMode = emf::OPAQUE;
    int PolyFillMode = emf::ALTERNATE;
    int ArcDirection = emf::AD_COUNTERCLOCKWISE;
    int StretchMode = emf::BLACKONWHITE;
    int Rop2 = 13;  // R2_COPYPEN
    int MiterLimit = 10;
    uint32_t TextAlign = 0;
    TPoint CurrentPos;
    // What the program asked for, and what the metafile has selected.
    TPen Pen;
    TBrush Brush;
    TCanvasFont Font;
    uint32_t PenObject = kNoObject, BrushObject = kNoObject, FontObject = kNoObject;
    TPen SelectedPen;
    TBrush SelectedBrush;
    TCanvasFont SelectedFont;
  };

  // Device-unit bounds, inclusive.
  struct TBounds {
    double Left = 0, Top = 0, Right = -1, Bottom = -1;
    bool Empty = true;
    void Add(double X, double Y);
    void Add(const TBounds& B);
    void Inflate(double D);
  };

  void CheckOpen() const;
  // Mapping.
  void ToDevice(double X, double Y, double& DX, double& DY) const;
  void AddPoint(TBounds& B, double X, double Y) const;
  double ScaleX() const;  // device units per logical unit along x
  double ScaleY() const;
  bool WorldIsAxisAligned() const;
  void AdjustIsotropic();
  void SetFixedExtents(int Mode);
  // Bounds bookkeeping: drawn extents grow the header bounds, or the path's
  // while a path is open.
  void Accumulate(const TBounds& B);
  void InflateForPen(TBounds& B) const;
  static void PutBounds(emf::TRecordWriter& W, size_t At, const TBounds& B);
  TBounds PointsBounds(std::span<const TPoint> Points) const;
  TBounds BoxBounds(double X1, double Y1, double X2, double Y2) const;
  TBounds ArcBounds(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4, bool WithCenter,
                    TPoint* EndPoint) const;

  // Objects.
  void RealizePen();
  void RealizeBrush();
  void RealizeFont();
  uint32_t AllocateObject();
  void ReleaseObject(uint32_t Index);
  bool ObjectInUse(uint32_t Index) const;
  void SelectObjectRecord(uint32_t Index);
  void DeleteObjectRecord(uint32_t Index);
  void WriteCreatePen(uint32_t Index, const TPen& Pen);
  void WriteCreateBrush(uint32_t Index, const TBrush& Brush);
  void WriteCreateFont(uint32_t Index, const TCanvasFont& Font);
  const platform::TFont* MeasuringFont();

  // Small record helpers.
  void WriteSimple(uint32_t Type);
  void WriteInt(uint32_t Type, uint32_t Value);
  void WritePoint(uint32_t Type, int X, int Y);
  void WriteBox(uint32_t Type, int X1, int Y1, int X2, int Y2);
  void WriteBoxPoints(uint32_t Type, int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4,
                      int Y4);
  void WritePathPaint(uint32_t Type);
  bool WritePoly(uint32_t Type32, uint32_t Type16, std::span<const TPoint> Points,
                 const TBounds& Bounds);
  bool WritePolyPoly(uint32_t Type32, uint32_t Type16, std::span<const TPoint> Points,
                     std::span<const uint32_t> Counts, const TBounds& Bounds);
  void WriteRegion(size_t At, std::span<const TRect> Region);

  // Text.
  template <typename TChar>
  void WriteText(int X, int Y, uint32_t Options, const TRect* Rect,
                 std::basic_string_view<TChar> Text, std::span<const int> Advances);
  void MeasureLogical(std::u16string_view Text, std::vector<int>& Advances);
  void MeasureLogicalA(std::string_view Text, std::vector<int>& Advances);

  // Bitmaps.
  void WriteBlt(uint32_t Type, int X, int Y, int Width, int Height, const TBitmap* Source, int XSrc,
                int YSrc, int WidthSrc, int HeightSrc, uint32_t Rop, const TBitmap* Mask = nullptr,
                int XMask = 0, int YMask = 0);
  void WriteDIBits(uint32_t Type, int X, int Y, int Width, int Height, int XSrc, int YSrc,
                   int WidthSrc, int HeightSrc, const TBitmap& Source, uint32_t Rop);
  TBounds DestBounds(int X, int Y, int Width, int Height) const;

  void FinishHeader();

  TMetafile& FMetafile;
  TReferenceDC FReference;
  emf::TRecordWriter FWriter;
  TState FState;
  std::vector<TState> FSaved;
  std::vector<uint8_t> FObjectUsed;  // by object index; index 0 is reserved
  std::vector<uint32_t> FPendingDelete;
  TBounds FBounds;
  TBounds FPathBounds;
  bool FInPath = false;
  bool FClosed = false;

  // The font text is measured with, made for the font and device height it
  // was made for.
  std::unique_ptr<platform::TFont> FMeasure;
  TCanvasFont FMeasureFont;
  int FMeasureHeight = 0;
  int FMeasureWidth = 0;
  std::vector<int> FAdvances;  // reused for every text call
};

}  // namespace quillora

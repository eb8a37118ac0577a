// TPDFPage: one page of the document being written. Positions are device
// units (Resolution per inch, origin top-left, y down); the file uses points
// (origin bottom-left, y up). Content is kept as operator lines.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "quillora/core/tokens.h"
#include "quillora/core/types.h"
#include "quillora/page/text_state.h"

namespace quillora {

class TPDFDocument;
class TPDFCustomAnnotation;
class TPDFActionAnnotation;
class TPDFFont;
class TPDFImage;
class TMetafileCanvas;
struct TPageRecording;

class TPDFPage {
 public:
  explicit TPDFPage(TPDFDocument& Document);
  ~TPDFPage();
  TPDFPage(const TPDFPage&) = delete;
  TPDFPage& operator=(const TPDFPage&) = delete;

  TPDFDocument& Document() const { return FDocument; }

  // --- size, orientation, rotation ----------------------------------------
  void SetPageSize(TPaperKind Size);
  void SetOrientation(TPaperOrientation Orientation);
  void SetRotate(TPageTurn Rotate) { FRotate = Rotate; }
  // A size of its own in points (page_canvas.cpp); "Page in progress" as
  // SetPageSize. The recording follows it while its canvas is not taken.
  void SetCustomSize(int Width, int Height);
  TPaperKind PageSize() const { return FSize; }
  TPaperOrientation Orientation() const { return FOrientation; }
  TPageTurn Rotate() const { return FRotate; }
  int Width() const { return FWidth; }    // points
  int Height() const { return FHeight; }  // points
  int64_t DeviceWidth() const;
  int64_t DeviceHeight() const;
  int Resolution() const { return FResolution; }
  long double Scale() const { return FK; }  // device units per point
  bool PageInProgress() const { return FPageInProgress; }

  // --- coordinates --------------------------------------------------------
  long double ToPageX(long double X) {
    FPageInProgress = true;
    return X / FK;
  }
  long double ToPageY(long double Y) {
    FPageInProgress = true;
    return FHeight - Y / FK;
  }
  long double ToDeviceX(long double X) {
    FPageInProgress = true;
    return X * FK;
  }
  long double ToDeviceY(long double Y) {
    FPageInProgress = true;
    return (FHeight - Y) * FK;
  }

  // --- content --------------------------------------------------------------
  void WriteContent(std::string_view Line) {
    FContent.append(Line);
    FContent.append("\r\n");
    ++FContentLines;
  }
  // Every line followed by CR LF.
  const std::string& ContentText() const { return FContent; }
  int ContentLineCount() const { return FContentLines; }
  // Removes and returns the content text (the recording merge puts it back
  // after the played-back drawing).
  std::string TakeContent();
  // Replaces the content; lines are split at CR LF, CR or LF.
  void SetContentText(std::string Text);
  // Writes "ET" when a text object is open.
  void CloseTextObject();

  // --- paths and painting (device units unless noted) -----------------------
  void MoveTo(long double X, long double Y);
  void LineTo(long double X, long double Y);
  void CurveTo(long double X1, long double Y1, long double X2, long double Y2, long double X3,
               long double Y3);
  void ClosePath();
  void NewPath();
  void Rectangle(long double X1, long double Y1, long double X2, long double Y2);
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
  void Ellipse(long double X1, long double Y1, long double X2, long double Y2);
  TRealPoint Arc(long double X1, long double Y1, long double X2, long double Y2, long double X3,
                 long double Y3, long double X4, long double Y4);
  TRealPoint ArcByAngles(long double X1, long double Y1, long double X2, long double Y2,
                         long double BeginAngle, long double EndAngle);
  void Pie(long double X1, long double Y1, long double X2, long double Y2, long double X3,
           long double Y3, long double X4, long double Y4);
  void Fill();
  void EoFill();
  void Stroke();
  void FillAndStroke();
  void EoFillAndStroke();
  void Clip();
  bool PathPending() const { return FPathPending; }

  // Page-unit forms: they close the text object but leave PathPending alone.
  void MoveToPage(long double X, long double Y);
  void LineToPage(long double X, long double Y);
  void CurveToPage(long double X1, long double Y1, long double X2, long double Y2, long double X3,
                   long double Y3);
  void RectanglePage(long double X, long double Y, long double W, long double H);

  // --- graphics state -------------------------------------------------------
  void SaveState();
  void RestoreState();
  int StateDepth() const { return FStateDepth; }
  void SetLineWidth(long double Width);
  void SetDash(const std::string& Pattern);
  void SolidLine() { SetDash("[] 0"); }
  const std::string& CurrentDash() const { return FCurrentDash; }
  void SetLineCap(TPDFLineCap Cap);
  void SetLineJoin(TPDFLineJoin Join);
  void SetGrayFill(long double Gray);
  void SetGrayStroke(long double Gray);
  void SetGray(long double Gray);
  void SetRGBFill(long double R, long double G, long double B);
  void SetRGBStroke(long double R, long double G, long double B);
  void SetRGBColor(long double R, long double G, long double B);
  // Page units.
  void Concat(long double A, long double B, long double C, long double D, long double E,
              long double F);
  void Translate(long double X, long double Y) { Concat(1, 0, 0, 1, X, Y); }
  void Rotate(long double Angle);

  // --- links ------------------------------------------------------------------
  // A link annotation over Rect (device units) opening URL.
  TPDFActionAnnotation* AddUrlLink(TRect Rect, const std::string& URL);
  // The page owns every annotation created on it.
  void AdoptAnnotation(TPDFCustomAnnotation* Annotation);
  int AnnotationCount() const { return static_cast<int>(FAnnotations.size()); }
  TPDFCustomAnnotation* Annotations(int Index) const { return FAnnotations[Index].get(); }

  // --- text (text.cpp, text_advances.cpp) -----------------------------------
  TTextState& TextState() { return FText; }
  // Name is matched case-sensitively; charset 1 becomes the default font charset.
  void SetTextFont(const std::string& Name, int Style, long double Size, int Charset = 0);
  void SetCharacterSpacing(long double Spacing);  // device units
  void SetWordSpacing(long double Spacing);       // device units
  void SetHorizontalScaling(long double Percent);
  void SetTextRenderingMode(int Mode);
  void SetBaselineOrigin(bool Value) { FText.BaselineOrigin = Value; }
  // (X, Y) is the top-left of the line, or the left end of the baseline with
  // the baseline origin set; Angle in degrees.
  void ShowText(long double X, long double Y, long double Angle, std::string_view Text);
  void ShowTextW(long double X, long double Y, long double Angle, std::u16string_view Text);
  // Advances in device units, one per byte, character or glyph; empty for
  // none. Characters beyond the advances given take their natural widths.
  void ShowTextAdvances(long double X, long double Y, long double Angle, std::string_view Text,
                        std::span<const double> Advances);
  void ShowTextWAdvances(long double X, long double Y, long double Angle,
                         std::u16string_view Text, std::span<const double> Advances);
  void ShowGlyphs(long double X, long double Y, long double Angle,
                  std::span<const uint16_t> Glyphs, std::span<const double> Advances);
  void TextInRect(TRect Rect, std::string_view Text, int HAlign, int VAlign);
  long double TextWidth(std::string_view Text);  // device units
  // Shared with the metafile converter.
  void BeginText();
  void EndText() { CloseTextObject(); }
  void SelectFont(bool Unicode);
  void SetTextMatrix(long double X, long double Y, long double Angle);  // page units
  void SetCharacterSpacingPage(long double Spacing);                     // "Tc" in points
  long double TextWidthPoints(std::string_view Text);
  long double TextWidthWPoints(std::u16string_view Text);
  long double AscentOffset();
  void DrawTextDecoration(long double Width);

  // --- images (page_images.cpp) ---------------------------------------------
  // Places image Index of the document's registry with its top-left corner at
  // (X, Y), Width x Height device units, rotated by Angle degrees about its
  // bottom-left corner. Nothing for a zero width or height; "Out of range"
  // for a bad index.
  void DrawImage(int Index, long double X, long double Y, long double Width, long double Height,
                 long double Angle = 0);

  // --- resources used by the content ------------------------------------------
  // Each font or image once, in order of first use.
  void UseFont(TPDFFont* Font);
  void UseImage(TPDFImage* Image);
  const std::vector<TPDFFont*>& PageFonts() const { return FFonts; }
  const std::vector<TPDFImage*>& PageImages() const { return FImages; }
  void SetUsesText() { FUsesText = true; }
  void SetUsesGrayImage() { FUsesGrayImage = true; }
  void SetUsesColorImage() { FUsesColorImage = true; }

  // --- recording canvas (page_canvas.cpp) ------------------------------------
  void CreateCanvas();
  void CloseCanvas();
  void FreeCanvas();
  TMetafileCanvas* Canvas();
  bool CanvasTaken() const { return FCanvasTaken; }
  void SetCanvasTaken(bool v) { FCanvasTaken = v; }

  // --- writing ----------------------------------------------------------------
  void SavePage();
  int ObjectNumber() const { return FObjectNumber; }

 private:
  void WritePoint(std::string& Line, long double X, long double Y);
  void ArcSegment(bool First, long double CX, long double CY, long double RX, long double RY,
                  long double Start, long double Sweep);
  TRealPoint SweepArc(long double CX, long double CY, long double RX, long double RY,
                      long double Start, long double Sweep);
  TRealPoint ArcPath(long double X1, long double Y1, long double X2, long double Y2,
                     long double X3, long double Y3, long double X4, long double Y4);

  TPDFDocument& FDocument;
  std::string FContent;
  int FContentLines = 0;
  std::vector<std::unique_ptr<TPDFCustomAnnotation>> FAnnotations;
  int FObjectNumber = 0;
  int FResourcesNumber = 0;
  int FContentNumber = 0;
  int FResolution = 72;
  long double FK = 1;
  TPaperKind FSize = pkA4;
  int FWidth = 595;
  int FHeight = 842;
  TPaperOrientation FOrientation = orPortrait;
  TPageTurn FRotate = pt0;
  bool FUsesText = false;
  bool FUsesGrayImage = false;
  bool FUsesColorImage = false;
  std::vector<TPDFFont*> FFonts;
  std::vector<TPDFImage*> FImages;
  std::unique_ptr<TPageRecording> FRecording;
  bool FCanvasTaken = false;
  bool FPageInProgress = false;
  int FStateDepth = 0;
  bool FPathPending = false;
  std::string FCurrentDash = "[] 0";
  TTextState FText;

  friend struct TPageRecording;
};

class TPDFPages {
 public:
  explicit TPDFPages(TPDFDocument& Document) : FDocument(Document) {}
  TPDFPage* Add();
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  TPDFPage* Items(int Index) const { return FItems[Index].get(); }
  int IndexOf(const TPDFPage* Page) const;

 private:
  TPDFDocument& FDocument;
  std::vector<std::unique_ptr<TPDFPage>> FItems;
};

}  // namespace quillora

// Value types of the recording canvas: points, sizes, world transforms, and
// the pen, brush and font a program sets before drawing. The canvas compares
// them with what it last selected and writes object records only on change.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quillora/core/types.h"

namespace quillora {

struct TPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const TSize&) const = default;
};

// A world transform: x' = x * eM11 + y * eM21 + eDx, y' = x * eM12 + y * eM22 + eDy.
struct TXForm {
  float eM11 = 1, eM12 = 0, eM21 = 0, eM22 = 1, eDx = 0, eDy = 0;
  bool operator==(const TXForm&) const = default;
};

// The product A then B, as GDI's CombineTransform computes it.
TXForm CombineTransform(const TXForm& A, const TXForm& B);

enum TPenStyle {
  psSolid = 0,
  psDash = 1,
  psDot = 2,
  psDashDot = 3,
  psDashDotDot = 4,
  psClear = 5,
  psInsideFrame = 6,
  psUserStyle = 7,
  psAlternate = 8,
};
enum TPenEndCap { peRound, peSquare, peFlat };
enum TPenJoinStyle { pjRound, pjBevel, pjMiter };

// Width is in logical units; 0 draws one pixel wide whatever the mapping.
// Caps, joins and user dashes make the pen geometric (EXTCREATEPEN).
struct TPen {
  TColorRef Color = 0;
  int Width = 1;
  TPenStyle Style = psSolid;
  TPenEndCap EndCap = peRound;
  TPenJoinStyle JoinStyle = pjRound;
  std::vector<uint32_t> Dashes;  // dash and gap lengths for psUserStyle
  bool operator==(const TPen&) const = default;
};

enum TBrushStyle {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross,
};

struct TBrush {
  TColorRef Color = 0xFFFFFF;
  TBrushStyle Style = bsSolid;
  bool operator==(const TBrush&) const = default;
};

// A logical font. Name is 8-bit text (Windows-1252), as face names are
// everywhere in the library. Height < 0 is the character (em) height in
// pixels of the reference device, > 0 the cell height; Escapement is in
// tenths of a degree, counter-clockwise.
struct TCanvasFont {
  std::string Name = "Arial";
  int Height = -13;  // 10 points at 96 pixels per inch
  int Width = 0;
  int Escapement = 0;
  int Orientation = 0;
  int Weight = 400;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  uint8_t Charset = 1;  // DEFAULT_CHARSET
  uint8_t Quality = 0;
  uint8_t PitchAndFamily = 0;

  // Size in points at PixelsPerInch (the reference device's).
  int Size(int PixelsPerInch = 96) const;
  void SetSize(int Points, int PixelsPerInch = 96);
  // Bold, italic, underline and strike-out as the library's style bits.
  TFontStyles Style() const;
  void SetStyle(TFontStyles Style);
  bool operator==(const TCanvasFont&) const = default;
};

}  // namespace quillora

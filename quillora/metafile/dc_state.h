// The device-context state a metafile's records build up, kept by the
// converter itself: graphics objects, the state SAVEDC saves and RESTOREDC
// brings back, the default palette.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "quillora/core/types.h"
#include "quillora/platform/canvas_objects.h"

namespace quillora {

struct TIntPoint {
  int32_t X = 0, Y = 0;
  bool operator==(const TIntPoint&) const = default;
};

// The single-byte logical font the converter compares and keeps.
struct TLogFontA {
  int32_t Height = 0;
  int32_t Width = 0;
  int32_t Escapement = 0;
  int32_t Orientation = 0;
  int32_t Weight = 0;
  uint8_t Italic = 0;
  uint8_t Underline = 0;
  uint8_t StrikeOut = 0;
  uint8_t CharSet = 0;
  uint8_t OutPrecision = 0;
  uint8_t ClipPrecision = 0;
  uint8_t Quality = 0;
  uint8_t PitchAndFamily = 0;
  char FaceName[32] = {};

  // The face name up to its first zero byte.
  std::string Face() const;
  void SetFace(std::string_view Name);
  // Face, weight, italic, underline, strike-out, charset and height.
  bool SameLook(const TLogFontA& Other) const;
};

struct TPenObject {
  uint32_t Style = 0;  // PS_* style, low four bits
  int32_t Width = 0;
  TColorRef Color = 0;
};

struct TBrushObject {
  uint32_t Style = 0;
  TColorRef Color = 0;
  uint32_t Hatch = 0;
};

enum class TObjectKind : uint8_t { okNone, okPen, okBrush, okFont };

// One entry of the metafile's object table.
struct TGdiObject {
  TObjectKind Kind = TObjectKind::okNone;
  TPenObject Pen;
  TBrushObject Brush;
  TLogFontA Font;
};

// What a device context holds and SAVEDC saves: the values RESTOREDC reads
// back. Objects are held by value, so deleting a table entry does not change
// a saved or selected one.
struct TDCState {
  int32_t MapMode = 1;
  TIntPoint WindowOrg{0, 0};
  TIntPoint WindowExt{1, 1};
  TIntPoint ViewportOrg{0, 0};
  TIntPoint ViewportExt{1, 1};
  TXForm World;
  int32_t BkMode = 2;  // opaque
  TColorRef TextColor = 0;
  TColorRef BkColor = 0xFFFFFF;
  int32_t PolyFillMode = 1;  // alternate
  int32_t StretchMode = 1;
  uint32_t TextAlign = 0;
  int32_t ArcDirection = 1;            // counterclockwise
  TPenObject Pen;                      // the stock black pen
  TBrushObject Brush{0, 0xFFFFFF, 0};  // the stock white brush
  TLogFontA Font;                      // set by DefaultFont()
};

// The font a fresh device context has selected.
TLogFontA DefaultFont();
// The font of a stock font object (10 to 17).
TLogFontA StockFont(uint32_t Index);

// The saved states of a device context with the level rules of RestoreDC:
// a negative level counts back from the innermost save, a positive one names
// the level SaveDC returned.
class TDCStack {
 public:
  void Save(const TDCState& State) { FStates.push_back(State); }
  // Restores into State; false (State untouched) when the level does not exist.
  bool Restore(int32_t Level, TDCState& State);
  size_t Depth() const { return FStates.size(); }
  void Clear() { FStates.clear(); }

 private:
  std::vector<TDCState> FStates;
};

// The Windows code page of a font charset, as text records convert with it.
int ConverterCodePage(int Charset);

// The 20 entries of the platform's default palette.
TColorRef DefaultPaletteEntry(int Index);
// Palette-index colours (0x01000000 + 0..19) become their RGB value; any
// other value is returned unchanged.
TColorRef ResolveColor(TColorRef Color);

}  // namespace quillora

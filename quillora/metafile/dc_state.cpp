#include "quillora/metafile/dc_state.h"

#include <algorithm>
#include <cstring>

namespace quillora {

std::string TLogFontA::Face() const {
  const char* End = static_cast<const char*>(std::memchr(FaceName, 0, sizeof FaceName));
  return std::string(FaceName, End ? End - FaceName : sizeof FaceName);
}

void TLogFontA::SetFace(std::string_view Name) {
  std::memset(FaceName, 0, sizeof FaceName);
  std::memcpy(FaceName, Name.data(), std::min(Name.size(), sizeof FaceName - 1));
}

bool TLogFontA::SameLook(const TLogFontA& O) const {
  return std::memcmp(FaceName, O.FaceName, sizeof FaceName) == 0 && Weight == O.Weight &&
         Italic == O.Italic && Underline == O.Underline && StrikeOut == O.StrikeOut &&
         CharSet == O.CharSet && Height == O.Height;
}

TLogFontA DefaultFont() {
  // A fresh context selects the system font: bold, 16 pixels high.
  TLogFontA F;
  F.Height = 16;
  F.Weight = 700;
  F.SetFace("System");
  return F;
}

TLogFontA StockFont(uint32_t Index) {
  TLogFontA F = DefaultFont();
  switch (Index) {
    case 10:  // OEM fixed
    case 11:  // ANSI fixed
    case 16:  // system fixed
      F.Height = 12;
      F.Weight = 400;
      F.SetFace("Courier");
      break;
    case 12:  // ANSI variable
    case 17:  // default GUI
      F.Height = -11;
      F.Weight = 400;
      F.SetFace("MS Sans Serif");
      break;
    default:
      break;
  }
  return F;
}

bool TDCStack::Restore(int32_t Level, TDCState& State) {
  const int64_t Depth = static_cast<int64_t>(FStates.size());
  int64_t Target;  // index of the state to bring back
  if (Level < 0) {
    Target = Depth + Level;
  } else if (Level > 0) {
    Target = static_cast<int64_t>(Level) - 1;
  } else {
    return false;
  }
  if (Target < 0 || Target >= Depth) return false;
  State = FStates[static_cast<size_t>(Target)];
  FStates.resize(static_cast<size_t>(Target));
  return true;
}

namespace {

constexpr TColorRef kDefaultPalette[20] = {
    RGB(0, 0, 0),          RGB(0x80, 0, 0),       RGB(0, 0x80, 0),       RGB(0x80, 0x80, 0),
    RGB(0, 0, 0x80),       RGB(0x80, 0, 0x80),    RGB(0, 0x80, 0x80),    RGB(0xC0, 0xC0, 0xC0),
    RGB(0xC0, 0xDC, 0xC0), RGB(0xA6, 0xCA, 0xF0), RGB(0xFF, 0xFB, 0xF0), RGB(0xA0, 0xA0, 0xA4),
    RGB(0x80, 0x80, 0x80), RGB(0xFF, 0, 0),       RGB(0, 0xFF, 0),       RGB(0xFF, 0xFF, 0),
    RGB(0, 0, 0xFF),       RGB(0xFF, 0, 0xFF),    RGB(0, 0xFF, 0xFF),    RGB(0xFF, 0xFF, 0xFF),
};

}  // namespace

int ConverterCodePage(int Charset) {
  switch (Charset) {
    case 128:
      return 932;
    case 129:
      return 949;
    case 134:
      return 936;
    case 136:
      return 950;
    case 161:
      return 1253;
    case 162:
      return 1254;
    case 163:
      return 1258;
    case 186:
      return 1257;
    case 204:
      return 1251;
    case 238:
      return 1250;
    default:
      return 1252;
  }
}

TColorRef DefaultPaletteEntry(int Index) {
  return kDefaultPalette[Index];
}

TColorRef ResolveColor(TColorRef Color) {
  if (Color >= 0x01000000 && Color <= 0x01000013) return kDefaultPalette[Color - 0x01000000];
  return Color;
}

}  // namespace quillora

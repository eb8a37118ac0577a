// Small value types shared by the document, the pages and the converter.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace quillora {

// A set of enumeration values, kept as a bitmask (values below 32).
template <typename E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> values) {
    for (E v : values) Include(v);
  }
  constexpr void Include(E v) { bits_ |= Bit(v); }
  constexpr void Exclude(E v) { bits_ &= ~Bit(v); }
  constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr uint32_t Bits() const { return bits_; }
  constexpr bool operator==(const TSet&) const = default;

 private:
  static constexpr uint32_t Bit(E v) { return 1u << static_cast<unsigned>(v); }
  uint32_t bits_ = 0;
};

enum TCompressionType { ctNone, ctFlate };
enum TPageLayout { plSinglePage, plOneColumn, plTwoColumnLeft, plTwoColumnRight };
enum TPageMode { pmUseNone, pmUseOutlines, pmUseThumbs, pmFullScreen };
enum TPDFVersion { v13, v14, v15, v16 };
enum TPDFKeyLength { kl40, kl128 };

enum TPDFCriptoOption {
  coPrint,
  coModifyStructure,
  coCopyInformation,
  coModifyAnnotation,
  coPrintHi,
  coFillAnnotation,
  coExtractInfo,
  coAssemble
};
using TPDFCtiptoOptions = TSet<TPDFCriptoOption>;

enum TViewerPreference { vpHideToolBar, vpHideMenuBar, vpHideWindowUI, vpFitWindow, vpCenterWindow };
using TViewerPreferences = TSet<TViewerPreference>;

enum TPDFLineCap { lcButtEnd = 0, lcRound = 1, lcProjectingSquare = 2 };
enum TPDFLineJoin { ljMiter = 0, ljRound = 1, ljBevel = 2 };

// Page sizes 1 to 19; any other value keeps the current size.
using TPaperKind = int;
enum : int {
  pkLetter = 1, pkA4, pkA3, pkLegal, pkB5, pkC5, pk8x11, pkB4, pkA5, pkFolio, pkExecutive,
  pkEnvB4, pkEnvB5, pkEnvC6, pkEnvDL, pkEnvMonarch, pkEnv9, pkEnv10, pkEnv11
};
enum TPaperOrientation { orPortrait = 0, orLandscape = 1 };
enum TPageTurn { pt0 = 0, pt90, pt180, pt270 };

// How an image's samples are stored in the file.
enum TImageEncoding : uint8_t { ieFlate = 0, ieJPEG, ieCCITTG3, ieCCITTG3TwoD, ieCCITTG4 };

// Font style bits used by all font and text code.
enum TFontStyleBit : int { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = int;

// A point of two reals, as the arc operations return it.
struct TRealPoint {
  long double X = 0;
  long double Y = 0;
};

// Windows colour value: red in the low byte, then green, then blue.
using TColorRef = uint32_t;
inline constexpr uint8_t GetRValue(TColorRef c) { return c & 0xFF; }
inline constexpr uint8_t GetGValue(TColorRef c) { return (c >> 8) & 0xFF; }
inline constexpr uint8_t GetBValue(TColorRef c) { return (c >> 16) & 0xFF; }
inline constexpr TColorRef RGB(uint8_t r, uint8_t g, uint8_t b) {
  return r | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}

}  // namespace quillora

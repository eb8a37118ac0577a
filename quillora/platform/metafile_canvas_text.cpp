// Text of the recording canvas: EXTTEXTOUTW and EXTTEXTOUTA records with
// the advance array GDI writes, measured with the platform font system.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "quillora/core/exception.h"
#include "quillora/platform/font_system.h"
#include "quillora/platform/metafile_canvas.h"

namespace quillora {

using namespace emf;

namespace {

// Device advances to logical ones. Positions are rounded, not the advances,
// so a long run does not drift from where the device draws it.
void DeviceToLogical(std::vector<int>& Advances, double Scale) {
  if (Scale == 1 || Scale <= 0) return;
  int64_t Device = 0, Logical = 0;
  for (int& A : Advances) {
    Device += A;
    const int64_t End = std::llround(Device / Scale);
    A = static_cast<int>(End - Logical);
    Logical = End;
  }
}

}  // namespace

void TMetafileCanvas::MeasureLogical(std::u16string_view Text, std::vector<int>& Advances) {
  MeasuringFont()->TextExtent(Text, &Advances);
  DeviceToLogical(Advances, ScaleX());
}

void TMetafileCanvas::MeasureLogicalA(std::string_view Text, std::vector<int>& Advances) {
  MeasuringFont()->TextExtentA(Text, &Advances);
  DeviceToLogical(Advances, ScaleX());
}

TSize TMetafileCanvas::TextExtent(std::u16string_view Text) {
  MeasureLogical(Text, FAdvances);
  int Width = 0;
  for (int A : FAdvances) Width += A;
  const double Height = MeasuringFont()->TextMetrics().Height / ScaleY();
  return {Width, static_cast<int>(std::lround(Height))};
}

TSize TMetafileCanvas::TextExtent(std::string_view Text) {
  MeasureLogicalA(Text, FAdvances);
  int Width = 0;
  for (int A : FAdvances) Width += A;
  const double Height = MeasuringFont()->TextMetrics().Height / ScaleY();
  return {Width, static_cast<int>(std::lround(Height))};
}

void TMetafileCanvas::TextOut(int X, int Y, std::u16string_view Text) {
  ExtTextOut(X, Y, 0, nullptr, Text);
}

void TMetafileCanvas::TextOut(int X, int Y, std::string_view Text) {
  ExtTextOut(X, Y, 0, nullptr, Text);
}

void TMetafileCanvas::TextRect(const TRect& Rect, int X, int Y, std::u16string_view Text,
                               uint32_t Options) {
  ExtTextOut(X, Y, Options, &Rect, Text);
}

void TMetafileCanvas::TextRect(const TRect& Rect, int X, int Y, std::string_view Text,
                               uint32_t Options) {
  ExtTextOut(X, Y, Options, &Rect, Text);
}

void TMetafileCanvas::ExtTextOut(int X, int Y, uint32_t Options, const TRect* Rect,
                                 std::u16string_view Text, std::span<const int> Advances) {
  WriteText<char16_t>(X, Y, Options, Rect, Text, Advances);
}

void TMetafileCanvas::ExtTextOut(int X, int Y, uint32_t Options, const TRect* Rect,
                                 std::string_view Text, std::span<const int> Advances) {
  WriteText<char>(X, Y, Options, Rect, Text, Advances);
}

template <typename TChar>
void TMetafileCanvas::WriteText(int X, int Y, uint32_t Options, const TRect* Rect,
                                std::basic_string_view<TChar> Text, std::span<const int> Advances) {
  CheckOpen();
  constexpr bool Wide = sizeof(TChar) == 2;
  const size_t N = Text.size();
  const size_t PerChar = (Options & ETO_PDY) ? 2 : 1;
  RealizeFont();
  const platform::TFont* Measure = MeasuringFont();

  std::span<const int> Dx = Advances;
  if (!Advances.empty()) {
    if (Advances.size() != N * PerChar) throw Exception("Text advances do not match the text");
  } else if (N > 0) {
    if (Options & ETO_GLYPH_INDEX) throw Exception("Glyph-index text needs its advances");
    if constexpr (Wide)
      MeasureLogical(Text, FAdvances);
    else
      MeasureLogicalA(Text, FAdvances);
    if (PerChar == 2) {
      FAdvances.resize(2 * N);
      for (size_t I = N; I-- > 0;) {
        FAdvances[2 * I] = FAdvances[I];
        FAdvances[2 * I + 1] = 0;
      }
    }
    Dx = FAdvances;
  }
  int64_t Total = 0;
  for (size_t I = 0; I < Dx.size(); I += PerChar) Total += Dx[I];

  const TPoint Ref = (FState.TextAlign & TA_UPDATECP) ? FState.CurrentPos : TPoint{X, Y};
  const uint32_t HAlign = FState.TextAlign & TA_CENTER;
  const uint32_t VAlign = FState.TextAlign & TA_BASELINE;
  const double Angle = FState.Font.Escapement * std::numbers::pi / 1800;

  // The text box on the device: along the baseline from the aligned start,
  // from the top of the cell to its bottom, turned by the escapement.
  TBounds B;
  if (N > 0) {
    const platform::TTextMetrics Tm = Measure->TextMetrics();
    const double W = Total * ScaleX();
    const double U0 = HAlign == TA_RIGHT ? -W : HAlign == TA_CENTER ? -W / 2 : 0;
    const double V0 = VAlign == TA_BASELINE ? -Tm.Ascent : VAlign == TA_BOTTOM ? -Tm.Height : 0;
    double Turn = Angle;
    if (!WorldIsAxisAligned()) Turn -= std::atan2(FState.World.eM12, FState.World.eM11);
    const double C = std::cos(Turn), S = std::sin(Turn);
    double RX, RY;
    ToDevice(Ref.X, Ref.Y, RX, RY);
    // Inclusive edges: the last pixel column and row of the box.
    const double Far = W >= 1 ? W - 1 : 0, Low = Tm.Height >= 1 ? Tm.Height - 1 : 0;
    for (const double U : {U0, U0 + Far})
      for (const double V : {V0, V0 + Low})
        B.Add(std::round(RX + U * C + V * S), std::round(RY - U * S + V * C));
  }
  if (Rect && (Options & (ETO_OPAQUE | ETO_CLIPPED))) {
    const TBounds R = BoxBounds(Rect->Left, Rect->Top, Rect->Right, Rect->Bottom);
    if (Options & ETO_CLIPPED) {
      // Nothing is drawn outside the rectangle.
      if (!B.Empty && !R.Empty) {
        B.Left = std::max(B.Left, R.Left);
        B.Top = std::max(B.Top, R.Top);
        B.Right = std::min(B.Right, R.Right);
        B.Bottom = std::min(B.Bottom, R.Bottom);
        if (B.Right < B.Left || B.Bottom < B.Top) B = TBounds{};
      } else {
        B = TBounds{};
      }
    }
    if (Options & ETO_OPAQUE) B.Add(R);
  }
  Accumulate(B);

  const uint64_t StringBytes = TRecordWriter::Align4(uint64_t{N} * sizeof(TChar));
  const uint64_t Size = text::Size + StringBytes + 4 * uint64_t{Dx.size()};
  const size_t At = FWriter.Begin(Wide ? EMR_EXTTEXTOUTW : EMR_EXTTEXTOUTA, Size);
  PutBounds(FWriter, At + text::Bounds, B);
  FWriter.PutI32(At + text::GraphicsMode, FState.GraphicsMode);
  if (FState.GraphicsMode == GM_COMPATIBLE) {
    // Hundredths of a millimetre per device pixel.
    FWriter.PutF32(At + text::XScale, 100.0f * FReference.WidthMillimeters() /
                                          static_cast<float>(FReference.WidthPixels));
    FWriter.PutF32(At + text::YScale, 100.0f * FReference.HeightMillimeters() /
                                          static_cast<float>(FReference.HeightPixels));
  }
  FWriter.PutI32(At + text::RefX, Ref.X);
  FWriter.PutI32(At + text::RefY, Ref.Y);
  FWriter.Put32(At + text::Chars, static_cast<uint32_t>(N));
  FWriter.Put32(At + text::StringOffset, N ? text::Size : 0);
  FWriter.Put32(At + text::Options, Options);
  if (Rect) {
    FWriter.PutI32(At + text::RectLeft, Rect->Left);
    FWriter.PutI32(At + text::RectTop, Rect->Top);
    FWriter.PutI32(At + text::RectRight, Rect->Right);
    FWriter.PutI32(At + text::RectBottom, Rect->Bottom);
  } else {
    FWriter.PutI32(At + text::RectRight, -1);
    FWriter.PutI32(At + text::RectBottom, -1);
  }
  FWriter.Put32(At + text::DxOffset, N ? static_cast<uint32_t>(text::Size + StringBytes) : 0);
  size_t P = At + text::Size;
  if constexpr (Wide) {
    for (char16_t C : Text) {
      FWriter.Put16(P, C);
      P += 2;
    }
  } else {
    FWriter.PutBytes(P, Text.data(), N);
  }
  P = At + text::Size + StringBytes;
  for (int A : Dx) {
    FWriter.PutI32(P, A);
    P += 4;
  }

  if (FState.TextAlign & TA_UPDATECP) {
    // The current position moves past the text (back over it when aligned
    // right); centred text leaves it.
    const double Sign = HAlign == TA_RIGHT ? -1 : HAlign == TA_CENTER ? 0 : 1;
    const auto Move = [](int From, double By) {
      const double To = std::round(From + By);
      return static_cast<int>(std::clamp(To, double{INT32_MIN}, double{INT32_MAX}));
    };
    FState.CurrentPos.X = Move(FState.CurrentPos.X, Sign * std::cos(Angle) * Total);
    FState.CurrentPos.Y = Move(FState.CurrentPos.Y, -Sign * std::sin(Angle) * Total);
  }
}

template void TMetafileCanvas::WriteText<char16_t>(int, int, uint32_t, const TRect*,
                                                   std::u16string_view, std::span<const int>);
template void TMetafileCanvas::WriteText<char>(int, int, uint32_t, const TRect*, std::string_view,
                                               std::span<const int>);

}  // namespace quillora

// Text records: the page font from the logical font, placement of the
// reference point, advances, glyph text, clipped and opaque rectangles.
#include <cmath>
#include <cstring>
#include <numbers>

#include "quillora/core/exception.h"
#include "quillora/fonts/font_lookup.h"
#include "quillora/metafile/emw_parser.h"
#include "quillora/page/page.h"
#include "quillora/platform/codepage.h"
#include "quillora/platform/font_system.h"

namespace quillora {

using namespace emf;

namespace {

constexpr int kReferencePixelsPerInch = 96;

int MulDiv(int64_t A, int64_t B, int64_t C) {
  const int64_t P = A * B;
  return static_cast<int>((P >= 0 ? P + C / 2 : P - C / 2) / C);
}

std::string Upper(std::string S) {
  for (char& C : S)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return S;
}

platform::TLogFont Request(const TLogFontA& F) {
  platform::TLogFont R;
  R.FaceName = F.Face();
  R.Height = F.Height;
  R.Width = F.Width;
  R.Weight = F.Weight;
  R.Italic = F.Italic != 0;
  R.Charset = F.CharSet;
  return R;
}

std::unique_ptr<platform::TFont> CreateFont(const platform::TLogFont& R) {
  auto Font = platform::TFont::Create(R);
  if (!Font) throw Exception("No font available");
  return Font;
}

}  // namespace

void TEMWParser::BeginPlaybackText() {
  FPage.SetHorizontalScaling(100);
  FPage.SetCharacterSpacing(0);
  FPage.SetWordSpacing(0);
}

void TEMWParser::EndPlaybackText() {
  FPage.SetBaselineOrigin(false);
  FPage.SetHorizontalScaling(100);
  FPage.SetCharacterSpacing(0);
  FPage.SetWordSpacing(0);
}

const platform::TFont& TEMWParser::MeasureFont() {
  if (!FMeasureFont || std::memcmp(&FMeasureFontFor, &FFont, sizeof FFont) != 0) {
    FMeasureFont = CreateFont(Request(FFont));
    FMeasureFontFor = FFont;
  }
  return *FMeasureFont;
}

bool TEMWParser::CachedFontExists(const std::string& Face, int Charset) {
  for (const TFontExists& F : FFontExists)
    if (F.Charset == Charset && F.Face == Face) return F.Exists;
  const bool Exists = FontExists(Face, Charset);
  FFontExists.push_back({Face, Charset, Exists});
  return Exists;
}

const std::string& TEMWParser::CachedFontForCharset(int Charset) {
  for (const auto& F : FFontForCharset)
    if (F.first == Charset) return F.second;
  FFontForCharset.emplace_back(Charset, FindFontForCharset(Charset));
  return FFontForCharset.back().second;
}

int TEMWParser::WgHeight() {
  return MeasureFont().TextExtent(u"Wg").Height;
}

void TEMWParser::SelectPdfFont() {
  if (!FFontChanged) return;
  FFontChanged = false;

  int Style = 0;
  if (FFont.Weight >= 600) Style |= 1;
  if (FFont.Italic) Style |= 2;
  if (FFont.Underline) Style |= 4;
  if (FFont.StrikeOut) Style |= 8;

  const std::string Face = FFont.Face();
  const std::string U = Upper(Face);
  bool Substitute = U == "HELVETICA" && FFont.CharSet != 0;
  FSymbolFont = U == "WINGDINGS";
  if (FSymbolFont) FFont.CharSet = SYMBOL_CHARSET;
  std::string Replacement;
  if (!CachedFontExists(Face, FFont.CharSet)) {
    if (FFont.CharSet == platform::DefaultFontCharset() &&
        CachedFontExists(Face, DEFAULT_CHARSET)) {
      FFont.CharSet = DEFAULT_CHARSET;
    } else {
      Substitute = true;
      Replacement = CachedFontForCharset(FFont.CharSet);
    }
  }

  long double Size;
  if (FFont.Height < 0) {
    Size = MulDiv(-static_cast<int64_t>(FFont.Height), 72, kReferencePixelsPerInch);
  } else {
    const platform::TTextMetrics M = MeasureFont().TextMetrics();
    Size = MulDiv(M.Height - M.InternalLeading, 72, kReferencePixelsPerInch);
  }
  Size = std::fabs(FWorldScaleY) * Size;
  Size = SizeScaleY() * Size;

  if (!Substitute)
    FPage.SetTextFont(Face, Style, Size, 0);
  else if (U == "COURIER")
    FPage.SetTextFont("Courier New", Style, Size, FFont.CharSet);
  else if (U == "TIMES")
    FPage.SetTextFont("Times New Roman", Style, Size, FFont.CharSet);
  else if (!Replacement.empty())
    FPage.SetTextFont(Replacement, Style, Size, FFont.CharSet);
  else
    FPage.SetTextFont("Arial", Style, Size, 0);

  if (FFont.Width == 0) {
    FPage.SetHorizontalScaling(100);
  } else {
    platform::TLogFont R = Request(FFont);
    const int Wide = CreateFont(R)->CharAdvance(U'A');
    R.Width = 0;
    const int Normal = CreateFont(R)->CharAdvance(U'A');
    FPage.SetHorizontalScaling(Normal ? 100.0L * Wide / Normal : 100);
  }
}

void TEMWParser::ReopenClip(bool Reopen) {
  if (!Reopen) return;
  if (FClipRectValid) {
    FPage.SaveState();
    FPage.Rectangle(FClipRect[0], FClipRect[1], FClipRect[2], FClipRect[3]);
    FPage.Clip();
    FPage.NewPath();
  } else {
    FClipActive = false;
  }
}

void TEMWParser::DoExtTextOut(const TRecord& R, bool Wide) {
  const int32_t RefX = R.I32(text::RefX), RefY = R.I32(text::RefY);
  const uint32_t Count = R.U32(text::Chars);
  const uint32_t StringOffset = R.U32(text::StringOffset);
  const uint32_t Options = R.U32(text::Options);
  const int32_t Left = R.I32(text::RectLeft), Top = R.I32(text::RectTop);
  const int32_t Right = R.I32(text::RectRight), Bottom = R.I32(text::RectBottom);
  const uint32_t DxOffset = R.U32(text::DxOffset);
  // Characters and advances must lie inside the record, or nothing is drawn.
  if (Count && !R.Fits(StringOffset, uint64_t{Count} * (Wide ? 2 : 1))) throw ERecordBounds();
  const bool HaveDx = DxOffset != 0 && Count != 0;
  if (HaveDx && !R.Fits(DxOffset, uint64_t{Count} * 4)) throw ERecordBounds();

  FPage.SetBaselineOrigin(false);
  const bool Opaque = Options & ETO_OPAQUE, Clipped = Options & ETO_CLIPPED;
  if (FLogging) {
    auto Int = [](int64_t V) { return IntToStr(V); };
    FTextDetails = "Angle = " + Int(FFont.Escapement / 10) + " Bounds = (" + Int(R.I32(8)) + " " +
                   Int(R.I32(12)) + " " + Int(R.I32(16)) + " " + Int(R.I32(20)) +
                   ") Opaque = " + Int(Options & ETO_OPAQUE) +
                   " Clipped= " + Int(Options & ETO_CLIPPED) +
                   "\r\nXScale = " + FormatReal(R.F32(text::XScale), true) +
                   " YScale = " + FormatReal(R.F32(text::YScale), true) + " Reference = (" +
                   Int(RefX) + " " + Int(RefY) + ")\r\nRTL = (" + Int(Left) + " " + Int(Top) + " " +
                   Int(Right) + " " + Int(Bottom) + ")";
    if (Options & ETO_GLYPH_INDEX) FTextDetails += "\r\nUsed glyph indexes";
  }

  // Background and clip rectangle, before the text.
  bool Opened = false, Reopen = false;
  const TColorRef SavedFill = FLastFillColor;
  if (Clipped || Opaque || FBkOpaque) {
    bool PendingFill = true;
    const bool Usable = Right > Left && Bottom > Top;
    auto Rect = [&] { FPage.Rectangle(MapX(Left), MapY(Top), MapX(Right), MapY(Bottom)); };
    if (Clipped && Count != 0) {
      if (FClipActive) {
        FPage.RestoreState();
        Reopen = true;
      }
      FPage.SaveState();
      Opened = true;
      FPage.NewPath();
      if ((Opaque || FBkOpaque) && Usable) {
        PendingFill = false;
        SetFillFromBackground();
      }
      Rect();
      FPage.Clip();
      if (PendingFill)
        FPage.NewPath();
      else
        FPage.Fill();
    }
    if (PendingFill && (Opaque || FBkOpaque) && Usable) {
      SetFillFromBackground();
      FPage.NewPath();
      Rect();
      FPage.Fill();
    }
  }

  if (Count != 0) {
    SetFillFromTextColor();
    SelectPdfFont();

    // The characters, and glyphs when the platform composes combining marks.
    const uint8_t* Chars = R.Data() + StringOffset;
    size_t N = Count;
    bool Glyphs = Wide && (Options & ETO_GLYPH_INDEX);
    bool PlacedAdvances = false;
    long double PlacedSum = 0;
    FAdvances.clear();
    if (Wide) {
      FWide.resize(N);
      for (size_t i = 0; i < N; ++i) FWide[i] = TRecord::LoadU16(Chars + 2 * i);
      if (Glyphs) {
        FGlyphs.assign(FWide.begin(), FWide.end());
      } else {
        bool Marks = false;
        for (char16_t C : FWide) Marks = Marks || (C >= 0x300 && C <= 0x36F);
        platform::TGlyphRun Run;
        if (Marks && MeasureFont().PlaceCharacters(FWide, Run) && Run.Glyphs.size() != N &&
            !Run.Glyphs.empty()) {
          FGlyphs = Run.Glyphs;
          N = FGlyphs.size();
          Glyphs = true;
          PlacedAdvances = true;
          Run.Advances.resize(N);
          PlacedSum = 0;
          const long double Scale = std::fabs(FWorldScaleY) * SizeScaleX() * FScaleX;
          for (size_t i = 0; i < N; ++i) {
            FAdvances.push_back(static_cast<double>(Scale * Run.Advances[i]));
            PlacedSum += Run.Advances[i];
          }
        }
      }
    } else {
      FBytes.assign(reinterpret_cast<const char*>(Chars), N);
    }

    // Advances in device units, and the total advance in logical units.
    long double Total;
    if (PlacedAdvances) {
      Total = SizeScaleX() * PlacedSum;
    } else if (HaveDx) {
      const uint8_t* Dx = R.Data() + DxOffset;
      const long double Scale = std::fabs(FWorldScaleY) * SizeScaleX() * FScaleX;
      long double Sum = 0;
      FAdvances.resize(N);
      for (size_t i = 0; i < N; ++i) {
        const int32_t A = TRecord::LoadI32(Dx + 4 * i);
        FAdvances[i] = static_cast<double>(Scale * A);
        Sum += A;
      }
      Total = SizeScaleX() * Sum;
    } else {
      Total = static_cast<long double>(Right) - Left;
    }

    // The reference point.
    long double X = RefX, Y = RefY;
    const long double Theta = FFont.Escapement * std::numbers::pi_v<long double> / 1800;
    if (FTextUpdateCP) {
      X = FCurrentPos.X;
      Y = FCurrentPos.Y;
      const int64_t DX =
          FFont.Escapement == 0 ? RoundHalfEven(Total) : RoundHalfEven(std::cos(Theta) * Total);
      const int64_t DY = FFont.Escapement == 0 ? 0 : RoundHalfEven(std::sin(Theta) * Total);
      if (FTextHAlign == 0) {
        FCurrentPos.X = static_cast<int32_t>(FCurrentPos.X + DX);
        FCurrentPos.Y = static_cast<int32_t>(FCurrentPos.Y - DY);
      } else if (FTextHAlign == 2) {
        FCurrentPos.X = static_cast<int32_t>(FCurrentPos.X - DX);
        FCurrentPos.Y = static_cast<int32_t>(FCurrentPos.Y + DY);
      }
    }
    if (FFont.Escapement == 0) {
      if (FTextVAlign == 1)
        FPage.SetBaselineOrigin(true);
      else if (FTextVAlign == 2)
        Y -= WgHeight();
      if (FTextHAlign == 1)
        X -= Total / 2;
      else if (FTextHAlign == 2)
        X -= Total;
    } else if (FTextVAlign != 0 || FTextHAlign != 0) {
      long double V = 0, H = 0;
      if (FTextVAlign == 1)
        V = MeasureFont().TextMetrics().Ascent;
      else if (FTextVAlign == 2)
        V = MeasureFont().TextMetrics().Height;
      if (FTextHAlign == 1)
        H = Total / 2;
      else if (FTextHAlign == 2)
        H = Total;
      if (V == 0) {
        X -= std::cos(Theta) * H;
        Y += std::sin(Theta) * H;
      } else {
        const long double D = std::sqrt(H * H + V * V);
        const long double Beta = std::asin(V / D);
        X -= std::cos(Theta - Beta) * D;
        Y += std::sin(Theta - Beta) * D;
      }
    }
    const long double PX = MapX(X), PY = MapY(Y);
    if (FLogging)
      FTextDetails += "\r\nX = " + FormatReal(PX, true) + " Y = " + FormatReal(PY, true) + " ";

    const long double Angle = FFont.Escapement / 10.0L;
    const std::span<const double> Advances(FAdvances.data(), FAdvances.size());
    if (Wide) {
      if (FLogging && !Glyphs) {
        std::string Log;
        if (FFont.CharSet == SYMBOL_CHARSET || FSymbolFont) {
          for (char16_t C : FWide) Log.push_back(static_cast<char>(C & 0xFF));
        } else {
          const int Charset =
              FFont.CharSet == DEFAULT_CHARSET ? platform::DefaultFontCharset() : FFont.CharSet;
          Log = platform::UnicodeToMultiByte(FWide, ConverterCodePage(Charset));
        }
        FTextDetails += "Text: " + Log;
      }
      if (Glyphs)
        FPage.ShowGlyphs(PX, PY, Angle, std::span<const uint16_t>(FGlyphs.data(), N), Advances);
      else if (!Advances.empty())
        FPage.ShowTextWAdvances(PX, PY, Angle, FWide, Advances);
      else
        FPage.ShowTextW(PX, PY, Angle, FWide);
    } else {
      if (FLogging) FTextDetails += "Text: " + FBytes;
      if (!Advances.empty())
        FPage.ShowTextAdvances(PX, PY, Angle, FBytes, Advances);
      else
        FPage.ShowText(PX, PY, Angle, FBytes);
    }
  }

  if (Opened) {
    FPage.RestoreState();
    FFontChanged = true;
    FLastFillColor = SavedFill;
    ReopenClip(Reopen);
  }
}

void TEMWParser::DoSmallTextOut(const TRecord& R) {
  const uint32_t Count = R.U32(smalltext::Chars);
  if (Count == 0) return;
  const int32_t X = R.I32(smalltext::X), Y = R.I32(smalltext::Y);
  const uint32_t Options = R.U32(smalltext::Options);
  const bool HasRect = !(Options & ETO_NO_RECT);
  const bool Glyphs = Options & ETO_GLYPH_INDEX;
  const bool Small = (Options & ETO_SMALL_CHARS) && !Glyphs;
  const uint64_t Offset = smalltext::Clip + (HasRect ? 16 : 0);
  if (!R.Fits(Offset, uint64_t{Count} * (Small ? 1 : 2))) throw ERecordBounds();
  const uint8_t* Chars = R.Data() + Offset;
  if (Small) {
    FBytes.assign(reinterpret_cast<const char*>(Chars), Count);
  } else {
    FWide.resize(Count);
    for (size_t i = 0; i < Count; ++i) FWide[i] = TRecord::LoadU16(Chars + 2 * i);
  }

  FPage.SetCharacterSpacing(0);
  const long double Angle = FFont.Escapement / 10.0L;
  auto VerticalY = [&]() -> long double {
    if (FTextVAlign == 1) {
      FPage.SetBaselineOrigin(true);
      return MapY(Y);
    }
    if (FTextVAlign == 2) return MapY(static_cast<long double>(Y) - WgHeight());
    return MapY(Y);
  };
  auto HorizontalX = [&](long double Extent) -> long double {
    if (FTextHAlign == 1) return MapX(X - Extent / 2);
    if (FTextHAlign == 2) return MapX(X - Extent);
    return MapX(X);
  };

  if (Glyphs) {
    const long double PY = VerticalY();
    const long double PX = MapX(X);
    SetFillFromTextColor();
    SelectPdfFont();
    FGlyphs.assign(FWide.begin(), FWide.end());
    FPage.ShowGlyphs(PX, PY, Angle, FGlyphs, {});
    return;
  }

  auto Show = [&] {
    const long double PY = VerticalY();
    SetFillFromTextColor();
    SelectPdfFont();
    if (Small) {
      const long double PX = HorizontalX(MeasureFont().TextExtentA(FBytes).Width);
      FPage.ShowText(PX, PY, Angle, FBytes);
    } else {
      const long double PX = HorizontalX(MeasureFont().TextExtent(FWide).Width);
      FPage.ShowTextW(PX, PY, Angle, FWide);
    }
  };
  if (!HasRect) {
    Show();
    return;
  }
  const long double X1 = MapX(R.I32(smalltext::Clip)), Y1 = MapY(R.I32(smalltext::Clip + 4));
  const long double X2 = MapX(R.I32(smalltext::Clip + 8)), Y2 = MapY(R.I32(smalltext::Clip + 12));
  bool Reopen = false;
  if (FClipActive) {
    FPage.RestoreState();
    Reopen = true;
  }
  FPage.SaveState();
  FPage.NewPath();
  FPage.Rectangle(X1, Y1, X2, Y2);
  FPage.Clip();
  FPage.NewPath();
  Show();
  FPage.RestoreState();
  FFontChanged = true;
  ReopenClip(Reopen);
}

}  // namespace quillora

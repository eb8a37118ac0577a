// Text with per-character advances: characters share a "Tj" while the
// font's widths agree with the advances; where they drift apart a character
// spacing fitted to the run absorbs the difference and a "Td" moves to the
// next run.
#include <cmath>
#include <vector>

#include "quillora/core/document.h"
#include "quillora/core/tokens.h"
#include "quillora/fonts/font_registry.h"
#include "quillora/fonts/winansi.h"
#include "quillora/page/page.h"
#include "quillora/page/text_internal.h"

namespace quillora {

namespace {

// Advances in text-space units (units of the font size); negative where the
// caller gave none, so the character keeps its natural width.
std::vector<float> TextSpaceAdvances(TPDFPage& Page, std::span<const double> Advances,
                                     size_t Count) {
  std::vector<float> a(Count, -1.0f);
  long double size = Page.TextState().FontSize;
  long double k = Page.Scale();
  for (size_t i = 0; i < Count && i < Advances.size(); ++i)
    a[i] = size != 0 ? static_cast<float>(Advances[i] / k / size) : 0.0f;
  return a;
}

// Single-byte advances for text that became fewer UTF-16 characters (double
// byte code pages): each character takes the advances of its share of bytes.
std::vector<double> RegroupAdvances(std::span<const double> Advances, size_t Bytes, size_t Chars) {
  std::vector<double> out(Chars, 0.0);
  size_t n = std::min(Advances.size(), Bytes);
  for (size_t b = 0; b < n; ++b) out[std::min(Chars - 1, b * Chars / Bytes)] += Advances[b];
  return out;
}

long double SumAdvances(std::span<const double> Advances, size_t From, size_t To) {
  long double sum = 0;
  for (size_t i = From; i < To && i < Advances.size(); ++i) sum += Advances[i];
  return sum;
}

// Writes the runs of text whose characters have natural widths and given
// advances; Next(i) appends character i to the run and returns its width
// and kind. Returns the sum of the advances used.
template <typename TNext>
long double WriteRuns(TPDFPage& Page, size_t Count, const std::vector<float>& A, TNext Next,
                      const std::function<bool(size_t)>& KindOf) {
  long double total = 0;
  TTextState& t = Page.TextState();
  std::string run;
  size_t i = 0;
  while (i < Count) {
    long double W = 0, S = 0;
    int n = 0;
    run.clear();
    bool unicode = KindOf(i);
    Page.SelectFont(unicode);
    bool closed = false;
    while (i < Count && KindOf(i) == unicode) {
      long double w = Next(i, run);
      if (t.HorizontalScaling != 100) w = w * t.HorizontalScaling / 100;
      long double a = A[i] < 0 ? w : A[i];
      ++i;
      total += a;
      if (std::fabs(w - a) <= 0.1L) {
        W += w;
        S += a;
        ++n;
        continue;
      }
      if (n > 0) Page.SetCharacterSpacingPage((S - W) / n);
      S += a;
      ++n;
      closed = true;
      break;
    }
    if (!closed && n > 0) Page.SetCharacterSpacingPage((S - W) / n);
    if (unicode) {
      Page.WriteContent("<" + run + "> Tj");
    } else {
      t.SelectedFont->MarkUsed(run);
      Page.WriteContent("(" + EscapeString(run) + ") Tj");
    }
    if (i < Count) {
      std::string line;
      AppendReal(line, S);
      line += " 0 Td";
      Page.WriteContent(line);
    }
  }
  return total;
}

void ShowUnicodeAdvances(TPDFPage& Page, std::u16string_view Original,
                         std::span<const double> Advances) {
  TTextState& t = Page.TextState();
  Page.SetUsesText();
  Page.SetWordSpacing(0);
  std::u16string text(Original);
  for (char16_t& c : text)
    if (c == 0xA0) c = u' ';
  std::vector<float> a = TextSpaceAdvances(Page, Advances, text.size());
  auto kindOf = [&](size_t i) { return !IsWinAnsiChar(text[i]); };
  long double total = WriteRuns(
      Page, text.size(), a,
      [&](size_t i, std::string& run) -> long double {
        TPDFFont* font = t.SelectedFont;
        if (kindOf(i)) {
          AppendWordHex(run, font->TTFData()->CharToGlyph(text[i]));
          return font->TTFData()->CharWidth(text[i]) / 1000.0L;
        }
        uint8_t code = UnicodeToWinAnsi(text[i]);
        if (code < 32) code = 32;
        run += static_cast<char>(code);
        return font->Width(code) / 1000.0L;
      },
      kindOf);
  if (t.FontStyle & 12) Page.DrawTextDecoration(total * t.FontSize);
}

}  // namespace

void TPDFPage::ShowTextAdvances(long double X, long double Y, long double Angle,
                                std::string_view Text, std::span<const double> Advances) {
  if (Advances.empty()) {
    ShowText(X, Y, Angle, Text);
    return;
  }
  if (Text.empty()) return;
  PlaceText(*this, X, Y, Angle);
  SetUsesText();
  SetHorizontalScaling(100);
  SetWordSpacing(0);
  SetCharacterSpacing(0);
  std::string text(Text);
  for (char& c : text)
    if (static_cast<uint8_t>(c) < 32) c = ' ';
  if (FText.FontCharset != 0) {
    std::u16string wide = ConvertOrRaise(text, FText.FontCharset);
    if (wide.size() == text.size()) {
      ShowUnicodeAdvances(*this, wide, Advances);
    } else {
      std::vector<double> regrouped = RegroupAdvances(Advances, text.size(), wide.size());
      ShowUnicodeAdvances(*this, wide, regrouped);
    }
  } else {
    SelectFont(false);
    TPDFFont* font = FText.SelectedFont;
    if (!font->StandardFont())
      for (char& c : text)
        if (static_cast<uint8_t>(c) == 160) c = ' ';
    font->MarkUsed(text);
    std::vector<float> a = TextSpaceAdvances(*this, Advances, text.size());
    long double total = 0;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
      long double advance = a[i] < 0 ? font->Width(static_cast<uint8_t>(text[i])) / 1000.0L : a[i];
      total += advance;
      line.clear();
      line += '(';
      line += EscapeString(std::string_view(text).substr(i, 1));
      line += ") Tj ";
      AppendReal(line, advance);
      line += " 0 Td";
      WriteContent(line);
    }
    if (FText.FontStyle & 12) DrawTextDecoration(total * FText.FontSize);
  }
  if (Angle == 0 && FDocument.AutoCreateURL()) {
    DetectLinks(*this, X, Y, Text,
                [&](size_t from, size_t to, bool) { return SumAdvances(Advances, from, to); });
  }
}

void TPDFPage::ShowTextWAdvances(long double X, long double Y, long double Angle,
                                 std::u16string_view Text, std::span<const double> Advances) {
  if (Advances.empty()) {
    ShowTextW(X, Y, Angle, Text);
    return;
  }
  if (Text.empty()) return;
  PlaceText(*this, X, Y, Angle);
  ShowUnicodeAdvances(*this, Text, Advances);
  if (Angle == 0 && FDocument.AutoCreateURL()) {
    DetectLinks(*this, X, Y, LowBytes(Text),
                [&](size_t from, size_t to, bool) { return SumAdvances(Advances, from, to); });
  }
}

void TPDFPage::ShowGlyphs(long double X, long double Y, long double Angle,
                          std::span<const uint16_t> Glyphs, std::span<const double> Advances) {
  if (Glyphs.empty()) return;
  PlaceText(*this, X, Y, Angle);
  SetUsesText();
  SelectFont(true);
  TTTFData* data = FText.SelectedFont->TTFData();
  // The glyph's entry marked used, and its width; a glyph no character maps
  // (a shaped form) is kept with its own width.
  auto use = [&](uint16_t glyph, bool& space) -> int {
    TCharGlyph& e = data->FindGlyph(glyph);
    if (e.Glyph != glyph) {
      data->MarkExtraGlyph(glyph);
      space = false;
      return data->GlyphWidth(glyph);
    }
    e.Used = true;
    space = e.Char == u' ';
    return e.Width;
  };
  if (!Advances.empty()) {
    SetWordSpacing(0);
    std::vector<float> a = TextSpaceAdvances(*this, Advances, Glyphs.size());
    long double total = WriteRuns(
        *this, Glyphs.size(), a,
        [&](size_t i, std::string& run) -> long double {
          bool space = false;
          int width = use(Glyphs[i], space);
          AppendWordHex(run, Glyphs[i]);
          return width / 1000.0L;
        },
        [](size_t) { return true; });
    if (FText.FontStyle & 12) DrawTextDecoration(total * FText.FontSize);
    return;
  }
  std::string line = "<";
  long double sum = 0;
  int spaces = 0;
  for (uint16_t g : Glyphs) {
    bool space = false;
    sum += use(g, space);
    spaces += space;
    AppendWordHex(line, g);
  }
  line += "> Tj";
  WriteContent(line);
  if (FText.FontStyle & 12) {
    long double width = sum * FText.FontSize / 1000;
    if (FText.HorizontalScaling != 100) width = width * FText.HorizontalScaling / 100;
    if (FText.WordSpacing > 0) width += spaces * FText.WordSpacing;
    if (FText.CharSpacing > 0) width += static_cast<long double>(Glyphs.size()) * FText.CharSpacing;
    DrawTextDecoration(width);
  }
}

}  // namespace quillora

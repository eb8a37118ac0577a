#include "quillora/fonts/font_registry.h"

#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/fonts/font_lookup.h"

namespace quillora {
namespace {

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

int StandardIndexOf(const std::string& upper, int style) {
  int offset = (style & 3) == 1 ? 1 : (style & 3) == 2 ? 2 : (style & 3) == 3 ? 3 : 0;
  if (upper == "HELVETICA") return 0 + offset;
  if (upper == "TIMES") return 4 + offset;
  if (upper == "COURIER") return 8 + offset;
  if (upper == "SYMBOL") return 12;
  if (upper == "ZAPFDINGBATS") return 13;
  return -1;
}

}  // namespace

TPDFFont* TPDFFonts::FindTrueType(const std::string& UpperName, int Style, bool Unicode) const {
  for (const auto& f : FItems)
    if (!f->StandardFont() && f->UpperName() == UpperName && f->Style() == Style &&
        f->Unicode() == Unicode)
      return f.get();
  return nullptr;
}

TPDFFont* TPDFFonts::GetFont(const std::string& Name, int Style, bool Unicode) {
  Style &= 3;  // underline and strikeout are drawn by the page
  std::string upper = Upper(Name);
  if (!Unicode) {
    int index = StandardIndexOf(upper, Style);
    if (index >= 0) {
      for (const auto& f : FItems)
        if (f->StandardFont() && f->StandardIndex() == index) return f.get();
      FItems.push_back(std::make_unique<TPDFFont>(static_cast<uint8_t>(index)));
      return FItems.back().get();
    }
    if (FDocument.EmulateStandardFont()) {
      if (upper == "ARIAL") return GetFont("Helvetica", Style, false);
      if (upper == "TIMES NEW ROMAN") return GetFont("Times", Style, false);
      if (upper == "COURIER NEW") return GetFont("Courier", Style, false);
    }
  }
  if (TPDFFont* f = FindTrueType(upper, Style, Unicode)) return f;

  std::string resolved = Name;
  int style = Style;
  if (!ResolveTrueTypeFont(resolved, style)) {
    if (!Unicode) return GetFont("Helvetica", Style, false);
    // Unicode text needs a TrueType font: "Arial", or where no "Arial"
    // resolves, the best installed sans-serif family.
    if (upper != "ARIAL") return GetFont("Arial", Style, true);
    std::string fallback = BestSansSerifFont();
    if (fallback.empty()) throw TPDFException("No TrueType font available");
    return GetFont(fallback, Style, true);
  }
  if (style != Style)
    if (TPDFFont* f = FindTrueType(upper, style, Unicode)) return f;

  bool embedded = true;
  for (const auto& n : FDocument.NonEmbeddedFont())
    if (Upper(n) == upper) embedded = false;
  auto font = std::make_unique<TPDFFont>(resolved, style, Unicode, embedded, upper == "WINGDINGS");
  font->LoadMetrics();
  FItems.push_back(std::move(font));
  int trueType = 0;
  for (const auto& f : FItems) trueType += !f->StandardFont();
  FItems.back()->SetResourceName("TT" + std::to_string(trueType));
  return FItems.back().get();
}

}  // namespace quillora

// The document's font registry: finds or creates the font for a name, style
// and kind of text, and owns every font in order of creation.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "quillora/fonts/pdf_font.h"

namespace quillora {

class TPDFDocument;

class TPDFFonts {
 public:
  explicit TPDFFonts(TPDFDocument& Document) : FDocument(Document) {}
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  TPDFFont* Items(int Index) const { return FItems[Index].get(); }

  // Never fails for a font that is not installed: it falls back to a
  // standard font (single-byte text) or an installed sans-serif TrueType
  // family (Unicode text). Raises "No TrueType font available" only when
  // Unicode text is asked for on a machine without any TrueType font.
  TPDFFont* GetFont(const std::string& Name, int Style, bool Unicode);

 private:
  TPDFFont* FindTrueType(const std::string& UpperName, int Style, bool Unicode) const;

  TPDFDocument& FDocument;
  std::vector<std::unique_ptr<TPDFFont>> FItems;
};

}  // namespace quillora

// The document's font registry and its fonts.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace quillora {

class TPDFDocument;

class TPDFFont {
 public:
  virtual ~TPDFFont() = default;
  // -1 until the first page that uses the font is saved.
  int ObjectNumber() const { return FObjectNumber; }
  void SetObjectNumber(int v) { FObjectNumber = v; }
  bool Used() const { return FUsed; }
  void SetUsed(bool v) { FUsed = v; }
  const std::string& ResourceName() const { return FResourceName; }
  // Writes the font's objects when it is used.
  virtual void Save(TPDFDocument& Document) = 0;

 protected:
  int FObjectNumber = -1;
  bool FUsed = false;
  std::string FResourceName;
};

class TPDFFonts {
 public:
  explicit TPDFFonts(TPDFDocument& Document) : FDocument(Document) {}
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  TPDFFont* Items(int Index) const { return FItems[Index].get(); }

 private:
  TPDFDocument& FDocument;
  std::vector<std::unique_ptr<TPDFFont>> FItems;
};

}  // namespace quillora

// The document's image registry and its images.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace quillora {

class TPDFDocument;

class TPDFImage {
 public:
  virtual ~TPDFImage() = default;
  const std::string& Name() const { return FName; }
  // -1 until written.
  int ObjectNumber() const { return FObjectNumber; }
  bool Written() const { return FWritten; }
  bool Gray() const { return FGray; }
  // Writes the image object (and gives it its number).
  virtual void Save(TPDFDocument& Document) = 0;

 protected:
  std::string FName;
  int FObjectNumber = -1;
  bool FWritten = false;
  bool FGray = false;
};

class TPDFImages {
 public:
  explicit TPDFImages(TPDFDocument& Document) : FDocument(Document) {}
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  TPDFImage* Items(int Index) const { return FItems[Index].get(); }

 private:
  TPDFDocument& FDocument;
  std::vector<std::unique_ptr<TPDFImage>> FItems;
};

}  // namespace quillora

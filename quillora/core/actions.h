// Actions (what a click or the opening of the file does) and the document's
// registry of actions to be written.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace quillora {

class TPDFDocument;

class TPDFAction {
 public:
  TPDFAction() = default;
  virtual ~TPDFAction() = default;
  // Writes the action's object with its number.
  virtual void WriteObject() = 0;

  TPDFDocument* Document() const { return FDocument; }
  void SetDocument(TPDFDocument* v) { FDocument = v; }
  int ObjectNumber() const { return FObjectNumber; }
  void SetObjectNumber(int v) { FObjectNumber = v; }
  // The action run after this one; it must be registered as well (the
  // document registers it before writing).
  TPDFAction* Next() const { return FNext; }
  void SetNext(TPDFAction* v) { FNext = v; }

 protected:
  // The "/Next" line, when there is a next action.
  void WriteNextLine();

 private:
  TPDFDocument* FDocument = nullptr;
  int FObjectNumber = 0;
  TPDFAction* FNext = nullptr;
};

// Opens a web or mail address.
class TPDFURLAction : public TPDFAction {
 public:
  void WriteObject() override;
  const std::string& URL() const { return FURL; }
  // "URL cannot be empty" for an empty address.
  void SetURL(const std::string& Value);

 private:
  std::string FURL;
};

class TPDFActions {
 public:
  explicit TPDFActions(TPDFDocument& Document) : FDocument(Document) {}
  // Appends, takes ownership, makes the document the action's document;
  // returns the index.
  int Add(TPDFAction* Action);
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  TPDFAction* Items(int Index) const { return FItems[Index].get(); }
  int IndexOf(const TPDFAction* Action) const;

 private:
  TPDFDocument& FDocument;
  std::vector<std::unique_ptr<TPDFAction>> FItems;
};

}  // namespace quillora

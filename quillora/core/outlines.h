// The outline (bookmark tree): every item of the document in one flat list
// in creation order, each item linked to its parent, siblings and children.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "quillora/core/types.h"

namespace quillora {

class TPDFDocument;
class TPDFAction;
class TPDFOutlines;

class TOutlineEntry {
 public:
  TOutlineEntry(TPDFOutlines& Owner, TOutlineEntry* Parent, const std::string& Title)
      : FOwner(Owner), FParent(Parent), FTitle(Title) {}
  TOutlineEntry(const TOutlineEntry&) = delete;
  TOutlineEntry& operator=(const TOutlineEntry&) = delete;

  int ObjectNumber() const { return FObjectNumber; }
  void SetObjectNumber(int v) { FObjectNumber = v; }
  const std::vector<TOutlineEntry*>& Children() const { return FChildren; }
  TPDFOutlines& Owner() const { return FOwner; }
  TOutlineEntry* Parent() const { return FParent; }
  TOutlineEntry* Prev() const { return FPrev; }
  TOutlineEntry* Next() const { return FNext; }

  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& v) { FTitle = v; }
  bool Opened() const { return FOpened; }
  void SetOpened(bool v) { FOpened = v; }
  // 0: the title is single-byte text; otherwise the Windows charset of the
  // title's bytes, and the title is written as Unicode.
  uint8_t Charset() const { return FCharset; }
  void SetCharset(uint8_t v) { FCharset = v; }
  TPDFAction* Action() const { return FAction; }
  // Registers the action with the document, which owns it from then on
  // ("Generation PDF file not activated" when not generating; the caller
  // keeps the action then).
  void SetAction(TPDFAction* Action);
  // 0 (black) writes no colour.
  TColorRef Color() const { return FColor; }
  void SetColor(TColorRef v) { FColor = v; }
  // fsBold and fsItalic; other bits are ignored.
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles v) { FStyle = v; }

  void WriteObject(TPDFDocument& Document, int RootNumber) const;

 private:
  friend class TPDFOutlines;
  int FObjectNumber = 0;
  std::vector<TOutlineEntry*> FChildren;
  TPDFOutlines& FOwner;
  TOutlineEntry* FParent;
  TOutlineEntry* FPrev = nullptr;
  TOutlineEntry* FNext = nullptr;
  std::string FTitle;
  bool FOpened = false;
  uint8_t FCharset = 0;
  TPDFAction* FAction = nullptr;
  TColorRef FColor = 0;
  TFontStyles FStyle = 0;
};

class TPDFOutlines {
 public:
  explicit TPDFOutlines(TPDFDocument& Document) : FDocument(Document) {}
  TPDFOutlines(const TPDFOutlines&) = delete;
  TPDFOutlines& operator=(const TPDFOutlines&) = delete;

  // Appends an item as the last child of Parent, or as the last top-level
  // item when Parent is null. Action, when given, is registered with the
  // document (see TOutlineEntry::SetAction). Raises TPDFException when the
  // document is not generating or Parent belongs to another tree.
  TOutlineEntry* Add(TOutlineEntry* Parent, const std::string& Title, TPDFAction* Action = nullptr);
  int Count() const { return static_cast<int>(FItems.size()); }
  TOutlineEntry* Items(int Index) const { return FItems[Index].get(); }
  void Clear();
  TPDFDocument& Document() const { return FDocument; }
  int RootNumber() const { return FRootNumber; }

  // Numbers and writes the items, then the root (only when there are items).
  void Write();

 private:
  int FRootNumber = 0;
  std::vector<std::unique_ptr<TOutlineEntry>> FItems;
  std::vector<TOutlineEntry*> FTopLevel;  // in order, for appending
  TPDFDocument& FDocument;
};

}  // namespace quillora

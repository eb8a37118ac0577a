#include "quillora/core/outlines.h"

#include "quillora/core/actions.h"
#include "quillora/core/annotations.h"
#include "quillora/core/charset.h"
#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/core/tokens.h"

namespace quillora {

namespace {

std::string Ref(int Number) {
  return IntToStr(Number) + " 0 R";
}

}  // namespace

void TOutlineEntry::SetAction(TPDFAction* Action) {
  if (Action) FOwner.Document().AddAction(Action);
  FAction = Action;
}

TOutlineEntry* TPDFOutlines::Add(TOutlineEntry* Parent, const std::string& Title,
                                 TPDFAction* Action) {
  if (!FDocument.Generating()) throw TPDFException("Generation PDF file not activated");
  if (Parent && &Parent->Owner() != this)
    throw TPDFException("Outline item parent belongs to another outline");
  auto item = std::make_unique<TOutlineEntry>(*this, Parent, Title);
  // Register first: when that raises, nothing has been linked yet.
  item->SetAction(Action);
  std::vector<TOutlineEntry*>& siblings = Parent ? Parent->FChildren : FTopLevel;
  if (!siblings.empty()) {
    siblings.back()->FNext = item.get();
    item->FPrev = siblings.back();
  }
  siblings.push_back(item.get());
  FItems.push_back(std::move(item));
  return FItems.back().get();
}

void TPDFOutlines::Clear() {
  for (auto& item : FItems) item->FChildren.clear();
  FTopLevel.clear();
  FItems.clear();
  FRootNumber = 0;
}

void TPDFOutlines::Write() {
  if (FItems.empty()) return;
  FRootNumber = FDocument.AllocateObjectNumber();
  for (auto& item : FItems) item->SetObjectNumber(FDocument.AllocateObjectNumber());
  for (auto& item : FItems) item->WriteObject(FDocument, FRootNumber);

  FDocument.StartObject(FRootNumber);
  FDocument.WriteText("/Type /Outlines");
  FDocument.WriteText("/Count " + IntToStr(Count()));
  for (auto& item : FItems)
    if (!item->Parent() && !item->Prev())
      FDocument.WriteText("/First " + Ref(item->ObjectNumber()));
  for (auto& item : FItems)
    if (!item->Parent() && !item->Next()) FDocument.WriteText("/Last " + Ref(item->ObjectNumber()));
  FDocument.EndDictionary();
  FDocument.EndObject();
}

void TOutlineEntry::WriteObject(TPDFDocument& Document, int RootNumber) const {
  // The action must be one the document writes, or "/A" would name an
  // object that is not in the file.
  if (FAction && Document.Actions().IndexOf(FAction) < 0)
    throw TPDFException("Outline item \"" + FTitle + "\" has an action that was never registered");
  int number = FObjectNumber;
  Document.StartObject(number);
  if (FCharset == 0)
    Document.WriteText("/Title " + Document.LiteralString(FTitle, number));
  else
    Document.WriteText("/Title <" +
                       Document.EncryptHexString(AnsiToUnicodeHex(FTitle, FCharset), number) + ">");
  // Colour and style exist from PDF 1.4 on.
  if (Document.Version() >= v14) {
    if (FColor != 0) Document.WriteText("/C [" + ColorComponents(FColor) + " ]");
    int flags = ((FStyle & fsItalic) ? 1 : 0) + ((FStyle & fsBold) ? 2 : 0);
    if (flags != 0) Document.WriteText("/F " + IntToStr(flags));
  }
  if (!FChildren.empty()) {
    int count = static_cast<int>(FChildren.size());
    Document.WriteText("/Count " + IntToStr(FOpened ? count : -count));
    for (TOutlineEntry* child : FChildren)
      if (!child->FPrev) {
        Document.WriteText("/First " + Ref(child->FObjectNumber));
        break;
      }
    for (TOutlineEntry* child : FChildren)
      if (!child->FNext) {
        Document.WriteText("/Last " + Ref(child->FObjectNumber));
        break;
      }
  }
  Document.WriteText("/Parent " + Ref(FParent ? FParent->FObjectNumber : RootNumber));
  if (FNext) Document.WriteText("/Next " + Ref(FNext->FObjectNumber));
  if (FPrev) Document.WriteText("/Prev " + Ref(FPrev->FObjectNumber));
  if (FAction) Document.WriteText("/A " + Ref(FAction->ObjectNumber()));
  Document.EndDictionary();
  Document.EndObject();
}

}  // namespace quillora

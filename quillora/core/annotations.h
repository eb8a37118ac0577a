// Annotations on a page: the clickable link areas bound to an action.
#pragma once

#include <string>

#include "quillora/core/tokens.h"
#include "quillora/core/types.h"

namespace quillora {

class TPDFPage;
class TPDFAction;

// Bits 1 to 7 of the annotation flags.
enum TAnnotationFlag { afInvisible, afHidden, afPrint, afNoZoom, afNoRotate, afNoView, afReadOnly };
using TAnnotationFlags = TSet<TAnnotationFlag>;

class TPDFCustomAnnotation {
 public:
  // Registers itself with Page (which owns it) and takes an object number
  // from the page's document. "Annotation must have TPDFPage as owner"
  // without a page.
  explicit TPDFCustomAnnotation(TPDFPage* Page);
  virtual ~TPDFCustomAnnotation() = default;
  virtual void WriteObject() = 0;

  TPDFPage& Page() const { return *FPage; }
  int ObjectNumber() const { return FObjectNumber; }
  void SetObjectNumber(int v) { FObjectNumber = v; }
  // Device units in; page units (points, y up) kept, rounded halves to even.
  void SetRect(TRect Rect);
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Right() const { return FRight; }
  int Bottom() const { return FBottom; }
  TAnnotationFlags Flags() const { return FFlags; }
  void SetFlags(TAnnotationFlags v) { FFlags = v; }
  const std::string& Border() const { return FBorder; }
  void SetBorder(const std::string& v) { FBorder = v; }
  TColorRef Color() const { return FColor; }
  void SetColor(TColorRef v) { FColor = v; }

 private:
  TPDFPage* FPage;
  int FObjectNumber = 0;
  int FLeft = 0, FTop = 0, FRight = 0, FBottom = 0;
  TAnnotationFlags FFlags;
  std::string FBorder = "[0 0 1]";
  TColorRef FColor = RGB(255, 255, 0);
};

// A link: a rectangle on the page that runs an action.
class TPDFActionAnnotation : public TPDFCustomAnnotation {
 public:
  explicit TPDFActionAnnotation(TPDFPage* Page) : TPDFCustomAnnotation(Page) {}
  void WriteObject() override;
  TPDFAction* Action() const { return FAction; }
  // Registers the action with the document and binds it.
  void SetAction(TPDFAction* Action);

 private:
  TPDFAction* FAction = nullptr;
};

// "r g b" of a colour, each channel / 255 with two decimals.
std::string ColorComponents(TColorRef Color);

}  // namespace quillora

// Go-to action: shows a page of this document with a vertical position at
// the top of the window.
#pragma once

#include <string>

#include "quillora/core/actions.h"

namespace quillora {

class TPDFDocument;

class TPDFGoToAction : public TPDFAction {
 public:
  // PageIndex counts the document's pages from 0 and may name a page that is
  // added later; Position is a vertical position in that page's device
  // units. A negative index raises TPDFException at once.
  TPDFGoToAction(int PageIndex, int Position);
  void WriteObject() override;

  int PageIndex() const { return FPageIndex; }
  int Position() const { return FPosition; }

 private:
  int FPageIndex;
  int FPosition;
};

// "[<page> 0 R /FitH <y>]": the page's object and the position converted to
// page units, rounded halves to even. Raises TPDFException naming Owner
// when the index names no page of the document.
std::string FitHDestination(TPDFDocument& Document, int PageIndex, int Position,
                            const std::string& Owner);

}  // namespace quillora

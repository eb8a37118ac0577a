#include "quillora/core/goto_action.h"

#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/core/tokens.h"
#include "quillora/page/page.h"

namespace quillora {

TPDFGoToAction::TPDFGoToAction(int PageIndex, int Position)
    : FPageIndex(PageIndex), FPosition(Position) {
  if (PageIndex < 0)
    throw TPDFException("Go-to action: page index " + IntToStr(PageIndex) + " names no page");
}

void TPDFGoToAction::WriteObject() {
  TPDFDocument& doc = *Document();
  std::string destination = FitHDestination(doc, FPageIndex, FPosition, "Go-to action");
  int number = ObjectNumber();
  doc.StartObject(number);
  doc.WriteText("/S /GoTo /D " + destination);
  WriteNextLine();
  doc.EndDictionary();
  doc.EndObject();
}

std::string FitHDestination(TPDFDocument& Document, int PageIndex, int Position,
                            const std::string& Owner) {
  if (PageIndex < 0 || PageIndex >= Document.PageCount())
    throw TPDFException(Owner + ": page index " + IntToStr(PageIndex) +
                        " names no page (the document has " + IntToStr(Document.PageCount()) +
                        " pages)");
  TPDFPage& page = *Document.Pages().Items(PageIndex);
  std::string s = "[";
  AppendInt(s, page.ObjectNumber());
  s += " 0 R /FitH ";
  AppendInt(s, RoundHalfEven(page.ToPageY(Position)));
  s += "]";
  return s;
}

}  // namespace quillora

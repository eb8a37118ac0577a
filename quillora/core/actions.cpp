#include "quillora/core/actions.h"

#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/core/tokens.h"

namespace quillora {

void TPDFAction::WriteNextLine() {
  if (!FNext) return;
  std::string line = "/Next ";
  AppendInt(line, FNext->ObjectNumber());
  line += " 0 R";
  FDocument->WriteText(line);
}

void TPDFURLAction::SetURL(const std::string& Value) {
  if (Value.empty()) throw TPDFException("URL cannot be empty");
  FURL = Value;
}

void TPDFURLAction::WriteObject() {
  TPDFDocument& doc = *Document();
  int number = ObjectNumber();
  doc.StartObject(number);
  doc.WriteText("/S /URI /URI " + doc.LiteralString(FURL, number));
  WriteNextLine();
  doc.EndDictionary();
  doc.EndObject();
}

int TPDFActions::Add(TPDFAction* Action) {
  FItems.emplace_back(Action);
  Action->SetDocument(&FDocument);
  return Count() - 1;
}

int TPDFActions::IndexOf(const TPDFAction* Action) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[i].get() == Action) return i;
  return -1;
}

}  // namespace quillora

#include "quillora/core/javascript.h"

#include <algorithm>

#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/core/tokens.h"

namespace quillora {

TDocumentScript* TPDFJSFList::Add(const std::string& FunctionName, const std::string& Parameters,
                                  const std::string& Body) {
  if (!FDocument.Generating()) throw TPDFException("Generation PDF file not activated");
  if (FunctionName.empty()) throw TPDFException("JavaScript function name cannot be empty");
  for (const auto& s : FItems)
    if (s->FunctionName == FunctionName)
      throw TPDFException("JavaScript function \"" + FunctionName + "\" already exists");
  auto script = std::make_unique<TDocumentScript>();
  script->FunctionName = FunctionName;
  script->Parameters = Parameters;
  script->Body = Body;
  FItems.push_back(std::move(script));
  return FItems.back().get();
}

void TPDFJSFList::Write(int TreeNumber) {
  for (auto& s : FItems) s->ObjectNumber = FDocument.AllocateObjectNumber();
  std::vector<const TDocumentScript*> sorted;
  for (auto& s : FItems) sorted.push_back(s.get());
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](auto* a, auto* b) { return a->FunctionName < b->FunctionName; });

  FDocument.StartObject(TreeNumber);
  FDocument.WriteText("/Names [", false);
  for (const TDocumentScript* s : sorted)
    FDocument.WriteText(" " + FDocument.LiteralString(s->FunctionName, TreeNumber) + " " +
                            IntToStr(s->ObjectNumber) + " 0 R",
                        false);
  FDocument.WriteText("]");
  FDocument.EndDictionary();
  FDocument.EndObject();

  for (auto& s : FItems) {
    FDocument.StartObject(s->ObjectNumber);
    std::string code = "function " + s->FunctionName + "(" + s->Parameters + "){" + s->Body + "}";
    FDocument.WriteText("/S /JavaScript /JS " + FDocument.LiteralString(code, s->ObjectNumber));
    FDocument.EndDictionary();
    FDocument.EndObject();
  }
}

}  // namespace quillora

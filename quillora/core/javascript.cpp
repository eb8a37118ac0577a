#include "quillora/core/javascript.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/core/tokens.h"

namespace quillora {

namespace {

// A literal string may hold parentheses that pair up: those stay as they
// are, so the code reads as written ("function f(x){...}"); unpaired ones,
// "\", CR and LF are escaped.
std::string EscapeCode(std::string_view S) {
  std::vector<bool> paired(S.size(), false);
  std::vector<size_t> open;
  for (size_t i = 0; i < S.size(); ++i) {
    if (S[i] == '(') {
      open.push_back(i);
    } else if (S[i] == ')' && !open.empty()) {
      paired[open.back()] = paired[i] = true;
      open.pop_back();
    }
  }
  std::string r;
  r.reserve(S.size() + 8);
  for (size_t i = 0; i < S.size(); ++i) {
    char c = S[i];
    if (c == '\n') {
      r += "\\n";
    } else if (c == '\r') {
      r += "\\r";
    } else if (c == '\\' || ((c == '(' || c == ')') && !paired[i])) {
      r += '\\';
      r += c;
    } else {
      r += c;
    }
  }
  return r;
}

}  // namespace

TDocumentScript* TPDFJSFList::Add(const std::string& FunctionName, const std::string& Parameters,
                                  const std::string& Body) {
  if (!FDocument.Generating()) throw TPDFException("Generation PDF file not activated");
  if (FunctionName.empty()) throw TPDFException("JavaScript function name cannot be empty");
  if (FNames.count(FunctionName))
    throw TPDFException("JavaScript function \"" + FunctionName + "\" already exists");
  auto script = std::make_unique<TDocumentScript>();
  script->FunctionName = FunctionName;
  script->Parameters = Parameters;
  script->Body = Body;
  FItems.push_back(std::move(script));
  FNames.insert(FunctionName);
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
    FDocument.WriteText("/S /JavaScript /JS (" +
                        EscapeCode(FDocument.EncryptString(code, s->ObjectNumber)) + ")");
    FDocument.EndDictionary();
    FDocument.EndObject();
  }
}

}  // namespace quillora

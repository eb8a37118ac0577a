// Document-level JavaScript: functions that a viewer defines when it opens
// the file, listed in the name dictionary's JavaScript tree.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace quillora {

class TPDFDocument;

struct TDocumentScript {
  int ObjectNumber = 0;
  std::string Body;  // the statements between the braces
  std::string FunctionName;
  std::string Parameters;  // the text between the parentheses
};

class TPDFJSFList {
 public:
  explicit TPDFJSFList(TPDFDocument& Document) : FDocument(Document) {}
  // Adds "function Name(Parameters){Body}". Raises TPDFException when not
  // generating and for an empty or repeated name.
  TDocumentScript* Add(const std::string& FunctionName, const std::string& Parameters,
                       const std::string& Body);
  int Count() const { return static_cast<int>(FItems.size()); }
  TDocumentScript* Items(int Index) const { return FItems[Index].get(); }
  void Clear() {
    FItems.clear();
    FNames.clear();
  }

  // Numbers the functions, writes the tree with TreeNumber (names in byte
  // order, as a name tree must be) and one JavaScript action per function.
  void Write(int TreeNumber);

 private:
  TPDFDocument& FDocument;
  std::vector<std::unique_ptr<TDocumentScript>> FItems;
  std::set<std::string> FNames;
};

}  // namespace quillora

// Named destinations and embedded files (the two name trees the document
// writes before its catalog) and the name dictionary that the catalog's
// "/Names" entry points to.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace quillora {

class TPDFDocument;
class TPDFJSFList;

struct TNamedDestRecord {
  std::string Name;
  int PageIndex = 0;  // into the document's pages
  int Position = 0;   // vertical position on that page, device units
  int ObjectNumber = 0;
};
using TNamedDestRecordArray = std::vector<TNamedDestRecord>;

class TNamedDestinations {
 public:
  explicit TNamedDestinations(TPDFDocument& Document) : FDocument(Document) {}
  // PageIndex may name a page added later; it is checked when the document
  // is finished. Raises TPDFException when not generating, for an empty or
  // repeated name and for a negative page index.
  void Add(const std::string& Name, int PageIndex, int Position);
  int Count() const { return static_cast<int>(FItems.size()); }
  const TNamedDestRecord& Items(int Index) const { return FItems[Index]; }
  void Clear() {
    FItems.clear();
    FNames.clear();
  }
  // Sorts by name in byte order and writes the tree and the destinations;
  // returns the tree's number, 0 when there is nothing to write.
  int Write();

 private:
  TPDFDocument& FDocument;
  TNamedDestRecordArray FItems;
  std::set<std::string> FNames;  // to refuse a repeated name quickly
};

struct TEmbedFileRecord {
  std::string Title;     // the name under which the file is listed
  std::string FileName;  // path on disk
  int ObjectNumber = 0;  // of the embedded-file dictionary (/Type /Filespec)
};
using TEmbedFileRecordArray = std::vector<TEmbedFileRecord>;

class TEmbeddedFiles {
 public:
  explicit TEmbeddedFiles(TPDFDocument& Document) : FDocument(Document) {}
  // The file is read when the document is finished; here it must already be
  // a readable file. Raises TPDFException when not generating, for an empty
  // or repeated title and for a file that cannot be read.
  void Add(const std::string& Title, const std::string& FileName);
  int Count() const { return static_cast<int>(FItems.size()); }
  const TEmbedFileRecord& Items(int Index) const { return FItems[Index]; }
  void Clear() {
    FItems.clear();
    FTitles.clear();
  }
  // Sorts by title in byte order and writes the tree, the deflated files and
  // their file specifications; returns the tree's number or 0.
  int Write();

 private:
  TPDFDocument& FDocument;
  TEmbedFileRecordArray FItems;
  std::set<std::string> FTitles;
};

// The name dictionary with the number the catalog gave it, then the
// JavaScript tree and functions when there are any.
void WriteNameDictionary(TPDFDocument& Document, int Number, int DestsTree, TPDFJSFList& Scripts,
                         int FilesTree);

}  // namespace quillora

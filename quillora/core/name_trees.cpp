#include "quillora/core/name_trees.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "quillora/core/compression_stream.h"
#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/core/goto_action.h"
#include "quillora/core/javascript.h"
#include "quillora/core/tokens.h"

namespace quillora {

namespace {

const char* const kNotActivated = "Generation PDF file not activated";

std::string Ref(int Number) {
  return IntToStr(Number) + " 0 R";
}

[[noreturn]] void CannotRead(const std::string& Path, int Error) {
  throw TPDFException("Cannot read the file to embed \"" + Path + "\": " + std::strerror(Error));
}

// Opens Path for reading; a folder opens on Linux but cannot be read.
std::FILE* OpenEmbeddedFile(const std::string& Path) {
  std::error_code ec;
  if (std::filesystem::is_directory(Path, ec)) CannotRead(Path, EISDIR);
  std::FILE* f = std::fopen(Path.c_str(), "rb");
  if (!f) CannotRead(Path, errno);
  return f;
}

std::string ReadEmbeddedFile(const std::string& Path) {
  std::FILE* f = OpenEmbeddedFile(Path);
  std::string data;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.append(buffer, n);
  int error = std::ferror(f) ? errno : 0;
  std::fclose(f);
  if (error) CannotRead(Path, error);
  return data;
}

std::string BaseName(const std::string& Path) {
  size_t slash = Path.rfind('/');
  return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

}  // namespace

// --- named destinations ------------------------------------------------------------

void TNamedDestinations::Add(const std::string& Name, int PageIndex, int Position) {
  if (!FDocument.Generating()) throw TPDFException(kNotActivated);
  if (Name.empty()) throw TPDFException("Named destination name cannot be empty");
  if (FNames.count(Name)) throw TPDFException("Named destination \"" + Name + "\" already exists");
  if (PageIndex < 0)
    throw TPDFException("Named destination \"" + Name + "\": page index " + IntToStr(PageIndex) +
                        " names no page");
  FItems.push_back({Name, PageIndex, Position, 0});
  FNames.insert(Name);
}

int TNamedDestinations::Write() {
  if (FItems.empty()) return 0;
  // std::string compares as unsigned bytes: "C" < "a" < "b".
  std::stable_sort(FItems.begin(), FItems.end(),
                   [](const auto& a, const auto& b) { return a.Name < b.Name; });
  // Every page index is checked before anything is written.
  std::vector<std::string> destinations;
  for (const TNamedDestRecord& r : FItems)
    destinations.push_back(FitHDestination(FDocument, r.PageIndex, r.Position,
                                           "Named destination \"" + r.Name + "\""));

  int tree = 0;
  FDocument.StartObject(tree);
  FDocument.WriteText("/Limits [", false);
  FDocument.WriteText(" " + FDocument.LiteralString(FItems.front().Name, tree) + " ");
  FDocument.WriteText(" " + FDocument.LiteralString(FItems.back().Name, tree) + " ");
  FDocument.WriteText("]");
  FDocument.WriteText("/Names [", false);
  for (TNamedDestRecord& r : FItems) {
    r.ObjectNumber = FDocument.AllocateObjectNumber();
    FDocument.WriteText(" " + FDocument.LiteralString(r.Name, tree) + " " + Ref(r.ObjectNumber),
                        false);
  }
  FDocument.WriteText("]");
  FDocument.EndDictionary();
  FDocument.EndObject();

  for (size_t i = 0; i < FItems.size(); ++i) {
    FDocument.StartObject(FItems[i].ObjectNumber);
    FDocument.WriteText("/D " + destinations[i]);
    FDocument.EndDictionary();
    FDocument.EndObject();
  }
  return tree;
}

// --- embedded files ----------------------------------------------------------------

void TEmbeddedFiles::Add(const std::string& Title, const std::string& FileName) {
  if (!FDocument.Generating()) throw TPDFException(kNotActivated);
  if (Title.empty()) throw TPDFException("Embedded file title cannot be empty");
  if (FTitles.count(Title)) throw TPDFException("Embedded file \"" + Title + "\" already exists");
  // Fail now, while the caller can still do something about it.
  std::fclose(OpenEmbeddedFile(FileName));
  FItems.push_back({Title, FileName, 0});
  FTitles.insert(Title);
}

int TEmbeddedFiles::Write() {
  if (FItems.empty()) return 0;
  std::stable_sort(FItems.begin(), FItems.end(),
                   [](const auto& a, const auto& b) { return a.Title < b.Title; });
  int tree = 0;
  FDocument.StartObject(tree);
  FDocument.WriteText("/Names [", false);
  for (TEmbedFileRecord& r : FItems) {
    r.ObjectNumber = FDocument.AllocateObjectNumber();
    FDocument.WriteText(" " + FDocument.LiteralString(r.Title, tree) + " " + Ref(r.ObjectNumber),
                        false);
  }
  FDocument.WriteText("]");
  FDocument.EndDictionary();
  FDocument.EndObject();

  for (TEmbedFileRecord& r : FItems) {
    std::string content = ReadEmbeddedFile(r.FileName);
    std::string data = Deflate(content, clMax);
    int stream = 0;
    FDocument.StartObject(stream);
    FDocument.WriteText("/Filter /FlateDecode /Length " +
                        IntToStr(static_cast<int64_t>(data.size())));
    FDocument.WriteText("/Params <</Size " + IntToStr(static_cast<int64_t>(content.size())) + ">>");
    FDocument.EndDictionary();
    FDocument.StartStream();
    FDocument.EncryptStream(data, stream);
    FDocument.WriteBytes(data);
    FDocument.WriteText("");
    FDocument.EndStream();
    FDocument.EndObject();

    FDocument.StartObject(r.ObjectNumber);
    FDocument.WriteText("/Type /Filespec /F ", false);
    FDocument.WriteText(FDocument.LiteralString(BaseName(r.FileName), r.ObjectNumber));
    FDocument.WriteText("/EF <</F " + Ref(stream) + " >>");
    FDocument.EndDictionary();
    FDocument.EndObject();
  }
  return tree;
}

// --- name dictionary -----------------------------------------------------------------

void WriteNameDictionary(TPDFDocument& Document, int Number, int DestsTree, TPDFJSFList& Scripts,
                         int FilesTree) {
  int scriptTree = 0;
  Document.StartObject(Number);
  if (DestsTree > 0) Document.WriteText("/Dests " + Ref(DestsTree));
  if (Scripts.Count() > 0) {
    scriptTree = Document.AllocateObjectNumber();
    Document.WriteText("/JavaScript " + Ref(scriptTree));
  }
  if (FilesTree > 0) Document.WriteText("/EmbeddedFiles " + Ref(FilesTree));
  Document.EndDictionary();
  Document.EndObject();
  if (scriptTree > 0) Scripts.Write(scriptTree);
}

}  // namespace quillora

// The document information dictionary's values.
#pragma once

#include <string>

#include "quillora/platform/clock.h"

namespace quillora {

class TPDFDocInfo {
 public:
  TPDFDocInfo();

  const std::string& Keywords() const { return FKeywords; }
  void SetKeywords(const std::string& v) { FKeywords = v; }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& v) { FTitle = v; }
  const std::string& Creator() const { return FCreator; }
  void SetCreator(const std::string& v) { FCreator = v; }
  const std::string& Author() const { return FAuthor; }
  void SetAuthor(const std::string& v) { FAuthor = v; }
  const std::string& Subject() const { return FSubject; }
  void SetSubject(const std::string& v) { FSubject = v; }

  // Not published: Producer is the library's own name.
  const std::string& Producer() const { return FProducer; }
  const platform::TDateTime& CreationDate() const { return FCreationDate; }
  void SetCreationDate(const platform::TDateTime& v) { FCreationDate = v; }
  int ObjectNumber() const { return FObjectNumber; }
  void SetObjectNumber(int v) { FObjectNumber = v; }

  // Copies Creator, the creation date, Author, Title, Subject and Keywords
  // (not Producer).
  void Assign(const TPDFDocInfo& Source);

 private:
  std::string FProducer = "Quillora 3.x";
  int FObjectNumber = 0;
  std::string FKeywords = "Quillora";
  std::string FTitle = "No Title";
  std::string FCreator = "Quillora program";
  std::string FAuthor = "Windows 9x/NT/2000/XP User";
  std::string FSubject = "None";
  platform::TDateTime FCreationDate;
};

}  // namespace quillora

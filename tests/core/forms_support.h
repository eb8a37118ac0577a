// Helpers shared by the outline, form and name-tree tests.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "quillora/core/document.h"
#include "quillora/core/exception.h"

namespace quillora::testing {

// The bytes of object Number, from "N 0 obj" to "endobj" inclusive; empty
// when the file has no such object.
inline std::string ObjectText(const std::string& Pdf, int Number) {
  std::string head = std::to_string(Number) + " 0 obj\r\n";
  size_t at = Pdf.find(head);
  while (at != std::string::npos && at > 0 && Pdf[at - 1] != '\n') at = Pdf.find(head, at + 1);
  if (at == std::string::npos) return "";
  size_t end = Pdf.find("endobj\r\n", at);
  return Pdf.substr(at, end + 8 - at);
}

// The number of the first object whose text holds Needle, or 0.
inline int ObjectHolding(const std::string& Pdf, const std::string& Needle) {
  size_t at = Pdf.find(Needle);
  if (at == std::string::npos) return 0;
  size_t head = Pdf.rfind(" 0 obj\r\n", at);
  size_t line = Pdf.rfind('\n', head);
  return std::stoi(Pdf.substr(line + 1, head - line - 1));
}

// The message of the TPDFException that F raises.
inline std::string MessageOf(const std::function<void()>& F) {
  try {
    F();
  } catch (const TPDFException& e) {
    return e.what();
  }
  return "(no exception)";
}

// Writes a document to Path: StartDocument, Draw, FinishDocument.
inline void WritePdfFile(TPDFDocument& Doc, const std::filesystem::path& Path,
                         const std::function<void(TPDFDocument&)>& Draw) {
  Doc.SetFileName(Path.string());
  Doc.StartDocument();
  Draw(Doc);
  Doc.FinishDocument();
}

}  // namespace quillora::testing

// A document's structure as text: blocks with their formats, runs with
// theirs, lists, tables with spans and cell formats, pictures. Tests compare
// these instead of HTML, which says too much and too little.
#pragma once

#include <QString>
#include <string>

class QTextDocument;

namespace tollmark::io::testing {

std::string DumpDocument(const QTextDocument& doc);
// Normalised plain text: runs of whitespace become one space, trimmed.
std::string NormalizeText(const QString& text);

}  // namespace tollmark::io::testing

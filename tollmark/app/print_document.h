// Prints a document on a printer (or into the print preview): the text laid
// out for the printer's page inside its margins, one page after another.
#pragma once

class QPrinter;
class QTextDocument;

namespace tollmark {

// Returns the number of pages printed.
int PrintDocument(const QTextDocument& doc, QPrinter& printer);

}  // namespace tollmark

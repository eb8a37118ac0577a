// Turns the RTF reader's model into a QTextDocument: blocks, runs, lists,
// tables with their merged cells, picture resources, document information.
#pragma once

#include "tollmark/io/rtf_model.h"

class QTextDocument;

namespace tollmark::io {

void BuildDocument(const RtfDocument& model, QTextDocument& doc);

}  // namespace tollmark::io

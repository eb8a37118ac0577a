// Inserting another document or a picture at the editor's caret.
#pragma once

#include <QString>

class QTextDocument;
class QTextEdit;

namespace tollmark {

// Inserts the content of `source` (with its pictures) in place of the
// selection.
void InsertDocument(QTextEdit& edit, const QTextDocument& source);

// Inserts the picture file at the caret. False (with a message in `error`)
// when the file is not a picture Qt can read.
bool InsertPictureFile(QTextEdit& edit, const QString& path, QString* error);

}  // namespace tollmark

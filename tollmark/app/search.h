// Finding and replacing text in the editor.
#pragma once

#include <QString>

class QTextEdit;

namespace tollmark {

struct SearchOptions {
  QString text;
  bool match_case = false;
  bool whole_words = false;
  bool backwards = false;
};

// Selects the next occurrence after the caret (or before it, backwards),
// continuing from the other end of the document once. False when there is none.
bool FindNext(QTextEdit& edit, const SearchOptions& options);

// Replaces the selection when it is an occurrence, then finds the next one.
// False when no further occurrence exists.
bool ReplaceNext(QTextEdit& edit, const SearchOptions& options, const QString& replacement);

// Replaces every occurrence as one undo step; returns how many.
int ReplaceAll(QTextEdit& edit, const SearchOptions& options, const QString& replacement);

}  // namespace tollmark

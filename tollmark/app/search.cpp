#include "tollmark/app/search.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace tollmark {
namespace {

QTextDocument::FindFlags Flags(const SearchOptions& options) {
  QTextDocument::FindFlags flags;
  if (options.match_case) flags |= QTextDocument::FindCaseSensitively;
  if (options.whole_words) flags |= QTextDocument::FindWholeWords;
  if (options.backwards) flags |= QTextDocument::FindBackward;
  return flags;
}

bool IsOccurrence(const QTextCursor& cursor, const SearchOptions& options) {
  if (!cursor.hasSelection()) return false;
  const Qt::CaseSensitivity cs = options.match_case ? Qt::CaseSensitive : Qt::CaseInsensitive;
  return cursor.selectedText().compare(options.text, cs) == 0;
}

}  // namespace

bool FindNext(QTextEdit& edit, const SearchOptions& options) {
  if (options.text.isEmpty()) return false;
  QTextDocument* doc = edit.document();
  QTextCursor found = doc->find(options.text, edit.textCursor(), Flags(options));
  if (found.isNull()) {
    QTextCursor wrap(doc);
    if (options.backwards) wrap.movePosition(QTextCursor::End);
    found = doc->find(options.text, wrap, Flags(options));
  }
  if (found.isNull()) return false;
  edit.setTextCursor(found);
  return true;
}

bool ReplaceNext(QTextEdit& edit, const SearchOptions& options, const QString& replacement) {
  QTextCursor cursor = edit.textCursor();
  if (IsOccurrence(cursor, options)) {
    cursor.insertText(replacement);
    edit.setTextCursor(cursor);
  }
  return FindNext(edit, options);
}

int ReplaceAll(QTextEdit& edit, const SearchOptions& options, const QString& replacement) {
  if (options.text.isEmpty()) return 0;
  QTextDocument* doc = edit.document();
  QTextDocument::FindFlags flags = Flags(options) & ~QTextDocument::FindBackward;
  QTextCursor edit_block(doc);
  edit_block.beginEditBlock();
  int count = 0;
  QTextCursor at(doc);
  for (;;) {
    QTextCursor found = doc->find(options.text, at, flags);
    if (found.isNull()) break;
    found.insertText(replacement);
    at = found;  // continues after the replacement, never inside it
    ++count;
  }
  edit_block.endEditBlock();
  return count;
}

}  // namespace tollmark

// Answers the editor's dialogs from the test: queued answers for file
// dialogs and questions, a handler for modal dialogs, and a record of every
// message and address shown. An unexpected dialog fails the test.
#pragma once

#include "tollmark/app/ui_hooks.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <functional>
#include <vector>

namespace tollmark_test {

struct Question {
  QString caption;
  QString text;
};

class ScriptedUi {
 public:
  ScriptedUi();
  ~ScriptedUi();

  // File dialogs: the name to answer (empty = cancel) and, for save dialogs,
  // the filter chosen.
  void AnswerOpen(const QString& file_name);
  void AnswerSave(const QString& file_name, const QString& filter = QString());
  void AnswerQuestion(QMessageBox::StandardButton button);
  // Handles the next modal dialog; returns its result.
  void AnswerDialog(std::function<int(QDialog&)> handler);

  std::vector<tollmark::FileDialogRequest> open_requests;
  std::vector<tollmark::FileDialogRequest> save_requests;
  std::vector<Question> questions;
  QStringList messages;    // information and warnings, as "caption: text"
  QStringList dialogs;     // object names of the modal dialogs shown
  std::vector<QUrl> urls;  // addresses opened

  // True when every queued answer was used.
  bool AllAnswered() const;

 private:
  std::deque<tollmark::FileDialogAnswer> open_answers_;
  std::deque<tollmark::FileDialogAnswer> save_answers_;
  std::deque<QMessageBox::StandardButton> question_answers_;
  std::deque<std::function<int(QDialog&)>> dialog_answers_;
};

// Finds a named child of the dialog; fails the test when it is missing.
template <typename T>
T* Child(QObject& parent, const char* name) {
  T* child = parent.findChild<T*>(name);
  if (!child) ADD_FAILURE() << "no child " << name << " in " << parent.objectName().toStdString();
  return child;
}

}  // namespace tollmark_test

#include "scripted_ui.h"

#include <gtest/gtest.h>

namespace tollmark_test {

using tollmark::FileDialogAnswer;
using tollmark::FileDialogRequest;
using tollmark::Hooks;

ScriptedUi::ScriptedUi() {
  Hooks().open_file = [this](QWidget*, const FileDialogRequest& request) {
    open_requests.push_back(request);
    if (open_answers_.empty()) {
      ADD_FAILURE() << "unexpected open dialog \"" << request.caption.toStdString() << "\"";
      return FileDialogAnswer{};
    }
    FileDialogAnswer answer = open_answers_.front();
    open_answers_.pop_front();
    return answer;
  };
  Hooks().save_file = [this](QWidget*, const FileDialogRequest& request) {
    save_requests.push_back(request);
    if (save_answers_.empty()) {
      ADD_FAILURE() << "unexpected save dialog \"" << request.caption.toStdString() << "\"";
      return FileDialogAnswer{};
    }
    FileDialogAnswer answer = save_answers_.front();
    save_answers_.pop_front();
    if (answer.selected_filter.isEmpty()) answer.selected_filter = request.selected_filter;
    return answer;
  };
  Hooks().ask_yes_no_cancel = [this](QWidget*, const QString& caption, const QString& text) {
    questions.push_back({caption, text});
    if (question_answers_.empty()) {
      ADD_FAILURE() << "unexpected question \"" << text.toStdString() << "\"";
      return QMessageBox::Cancel;
    }
    const QMessageBox::StandardButton answer = question_answers_.front();
    question_answers_.pop_front();
    return answer;
  };
  Hooks().inform = [this](QWidget*, const QString& caption, const QString& text) {
    messages.append(caption + ": " + text);
  };
  Hooks().warn = Hooks().inform;
  Hooks().exec_dialog = [this](QDialog& dialog) {
    dialogs.append(dialog.objectName());
    if (dialog_answers_.empty()) {
      ADD_FAILURE() << "unexpected dialog " << dialog.objectName().toStdString();
      return int(QDialog::Rejected);
    }
    auto handler = std::move(dialog_answers_.front());
    dialog_answers_.pop_front();
    return handler(dialog);
  };
  Hooks().open_url = [this](const QUrl& url) { urls.push_back(url); };
}

ScriptedUi::~ScriptedUi() {
  tollmark::ResetHooks();
}

void ScriptedUi::AnswerOpen(const QString& file_name) {
  open_answers_.push_back({file_name, {}});
}

void ScriptedUi::AnswerSave(const QString& file_name, const QString& filter) {
  save_answers_.push_back({file_name, filter});
}

void ScriptedUi::AnswerQuestion(QMessageBox::StandardButton button) {
  question_answers_.push_back(button);
}

void ScriptedUi::AnswerDialog(std::function<int(QDialog&)> handler) {
  dialog_answers_.push_back(std::move(handler));
}

bool ScriptedUi::AllAnswered() const {
  return open_answers_.empty() && save_answers_.empty() && question_answers_.empty() &&
         dialog_answers_.empty();
}

}  // namespace tollmark_test

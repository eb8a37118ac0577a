// The few places where the editor asks the user something outside its own
// window: file dialogs, message boxes, modal dialogs and opening addresses.
// Each goes through a replaceable function so that tests can answer it.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QDialog;
class QUrl;
class QWidget;

namespace tollmark {

struct FileDialogRequest {
  QString caption;
  QString directory;  // folder to start in; may be empty
  QString file_name;  // preset name (save dialogs)
  QString filter;     // Qt filter string, entries separated by ";;"
  QString selected_filter;
};

struct FileDialogAnswer {
  QString file_name;  // empty when the user cancelled
  QString selected_filter;
};

struct UiHooks {
  std::function<FileDialogAnswer(QWidget*, const FileDialogRequest&)> open_file;
  // Save dialogs ask before overwriting an existing file.
  std::function<FileDialogAnswer(QWidget*, const FileDialogRequest&)> save_file;
  // Question with Yes, No and Cancel; returns the button chosen.
  std::function<QMessageBox::StandardButton(QWidget*, const QString& caption, const QString& text)>
      ask_yes_no_cancel;
  std::function<void(QWidget*, const QString& caption, const QString& text)> inform;
  std::function<void(QWidget*, const QString& caption, const QString& text)> warn;
  // Shows a modal dialog and returns its result (QDialog::Accepted or Rejected).
  std::function<int(QDialog&)> exec_dialog;
  std::function<void(const QUrl&)> open_url;
};

// The hooks in force; starts with the real dialogs and the desktop services.
UiHooks& Hooks();

// Restores the real implementations (tests call this between cases).
void ResetHooks();

}  // namespace tollmark

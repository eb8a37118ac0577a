#include "tollmark/app/ui_hooks.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QUrl>

namespace tollmark {
namespace {

FileDialogAnswer RealOpenFile(QWidget* parent, const FileDialogRequest& request) {
  FileDialogAnswer answer;
  answer.selected_filter = request.selected_filter;
  answer.file_name =
      QFileDialog::getOpenFileName(parent, request.caption, request.directory, request.filter,
                                   &answer.selected_filter, QFileDialog::HideNameFilterDetails);
  return answer;
}

FileDialogAnswer RealSaveFile(QWidget* parent, const FileDialogRequest& request) {
  FileDialogAnswer answer;
  answer.selected_filter = request.selected_filter;
  QString start = request.file_name;
  if (!request.directory.isEmpty()) start = QDir(request.directory).filePath(request.file_name);
  answer.file_name =
      QFileDialog::getSaveFileName(parent, request.caption, start, request.filter,
                                   &answer.selected_filter, QFileDialog::HideNameFilterDetails);
  return answer;
}

UiHooks RealHooks() {
  UiHooks hooks;
  hooks.open_file = RealOpenFile;
  hooks.save_file = RealSaveFile;
  hooks.ask_yes_no_cancel = [](QWidget* parent, const QString& caption, const QString& text) {
    return QMessageBox::question(parent, caption, text,
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                 QMessageBox::Yes);
  };
  hooks.inform = [](QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::information(parent, caption, text);
  };
  hooks.warn = [](QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::warning(parent, caption, text);
  };
  hooks.exec_dialog = [](QDialog& dialog) { return dialog.exec(); };
  hooks.open_url = [](const QUrl& url) { QDesktopServices::openUrl(url); };
  return hooks;
}

}  // namespace

UiHooks& Hooks() {
  static UiHooks hooks = RealHooks();
  return hooks;
}

void ResetHooks() {
  Hooks() = RealHooks();
}

}  // namespace tollmark

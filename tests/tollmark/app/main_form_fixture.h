// A shown main window with scripted dialogs, and small helpers to drive it
// as a user would.
#pragma once

#include "scripted_ui.h"
#include "tollmark/app/main_form.h"
#include "tollmark/app/rich_view_edit.h"

#include <gtest/gtest.h>

#include <QString>
#include <filesystem>
#include <initializer_list>
#include <memory>

namespace tollmark_test {

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  tollmark::RichViewEdit& Editor() { return *form->Editor(); }
  QString PlainText() { return Editor().toPlainText(); }
  // Types text into the editor with key clicks.
  void Type(const QString& text);
  // Triggers the item reached through the menu captions, e.g. {"&File", "&New"}.
  void Menu(std::initializer_list<const char*> path);
  // A path in this test's own fresh folder.
  QString TempFile(const QString& name);
  // Closes the window as the user would; true when it closed.
  bool CloseWindow();

  std::unique_ptr<ScriptedUi> ui;
  std::unique_ptr<tollmark::TMForm> form;
  std::filesystem::path dir;
};

}  // namespace tollmark_test

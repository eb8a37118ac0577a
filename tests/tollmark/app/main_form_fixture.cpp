#include "main_form_fixture.h"

#include "support/pdf_tools.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace tollmark_test {

void MainFormTest::SetUp() {
  ui = std::make_unique<ScriptedUi>();
  form = std::make_unique<tollmark::TMForm>();
  form->show();
  QApplication::setActiveWindow(form.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  Editor().setFocus();
  dir = testing_support::FreshDir();
}

void MainFormTest::TearDown() {
  // Nothing left to save, so that closing asks nothing.
  Editor().document()->setModified(false);
  form.reset();
  EXPECT_TRUE(ui->AllAnswered()) << "a scripted answer was not asked for";
  ui.reset();
}

void MainFormTest::Type(const QString& text) {
  QTest::keyClicks(&Editor(), text);
}

void MainFormTest::Menu(std::initializer_list<const char*> path) {
  QList<QAction*> actions = form->menuBar()->actions();
  QAction* found = nullptr;
  for (const char* caption : path) {
    found = nullptr;
    for (QAction* action : actions) {
      if (action->text() == caption) found = action;
    }
    ASSERT_NE(found, nullptr) << "no menu item " << caption;
    if (found->menu()) actions = found->menu()->actions();
  }
  ASSERT_TRUE(found->isEnabled()) << "disabled: " << found->text().toStdString();
  found->trigger();
}

QString MainFormTest::TempFile(const QString& name) {
  return QString::fromStdString((dir / name.toStdString()).string());
}

bool MainFormTest::CloseWindow() {
  form->close();
  return !form->isVisible();
}

}  // namespace tollmark_test

// The bundled sample document, and what the window and each dialog show.
// With TOLLMARK_SCREENSHOT_DIR set, the pictures are saved there as PNG.
#include "main_form_fixture.h"
#include "tollmark/app/table_commands.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTest>
#include <QTextBlock>
#include <QTextList>
#include <QTextTable>
#include <cstdlib>

namespace tollmark_test {
namespace {

QString SamplePath() {
  const char* data = std::getenv("QUILLORA_TEST_DATA");
  return QDir(data ? data : "tests/data").filePath("../../tollmark/app/sample/sample.rtf");
}

// Saves the picture when asked to, and checks that it is not one flat colour.
void Shot(QWidget& widget, const QString& name) {
  widget.show();
  QApplication::processEvents();
  const QImage image = widget.grab().toImage();
  ASSERT_FALSE(image.isNull()) << name.toStdString();
  int colours = 0;
  const QRgb first = image.pixel(0, 0);
  for (int y = 0; y < image.height() && colours == 0; y += 7) {
    for (int x = 0; x < image.width(); x += 7) colours += image.pixel(x, y) != first;
  }
  EXPECT_GT(colours, 0) << name.toStdString() << " shows nothing";
  if (const char* dir = std::getenv("TOLLMARK_SCREENSHOT_DIR")) {
    QDir().mkpath(dir);
    image.save(QDir(dir).filePath(name + ".png"));
  }
}

class SampleTest : public MainFormTest {};

TEST_F(SampleTest, SampleShowsFontsListsATableAPictureAndALink) {
  ASSERT_TRUE(form->OpenFile(SamplePath()));
  EXPECT_EQ(form->windowTitle(), "sample.rtf - Tollmark");
  QStringList families;
  bool list = false, picture = false, link = false, page_break = false;
  for (QTextBlock block = Editor().document()->begin(); block.isValid(); block = block.next()) {
    list |= block.textList() != nullptr;
    page_break |= bool(block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      picture |= format.isImageFormat();
      link |= format.isAnchor() && !format.anchorHref().isEmpty();
      const QString family = format.font().resolve(Editor().document()->defaultFont()).family();
      if (!families.contains(family)) families.append(family);
    }
  }
  EXPECT_GE(families.size(), 3) << families.join(", ").toStdString();
  EXPECT_TRUE(list);
  EXPECT_TRUE(picture);
  EXPECT_TRUE(link);
  EXPECT_TRUE(page_break);
  QTextCursor at_table = Editor().document()->find("Paper");
  ASSERT_FALSE(at_table.isNull());
  ASSERT_NE(at_table.currentTable(), nullptr);
  EXPECT_EQ(at_table.currentTable()->rows(), 4);
  EXPECT_FALSE(Editor().document()->isModified());
}

TEST_F(SampleTest, WindowAndDialogsShowTheirContent) {
  ASSERT_TRUE(form->OpenFile(SamplePath()));
  form->resize(1003, 700);
  Editor().setTextCursor(Editor().document()->find("Times New Roman"));
  Shot(*form, "main-window");

  const auto shoot = [this](const char* name) {
    ui->AnswerDialog([name](QDialog& dialog) {
      Shot(dialog, name);
      dialog.reject();
      return int(QDialog::Rejected);
    });
  };
  const struct {
    const char* shot;
    std::vector<const char*> menu;
  } kDialogs[] = {
      {"find", {"&Edit", "&Find..."}},
      {"replace", {"&Edit", "&Replace..."}},
      {"font", {"F&ont", "&Font..."}},
      {"color", {"F&ont", "Text &Color..."}},
      {"paragraph", {"&Paragraph", "&Paragraph..."}},
      {"paragraph-borders", {"&Paragraph", "Paragraph &Borders and Background..."}},
      {"bullets-numbering", {"&Paragraph", "&Bullets and Numbering..."}},
      {"symbol", {"&Insert", "&Symbol..."}},
      {"insert-table", {"&Table", "&Insert Table..."}},
      {"about", {"&Help", "&About..."}},
      {"print", {"&File", "&Print..."}},
      {"print-preview", {"&File", "P&rint Preview..."}},
  };
  for (const auto& entry : kDialogs) {
    SCOPED_TRACE(entry.shot);
    shoot(entry.shot);
    QList<QAction*> actions = form->menuBar()->actions();
    QAction* found = nullptr;
    for (const char* caption : entry.menu) {
      for (QAction* action : actions) {
        if (action->text() == caption) found = action;
      }
      ASSERT_NE(found, nullptr);
      if (found->menu()) actions = found->menu()->actions();
    }
    found->trigger();
  }
  Editor().setTextCursor(Editor().document()->find("A4"));
  for (const char* shot : {"split-cells", "table-properties"}) shoot(shot);
  Menu({"&Table", "&Split Cells..."});
  Menu({"&Table", "Table &Properties..."});
  EXPECT_EQ(ui->dialogs.size(), 14);
}

}  // namespace
}  // namespace tollmark_test

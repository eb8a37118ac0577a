// A representative command of each menu, chosen as a user would, changes
// the document as expected.
#include "main_form_fixture.h"
#include "support/pdf_tools.h"
#include "tollmark/app/dialogs/about_form.h"
#include "tollmark/app/table_commands.h"
#include "tollmark/app/text_format.h"
#include "tollmark/io/document_io.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFontDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextList>
#include <QTextTable>

namespace tollmark_test {
namespace {

class EditCommandsTest : public MainFormTest {
 protected:
  QTextCharFormat FormatAt(int position) {
    QTextCursor cursor(Editor().document());
    cursor.setPosition(position);
    return cursor.charFormat();
  }
  void Select(int from, int to) {
    QTextCursor cursor(Editor().document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    Editor().setTextCursor(cursor);
  }
};

TEST_F(EditCommandsTest, UndoAndRedoWithTheirKeys) {
  Type("one");
  QTest::keyClick(&Editor(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(PlainText(), "");
  QTest::keyClick(&Editor(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(PlainText(), "one");
}

TEST_F(EditCommandsTest, ReplaceAllThroughTheDialog) {
  Type("cat and Cat and category");
  ui->AnswerDialog([](QDialog& dialog) {
    Child<QLineEdit>(dialog, "FindEdit")->setText("cat");
    Child<QLineEdit>(dialog, "ReplaceEdit")->setText("dog");
    Child<QCheckBox>(dialog, "WholeWordsBox")->setChecked(true);
    QTest::mouseClick(Child<QPushButton>(dialog, "ReplaceAllButton"), Qt::LeftButton);
    return int(QDialog::Rejected);
  });
  QTest::keyClick(&Editor(), Qt::Key_H, Qt::ControlModifier);
  EXPECT_EQ(PlainText(), "dog and dog and category");
  EXPECT_EQ(ui->dialogs, QStringList{"ReplaceDialog"});
  EXPECT_EQ(ui->messages, QStringList{"Replace: 2 occurrences replaced."});
  // One undo step takes back all of them.
  QTest::keyClick(&Editor(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(PlainText(), "cat and Cat and category");
}

TEST_F(EditCommandsTest, FindThenFindNextWrapsAround) {
  Type("ab ab ab");
  Editor().moveCursor(QTextCursor::Start);
  ui->AnswerDialog([](QDialog& dialog) {
    Child<QLineEdit>(dialog, "FindEdit")->setText("ab");
    QTest::mouseClick(Child<QPushButton>(dialog, "FindNextButton"), Qt::LeftButton);
    return int(QDialog::Rejected);
  });
  QTest::keyClick(&Editor(), Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(Editor().textCursor().selectionStart(), 0);
  QTest::keyClick(&Editor(), Qt::Key_F3);
  EXPECT_EQ(Editor().textCursor().selectionStart(), 3);
  QTest::keyClick(&Editor(), Qt::Key_F3);
  QTest::keyClick(&Editor(), Qt::Key_F3);
  EXPECT_EQ(Editor().textCursor().selectionStart(), 0);
  EXPECT_TRUE(ui->messages.isEmpty());
}

TEST_F(EditCommandsTest, PageBreakInsertedAndRemoved) {
  Type("page one");
  QTest::keyClick(&Editor(), Qt::Key_Return, Qt::ControlModifier);
  Type("page two");
  ASSERT_EQ(Editor().document()->blockCount(), 2);
  const QTextBlock second = Editor().document()->lastBlock();
  EXPECT_EQ(second.text(), "page two");
  EXPECT_TRUE(second.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
  Menu({"&Edit", "&Remove Page Break"});
  EXPECT_FALSE(Editor().document()->lastBlock().blockFormat().pageBreakPolicy() &
               QTextFormat::PageBreak_AlwaysBefore);
  EXPECT_FALSE(form->Command("rvActionRemovePageBreak1")->isEnabled());
}

TEST_F(EditCommandsTest, BoldItalicUnderlineWithTheirKeys) {
  Type("word");
  Editor().selectAll();
  QTest::keyClick(&Editor(), Qt::Key_B, Qt::ControlModifier);
  QTest::keyClick(&Editor(), Qt::Key_I, Qt::ControlModifier);
  QTest::keyClick(&Editor(), Qt::Key_U, Qt::ControlModifier);
  EXPECT_EQ(FormatAt(2).fontWeight(), QFont::Bold);
  EXPECT_TRUE(FormatAt(2).fontItalic());
  EXPECT_TRUE(FormatAt(2).fontUnderline());
  EXPECT_TRUE(form->Command("rvActionFontBold1")->isChecked());
  QTest::keyClick(&Editor(), Qt::Key_B, Qt::ControlModifier);
  EXPECT_NE(FormatAt(2).fontWeight(), QFont::Bold);
}

TEST_F(EditCommandsTest, FontSizeStepsKeepEachRunsOwnSize) {
  Type("ab");
  Select(1, 2);
  tollmark::SetFontSize(Editor(), 20);
  Editor().selectAll();
  Menu({"F&ont", "&Grow Font"});
  EXPECT_EQ(FormatAt(1).fontPointSize(), 11);
  EXPECT_EQ(FormatAt(2).fontPointSize(), 22);
  Menu({"F&ont", "Shri&nk Font By One Point"});
  EXPECT_EQ(FormatAt(1).fontPointSize(), 10);
  EXPECT_EQ(FormatAt(2).fontPointSize(), 21);
  Menu({"F&ont", "S&hrink Font"});
  EXPECT_EQ(FormatAt(1).fontPointSize(), 9);
  EXPECT_EQ(FormatAt(2).fontPointSize(), 20);
}

TEST_F(EditCommandsTest, SizeStepsStopAtTheEnds) {
  struct Case {
    qreal from;
    tollmark::SizeStep step;
    qreal to;
  };
  using tollmark::SizeStep;
  for (const Case& c :
       {Case{10, SizeStep::kGrow, 11}, Case{12, SizeStep::kGrow, 14}, Case{13, SizeStep::kGrow, 14},
        Case{72, SizeStep::kGrow, 82}, Case{8, SizeStep::kShrink, 7},
        Case{13, SizeStep::kShrink, 12}, Case{1, SizeStep::kShrinkOnePoint, 1},
        Case{1638, SizeStep::kGrowOnePoint, 1638}, Case{10.5, SizeStep::kGrowOnePoint, 11}}) {
    EXPECT_EQ(tollmark::SteppedFontSize(c.from, c.step), c.to) << c.from;
  }
}

TEST_F(EditCommandsTest, TextColorFromTheColorDialog) {
  Type("red");
  Editor().selectAll();
  ui->AnswerDialog([](QDialog& dialog) {
    auto* colors = qobject_cast<QColorDialog*>(&dialog);
    EXPECT_NE(colors, nullptr);
    EXPECT_EQ(QColorDialog::customColor(0), QColor(Qt::white));
    EXPECT_EQ(QColorDialog::customColor(QColorDialog::customCount() - 1), QColor(Qt::black));
    colors->setCurrentColor(QColor(200, 0, 0));
    return int(QDialog::Accepted);
  });
  Menu({"F&ont", "Text &Color..."});
  EXPECT_EQ(FormatAt(1).foreground().color(), QColor(200, 0, 0));

  ui->AnswerDialog([](QDialog&) { return int(QDialog::Rejected); });
  Menu({"F&ont", "Text Bac&kground Color..."});
  EXPECT_EQ(FormatAt(1).background().style(), Qt::NoBrush);
}

// Arial is shown as the installed font that stands in for it, and stays
// Arial when only the style changes.
TEST_F(EditCommandsTest, FontDialogKeepsASubstitutedFamily) {
  Type("text");
  Editor().selectAll();
  ui->AnswerDialog([](QDialog& dialog) {
    auto* fonts = qobject_cast<QFontDialog*>(&dialog);
    EXPECT_NE(fonts, nullptr);
    if (!fonts) return int(QDialog::Rejected);
    QFont font = fonts->currentFont();
    EXPECT_EQ(font.family(), "Liberation Sans");
    font.setPointSize(16);
    fonts->setCurrentFont(font);
    return int(QDialog::Accepted);
  });
  Menu({"F&ont", "&Font..."});
  EXPECT_EQ(tollmark::CurrentFont(Editor()).family(), "Arial");
  EXPECT_EQ(FormatAt(2).fontPointSize(), 16);

  ui->AnswerDialog([](QDialog& dialog) {
    auto* fonts = qobject_cast<QFontDialog*>(&dialog);
    QFont font("DejaVu Serif");
    font.setPointSize(12);
    fonts->setCurrentFont(font);
    return int(QDialog::Accepted);
  });
  Menu({"F&ont", "&Font..."});
  EXPECT_EQ(tollmark::CurrentFont(Editor()).family(), "DejaVu Serif");
}

TEST_F(EditCommandsTest, ParagraphAlignmentListsAndSpacing) {
  Type("first");
  QTest::keyClick(&Editor(), Qt::Key_Return);
  Type("second");
  Editor().selectAll();
  Menu({"&Paragraph", "Align &Center"});
  Menu({"&Paragraph", "&Numbering"});
  Menu({"&Paragraph", "1.5 Li&ne Spacing"});
  const QTextBlock first = Editor().document()->firstBlock();
  EXPECT_TRUE(first.blockFormat().alignment() & Qt::AlignHCenter);
  ASSERT_NE(first.textList(), nullptr);
  EXPECT_EQ(first.textList(), first.next().textList());
  EXPECT_EQ(first.textList()->format().style(), QTextListFormat::ListDecimal);
  EXPECT_EQ(first.blockFormat().lineHeight(), 150);
  EXPECT_TRUE(form->Command("rvActionParaNumbering1")->isChecked());

  Menu({"&Paragraph", "&Numbering"});  // again: plain paragraphs
  EXPECT_EQ(Editor().document()->firstBlock().textList(), nullptr);
}

TEST_F(EditCommandsTest, ParagraphDialogSetsIndentsAndSpacing) {
  Type("text");
  ui->AnswerDialog([](QDialog& dialog) {
    Child<QDoubleSpinBox>(dialog, "LeftIndentBox")->setValue(30);
    Child<QDoubleSpinBox>(dialog, "SpaceAfterBox")->setValue(12);
    Child<QComboBox>(dialog, "LineSpacingBox")->setCurrentIndex(2);
    Child<QComboBox>(dialog, "AlignmentBox")->setCurrentIndex(2);
    return int(QDialog::Accepted);
  });
  Menu({"&Paragraph", "&Paragraph..."});
  const QTextBlockFormat format = Editor().document()->firstBlock().blockFormat();
  EXPECT_EQ(format.leftMargin(), 30);
  EXPECT_EQ(format.bottomMargin(), 12);
  EXPECT_EQ(format.lineHeight(), 200);
  EXPECT_TRUE(format.alignment() & Qt::AlignRight);
  EXPECT_TRUE(form->Command("rvActionLineSpacing2001")->isChecked());
  EXPECT_TRUE(form->Command("rvActionAlignRight1")->isChecked());
}

TEST_F(EditCommandsTest, ParagraphBordersAreKeptAsTheDocumentsBorders) {
  Type("boxed");
  ui->AnswerDialog([](QDialog& dialog) {
    Child<QDoubleSpinBox>(dialog, "BorderWidthBox")->setValue(1.5);
    return int(QDialog::Accepted);
  });
  Menu({"&Paragraph", "Paragraph &Borders and Background..."});
  const QTextBlockFormat format = Editor().document()->firstBlock().blockFormat();
  for (int side : {tollmark::io::kBorderTop, tollmark::io::kBorderLeft, tollmark::io::kBorderBottom,
                   tollmark::io::kBorderRight}) {
    EXPECT_EQ(format.penProperty(side).widthF(), 1.5);
    EXPECT_EQ(format.penProperty(side).style(), Qt::SolidLine);
  }
  // They survive saving as RTF.
  ui->AnswerSave(TempFile("boxed.rtf"));
  Menu({"&File", "Save &As..."});
  ui->AnswerOpen(TempFile("boxed.rtf"));
  Menu({"&File", "&Open..."});
  EXPECT_EQ(
      Editor().document()->firstBlock().blockFormat().penProperty(tollmark::io::kBorderTop).style(),
      Qt::SolidLine);
}

TEST_F(EditCommandsTest, IndentSteps) {
  Type("moved");
  Menu({"&Paragraph", "&Increase Indent"});
  Menu({"&Paragraph", "&Increase Indent"});
  EXPECT_EQ(Editor().document()->firstBlock().blockFormat().indent(), 2);
  Menu({"&Paragraph", "&Decrease Indent"});
  Menu({"&Paragraph", "&Decrease Indent"});
  Menu({"&Paragraph", "&Decrease Indent"});
  EXPECT_EQ(Editor().document()->firstBlock().blockFormat().indent(), 0);
}

TEST_F(EditCommandsTest, InsertHorizontalLineAndPicture) {
  Type("above");
  Menu({"&Insert", "&Horizontal Line"});
  Type("below");
  bool has_rule = false;
  for (QTextBlock block = Editor().document()->begin(); block.isValid(); block = block.next()) {
    has_rule |= block.blockFormat().hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth);
  }
  EXPECT_TRUE(has_rule);
  EXPECT_EQ(Editor().document()->lastBlock().text(), "below");

  QImage image(8, 6, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(TempFile("dot.png")));
  ui->AnswerOpen(TempFile("dot.png"));
  Menu({"&Insert", "&Picture..."});
  const QTextCharFormat picture = FormatAt(Editor().textCursor().position());
  ASSERT_TRUE(picture.isImageFormat());
  EXPECT_EQ(picture.toImageFormat().width(), 8);
  const QVariant resource = Editor().document()->resource(QTextDocument::ImageResource,
                                                          QUrl(picture.toImageFormat().name()));
  EXPECT_EQ(resource.value<QImage>().pixelColor(1, 1), QColor(Qt::red));

  testing_support::WriteFile(dir / "junk.png", "not a picture");
  ui->AnswerOpen(TempFile("junk.png"));
  Menu({"&Insert", "&Picture..."});
  EXPECT_EQ(ui->messages.size(), 1);
}

TEST_F(EditCommandsTest, InsertFileAndSymbol) {
  testing_support::WriteFile(dir / "part.rtf", "{\\rtf1\\ansi {\\i inserted}}");
  Type("[]");
  QTest::keyClick(&Editor(), Qt::Key_Left);
  ui->AnswerOpen(TempFile("part.rtf"));
  Menu({"&Insert", "&File..."});
  EXPECT_EQ(PlainText(), "[inserted]");
  EXPECT_TRUE(FormatAt(3).fontItalic());

  Editor().moveCursor(QTextCursor::End);
  ui->AnswerDialog([](QDialog& dialog) {
    auto* grid = Child<QTableWidget>(dialog, "SymbolGrid");
    const QList<QTableWidgetItem*> found =
        grid->findItems(QString(QChar(0x00A9)), Qt::MatchExactly);
    EXPECT_FALSE(found.isEmpty());
    if (!found.isEmpty()) grid->setCurrentItem(found.first());
    return int(QDialog::Accepted);
  });
  Menu({"&Insert", "&Symbol..."});
  EXPECT_EQ(PlainText(), QString("[inserted]") + QChar(0x00A9));
}

TEST_F(EditCommandsTest, TableCommands) {
  ui->AnswerDialog([](QDialog& dialog) {
    Child<QSpinBox>(dialog, "ColumnsBox")->setValue(3);
    Child<QSpinBox>(dialog, "RowsBox")->setValue(2);
    return int(QDialog::Accepted);
  });
  Menu({"&Table", "&Insert Table..."});
  QTextTable* table = tollmark::CurrentTable(Editor());
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rows(), 2);
  EXPECT_EQ(table->columns(), 3);
  Type("a1");
  Menu({"&Table", "Insert Row &Below"});
  Menu({"&Table", "Insert Column &Left"});
  EXPECT_EQ(table->rows(), 3);
  EXPECT_EQ(table->columns(), 4);
  EXPECT_EQ(table->cellAt(0, 1).firstCursorPosition().block().text(), "a1");

  Menu({"&Table", "Select", "Select Ro&ws"});
  Menu({"&Table", "&Merge Cells"});
  EXPECT_EQ(table->cellAt(0, 0).columnSpan(), 4);

  Editor().setTextCursor(table->cellAt(1, 0).firstCursorPosition());
  Menu({"&Table", "Align Cell Contents", "&Bottom"});
  EXPECT_EQ(table->cellAt(1, 0).format().verticalAlignment(), QTextCharFormat::AlignBottom);
  // A new table has all its borders; one side toggles off and on again.
  Menu({"&Table", "Cell Borders Submenu", "&Left Border"});
  EXPECT_EQ(table->cellAt(1, 0).format().toTableCellFormat().leftBorder(), 0);
  EXPECT_GT(table->cellAt(1, 0).format().toTableCellFormat().topBorder(), 0);
  Menu({"&Table", "Cell Borders Submenu", "&Left Border"});
  EXPECT_GT(table->cellAt(1, 0).format().toTableCellFormat().leftBorder(), 0);
  Menu({"&Table", "Cell Borders Submenu", "&No Borders"});
  EXPECT_EQ(table->cellAt(1, 0).format().toTableCellFormat().topBorder(), 0);

  ui->AnswerDialog([](QDialog& dialog) {
    Child<QDoubleSpinBox>(dialog, "BorderBox")->setValue(3);
    Child<QSpinBox>(dialog, "WidthBox")->setValue(50);
    return int(QDialog::Accepted);
  });
  Menu({"&Table", "Table &Properties..."});
  EXPECT_EQ(table->cellAt(2, 3).format().toTableCellFormat().topBorder(), 3);
  EXPECT_EQ(table->format().width(), QTextLength(QTextLength::PercentageLength, 50));

  Menu({"&Table", "Delete R&ows"});
  EXPECT_EQ(table->rows(), 2);
  Menu({"&Table", "&Delete Table"});
  EXPECT_EQ(tollmark::CurrentTable(Editor()), nullptr);
  EXPECT_FALSE(form->Command("rvActionTableDeleteRows1")->isEnabled());
}

TEST_F(EditCommandsTest, TableBordersSurviveSavingAsRtf) {
  ui->AnswerDialog([](QDialog& dialog) {
    Child<QDoubleSpinBox>(dialog, "BorderBox")->setValue(2);
    return int(QDialog::Accepted);
  });
  Menu({"&Table", "&Insert Table..."});
  Type("cell");
  ui->AnswerSave(TempFile("table.rtf"));
  Menu({"&File", "Save &As..."});
  ui->AnswerOpen(TempFile("table.rtf"));
  Menu({"&File", "&Open..."});
  const QTextCursor found = Editor().document()->find("cell");
  ASSERT_NE(found.currentTable(), nullptr);
  const QTextTableCellFormat cell = found.currentTable()->cellAt(1, 2).format().toTableCellFormat();
  EXPECT_GT(cell.leftBorder(), 0);
  EXPECT_EQ(cell.leftBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
}

TEST_F(EditCommandsTest, AboutBoxAndHelpAddresses) {
  ui->AnswerDialog([](QDialog& dialog) {
    EXPECT_EQ(dialog.objectName(), "TAboutForm");
    EXPECT_EQ(dialog.windowTitle(), "About...");
    EXPECT_EQ(dialog.size(), QSize(531, 278));
    QStringList texts;
    for (QLabel* label : dialog.findChildren<QLabel*>()) texts.append(label->text());
    for (const char* text : {"Marrowind Tollmark", "v 3.6", "Web:", "E-Mail:"}) {
      EXPECT_TRUE(texts.contains(text)) << text;
    }
    QTest::mouseClick(Child<QLabel>(dialog, "WebLink"), Qt::LeftButton);
    QTest::mouseClick(Child<QLabel>(dialog, "MailLink"), Qt::LeftButton);
    auto* ok = Child<QPushButton>(dialog, "OkButton");
    EXPECT_EQ(ok->text(), "Ok");
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    return dialog.result();
  });
  Menu({"&Help", "&About..."});
  Menu({"&Help", "Home"});
  Menu({"&Help", "Update"});
  ASSERT_EQ(ui->urls.size(), 4u);
  EXPECT_EQ(ui->urls[0], QUrl(tollmark::kHomeAddress));
  EXPECT_EQ(ui->urls[1].scheme(), "mailto");
  EXPECT_EQ(ui->urls[2], QUrl(tollmark::kHomeAddress));
  EXPECT_EQ(ui->urls[3], QUrl(tollmark::kOrderAddress));
  EXPECT_TRUE(Editor().hasFocus());
}

TEST_F(EditCommandsTest, CtrlClickFollowsALink) {
  Editor().textCursor().insertHtml("<a href=\"https://example.org/x\">a link here</a>");
  const QRect caret = Editor().cursorRect(QTextCursor(Editor().document()->firstBlock()));
  const QPoint on_link = caret.center() + QPoint(15, 0);
  QTest::mouseClick(Editor().viewport(), Qt::LeftButton, Qt::NoModifier, on_link);
  EXPECT_TRUE(ui->urls.empty());
  QTest::mouseClick(Editor().viewport(), Qt::LeftButton, Qt::ControlModifier, on_link);
  ASSERT_EQ(ui->urls.size(), 1u);
  EXPECT_EQ(ui->urls[0], QUrl("https://example.org/x"));
}

TEST_F(EditCommandsTest, PrintWritesThePages) {
  Type("Printed text");
  QTest::keyClick(&Editor(), Qt::Key_Return, Qt::ControlModifier);
  Type("Second page");
  const QString pdf = TempFile("printed.pdf");
  ui->AnswerDialog([&pdf](QDialog& dialog) {
    auto* print = qobject_cast<QPrintDialog*>(&dialog);
    EXPECT_NE(print, nullptr);
    if (!print) return int(QDialog::Rejected);
    print->printer()->setOutputFormat(QPrinter::PdfFormat);
    print->printer()->setOutputFileName(pdf);
    return int(QDialog::Accepted);
  });
  QTest::keyClick(&Editor(), Qt::Key_P, Qt::ControlModifier);
  ASSERT_TRUE(QFileInfo::exists(pdf));
  EXPECT_EQ(testing_support::QpdfCheck(pdf.toStdString()), "");
  const std::string text = testing_support::PdfToText(pdf.toStdString());
  EXPECT_NE(text.find("Printed text"), std::string::npos) << text;
  EXPECT_NE(text.find('\f'), text.rfind('\f')) << "two pages expected";
}

TEST_F(EditCommandsTest, PrintPreviewShowsThePages) {
  Type("one");
  QTest::keyClick(&Editor(), Qt::Key_Return, Qt::ControlModifier);
  Type("two");
  int pages = 0;
  ui->AnswerDialog([&pages](QDialog& dialog) {
    dialog.show();
    QApplication::processEvents();
    if (auto* preview = dialog.findChild<QPrintPreviewWidget*>()) pages = preview->pageCount();
    dialog.reject();
    return dialog.result();
  });
  Menu({"&File", "P&rint Preview..."});
  EXPECT_EQ(pages, 2);
}

TEST_F(EditCommandsTest, SaveAsPdfSaysItIsNotAvailableYet) {
  Menu({"&File", "Save As PDF File"});
  ASSERT_EQ(ui->messages.size(), 1);
  EXPECT_TRUE(ui->messages[0].startsWith("Save As PDF File: "));
}

}  // namespace
}  // namespace tollmark_test

// New, Open, Save, Save As, the caption and the save-changes prompt.
#include "main_form_fixture.h"
#include "support/pdf_tools.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace tollmark_test {
namespace {

using testing_support::ReadFile;
using testing_support::WriteFile;

class FileCommandsTest : public MainFormTest {};

std::string Read(const QString& path) {
  return ReadFile(path.toStdString());
}

TEST_F(FileCommandsTest, StartsWithAnUntitledUnmodifiedDocument) {
  EXPECT_EQ(form->windowTitle(), "Untitled.rtf - Tollmark");
  EXPECT_EQ(form->DocumentName(), "Untitled.rtf");
  EXPECT_FALSE(form->DocumentHasFile());
  EXPECT_FALSE(Editor().document()->isModified());
  EXPECT_EQ(form->size(), QSize(1003, 501));
}

TEST_F(FileCommandsTest, CaptionFollowsSaveAsOpenAndNew) {
  Type("Hello");
  ui->AnswerSave(TempFile("letter.rtf"));
  Menu({"&File", "Save &As..."});
  EXPECT_EQ(form->windowTitle(), "letter.rtf - Tollmark");
  EXPECT_TRUE(form->DocumentHasFile());
  EXPECT_FALSE(Editor().document()->isModified());

  WriteFile(dir / "notes.txt", "plain words\n");
  ui->AnswerOpen(TempFile("notes.txt"));
  Menu({"&File", "&Open..."});
  EXPECT_EQ(form->windowTitle(), "notes.txt - Tollmark");
  EXPECT_EQ(PlainText(), "plain words");

  Menu({"&File", "&New"});
  EXPECT_EQ(form->windowTitle(), "Untitled.rtf - Tollmark");
  EXPECT_EQ(PlainText(), "");
  EXPECT_FALSE(form->DocumentHasFile());
}

TEST_F(FileCommandsTest, CancelledDialogsChangeNothing) {
  ui->AnswerSave(TempFile("first.rtf"));
  Menu({"&File", "Save &As..."});
  Type("more");

  ui->AnswerOpen("");  // the Open dialog is cancelled after the prompt saved
  ui->AnswerQuestion(QMessageBox::Yes);
  Menu({"&File", "&Open..."});
  EXPECT_EQ(form->windowTitle(), "first.rtf - Tollmark");
  EXPECT_EQ(form->DocumentName(), "first.rtf");
  EXPECT_TRUE(form->DocumentHasFile());
  EXPECT_EQ(PlainText(), "more");

  Type("!");
  ui->AnswerSave("");
  Menu({"&File", "Save &As..."});
  EXPECT_EQ(form->windowTitle(), "first.rtf - Tollmark");
  EXPECT_TRUE(Editor().document()->isModified());
  EXPECT_TRUE(QFileInfo(TempFile("first.rtf")).exists());
  EXPECT_EQ(QFileInfo(TempFile("!")).exists(), false);
}

TEST_F(FileCommandsTest, SaveAsPresetsTheNameWithoutItsExtension) {
  ui->AnswerSave("");
  Menu({"&File", "Save &As..."});
  ASSERT_EQ(ui->save_requests.size(), 1u);
  EXPECT_EQ(ui->save_requests[0].file_name, "Untitled");
  EXPECT_TRUE(ui->save_requests[0].filter.startsWith("Rich Text Files (*.RTF)"));

  ui->AnswerSave(TempFile("report.txt"));
  Menu({"&File", "Save &As..."});
  ui->AnswerSave("");
  Menu({"&File", "Save &As..."});
  ASSERT_EQ(ui->save_requests.size(), 3u);
  EXPECT_EQ(ui->save_requests[2].file_name, "report");
  EXPECT_EQ(ui->save_requests[2].directory, QString::fromStdString(dir.string()));
}

// The format follows the exact, lower-case "rtf" ending of the name.
TEST_F(FileCommandsTest, OnlyALowerCaseRtfEndingMeansRtf) {
  struct Case {
    const char* name;
    bool rtf;
  };
  for (const Case& c : {Case{"a.rtf", true}, Case{"b.RTF", false}, Case{"c.Rtf", false},
                        Case{"d.txt", false}, Case{"e.myrtf", true}}) {
    SCOPED_TRACE(c.name);
    Editor().selectAll();
    Type("Bold words");
    ui->AnswerSave(TempFile(c.name));
    Menu({"&File", "Save &As..."});
    const std::string bytes = Read(TempFile(c.name));
    EXPECT_EQ(bytes.rfind("{\\rtf", 0) == 0, c.rtf) << bytes.substr(0, 40);
    if (!c.rtf) {
      EXPECT_EQ(bytes, "Bold words\n");
    }
  }

  // An RTF file whose name ends in upper-case RTF is read as text.
  const std::string rtf = "{\\rtf1\\ansi {\\b Hi}\\par}";
  WriteFile(dir / "upper.RTF", rtf);
  WriteFile(dir / "lower.rtf", rtf);
  ui->AnswerOpen(TempFile("upper.RTF"));
  Menu({"&File", "&Open..."});
  EXPECT_EQ(PlainText().toStdString(), rtf);
  ui->AnswerOpen(TempFile("lower.rtf"));
  Menu({"&File", "&Open..."});
  EXPECT_EQ(PlainText(), "Hi");
}

TEST_F(FileCommandsTest, SaveAsAddsTheExtensionOfTheChosenFilter) {
  Type("x");
  ui->AnswerSave(TempFile("plain"), tollmark::kTextFilter);
  Menu({"&File", "Save &As..."});
  EXPECT_EQ(form->DocumentName(), "plain.txt");
  EXPECT_EQ(Read(TempFile("plain.txt")), "x\n");
  ui->AnswerSave(TempFile("rich"), tollmark::kRtfFilter);
  Menu({"&File", "Save &As..."});
  EXPECT_EQ(form->DocumentName(), "rich.rtf");
}

// Save writes where the document came from, not into the current folder.
TEST_F(FileCommandsTest, SaveWritesBackToTheOpenedFile) {
  WriteFile(dir / "kept.txt", "old\n");
  ui->AnswerOpen(TempFile("kept.txt"));
  Menu({"&File", "&Open..."});
  Editor().moveCursor(QTextCursor::End);
  Type(" and new");
  QTest::keyClick(&Editor(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(Read(TempFile("kept.txt")), "old and new\n");
  EXPECT_FALSE(Editor().document()->isModified());
  EXPECT_EQ(form->DocumentPath(), QFileInfo(TempFile("kept.txt")).absoluteFilePath());
}

TEST_F(FileCommandsTest, SaveOfANewDocumentAsksForAName) {
  Type("first");
  ui->AnswerSave(TempFile("named.rtf"));
  QTest::keyClick(&Editor(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(ui->save_requests.size(), 1u);
  EXPECT_EQ(form->windowTitle(), "named.rtf - Tollmark");
  Type(" second");
  QTest::keyClick(&Editor(), Qt::Key_S, Qt::ControlModifier);  // no dialog now
  EXPECT_EQ(ui->save_requests.size(), 1u);
  ui->AnswerOpen(TempFile("named.rtf"));
  Menu({"&File", "&Open..."});
  EXPECT_EQ(PlainText(), "first second");
}

// Nothing after a link is lost on the way through an RTF file.
TEST_F(FileCommandsTest, LinksAndWhatFollowsThemSurviveRtf) {
  Type("see ");
  Editor().textCursor().insertHtml("<a href=\"https://example.org/a\">the site</a>");
  QTextCharFormat plain;
  Editor().textCursor().insertText(" then more", plain);
  QTest::keyClick(&Editor(), Qt::Key_Return);
  Type("last line");
  ui->AnswerSave(TempFile("link.rtf"));
  Menu({"&File", "Save &As..."});
  ui->AnswerOpen(TempFile("link.rtf"));
  Menu({"&File", "&Open..."});
  EXPECT_EQ(PlainText(), "see the site then more\nlast line");
  const QTextCursor link = Editor().document()->find("site");
  ASSERT_FALSE(link.isNull());
  EXPECT_EQ(link.charFormat().anchorHref(), "https://example.org/a");
}

TEST_F(FileCommandsTest, FailedOpenKeepsTheDocument) {
  Type("keep me");
  Editor().document()->setModified(false);
  ui->AnswerOpen(TempFile("missing.rtf"));
  Menu({"&File", "&Open..."});
  EXPECT_EQ(PlainText(), "keep me");
  EXPECT_EQ(form->windowTitle(), "Untitled.rtf - Tollmark");
  ASSERT_EQ(ui->messages.size(), 1);
  EXPECT_TRUE(ui->messages[0].startsWith("Open: ")) << ui->messages[0].toStdString();
}

TEST_F(FileCommandsTest, FailedSaveKeepsTheModifiedMark) {
  Type("text");
  ui->AnswerSave(TempFile("no-such-folder/x.rtf"));
  Menu({"&File", "Save &As..."});
  EXPECT_TRUE(Editor().document()->isModified());
  ASSERT_EQ(ui->messages.size(), 1);
  EXPECT_TRUE(ui->messages[0].startsWith("Save: "));
}

// The prompt's three answers, on New.
TEST_F(FileCommandsTest, NewAsksBeforeDiscardingChanges) {
  Type("draft");
  ui->AnswerQuestion(QMessageBox::Cancel);
  Menu({"&File", "&New"});
  ASSERT_EQ(ui->questions.size(), 1u);
  EXPECT_EQ(ui->questions[0].caption, "Confirm");
  EXPECT_EQ(ui->questions[0].text, "Save changes to Untitled.rtf");
  EXPECT_EQ(PlainText(), "draft");

  ui->AnswerQuestion(QMessageBox::No);
  Menu({"&File", "&New"});
  EXPECT_EQ(PlainText(), "");
  EXPECT_FALSE(Editor().document()->isModified());

  Type("kept");
  ui->AnswerQuestion(QMessageBox::Yes);
  ui->AnswerSave(TempFile("kept.txt"));
  Menu({"&File", "&New"});
  EXPECT_EQ(Read(TempFile("kept.txt")), "kept\n");
  EXPECT_EQ(PlainText(), "");
  EXPECT_EQ(form->windowTitle(), "Untitled.rtf - Tollmark");

  // Yes, then a cancelled Save As: nothing is discarded.
  Type("again");
  ui->AnswerQuestion(QMessageBox::Yes);
  ui->AnswerSave("");
  Menu({"&File", "&New"});
  EXPECT_EQ(PlainText(), "again");

  // Unmodified: no question at all.
  Editor().document()->setModified(false);
  Menu({"&File", "&New"});
  EXPECT_EQ(ui->questions.size(), 4u);
}

TEST_F(FileCommandsTest, ClosingAsksBeforeDiscardingChanges) {
  ui->AnswerSave(TempFile("doc.rtf"));
  Menu({"&File", "Save &As..."});
  Type("edit");

  ui->AnswerQuestion(QMessageBox::Cancel);
  EXPECT_FALSE(CloseWindow());
  ASSERT_EQ(ui->questions.size(), 1u);
  EXPECT_EQ(ui->questions[0].text, "Save changes to doc.rtf");

  ui->AnswerQuestion(QMessageBox::Yes);  // saves to the file it has, no dialog
  EXPECT_TRUE(CloseWindow());
  EXPECT_EQ(ui->save_requests.size(), 1u);
  EXPECT_TRUE(Read(TempFile("doc.rtf")).find("edit") != std::string::npos);
}

TEST_F(FileCommandsTest, ClosingWithoutSavingOnNo) {
  Type("lost on purpose");
  ui->AnswerQuestion(QMessageBox::No);
  Menu({"&File", "E&xit"});
  EXPECT_FALSE(form->isVisible());
}

TEST_F(FileCommandsTest, ClosingAfterSaveAsksNothing) {
  Type("saved");
  ui->AnswerSave(TempFile("saved.rtf"));
  QTest::keyClick(&Editor(), Qt::Key_S, Qt::ControlModifier);
  QTest::keyClick(&Editor(), Qt::Key_X, Qt::AltModifier);
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(ui->questions.empty());
}

TEST_F(FileCommandsTest, WindowPlacementIsKeptBetweenRuns) {
  form->resize(700, 420);
  EXPECT_TRUE(CloseWindow());
  tollmark::TMForm second;
  EXPECT_EQ(second.size(), QSize(700, 420));
}

}  // namespace
}  // namespace tollmark_test

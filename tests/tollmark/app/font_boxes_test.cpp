// The font-name and font-size boxes of the format toolbar.
#include "main_form_fixture.h"
#include "tollmark/app/text_format.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTextBlock>

namespace tollmark_test {
namespace {

class FontBoxesTest : public MainFormTest {
 protected:
  // Replaces the box's text as a user would and presses Enter.
  void Enter(QComboBox* box, const QString& text) {
    QLineEdit* line = box->lineEdit();
    QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(line, Qt::Key_Backspace);
    QTest::keyClicks(line, text);
    QTest::keyClick(line, Qt::Key_Return);
  }
  // Point sizes of the characters of the first paragraph.
  std::vector<qreal> Sizes() {
    std::vector<qreal> sizes;
    QTextCursor cursor(Editor().document());
    const int length = Editor().document()->firstBlock().length() - 1;
    for (int i = 1; i <= length; ++i) {
      cursor.setPosition(i);
      sizes.push_back(
          cursor.charFormat().font().resolve(Editor().document()->defaultFont()).pointSizeF());
    }
    return sizes;
  }
};

TEST_F(FontBoxesTest, SizeBoxAppliesTheTypedSizeAndTenWhenEmpty) {
  Type("abc");
  Editor().selectAll();
  Enter(form->FontSizeBox(), "14");
  EXPECT_EQ(Sizes(), (std::vector<qreal>{14, 14, 14}));
  EXPECT_TRUE(Editor().hasFocus());
  Editor().selectAll();
  Enter(form->FontSizeBox(), "");
  EXPECT_EQ(Sizes(), (std::vector<qreal>{10, 10, 10}));
}

TEST_F(FontBoxesTest, SizeThatIsNotANumberAppliesNothing) {
  Type("abc");
  Editor().selectAll();
  Editor().document()->setModified(false);
  const int items = form->FontSizeBox()->count();
  for (const char* text : {"abc", "12pt", "0", "-4", "99999"}) {
    SCOPED_TRACE(text);
    Enter(form->FontSizeBox(), text);
    EXPECT_FALSE(Editor().document()->isModified());
    EXPECT_EQ(Sizes(), (std::vector<qreal>{10, 10, 10}));
    EXPECT_EQ(form->FontSizeBox()->count(), items);  // Enter adds no item
  }
}

TEST_F(FontBoxesTest, FontBoxAppliesAKnownNameWhateverItsCase) {
  Type("abc");
  Editor().selectAll();
  Enter(form->FontBox(), "dejavu serif");
  EXPECT_EQ(form->FontBox()->currentText(), "DejaVu Serif");
  QTextCursor cursor(Editor().document());
  cursor.setPosition(2);
  EXPECT_EQ(cursor.charFormat().fontFamilies().toStringList(), QStringList{"DejaVu Serif"});

  Editor().selectAll();
  Editor().document()->setModified(false);
  Enter(form->FontBox(), "No Such Font");
  EXPECT_FALSE(Editor().document()->isModified());
}

TEST_F(FontBoxesTest, ChoosingFromTheListApplies) {
  Type("abc");
  Editor().selectAll();
  QComboBox* box = form->FontBox();
  const int index = box->findText("Liberation Mono");
  ASSERT_GE(index, 0);
  box->setCurrentIndex(index);
  emit box->activated(index);  // what a click on the list item sends
  EXPECT_EQ(tollmark::CurrentFont(Editor()).family(), "Liberation Mono");
}

TEST_F(FontBoxesTest, MovingTheCaretUpdatesBothBoxesWithoutChangingTheDocument) {
  Type("plain ");
  QTextCharFormat big;
  big.setFontFamilies(QStringList{"DejaVu Serif"});
  big.setFontPointSize(20);
  Editor().textCursor().insertText("big", big);
  Editor().document()->setModified(false);
  const int undo_steps = Editor().document()->availableUndoSteps();

  QTest::keyClick(&Editor(), Qt::Key_Home);
  EXPECT_EQ(form->FontBox()->currentText(), "Arial");
  EXPECT_EQ(form->FontSizeBox()->currentText(), "10");
  QTest::keyClick(&Editor(), Qt::Key_End);
  EXPECT_EQ(form->FontBox()->currentText(), "DejaVu Serif");
  EXPECT_EQ(form->FontSizeBox()->currentText(), "20");
  QTest::keyClick(&Editor(), Qt::Key_Home);
  EXPECT_EQ(form->FontBox()->currentText(), "Arial");

  EXPECT_FALSE(Editor().document()->isModified());
  EXPECT_EQ(Editor().document()->availableUndoSteps(), undo_steps);
  EXPECT_FALSE(form->UpdatingFontBoxes());
}

}  // namespace
}  // namespace tollmark_test

// Documents built with every feature survive writing as RTF and reading back:
// the same structure, formats, lists, tables, pictures and links.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include "document_dump.h"
#include "tollmark/io/document_io.h"

namespace tollmark::io {
namespace {

using testing::DumpDocument;

QTextCharFormat Font(const QString& family, double size) {
  QTextCharFormat f;
  f.setFontFamilies({family});
  f.setFontPointSize(size);
  return f;
}

// Writes, reads back, and expects the same structure; returns the RTF.
QByteArray ExpectRoundTrip(const QTextDocument& doc) {
  const QByteArray rtf = WriteRtf(doc);
  QTextDocument back;
  QString error;
  EXPECT_TRUE(ReadRtf(rtf, back, &error)) << error.toStdString();
  EXPECT_EQ(DumpDocument(back), DumpDocument(doc)) << rtf.toStdString();
  EXPECT_EQ(GetDocumentInfo(back), GetDocumentInfo(doc));
  // Writing what was read gives the same bytes: nothing drifts on a second save.
  EXPECT_EQ(WriteRtf(back), rtf);
  return rtf;
}

TEST(RtfRoundTrip, CharacterFormats) {
  QTextDocument doc;
  QTextCursor c(&doc);
  c.setBlockCharFormat(Font("Arial", 12));
  c.insertText("plain ", Font("Arial", 12));
  QTextCharFormat f = Font("Times New Roman", 15.5);
  f.setFontWeight(QFont::Bold);
  f.setFontItalic(true);
  c.insertText("bold italic ", f);
  for (auto style : {QTextCharFormat::SingleUnderline, QTextCharFormat::DashUnderline,
                     QTextCharFormat::DotLine, QTextCharFormat::DashDotLine,
                     QTextCharFormat::DashDotDotLine, QTextCharFormat::WaveUnderline}) {
    QTextCharFormat u = Font("Arial", 10);
    u.setUnderlineStyle(style);
    c.insertText("u" + QString::number(style) + " ", u);
  }
  QTextCharFormat more = Font("Courier New", 9);
  more.setFontStrikeOut(true);
  more.setForeground(QColor(200, 10, 20));
  more.setBackground(QColor(255, 255, 0));
  c.insertText("strike ", more);
  QTextCharFormat caps = Font("Arial", 11);
  caps.setFontCapitalization(QFont::AllUppercase);
  c.insertText("caps ", caps);
  caps.setFontCapitalization(QFont::SmallCaps);
  c.insertText("small ", caps);
  QTextCharFormat sup = Font("Arial", 11);
  sup.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
  c.insertText("sup", sup);
  sup.setVerticalAlignment(QTextCharFormat::AlignSubScript);
  c.insertText("sub", sup);
  QTextCharFormat hidden = Font("Arial", 11);
  hidden.setProperty(kHiddenText, true);
  c.insertText("hidden", hidden);
  // Text beyond Windows-1252, specials, and RTF's own syntax characters.
  c.insertText(QString::fromUtf8("\\{} café €5 Привет 日本語 😀 a\tb") +
                   QChar(QChar::LineSeparator) + QChar(0x00A0) + QChar(0x00AD) + QChar(0x2011),
               Font("DejaVu Sans", 12));
  ExpectRoundTrip(doc);
}

TEST(RtfRoundTrip, ParagraphFormatsBordersAndBreaks) {
  QTextDocument doc;
  QTextCursor c(&doc);
  QTextBlockFormat b;
  b.setAlignment(Qt::AlignHCenter);
  b.setLeftMargin(48);
  b.setRightMargin(24);
  b.setTextIndent(-12);
  b.setTopMargin(8);
  b.setBottomMargin(16);
  b.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
  b.setNonBreakableLines(true);
  b.setProperty(kKeepWithNext, true);
  c.setBlockFormat(b);
  c.setBlockCharFormat(Font("Arial", 12));
  c.insertText("centred", Font("Arial", 12));

  QTextBlockFormat j;
  j.setAlignment(Qt::AlignJustify);
  j.setLineHeight(20, QTextBlockFormat::FixedHeight);
  j.setTabPositions({QTextOption::Tab(96, QTextOption::LeftTab),
                     QTextOption::Tab(192, QTextOption::RightTab),
                     QTextOption::Tab(288, QTextOption::CenterTab)});
  c.insertBlock(j, Font("Arial", 12));
  c.insertText("justified\twith\ttabs", Font("Arial", 12));

  QTextBlockFormat r;
  r.setAlignment(Qt::AlignRight);
  r.setLineHeight(18, QTextBlockFormat::MinimumHeight);
  r.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  c.insertBlock(r, Font("Arial", 12));
  c.insertText("right, new page", Font("Arial", 12));

  QTextBlockFormat boxed;
  boxed.setAlignment(Qt::AlignLeft);
  boxed.setBackground(QColor(0xEE, 0xEE, 0xFF));
  QPen solid(QColor(255, 0, 0));
  solid.setWidthF(1.5);
  QPen dotted(QColor(0, 0, 0));
  dotted.setWidthF(0.5);
  dotted.setStyle(Qt::DotLine);
  QPen dashed(QColor(0, 0, 255));
  dashed.setWidthF(2);
  dashed.setStyle(Qt::DashLine);
  boxed.setProperty(kBorderTop, solid);
  boxed.setProperty(kBorderBottom, dotted);
  boxed.setProperty(kBorderLeft, dashed);
  boxed.setProperty(kBorderRight, solid);
  boxed.setProperty(kBorderSpacing, 3.0);
  c.insertBlock(boxed, Font("Arial", 12));
  c.insertText("bordered and shaded", Font("Arial", 12));

  // An empty paragraph keeps its mark's size; the last one too.
  QTextBlockFormat left;
  left.setAlignment(Qt::AlignLeft);
  c.insertBlock(left, Font("Arial", 20));
  c.insertBlock(left, Font("Arial", 8));
  ExpectRoundTrip(doc);
}

TEST(RtfRoundTrip, Lists) {
  QTextDocument doc;
  QTextCursor c(&doc);
  QTextBlockFormat left;
  left.setAlignment(Qt::AlignLeft);
  c.setBlockFormat(left);
  c.setBlockCharFormat(Font("Arial", 12));
  c.insertText("intro", Font("Arial", 12));
  const QTextListFormat::Style styles[] = {
      QTextListFormat::ListDisc,       QTextListFormat::ListCircle,
      QTextListFormat::ListSquare,     QTextListFormat::ListDecimal,
      QTextListFormat::ListLowerAlpha, QTextListFormat::ListUpperAlpha,
      QTextListFormat::ListLowerRoman, QTextListFormat::ListUpperRoman};
  int n = 0;
  for (auto style : styles) {
    QTextListFormat lf;
    lf.setStyle(style);
    lf.setIndent(1 + n % 3);
    if (style <= QTextListFormat::ListDecimal) {
      lf.setNumberPrefix(n % 2 ? "(" : "");
      lf.setNumberSuffix(n % 2 ? ")" : ".");
    }
    if (style == QTextListFormat::ListLowerRoman) lf.setProperty(kListStart, 4);
    c.insertBlock(left, Font("Arial", 12));
    QTextList* list = c.createList(lf);
    c.insertText("item " + QString::number(n), Font("Arial", 12));
    c.insertBlock(left, Font("Arial", 12));
    list->add(c.block());
    c.insertText("second " + QString::number(n), Font("Arial", 12));
    ++n;
  }
  c.insertBlock(left, Font("Arial", 12));  // a block format of its own: out of the list
  ASSERT_EQ(c.block().textList(), nullptr);
  c.insertText("outro", Font("Arial", 12));
  ExpectRoundTrip(doc);
}

TEST(RtfRoundTrip, TablesWithMergesBordersAndNesting) {
  QTextDocument doc;
  QTextCursor c(&doc);
  QTextBlockFormat left;
  left.setAlignment(Qt::AlignLeft);
  c.setBlockFormat(left);
  c.setBlockCharFormat(Font("Arial", 12));
  c.insertText("before", Font("Arial", 12));

  QTextTableFormat tf;
  tf.setBorder(0);
  tf.setBorderCollapse(true);
  tf.setCellSpacing(0);
  tf.setCellPadding(4);
  tf.setAlignment(Qt::AlignHCenter);
  tf.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 100),
                                QTextLength(QTextLength::FixedLength, 150),
                                QTextLength(QTextLength::FixedLength, 80)});
  QTextTable* table = c.insertTable(4, 3, tf);
  table->mergeCells(0, 1, 1, 2);  // horizontal
  table->mergeCells(1, 0, 2, 1);  // vertical
  table->mergeCells(2, 1, 2, 2);  // both
  for (int r = 0; r < table->rows(); ++r) {
    for (int col = 0; col < table->columns(); ++col) {
      QTextTableCell cell = table->cellAt(r, col);
      if (cell.row() != r || cell.column() != col) continue;
      QTextCursor in = cell.firstCursorPosition();
      in.setBlockFormat(left);
      in.insertText(QString("r%1c%2").arg(r).arg(col), Font("Arial", 12));
    }
  }
  QTextTableCellFormat cf = table->cellAt(0, 0).format().toTableCellFormat();
  cf.setBackground(QColor(0, 200, 0));
  cf.setVerticalAlignment(QTextCharFormat::AlignMiddle);
  cf.setTopBorder(2);
  cf.setLeftBorder(1);
  cf.setBottomBorder(2);
  cf.setRightBorder(1);
  cf.setTopBorderStyle(QTextFrameFormat::BorderStyle_Solid);
  cf.setLeftBorderStyle(QTextFrameFormat::BorderStyle_Solid);
  cf.setBottomBorderStyle(QTextFrameFormat::BorderStyle_Solid);
  cf.setRightBorderStyle(QTextFrameFormat::BorderStyle_Solid);
  cf.setTopBorderBrush(QColor(255, 0, 0));
  cf.setLeftBorderBrush(QColor(255, 0, 0));
  cf.setBottomBorderBrush(QColor(255, 0, 0));
  cf.setRightBorderBrush(QColor(255, 0, 0));
  table->cellAt(0, 0).setFormat(cf);

  // A second paragraph and a nested table in the cell at row 1, column 0.
  QTextCursor in = table->cellAt(1, 0).lastCursorPosition();
  in.insertBlock(left, Font("Arial", 12));
  in.insertText("second paragraph", Font("Arial", 12));
  in.insertBlock(left, Font("Arial", 12));
  in.insertText("above nested", Font("Arial", 12));
  QTextTableFormat nf = tf;
  nf.setAlignment(Qt::AlignLeft);
  nf.setColumnWidthConstraints(
      {QTextLength(QTextLength::FixedLength, 30), QTextLength(QTextLength::FixedLength, 40)});
  QTextTable* nested = in.insertTable(2, 2, nf);
  for (int r = 0; r < 2; ++r) {
    for (int col = 0; col < 2; ++col) {
      QTextCursor nc = nested->cellAt(r, col).firstCursorPosition();
      nc.setBlockFormat(left);
      nc.insertText(QString("n%1%2").arg(r).arg(col), Font("Arial", 12));
    }
  }
  QTextCursor after = nested->lastCursorPosition();
  after.movePosition(QTextCursor::NextBlock);
  after.setBlockFormat(left);
  after.setBlockCharFormat(Font("Arial", 12));
  after.insertText("below nested", Font("Arial", 12));

  c = table->lastCursorPosition();
  c.movePosition(QTextCursor::NextBlock);
  c.setBlockFormat(left);
  c.setBlockCharFormat(Font("Arial", 12));
  c.insertText("after", Font("Arial", 12));
  // The merges and the cell format are really there to compare.
  const std::string dump = DumpDocument(doc);
  for (const char* cell :
       {"CELL 0,0 span=1x1 valign=3 bg=#00c800 borders=2/1/2/1:3:#ff0000", "CELL 0,1 span=1x2",
        "CELL 1,0 span=2x1", "CELL 2,1 span=2x2", "TABLE 2x2 w=30 w=40"}) {
    EXPECT_NE(dump.find(cell), std::string::npos) << cell << "\n" << dump;
  }
  ExpectRoundTrip(doc);
}

TEST(RtfRoundTrip, TablesBackToBackAndAtTheStart) {
  QTextDocument doc;
  // The empty block Qt keeps before a leading table is not written: its mark
  // takes the default of what is read, RTF's 12 points.
  doc.setDefaultFont(QFont("DejaVu Sans", 12));
  QTextCursor c(&doc);
  QTextTableFormat tf;
  tf.setBorder(0);
  tf.setBorderCollapse(true);
  tf.setCellSpacing(0);
  tf.setCellPadding(7.2);
  tf.setAlignment(Qt::AlignLeft);
  tf.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 60)});
  QTextTable* first = c.insertTable(1, 1, tf);
  first->cellAt(0, 0).firstCursorPosition().insertText("one", Font("Arial", 12));
  c = first->lastCursorPosition();
  c.movePosition(QTextCursor::NextBlock);
  c.setBlockCharFormat(Font("Arial", 12));
  QTextTable* second = c.insertTable(1, 1, tf);
  second->cellAt(0, 0).firstCursorPosition().insertText("two", Font("Arial", 12));
  c = second->lastCursorPosition();
  c.movePosition(QTextCursor::NextBlock);
  c.setBlockCharFormat(Font("Arial", 12));
  ExpectRoundTrip(doc);
}

QByteArray Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

TEST(RtfRoundTrip, PicturesAndLinks) {
  QImage picture(8, 6, QImage::Format_RGB32);
  picture.fill(QColor(10, 120, 240));
  QTextDocument doc;
  // An image the editor inserted (a QImage resource), written as PNG.
  doc.addResource(QTextDocument::ImageResource, QUrl("inserted.png"), picture);
  QTextCursor c(&doc);
  QTextBlockFormat left;
  left.setAlignment(Qt::AlignLeft);
  c.setBlockFormat(left);
  c.setBlockCharFormat(Font("Arial", 12));
  QTextImageFormat inserted;
  inserted.setName("inserted.png");
  inserted.setWidth(16);
  inserted.setHeight(12);
  c.insertImage(inserted);
  // Pictures read from RTF keep their bytes: PNG, JPEG, EMF, WMF.
  const std::pair<PictureKind, QByteArray> kept[] = {
      {PictureKind::Png, Encoded(picture, "PNG")},
      {PictureKind::Jpeg, Encoded(picture, "JPG")},
      {PictureKind::Emf, QByteArray::fromHex("0100000084000000deadbeef")},
      {PictureKind::Wmf, QByteArray::fromHex("0100090000031122")},
  };
  int n = 0;
  for (const auto& [kind, bytes] : kept) {
    QString name = QString("kept%1").arg(n++);
    doc.addResource(QTextDocument::ImageResource, QUrl(name), picture);
    QTextImageFormat f;
    f.setName(name);
    f.setWidth(30 + n);
    f.setHeight(20 + n);
    f.setProperty(kPictureKind, int(kind));
    f.setProperty(kPictureData, bytes);
    c.insertImage(f);
  }
  QTextCharFormat link = Font("Arial", 12);
  link.setAnchor(true);
  link.setAnchorHref("https://example.org/path?q=\"x\"&y={1}");
  link.setUnderlineStyle(QTextCharFormat::SingleUnderline);
  link.setForeground(QColor(0, 0, 255));
  c.insertText(" see ", Font("Arial", 12));
  c.insertText("the site", link);
  link.setFontWeight(QFont::Bold);
  c.insertText(" in bold", link);
  QTextCharFormat local = Font("Arial", 12);
  local.setAnchor(true);
  local.setAnchorHref("#chapter-2");
  c.insertText(" and ", Font("Arial", 12));
  c.insertText("chapter 2", local);
  SetDocumentInfo(doc, {QString::fromUtf8("Tïtle {x}"), "Author", "Subject", "k1, k2"});

  const QByteArray rtf = WriteRtf(doc);
  EXPECT_TRUE(rtf.contains("\\pngblip")) << rtf.left(400).toStdString();
  EXPECT_TRUE(rtf.contains("\\jpegblip"));
  EXPECT_TRUE(rtf.contains("\\emfblip"));
  EXPECT_TRUE(rtf.contains("\\wmetafile8"));
  EXPECT_TRUE(rtf.contains("{\\title T\\u239\\'efTle \\{x\\}}") ||
              rtf.contains("{\\title T\\u239\\'eftle \\{x\\}}"));

  QTextDocument back;
  ASSERT_TRUE(ReadRtf(rtf, back));
  const std::string dump = DumpDocument(back);
  // The inserted image comes back as a PNG of its pixels; the others unchanged.
  EXPECT_NE(dump.find("image=16x12 kind=1"), std::string::npos) << dump;
  const std::string original = DumpDocument(doc);
  for (const char* part :
       {"image=31x21 kind=1", "image=32x22 kind=2", "image=33x23 kind=3", "image=34x24 kind=4"}) {
    const size_t at = original.find(part);
    ASSERT_NE(at, std::string::npos) << part;
    const std::string line = original.substr(at, original.find('\n', at) - at);
    EXPECT_NE(dump.find(line), std::string::npos) << line << "\n" << dump;
  }
  EXPECT_NE(dump.find("\"the site\" font=Arial size=12 ul=1 fg=#0000ff "
                      "href=https://example.org/path?q=\"x\"&y={1}"),
            std::string::npos)
      << dump;
  EXPECT_NE(
      dump.find("\" in bold\" font=Arial size=12 bold ul=1 fg=#0000ff href=https://example.org"),
      std::string::npos);
  EXPECT_NE(dump.find("\"chapter 2\" font=Arial size=12 href=#chapter-2"), std::string::npos)
      << dump << rtf.toStdString();
  EXPECT_EQ(GetDocumentInfo(back), GetDocumentInfo(doc));
  // Second generation: everything is now as read, so it round-trips exactly.
  ExpectRoundTrip(back);
}

}  // namespace
}  // namespace tollmark::io

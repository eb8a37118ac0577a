// Plain text with encoding detection, loading and atomic saving of files, the
// file-name rule, and the copy the export paginates.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <csignal>
#include <memory>

#include "document_dump.h"
#include "support/pdf_tools.h"
#include "tollmark/io/document_io.h"

namespace tollmark::io {
namespace {

struct DecodeCase {
  const char* name;
  QByteArray bytes;
  std::u16string text;
};

class PlainTextDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(PlainTextDecodeTest, DetectsEncoding) {
  const DecodeCase& c = GetParam();
  QTextDocument doc;
  ReadPlainText(c.bytes, doc);
  EXPECT_EQ(doc.toRawText().replace(QChar::ParagraphSeparator, u'\n'),
            QString::fromStdU16String(c.text));
  EXPECT_FALSE(doc.isModified());
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, PlainTextDecodeTest,
    ::testing::Values(DecodeCase{"utf8_bom",
                                 QByteArray("\xEF\xBB\xBF"
                                            "caf\xC3\xA9"),
                                 u"caf\u00e9"},
                      DecodeCase{"utf16le_bom",
                                 QByteArray("\xFF\xFE"
                                            "h\0\xE9\0",
                                            6),
                                 u"h\u00e9"},
                      DecodeCase{"utf16be_bom", QByteArray("\xFE\xFF\0h\x04\x16", 6), u"h\u0416"},
                      DecodeCase{"utf16le_by_zero_bytes",
                                 QByteArray("H\0i\0 \0t\0h\0e\0r\0e\0", 16), u"Hi there"},
                      DecodeCase{"utf16be_by_zero_bytes", QByteArray("\0H\0i\0!\0\n\0x", 10),
                                 u"Hi!\nx"},
                      DecodeCase{"valid_utf8", QByteArray("\xD0\x9F\xD1\x80\xD0\xB8 \xE2\x82\xAC"),
                                 u"\u041f\u0440\u0438 \u20ac"},
                      DecodeCase{"windows1252_fallback", QByteArray("caf\xE9 \x80 \x93q\x94"),
                                 u"caf\u00e9 \u20ac \u201cq\u201d"},
                      DecodeCase{"line_ends", QByteArray("a\r\nb\rc\nd\r\n"), u"a\nb\nc\nd"},
                      DecodeCase{"empty_lines_kept", QByteArray("a\n\n\nb\n\n"), u"a\n\n\nb\n"},
                      DecodeCase{"empty", QByteArray(), u""}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

TEST(PlainText, WritesUtf8WithLinuxLineEnds) {
  QTextDocument doc;
  QTextCursor c(&doc);
  c.insertText(QString::fromUtf8("caf\u00e9 \u20ac") + QChar(0x00A0) + "x" +
               QChar(QChar::LineSeparator) + "y");
  c.insertBlock();
  c.insertImage(QImage(2, 2, QImage::Format_RGB32));
  c.insertText("after picture");
  QTextTable* table = c.insertTable(1, 2);
  table->cellAt(0, 0).firstCursorPosition().insertText("c1");
  table->cellAt(0, 1).firstCursorPosition().insertText("c2");
  const QByteArray bytes = WritePlainText(doc);
  EXPECT_EQ(bytes, QByteArray("caf\xC3\xA9 \xE2\x82\xAC\xC2\xA0x\ny\nafter picture\nc1\nc2\n\n"));
  // Reading it back gives the same text (the picture has none).
  QTextDocument back;
  ReadPlainText(bytes, back);
  EXPECT_EQ(back.toPlainText().toStdString(),
            QString::fromUtf8("caf\u00e9 \u20ac x\ny\nafter picture\nc1\nc2\n").toStdString());
}

TEST(Files, FormatFollowsTheExactLowerCaseExtension) {
  EXPECT_EQ(FormatForFileName("/tmp/a.rtf"), FileFormat::Rtf);
  EXPECT_EQ(FormatForFileName("notes.RTF"), FileFormat::PlainText);
  EXPECT_EQ(FormatForFileName("notes.Rtf"), FileFormat::PlainText);
  EXPECT_EQ(FormatForFileName("notes.txt"), FileFormat::PlainText);
  EXPECT_EQ(FormatForFileName("artf"), FileFormat::Rtf);  // the last three characters, as written
}

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = QString::fromStdString(testing_support::FreshDir().string()); }
  QString Path(const char* name) const { return dir_ + "/" + name; }
  QString dir_;
};

TEST_F(FilesTest, SavesAndLoadsBothFormats) {
  QTextDocument doc;
  QTextCursor c(&doc);
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  c.insertText("Hello ", QTextCharFormat());
  c.insertText(QString::fromUtf8("wörld"), bold);
  QString error;
  ASSERT_TRUE(SaveDocument(Path("a.rtf"), doc, FileFormat::Rtf, &error)) << error.toStdString();
  ASSERT_TRUE(SaveDocument(Path("a.txt"), doc, FileFormat::PlainText, &error))
      << error.toStdString();
  QTextDocument rtf, txt;
  ASSERT_TRUE(LoadDocument(Path("a.rtf"), rtf, FileFormat::Rtf, &error)) << error.toStdString();
  ASSERT_TRUE(LoadDocument(Path("a.txt"), txt, FileFormat::PlainText, &error));
  EXPECT_EQ(rtf.toPlainText(), QString::fromUtf8("Hello wörld"));
  EXPECT_EQ(rtf.begin().begin().fragment().charFormat().fontWeight(), QFont::Normal);
  EXPECT_EQ((++rtf.begin().begin()).fragment().charFormat().fontWeight(), QFont::Bold);
  EXPECT_EQ(txt.toPlainText(), QString::fromUtf8("Hello wörld"));
  // A plain-text file opened as RTF is refused with a message.
  EXPECT_FALSE(LoadDocument(Path("a.txt"), rtf, FileFormat::Rtf, &error));
  EXPECT_NE(error.indexOf("a.txt"), -1);
  EXPECT_FALSE(LoadDocument(Path("missing.rtf"), rtf, FileFormat::Rtf, &error));
  EXPECT_NE(error.indexOf("missing.rtf"), -1);
}

TEST_F(FilesTest, FailedSaveLeavesTheOldFileUntouched) {
  const QString path = Path("keep.rtf");
  {
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old content");
  }
  QTextDocument doc;
  doc.setPlainText(QString(200000, u'x'));
  // Limit the size of files this process may write: the save fails midway.
  struct rlimit previous;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
  auto restore = [&previous] { setrlimit(RLIMIT_FSIZE, &previous); };
  struct rlimit small = previous;
  small.rlim_cur = 4096;
  auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  QString error;
  const bool saved = SaveDocument(path, doc, FileFormat::Rtf, &error);
  restore();
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(saved);
  EXPECT_FALSE(error.isEmpty());
  QFile check(path);
  ASSERT_TRUE(check.open(QIODevice::ReadOnly));
  EXPECT_EQ(check.readAll(), QByteArray("old content"));
  EXPECT_EQ(QDir(dir_).entryList(QDir::Files).size(), 1) << "no temporary file left behind";
  // And saving into a folder that does not exist fails cleanly.
  EXPECT_FALSE(SaveDocument(Path("no/such/folder.rtf"), doc, FileFormat::Rtf, &error));
}

TEST(Clone, KeepsEverythingTheExportNeeds) {
  QTextDocument doc;
  QImage pixels(3, 3, QImage::Format_RGB32);
  pixels.fill(Qt::green);
  doc.addResource(QTextDocument::ImageResource, QUrl("pic"), pixels);
  QTextCursor c(&doc);
  QTextBlockFormat boxed;
  QPen pen(Qt::red);
  pen.setWidthF(1);
  boxed.setProperty(kBorderTop, pen);
  c.setBlockFormat(boxed);
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  c.insertText("title", bold);
  c.insertBlock();
  c.createList(QTextListFormat::ListDecimal);
  c.insertText("item");
  c.insertBlock(QTextBlockFormat());
  QTextImageFormat image;
  image.setName("pic");
  image.setWidth(30);
  image.setProperty(kPictureKind, int(PictureKind::Png));
  image.setProperty(kPictureData, QByteArray("\x89PNG..."));
  c.insertImage(image);
  QTextTable* table = c.insertTable(2, 2);
  table->mergeCells(0, 0, 1, 2);
  table->cellAt(1, 1).firstCursorPosition().insertText("cell");
  SetDocumentInfo(doc, {"T", "A", "S", "K"});

  std::unique_ptr<QTextDocument> copy(CloneDocument(doc));
  EXPECT_EQ(testing::DumpDocument(*copy), testing::DumpDocument(doc));
  EXPECT_EQ(GetDocumentInfo(*copy), GetDocumentInfo(doc));
  EXPECT_EQ(copy->metaInformation(QTextDocument::DocumentTitle), "T");
  EXPECT_EQ(copy->resource(QTextDocument::ImageResource, QUrl("pic")).value<QImage>(), pixels);
  // The copy is independent: editing it leaves the original alone.
  QTextCursor(copy.get()).insertText("changed ");
  EXPECT_EQ(doc.begin().text(), "title");
}

}  // namespace
}  // namespace tollmark::io

namespace tollmark::io {
namespace {

TEST(BlockBorders, PaintsTheSidesThatAreSet) {
  QImage image(100, 60, QImage::Format_RGB32);
  image.fill(Qt::white);
  QTextBlockFormat format;
  QPen red(QColor(255, 0, 0));
  red.setWidthF(1.5);  // points: 2 pixels at 96 dpi
  QPen blue(QColor(0, 0, 255));
  blue.setWidthF(0.75);
  format.setProperty(kBorderTop, red);
  format.setProperty(kBorderLeft, blue);
  format.setProperty(kBorderBottom, QPen(Qt::NoPen));
  format.setProperty(kBorderSpacing, 3.0);  // points: 4 pixels
  {
    QPainter painter(&image);
    PaintBlockBorders(painter, QRectF(20, 20, 60, 20), format);
  }
  // The top border runs 4 pixels above the block, the left one 4 pixels to its left.
  EXPECT_EQ(image.pixelColor(50, 16), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(16, 30), QColor(0, 0, 255));
  // No bottom (NoPen) and no right border; the inside is untouched.
  EXPECT_EQ(image.pixelColor(50, 44), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(84, 30), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(50, 30), QColor(Qt::white));
}

}  // namespace
}  // namespace tollmark::io

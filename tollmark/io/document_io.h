// Reading and writing the editor's document: RTF, plain text, and the copy the
// PDF export paginates. No widget code: the editor, the headless export, the
// tests and the fuzz target all use this.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTextFormat>

class QObject;
class QPainter;
class QRectF;
class QTextBlockFormat;
class QTextDocument;

namespace tollmark::io {

enum class FileFormat { Rtf, PlainText };

// The editor's rule: a name whose last three characters are exactly "rtf"
// (lower case) is RTF, anything else plain text.
FileFormat FormatForFileName(const QString& fileName);

// Replaces the content of `doc`. Reading is best effort: damaged input yields
// what could be recovered. Returns false (with a message) only for data that
// is not RTF at all; `doc` is then left empty.
bool ReadRtf(const QByteArray& data, QTextDocument& doc, QString* error = nullptr);
QByteArray WriteRtf(const QTextDocument& doc);

// Detects UTF-8/UTF-16 byte-order marks, UTF-16 without a mark, valid UTF-8,
// and falls back to Windows-1252. One final line end is not a paragraph.
void ReadPlainText(const QByteArray& data, QTextDocument& doc);
QString DecodePlainText(const QByteArray& data);
// UTF-8 without a mark, "\n" line ends, a final "\n".
QByteArray WritePlainText(const QTextDocument& doc);

// File access. Saving goes through QSaveFile: a failed save leaves the file
// that stood there untouched. Both return false with a message on failure.
bool LoadDocument(const QString& path, QTextDocument& doc, FileFormat format,
                  QString* error = nullptr);
bool SaveDocument(const QString& path, const QTextDocument& doc, FileFormat format,
                  QString* error = nullptr);

// The export's paginating copy: an in-memory clone (content, formats, lists,
// tables, picture resources, document information), which loses nothing.
QTextDocument* CloneDocument(const QTextDocument& doc, QObject* parent = nullptr);

// \info of RTF; kept on the document's root frame so clones carry it. The
// title is also the document's QTextDocument::DocumentTitle.
struct DocumentInfo {
  QString title;
  QString author;
  QString subject;
  QString keywords;
  bool operator==(const DocumentInfo&) const = default;
};
DocumentInfo GetDocumentInfo(const QTextDocument& doc);
void SetDocumentInfo(QTextDocument& doc, const DocumentInfo& info);

// Properties the document keeps where Qt's formats have none of their own.
enum Property : int {
  // QTextBlockFormat: paragraph borders. A QPen (width in points, colour,
  // Qt::SolidLine / DotLine / DashLine); absent or Qt::NoPen means none.
  kBorderTop = QTextFormat::UserProperty + 0x100,
  kBorderBottom,
  kBorderLeft,
  kBorderRight,
  kBorderSpacing,  // qreal, points between the text and its borders
  kKeepWithNext,   // bool
  // Root frame format: document information (QString each).
  kInfoTitle = QTextFormat::UserProperty + 0x200,
  kInfoAuthor,
  kInfoSubject,
  kInfoKeywords,
  // QTextImageFormat: the picture's bytes as read, written back unchanged.
  kPictureData = QTextFormat::UserProperty + 0x300,  // QByteArray
  kPictureKind,                                      // int, a PictureKind
  // QTextCharFormat: hidden text (\v).
  kHiddenText = QTextFormat::UserProperty + 0x400,  // bool
  // QTextListFormat: the first number of a numbered list (int, default 1).
  kListStart = QTextFormat::UserProperty + 0x500,
};

enum class PictureKind : int { Png = 1, Jpeg = 2, Emf = 3, Wmf = 4 };

// Draws a paragraph's borders around `rect` (the block's bounding rectangle
// in the painter's coordinates, in pixels at `dpi`).
void PaintBlockBorders(QPainter& painter, const QRectF& rect, const QTextBlockFormat& format,
                       qreal dpi = 96);

}  // namespace tollmark::io

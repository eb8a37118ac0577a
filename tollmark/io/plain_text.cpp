// Plain text: detection of the encoding on reading, UTF-8 with "\n" on writing.
#include <QStringDecoder>
#include <QTextDocument>

#include "tollmark/io/code_pages.h"
#include "tollmark/io/document_io.h"

namespace tollmark::io {
namespace {

// UTF-16 without a mark shows itself by zero bytes: the high bytes of ASCII
// characters, all at even offsets (big-endian) or all at odd ones (little-endian).
enum class Utf16Guess { kNone, kLittle, kBig };

Utf16Guess GuessUtf16(const QByteArray& data) {
  const qsizetype n = std::min<qsizetype>(data.size(), 4096) & ~qsizetype(1);
  if (n < 2) return Utf16Guess::kNone;
  qsizetype evenZeros = 0, oddZeros = 0;
  for (qsizetype i = 0; i < n; i += 2) {
    if (data[i] == 0) ++evenZeros;
    if (data[i + 1] == 0) ++oddZeros;
  }
  const qsizetype pairs = n / 2;
  if (oddZeros * 10 >= pairs * 4 && evenZeros * 20 < pairs) return Utf16Guess::kLittle;
  if (evenZeros * 10 >= pairs * 4 && oddZeros * 20 < pairs) return Utf16Guess::kBig;
  return Utf16Guess::kNone;
}

QString Decode(QStringConverter::Encoding encoding, QByteArrayView bytes) {
  QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
  return decoder.decode(bytes);
}

}  // namespace

QString DecodePlainText(const QByteArray& data) {
  QByteArrayView bytes(data);
  if (bytes.startsWith("\xEF\xBB\xBF")) return Decode(QStringConverter::Utf8, bytes.sliced(3));
  if (bytes.startsWith("\xFF\xFE")) return Decode(QStringConverter::Utf16LE, bytes.sliced(2));
  if (bytes.startsWith("\xFE\xFF")) return Decode(QStringConverter::Utf16BE, bytes.sliced(2));
  switch (GuessUtf16(data)) {
    case Utf16Guess::kLittle:
      return Decode(QStringConverter::Utf16LE, bytes);
    case Utf16Guess::kBig:
      return Decode(QStringConverter::Utf16BE, bytes);
    case Utf16Guess::kNone:
      break;
  }
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (!utf8.hasError()) return text;
  text.clear();
  text.reserve(data.size());
  for (char c : data) text.append(QChar(Cp1252ToUnicode(static_cast<unsigned char>(c))));
  return text;
}

void ReadPlainText(const QByteArray& data, QTextDocument& doc) {
  QString text = DecodePlainText(data);
  // CR LF and lone CR are line ends too; one final line end closes the last line.
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\r', u'\n');
  if (text.endsWith(u'\n')) text.chop(1);
  const bool undo = doc.isUndoRedoEnabled();
  doc.setUndoRedoEnabled(false);
  doc.setPlainText(text);
  SetDocumentInfo(doc, DocumentInfo());
  doc.setUndoRedoEnabled(undo);
  doc.setModified(false);
}

QByteArray WritePlainText(const QTextDocument& doc) {
  QString text = doc.toRawText();
  QString out;
  out.reserve(text.size() + 1);
  for (QChar c : text) {
    switch (c.unicode()) {
      case 0xFDD0:  // start and end of a table cell's frame
      case 0xFDD1:
      case QChar::ParagraphSeparator:
      case QChar::LineSeparator:
        out.append(u'\n');
        break;
      case QChar::ObjectReplacementCharacter:
        break;  // pictures have no text
      default:
        out.append(c);
        break;
    }
  }
  out.append(u'\n');
  return out.toUtf8();
}

}  // namespace tollmark::io

#include "tollmark/app/insert_commands.h"

#include "tollmark/io/document_io.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QUrl>

namespace tollmark {
namespace {

// A resource name not used yet by the document.
QUrl FreshPictureName(const QTextDocument& doc) {
  for (int n = 1;; ++n) {
    const QUrl url(QString("tollmark-picture-%1").arg(n));
    if (!doc.resource(QTextDocument::ImageResource, url).isValid()) return url;
  }
}

}  // namespace

void InsertDocument(QTextEdit& edit, const QTextDocument& source) {
  QTextDocument* doc = edit.document();
  QTextCursor cursor = edit.textCursor();
  cursor.beginEditBlock();
  const int start = cursor.selectionStart();
  cursor.insertFragment(QTextDocumentFragment(&source));
  // The fragment refers to pictures by name; they live in the source's
  // resources. Names already taken here get fresh ones.
  QTextCursor scan(doc);
  for (QTextBlock block = doc->findBlock(start);
       block.isValid() && block.position() <= cursor.position(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (fragment.position() < start || fragment.position() >= cursor.position()) continue;
      if (!fragment.charFormat().isImageFormat()) continue;
      QTextImageFormat format = fragment.charFormat().toImageFormat();
      const QUrl name(format.name());
      const QVariant picture = source.resource(QTextDocument::ImageResource, name);
      if (!picture.isValid()) continue;
      const QVariant existing = doc->resource(QTextDocument::ImageResource, name);
      if (!existing.isValid()) {
        doc->addResource(QTextDocument::ImageResource, name, picture);
        continue;
      }
      const QUrl fresh = FreshPictureName(*doc);
      doc->addResource(QTextDocument::ImageResource, fresh, picture);
      format.setName(fresh.toString());
      scan.setPosition(fragment.position());
      scan.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
      scan.setCharFormat(format);
    }
  }
  cursor.endEditBlock();
  edit.setTextCursor(cursor);
}

bool InsertPictureFile(QTextEdit& edit, const QString& path, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = QString("Cannot open %1: %2").arg(path, file.errorString());
    return false;
  }
  const QByteArray bytes = file.readAll();
  QBuffer buffer;
  buffer.setData(bytes);
  QImageReader reader(&buffer);
  const QByteArray kind = reader.format();
  const QImage image = reader.read();
  if (image.isNull()) {
    if (error)
      *error = QString("%1 is not a picture that can be read.").arg(QFileInfo(path).fileName());
    return false;
  }
  QTextDocument* doc = edit.document();
  const QUrl name = FreshPictureName(*doc);
  doc->addResource(QTextDocument::ImageResource, name, image);
  QTextImageFormat format;
  format.setName(name.toString());
  format.setWidth(image.width());
  format.setHeight(image.height());
  // PNG and JPEG are kept as they are; other kinds are stored as PNG.
  if (kind == "png" || kind == "jpeg" || kind == "jpg") {
    format.setProperty(io::kPictureData, bytes);
    format.setProperty(io::kPictureKind, static_cast<int>(kind == "png" ? io::PictureKind::Png
                                                                        : io::PictureKind::Jpeg));
  } else {
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    image.save(&out, "PNG");
    format.setProperty(io::kPictureData, png);
    format.setProperty(io::kPictureKind, static_cast<int>(io::PictureKind::Png));
  }
  QTextCursor cursor = edit.textCursor();
  cursor.insertImage(format);
  edit.setTextCursor(cursor);
  return true;
}

}  // namespace tollmark

#include "tollmark/io/document_io.h"

#include <QFile>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextFrame>

#include "tollmark/io/document_builder.h"
#include "tollmark/io/rtf_reader.h"
#include "tollmark/io/rtf_writer.h"

namespace tollmark::io {

FileFormat FormatForFileName(const QString& fileName) {
  return fileName.endsWith(QStringLiteral("rtf"), Qt::CaseSensitive) ? FileFormat::Rtf
                                                                     : FileFormat::PlainText;
}

bool ReadRtf(const QByteArray& data, QTextDocument& doc, QString* error) {
  RtfDocument model;
  if (!ParseRtf(std::string_view(data.constData(), data.size()), model, error)) {
    doc.clear();
    SetDocumentInfo(doc, DocumentInfo());
    return false;
  }
  BuildDocument(model, doc);
  return true;
}

QByteArray WriteRtf(const QTextDocument& doc) {
  return RtfWriter(doc).Write();
}

bool LoadDocument(const QString& path, QTextDocument& doc, FileFormat format, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = QStringLiteral("Cannot open %1: %2").arg(path, file.errorString());
    return false;
  }
  const QByteArray data = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    if (error) *error = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
    return false;
  }
  if (format == FileFormat::PlainText) {
    ReadPlainText(data, doc);
    return true;
  }
  QString reason;
  if (!ReadRtf(data, doc, &reason)) {
    if (error) *error = QStringLiteral("Cannot read %1: %2").arg(path, reason);
    return false;
  }
  return true;
}

bool SaveDocument(const QString& path, const QTextDocument& doc, FileFormat format,
                  QString* error) {
  const QByteArray data = format == FileFormat::Rtf ? WriteRtf(doc) : WritePlainText(doc);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error) *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
    return false;
  }
  if (file.write(data) != data.size() || !file.commit()) {
    if (error) *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
    file.cancelWriting();
    return false;
  }
  return true;
}

QTextDocument* CloneDocument(const QTextDocument& doc, QObject* parent) {
  QTextDocument* copy = doc.clone(parent);
  // clone() keeps the root frame's format (and with it the document
  // information); say so explicitly in case an empty document skipped it.
  copy->rootFrame()->setFrameFormat(doc.rootFrame()->frameFormat());
  copy->setMetaInformation(QTextDocument::DocumentTitle,
                           doc.metaInformation(QTextDocument::DocumentTitle));
  return copy;
}

DocumentInfo GetDocumentInfo(const QTextDocument& doc) {
  const QTextFrameFormat format = doc.rootFrame()->frameFormat();
  DocumentInfo info;
  info.title = format.stringProperty(kInfoTitle);
  info.author = format.stringProperty(kInfoAuthor);
  info.subject = format.stringProperty(kInfoSubject);
  info.keywords = format.stringProperty(kInfoKeywords);
  return info;
}

void SetDocumentInfo(QTextDocument& doc, const DocumentInfo& info) {
  QTextFrameFormat format = doc.rootFrame()->frameFormat();
  auto set = [&format](int property, const QString& value) {
    if (value.isEmpty()) {
      format.clearProperty(property);
    } else {
      format.setProperty(property, value);
    }
  };
  set(kInfoTitle, info.title);
  set(kInfoAuthor, info.author);
  set(kInfoSubject, info.subject);
  set(kInfoKeywords, info.keywords);
  doc.rootFrame()->setFrameFormat(format);
  doc.setMetaInformation(QTextDocument::DocumentTitle, info.title);
}

}  // namespace tollmark::io

// Any bytes as an RTF document: read, write back, read again. Run with
//   fuzz_rtf -max_len=65536 -timeout=10 CORPUS_DIR SEED_DIRS...
#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

#include "tollmark/io/document_io.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The writer asks the document for its default font: fonts need the application.
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray input =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QTextDocument doc;
  if (!tollmark::io::ReadRtf(input, doc)) return 0;
  const QByteArray written = tollmark::io::WriteRtf(doc);
  QTextDocument again;
  if (!tollmark::io::ReadRtf(written, again)) abort();  // our own output must read
  return 0;
}

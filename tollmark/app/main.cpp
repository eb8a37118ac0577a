// Tollmark: a rich-text editor whose purpose is saving documents as PDF.
#include "tollmark/app/main_form.h"
#include "tollmark/app/resources/artwork.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

namespace {

constexpr char kVersion[] = "3.6";

void PrintHelp() {
  std::printf(
      "Usage: tollmark [FILE]\n"
      "Edits a rich-text (.rtf) or plain-text document and saves it as RTF, text or PDF.\n"
      "\n"
      "  FILE        the document to open; a name ending in \"rtf\" is read as RTF,\n"
      "              anything else as plain text\n"
      "  --help      show this help and exit\n"
      "  --version   show the version and exit\n");
}

}  // namespace

int main(int argc, char** argv) {
  // Answered before the application starts, so that they work without a display.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      PrintHelp();
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("Tollmark %s\n", kVersion);
      return 0;
    }
  }

  QApplication app(argc, argv);  // takes out Qt's own options
  QApplication::setApplicationName("Tollmark");
  QApplication::setOrganizationName("Marrowind Systems");
  QApplication::setApplicationVersion(kVersion);
  QApplication::setWindowIcon(tollmark::ApplicationIcon());
  const QStringList files = QApplication::arguments().mid(1);
  if (files.size() > 1) {
    std::fprintf(stderr, "tollmark: only one file can be opened\n");
    return 2;
  }

  tollmark::TMForm form;
  form.show();
  if (!files.isEmpty()) form.OpenFile(files.first());
  return app.exec();
}

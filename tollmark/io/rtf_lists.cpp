#include "tollmark/io/rtf_lists.h"

#include "tollmark/io/document_io.h"

namespace tollmark::io {

QTextListFormat ListFormatForLevel(const RtfListLevel& level, int ilvl) {
  QTextListFormat format;
  format.setIndent(ilvl + 1);
  switch (level.nfc) {
    case 1:
      format.setStyle(QTextListFormat::ListUpperRoman);
      break;
    case 2:
      format.setStyle(QTextListFormat::ListLowerRoman);
      break;
    case 3:
      format.setStyle(QTextListFormat::ListUpperAlpha);
      break;
    case 4:
      format.setStyle(QTextListFormat::ListLowerAlpha);
      break;
    case 23:
    case 255: {
      // The bullet's character tells the shape: "o" (Courier New) or a white
      // circle is a circle, Wingdings' "§" or a small square a square. A
      // symbol-font character we cannot tell gets the usual bullet of its
      // level, as Word cycles them: disc, circle, square.
      QTextListFormat::Style style = QTextListFormat::ListStyleUndefined;
      for (QChar c : level.text) {
        const char16_t u = c.unicode();
        if (u == 'o' || u == 0x25E6 || u == 0x25CB || u == 0xF06F)
          style = QTextListFormat::ListCircle;
        if (u == 0x25AA || u == 0x25A0 || u == 0xA7 || u == 0xF0A7)
          style = QTextListFormat::ListSquare;
        if (u == 0x2022 || u == 0xB7 || u == 0xF0B7 || u == 0x25CF || u == 0x2219 || u == '-' ||
            u == '*' || u == 0x2013) {
          style = QTextListFormat::ListDisc;
        }
      }
      if (style == QTextListFormat::ListStyleUndefined) {
        static constexpr QTextListFormat::Style kByLevel[] = {
            QTextListFormat::ListDisc, QTextListFormat::ListCircle, QTextListFormat::ListSquare};
        style = kByLevel[ilvl % 3];
      }
      format.setStyle(style);
      break;
    }
    default:
      format.setStyle(QTextListFormat::ListDecimal);
      break;
  }
  const bool numbered = level.nfc != 23 && level.nfc != 255;
  if (numbered) {
    // Text around this level's placeholder (codes 0 to 8) is prefix and suffix;
    // Qt numbers a single level, so other levels' placeholders are dropped.
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < level.text.size(); ++i) {
      if (level.text[i].unicode() < 9) {
        if (first < 0) first = i;
        last = i;
      }
    }
    if (first >= 0) {
      format.setNumberPrefix(level.text.left(first));
      format.setNumberSuffix(level.text.mid(last + 1));
    } else {
      format.setNumberSuffix(QStringLiteral("."));
    }
    if (level.start != 1) format.setProperty(kListStart, level.start);
  }
  return format;
}

int LevelNfcForStyle(QTextListFormat::Style style) {
  switch (style) {
    case QTextListFormat::ListUpperRoman:
      return 1;
    case QTextListFormat::ListLowerRoman:
      return 2;
    case QTextListFormat::ListUpperAlpha:
      return 3;
    case QTextListFormat::ListLowerAlpha:
      return 4;
    case QTextListFormat::ListDecimal:
      return 0;
    default:
      return 23;
  }
}

QString BulletForStyle(QTextListFormat::Style style) {
  switch (style) {
    case QTextListFormat::ListCircle:
      return QString(QChar(0x25E6));
    case QTextListFormat::ListSquare:
      return QString(QChar(0x25AA));
    default:
      return QString(QChar(0x2022));
  }
}

}  // namespace tollmark::io

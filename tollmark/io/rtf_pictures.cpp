#include "tollmark/io/rtf_pictures.h"

#include <QBuffer>
#include <QPixmap>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>

#include "tollmark/io/document_io.h"

namespace tollmark::io {
namespace {

constexpr int kMaxDisplaySide = 10000;    // pixels
constexpr int kMaxPlaceholderSide = 512;  // pixels of the placeholder's own bitmap
constexpr qint64 kMaxRawPixels = 50'000'000;

uint32_t ReadLE(const QByteArray& data, qsizetype offset, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(data[offset + i]);
  }
  return value;
}

void AppendLE(QByteArray& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

QImage Placeholder(int width, int height) {
  width = std::clamp(width, 1, kMaxPlaceholderSide);
  height = std::clamp(height, 1, kMaxPlaceholderSide);
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(0xE8, 0xE8, 0xE8));
  const QRgb edge = qRgb(0x80, 0x80, 0x80);
  for (int x = 0; x < width; ++x) {
    image.setPixel(x, 0, edge);
    image.setPixel(x, height - 1, edge);
  }
  for (int y = 0; y < height; ++y) {
    image.setPixel(0, y, edge);
    image.setPixel(width - 1, y, edge);
  }
  return image;
}

// A packed DIB (header, colour table, bits) becomes a BMP file for Qt's reader.
QImage DecodeDib(const QByteArray& dib) {
  if (dib.size() < 12) return {};
  const uint32_t headerSize = ReadLE(dib, 0, 4);
  if (headerSize < 12 || headerSize > static_cast<uint32_t>(dib.size())) return {};
  uint32_t bitCount, colorsUsed = 0, compression = 0, paletteEntry = 4;
  if (headerSize == 12) {
    bitCount = ReadLE(dib, 10, 2);
    paletteEntry = 3;
  } else {
    if (headerSize < 40) return {};
    bitCount = ReadLE(dib, 14, 2);
    compression = ReadLE(dib, 16, 4);
    colorsUsed = ReadLE(dib, 32, 4);
  }
  uint64_t colors = colorsUsed;
  if (colors == 0 && bitCount <= 8) colors = uint64_t(1) << bitCount;
  uint64_t offset = 14 + uint64_t(headerSize) + colors * paletteEntry;
  if (headerSize == 40 && compression == 3) offset += 12;  // BI_BITFIELDS masks
  if (offset > 14 + uint64_t(dib.size())) return {};
  QByteArray bmp("BM");
  AppendLE(bmp, static_cast<uint32_t>(14 + dib.size()), 4);
  AppendLE(bmp, 0, 4);
  AppendLE(bmp, static_cast<uint32_t>(offset), 4);
  bmp.append(dib);
  return QImage::fromData(bmp, "BMP");
}

// \wbitmap: device-dependent bits, rows top down.
QImage DecodeWbitmap(const RtfPictureSource& source) {
  const int width = source.picw, height = source.pich, stride = source.wbmWidthBytes;
  if (width <= 0 || height <= 0 || stride <= 0) return {};
  if (qint64(width) * height > kMaxRawPixels) return {};
  const int bits = source.wbmBitsPixel;
  if (qint64(stride) * 8 < qint64(width) * bits) return {};
  if (qint64(stride) * height > source.data.size()) return {};
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return {};
  const auto* data = reinterpret_cast<const unsigned char*>(source.data.constData());
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = data + qint64(y) * stride;
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      if (bits == 1) {
        out[x] = (row[x / 8] & (0x80 >> (x % 8))) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
      } else if (bits == 24) {
        out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
      } else if (bits == 32) {
        out[x] = qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
      } else {
        return {};
      }
    }
  }
  return image;
}

bool StartsWith(const QByteArray& data, const char* magic, int size) {
  return data.size() >= size && std::equal(magic, magic + size, data.constData());
}

}  // namespace

void DecodePicture(const RtfPictureSource& source, QImage& image, QTextImageFormat& format) {
  image = QImage();
  bool metafile = source.blip == RtfPictureSource::kEmf || source.blip == RtfPictureSource::kWmf;
  switch (source.blip) {
    case RtfPictureSource::kPng:
    case RtfPictureSource::kJpeg:
      image = QImage::fromData(source.data);
      break;
    case RtfPictureSource::kDib:
      image = DecodeDib(source.data);
      break;
    case RtfPictureSource::kWbitmap:
      image = DecodeWbitmap(source);
      break;
    default:
      break;
  }
  // Natural size in pixels at 96 dpi.
  double naturalW = image.isNull() ? source.picw : image.width();
  double naturalH = image.isNull() ? source.pich : image.height();
  if (metafile) {
    naturalW = source.picw * 96.0 / 2540.0;
    naturalH = source.pich * 96.0 / 2540.0;
  }
  double width = source.goalw > 0 ? source.goalw / 15.0 : naturalW;
  double height = source.goalh > 0 ? source.goalh / 15.0 : naturalH;
  width = width * std::clamp(source.scalex, 1, 10000) / 100.0;
  height = height * std::clamp(source.scaley, 1, 10000) / 100.0;
  if (!(width >= 1)) width = image.isNull() ? 32 : image.width();
  if (!(height >= 1)) height = image.isNull() ? 32 : image.height();
  width = std::min<double>(width, kMaxDisplaySide);
  height = std::min<double>(height, kMaxDisplaySide);
  if (image.isNull()) image = Placeholder(qRound(width), qRound(height));

  format.setWidth(width);
  format.setHeight(height);
  int kind = 0;
  if (source.blip == RtfPictureSource::kPng && StartsWith(source.data, "\x89PNG", 4))
    kind = int(PictureKind::Png);
  if (source.blip == RtfPictureSource::kJpeg && StartsWith(source.data, "\xFF\xD8", 2))
    kind = int(PictureKind::Jpeg);
  if (source.blip == RtfPictureSource::kEmf) kind = int(PictureKind::Emf);
  if (source.blip == RtfPictureSource::kWmf) kind = int(PictureKind::Wmf);
  if (kind != 0 && !source.data.isEmpty()) {
    format.setProperty(kPictureKind, kind);
    format.setProperty(kPictureData, source.data);
  }
}

bool EncodePicture(const QTextDocument& doc, const QTextImageFormat& format, RtfPictureOut& out) {
  const QByteArray raw = format.property(kPictureData).toByteArray();
  const int kind = format.intProperty(kPictureKind);
  const double width = format.width(), height = format.height();
  if (!raw.isEmpty() && kind >= int(PictureKind::Png) && kind <= int(PictureKind::Wmf)) {
    out.data = raw;
    if (kind == int(PictureKind::Emf) || kind == int(PictureKind::Wmf)) {
      out.blip = kind == int(PictureKind::Emf) ? "\\emfblip" : "\\wmetafile8";
      out.picw = qRound(width * 2540.0 / 96.0);
      out.pich = qRound(height * 2540.0 / 96.0);
      return true;
    }
    out.blip = kind == int(PictureKind::Png) ? "\\pngblip" : "\\jpegblip";
    QImage image = QImage::fromData(raw);
    out.picw = image.isNull() ? qRound(width) : image.width();
    out.pich = image.isNull() ? qRound(height) : image.height();
    return true;
  }

  const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(format.name()));
  QImage image;
  if (resource.typeId() == QMetaType::QImage) {
    image = resource.value<QImage>();
  } else if (resource.typeId() == QMetaType::QPixmap) {
    image = resource.value<QPixmap>().toImage();
  } else if (resource.typeId() == QMetaType::QByteArray) {
    const QByteArray bytes = resource.toByteArray();
    image = QImage::fromData(bytes);
    if (!image.isNull() && (StartsWith(bytes, "\x89PNG", 4) || StartsWith(bytes, "\xFF\xD8", 2))) {
      out.blip = bytes[0] == '\x89' ? "\\pngblip" : "\\jpegblip";
      out.data = bytes;
      out.picw = image.width();
      out.pich = image.height();
      return true;
    }
  }
  if (image.isNull()) return false;
  QBuffer buffer(&out.data);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return false;
  out.blip = "\\pngblip";
  out.picw = image.width();
  out.pich = image.height();
  return true;
}

}  // namespace tollmark::io

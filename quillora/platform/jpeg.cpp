#include "quillora/platform/jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "quillora/core/exception.h"

namespace quillora {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the call that set up the context, carrying the message.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void SilentOutput(j_common_ptr) {}

struct HeaderInfo {
  int width = 0, height = 0, components = 0;
};

// Reads the header. No C++ object with a destructor lives across setjmp.
bool ReadHeader(const std::string& Data, HeaderInfo& Info, char* Message) {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.output_message = SilentOutput;
  err.message[0] = 0;
  if (setjmp(err.jump)) {
    std::strcpy(Message, err.message);
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(Data.data()),
               static_cast<unsigned long>(Data.size()));
  jpeg_read_header(&cinfo, TRUE);
  Info.width = static_cast<int>(cinfo.image_width);
  Info.height = static_cast<int>(cinfo.image_height);
  Info.components = cinfo.num_components;
  jpeg_destroy_decompress(&cinfo);
  return true;
}

// Decodes into Bitmap, already sized as a 24-bit bitmap of the header's size.
bool Decode(const std::string& Data, TBitmap& Bitmap, unsigned char* Row, char* Message) {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.output_message = SilentOutput;
  err.message[0] = 0;
  if (setjmp(err.jump)) {
    std::strcpy(Message, err.message);
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(Data.data()),
               static_cast<unsigned long>(Data.size()));
  jpeg_read_header(&cinfo, TRUE);
  const int components = cinfo.num_components;
  if (components == 3)
    cinfo.out_color_space = JCS_EXT_BGR;
  else if (components == 1)
    cinfo.out_color_space = JCS_GRAYSCALE;
  else
    cinfo.out_color_space = JCS_CMYK;
  jpeg_start_decompress(&cinfo);
  const bool adobeInverted = cinfo.saw_Adobe_marker;
  const int w = Bitmap.Width();
  while (cinfo.output_scanline < cinfo.output_height &&
         static_cast<int>(cinfo.output_scanline) < Bitmap.Height()) {
    uint8_t* dst = Bitmap.ScanLine(static_cast<int>(cinfo.output_scanline));
    if (components == 3) {
      JSAMPROW rows[1] = {dst};
      jpeg_read_scanlines(&cinfo, rows, 1);
      continue;
    }
    JSAMPROW rows[1] = {Row};
    jpeg_read_scanlines(&cinfo, rows, 1);
    if (components == 1) {
      for (int x = 0; x < w; ++x) dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = Row[x];
    } else {
      for (int x = 0; x < w; ++x) {
        unsigned c = Row[4 * x], m = Row[4 * x + 1], y = Row[4 * x + 2], k = Row[4 * x + 3];
        if (!adobeInverted) {  // Adobe writes the components inverted
          c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        }
        dst[3 * x] = static_cast<uint8_t>((y * k + 127) / 255);
        dst[3 * x + 1] = static_cast<uint8_t>((m * k + 127) / 255);
        dst[3 * x + 2] = static_cast<uint8_t>((c * k + 127) / 255);
      }
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

// Gray is used when GrayRow is given (a buffer of one row).
bool Encode(const TBitmap& Bitmap, int Quality, bool Progressive, unsigned char* GrayRow,
            unsigned char** Out, unsigned long* OutSize, char* Message) {
  jpeg_compress_struct cinfo;
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.output_message = SilentOutput;
  err.message[0] = 0;
  if (setjmp(err.jump)) {
    std::strcpy(Message, err.message);
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, Out, OutSize);
  cinfo.image_width = static_cast<JDIMENSION>(Bitmap.Width());
  cinfo.image_height = static_cast<JDIMENSION>(Bitmap.Height());
  cinfo.input_components = GrayRow ? 1 : 3;
  cinfo.in_color_space = GrayRow ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, Quality, TRUE);
  if (Progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    const uint8_t* src = Bitmap.ScanLine(static_cast<int>(cinfo.next_scanline));
    JSAMPROW rows[1] = {const_cast<uint8_t*>(src)};
    if (GrayRow) {
      for (int x = 0; x < Bitmap.Width(); ++x)
        GrayRow[x] = static_cast<unsigned char>(
            (29 * src[3 * x] + 150 * src[3 * x + 1] + 77 * src[3 * x + 2] + 128) >> 8);
      rows[0] = GrayRow;
    }
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

void TJPEGImage::SetCompressionQuality(int Quality) {
  quality_ = Quality < 1 ? 1 : (Quality > 100 ? 100 : Quality);
}

void TJPEGImage::LoadFromData(std::string Data) {
  HeaderInfo info;
  char message[JMSG_LENGTH_MAX] = {};
  if (Data.empty() || !ReadHeader(Data, info, message))
    throw Exception(std::string("Invalid JPEG data: ") + (Data.empty() ? "empty" : message));
  CheckBitmapSize(info.width, info.height);
  if (info.components != 1 && info.components != 3 && info.components != 4)
    throw Exception("Invalid JPEG data: unsupported number of components");
  data_ = std::move(Data);
  width_ = info.width;
  height_ = info.height;
  components_ = info.components;
}

void TJPEGImage::Assign(const TBitmap& Bitmap) {
  if (Bitmap.Width() == 0 || Bitmap.Height() == 0)
    throw Exception("Cannot encode an empty bitmap as JPEG");
  if (Bitmap.Width() > 65500 || Bitmap.Height() > 65500)
    throw Exception("Bitmap too large for JPEG");
  const TBitmap* source = &Bitmap;
  TBitmap converted;
  if (Bitmap.BitsPerPixel() != 24) {
    converted = Bitmap;
    converted.SetPixelFormat(pf24bit);
    source = &converted;
  }
  unsigned char* out = nullptr;
  unsigned long size = 0;
  char message[JMSG_LENGTH_MAX] = {};
  std::vector<unsigned char> grayRow(gray_encoding_ ? static_cast<size_t>(Bitmap.Width()) : 0);
  const bool ok = Encode(*source, quality_, progressive_, gray_encoding_ ? grayRow.data() : nullptr,
                         &out, &size, message);
  std::string data;
  if (ok) data.assign(reinterpret_cast<const char*>(out), size);
  std::free(out);
  if (!ok) throw Exception(std::string("JPEG encoding failed: ") + message);
  data_ = std::move(data);
  width_ = Bitmap.Width();
  height_ = Bitmap.Height();
  components_ = gray_encoding_ ? 1 : 3;
}

TBitmap TJPEGImage::ToBitmap() const {
  if (data_.empty()) return TBitmap(0, 0, pf24bit);
  TBitmap bitmap(width_, height_, pf24bit);
  std::vector<unsigned char> row(static_cast<size_t>(width_) * 4);
  char message[JMSG_LENGTH_MAX] = {};
  if (!Decode(data_, bitmap, row.data(), message))
    throw Exception(std::string("Invalid JPEG data: ") + message);
  return bitmap;
}

}  // namespace quillora

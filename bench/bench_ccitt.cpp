// Group 4 encoding of a 300 dpi A4 page of text-like content (2480 x 3508
// pixels, 1 bit): our CCITT encoder against libtiff's Group 4 encoder on the
// same bitmap, in one run. Reports MB/s of uncompressed input and the coded
// size of each.
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "quillora/page/ccitt.h"
#include "quillora/platform/bitmap.h"

namespace {

constexpr int kWidth = 2480, kHeight = 3508;

// Black strokes on white: lines of words of glyphs drawn from vertical stems,
// bowls and bars, as a page of 11-point text scanned at 300 dpi looks.
quillora::TBitmap TextPage() {
  quillora::TBitmap page(kWidth, kHeight, quillora::pf1bit);
  auto black = [&](int x0, int y0, int x1, int y1) {
    for (int y = std::max(y0, 0); y < std::min(y1, kHeight); ++y) {
      uint8_t* row = page.ScanLine(y);
      for (int x = std::max(x0, 0); x < std::min(x1, kWidth); ++x)
        row[x >> 3] &= static_cast<uint8_t>(~(0x80 >> (x & 7)));
    }
  };
  std::mt19937 rng(42);
  for (int base = 300; base + 20 < kHeight - 250; base += 52) {
    int x = 250;
    while (x < kWidth - 300) {
      const int letters = 2 + static_cast<int>(rng() % 8);
      for (int l = 0; l < letters && x < kWidth - 250; ++l) {
        const int w = 14 + static_cast<int>(rng() % 10);
        const int kind = static_cast<int>(rng() % 6);
        const int top = (kind == 0 || kind == 3) ? base - 34 : base - 24;
        black(x, top, x + 4, base);  // stem
        if (kind == 1 || kind == 3) black(x + w - 4, base - 24, x + w, base);
        if (kind == 2 || kind == 3 || kind == 4) black(x, base - 24, x + w, base - 20);
        if (kind == 2 || kind == 4 || kind == 5) black(x, base - 4, x + w, base);
        if (kind == 5) black(x + w / 2 - 2, base - 24, x + w / 2 + 2, base);
        x += w + 4;
      }
      x += 22;  // word space
    }
  }
  return page;
}

const quillora::TBitmap& Page() {
  static const quillora::TBitmap page = TextPage();
  return page;
}

constexpr int64_t kInputBytes = int64_t{(kWidth + 7) / 8} * kHeight;

void BM_QuilloraG4(benchmark::State& state) {
  const quillora::TBitmap& page = Page();
  std::string out;
  for (auto _ : state) {
    out.clear();
    quillora::CCITTCompressBitmap(page, &out, 2);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * kInputBytes);
  state.counters["coded_bytes"] = static_cast<double>(out.size());
}

// A growing in-memory file for libtiff.
struct MemoryFile {
  std::string data;
  toff_t pos = 0;
};
tsize_t MemRead(thandle_t, tdata_t, tsize_t) {
  return 0;
}
tsize_t MemWrite(thandle_t h, tdata_t buf, tsize_t size) {
  auto* f = static_cast<MemoryFile*>(h);
  if (f->data.size() < f->pos + size) f->data.resize(f->pos + size);
  std::memcpy(f->data.data() + f->pos, buf, size);
  f->pos += size;
  return size;
}
toff_t MemSeek(thandle_t h, toff_t off, int whence) {
  auto* f = static_cast<MemoryFile*>(h);
  f->pos = whence == SEEK_SET ? off : (whence == SEEK_CUR ? f->pos + off : f->data.size() + off);
  return f->pos;
}
int MemClose(thandle_t) {
  return 0;
}
toff_t MemSize(thandle_t h) {
  return static_cast<MemoryFile*>(h)->data.size();
}
int MemMap(thandle_t, tdata_t*, toff_t*) {
  return 0;
}
void MemUnmap(thandle_t, tdata_t, toff_t) {}

void BM_LibtiffG4(benchmark::State& state) {
  // libtiff's min-is-white input has 0 for white: the page inverted, rows
  // unpadded.
  const quillora::TBitmap& page = Page();
  const size_t rowBytes = (kWidth + 7) / 8;
  std::vector<uint8_t> input(rowBytes * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (size_t i = 0; i < rowBytes; ++i)
      input[y * rowBytes + i] = static_cast<uint8_t>(~page.ScanLine(y)[i]);
  uint64_t coded = 0;
  TIFFSetWarningHandler(nullptr);
  for (auto _ : state) {
    MemoryFile file;
    TIFF* tif = TIFFClientOpen("page", "w", &file, MemRead, MemWrite, MemSeek, MemClose, MemSize,
                               MemMap, MemUnmap);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, kHeight);
    TIFFWriteEncodedStrip(tif, 0, input.data(), static_cast<tmsize_t>(input.size()));
    uint64_t* counts = nullptr;
    if (TIFFGetField(tif, TIFFTAG_STRIPBYTECOUNTS, &counts) && counts) coded = counts[0];
    TIFFClose(tif);
    benchmark::DoNotOptimize(file.data.data());
  }
  state.SetBytesProcessed(state.iterations() * kInputBytes);
  state.counters["coded_bytes"] = static_cast<double>(coded);
}

BENCHMARK(BM_QuilloraG4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibtiffG4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

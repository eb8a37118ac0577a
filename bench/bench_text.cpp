// Text pages written by this library, by libharu (UTF-8 encoder, embedded
// TrueType font) and by cairo's PDF surface (its FreeType font): 1,000 A4
// pages of 60 lines of about 90 characters and 20 rules in DejaVu Sans,
// compressed, once in Latin text and once in mixed Latin and Cyrillic. Each
// run is a child process of its own (its own peak memory). The share of
// time spent in deflate is the difference to the same run uncompressed
// (cairo always compresses). Also: one-pass memory at 1,000 and 10,000 pages.
//
//   bench_text [pages]
#include <cairo-pdf.h>
#include <cairo.h>
#include <hpdf.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "quillora/core/document.h"
#include "quillora/page/page.h"
#include "support/process_stats.h"

namespace {

constexpr int kLines = 60;
constexpr int kRules = 20;
constexpr double kHeight = 842;
const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct Line {
  std::u16string utf16;
  std::string utf8;
};

void AppendUtf8(std::string& out, char16_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// A fixed set of lines of words; mixed lines take every other word from the
// Cyrillic alphabet.
std::vector<Line> MakeLines(bool mixed) {
  uint32_t state = 2024;
  auto next = [&](uint32_t n) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % n;
  };
  std::vector<Line> lines(997);
  for (auto& line : lines) {
    int word = 0;
    while (line.utf16.size() < 88) {
      bool cyrillic = mixed && word % 2 == 1;
      uint32_t length = 2 + next(8);
      for (uint32_t i = 0; i < length; ++i) {
        char16_t c = cyrillic ? static_cast<char16_t>(0x0430 + next(32))
                              : static_cast<char16_t>(u'a' + next(26));
        if (i == 0 && next(5) == 0) c = static_cast<char16_t>(c - (cyrillic ? 0x20 : 0x20));
        line.utf16 += c;
      }
      line.utf16 += word % 7 == 6 ? u", " : u" ";
      ++word;
    }
    for (char16_t c : line.utf16) AppendUtf8(line.utf8, c);
  }
  return lines;
}

long long FileSize(const std::string& path) {
  std::error_code ec;
  auto n = std::filesystem::file_size(path, ec);
  return ec ? -1 : static_cast<long long>(n);
}

long long RunQuillora(const std::string& path, const std::vector<Line>& lines, int pages,
                      bool compress, bool onePass) {
  quillora::TPDFDocument doc;
  doc.SetFileName(path);
  doc.SetCompression(compress ? quillora::ctFlate : quillora::ctNone);
  doc.SetOnePass(onePass);
  doc.StartDocument();
  size_t n = 0;
  for (int page = 0; page < pages; ++page) {
    if (page > 0) doc.AddPage();
    quillora::TPDFPage& p = *doc.CurrentPage();
    p.SetTextFont("DejaVu Sans", 0, 9, 0);
    for (int i = 0; i < kLines; ++i) {
      p.ShowTextW(40, 40 + i * 12.5, 0, lines[n++ % lines.size()].utf16);
      if (i % 3 == 0) {
        p.MoveTo(40, 52 + i * 12.5);
        p.LineTo(555, 52 + i * 12.5);
        p.Stroke();
      }
    }
  }
  doc.FinishDocument();
  return FileSize(path);
}

long long RunHaru(const std::string& path, const std::vector<Line>& lines, int pages,
                  bool compress) {
  HPDF_Doc pdf = HPDF_New(nullptr, nullptr);
  if (!pdf) return -1;
  HPDF_SetCompressionMode(pdf, compress ? HPDF_COMP_ALL : HPDF_COMP_NONE);
  HPDF_UseUTFEncodings(pdf);
  HPDF_SetCurrentEncoder(pdf, "UTF-8");
  const char* name = HPDF_LoadTTFontFromFile(pdf, kFontFile, HPDF_TRUE);
  if (!name) return -1;
  HPDF_Font font = HPDF_GetFont(pdf, name, "UTF-8");
  size_t n = 0;
  for (int page = 0; page < pages; ++page) {
    HPDF_Page p = HPDF_AddPage(pdf);
    HPDF_Page_SetSize(p, HPDF_PAGE_SIZE_A4, HPDF_PAGE_PORTRAIT);
    for (int i = 0; i < kLines; ++i) {
      HPDF_Page_BeginText(p);
      HPDF_Page_SetFontAndSize(p, font, 9);
      HPDF_Page_TextOut(p, 40, kHeight - (40 + i * 12.5) - 6.6,
                        lines[n++ % lines.size()].utf8.c_str());
      HPDF_Page_EndText(p);
      if (i % 3 == 0) {
        HPDF_Page_MoveTo(p, 40, kHeight - (52 + i * 12.5));
        HPDF_Page_LineTo(p, 555, kHeight - (52 + i * 12.5));
        HPDF_Page_Stroke(p);
      }
    }
  }
  if (HPDF_SaveToFile(pdf, path.c_str()) != HPDF_OK) return -1;
  HPDF_Free(pdf);
  return FileSize(path);
}

long long RunCairo(const std::string& path, const std::vector<Line>& lines, int pages) {
  cairo_surface_t* surface = cairo_pdf_surface_create(path.c_str(), 595, kHeight);
  cairo_t* cr = cairo_create(surface);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 9);
  size_t n = 0;
  for (int page = 0; page < pages; ++page) {
    for (int i = 0; i < kLines; ++i) {
      cairo_move_to(cr, 40, 40 + i * 12.5 + 6.6);
      cairo_show_text(cr, lines[n++ % lines.size()].utf8.c_str());
      if (i % 3 == 0) {
        cairo_move_to(cr, 40, 52 + i * 12.5);
        cairo_line_to(cr, 555, 52 + i * 12.5);
        cairo_stroke(cr);
      }
    }
    cairo_show_page(cr);
  }
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok ? FileSize(path) : -1;
}

void Print(const char* name, const bench::RunStats& s, const bench::RunStats& base,
           double deflateShare) {
  std::printf("  %-24s %8.3f s %9.1f MiB %10.2f MiB  x%5.2f time x%5.2f mem x%5.2f size", name,
              s.seconds, s.peak_kib / 1024.0, s.bytes / 1048576.0, s.seconds / base.seconds,
              static_cast<double>(s.peak_kib) / base.peak_kib,
              static_cast<double>(s.bytes) / base.bytes);
  if (deflateShare >= 0) std::printf("  deflate %4.0f%%", 100 * deflateShare);
  std::printf("%s\n", s.ok ? "" : "  FAILED");
}

}  // namespace

int main(int argc, char** argv) {
  int pages = argc > 1 ? std::atoi(argv[1]) : 1000;
  std::string dir = (std::filesystem::temp_directory_path() / "quillora-bench-text").string();
  std::filesystem::create_directories(dir);
  // Note: the share of deflate is (compressed - uncompressed) / compressed.
  for (bool mixed : {false, true}) {
    auto lines = MakeLines(mixed);
    std::printf("%s text, %d pages of %d lines and %d rules, DejaVu Sans, compressed\n",
                mixed ? "Mixed Latin and Cyrillic" : "Latin", pages, kLines, kRules);
    auto ours = bench::RunInChild(
        [&] { return RunQuillora(dir + "/quillora.pdf", lines, pages, true, false); });
    auto oursPlain = bench::RunInChild(
        [&] { return RunQuillora(dir + "/quillora-plain.pdf", lines, pages, false, false); });
    auto haru = bench::RunInChild([&] { return RunHaru(dir + "/haru.pdf", lines, pages, true); });
    auto haruPlain =
        bench::RunInChild([&] { return RunHaru(dir + "/haru-plain.pdf", lines, pages, false); });
    auto cairo = bench::RunInChild([&] { return RunCairo(dir + "/cairo.pdf", lines, pages); });
    Print("quillora", ours, ours, (ours.seconds - oursPlain.seconds) / ours.seconds);
    Print("libharu", haru, ours, (haru.seconds - haruPlain.seconds) / haru.seconds);
    Print("cairo", cairo, ours, -1);
    std::printf("  (uncompressed: quillora %.3f s %.2f MiB, libharu %.3f s %.2f MiB)\n",
                oursPlain.seconds, oursPlain.bytes / 1048576.0, haruPlain.seconds,
                haruPlain.bytes / 1048576.0);
  }
  auto lines = MakeLines(false);
  std::printf("One-pass memory (Latin, compressed)\n");
  for (int n : {1000, 10000}) {
    auto s = bench::RunInChild(
        [&] { return RunQuillora(dir + "/quillora-onepass.pdf", lines, n, true, true); });
    std::printf("  %6d pages: %8.3f s %9.1f MiB peak %10.2f MiB file%s\n", n, s.seconds,
                s.peak_kib / 1024.0, s.bytes / 1048576.0, s.ok ? "" : "  FAILED");
  }
  // Measuring: the cost of TextWidth grows with the text, not per call.
  std::printf("TextWidth of single-byte text in a TrueType font (DejaVu Sans)\n");
  quillora::TPDFDocument doc;
  std::ostringstream sink;
  doc.SetOutputStream(&sink);
  doc.StartDocument();
  quillora::TPDFPage& p = *doc.CurrentPage();
  p.SetTextFont("DejaVu Sans", 0, 9, 0);
  for (size_t length : {100, 1000, 10000}) {
    std::string text;
    while (text.size() < length) text += "The quick brown fox jumps over the lazy dog. ";
    text.resize(length);
    int calls = static_cast<int>(2000000 / length);
    volatile long double total = 0;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) total = total + p.TextWidth(text);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("  %6zu characters: %9.2f us per call, %6.2f ns per character\n", length,
                1e6 * seconds / calls, 1e9 * seconds / calls / length);
  }
  doc.AbortDocument();
  std::filesystem::remove_all(dir);
  return 0;
}

// The same drawing workload written by this library, by libharu and by
// cairo's PDF surface: 1,000 pages of 500 mixed path and colour operators,
// compressed. Each run is a child process of its own, so its peak memory
// is its own. Prints wall time, peak memory and file size with ratios.
#include <cairo-pdf.h>
#include <cairo.h>
#include <hpdf.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "quillora/core/document.h"
#include "quillora/page/page.h"
#include "support/process_stats.h"

namespace {

constexpr int kPages = 1000;
constexpr int kOperators = 500;
constexpr double kWidth = 595, kHeight = 842;

// A deterministic stream of numbers shared by the three writers.
struct Lcg {
  uint32_t state = 12345;
  double Next(double range) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) * (range / 16777216.0);
  }
};

// op 0: stroke colour, 1: line, 2: filled rectangle, 3: curve, 4: fill colour.
template <typename Sink>
void Workload(Sink& sink) {
  Lcg r;
  for (int page = 0; page < kPages; ++page) {
    sink.BeginPage();
    for (int i = 0; i < kOperators; ++i) {
      switch (i % 5) {
        case 0: sink.StrokeColor(r.Next(1), r.Next(1), r.Next(1)); break;
        case 1: sink.Line(r.Next(kWidth), r.Next(kHeight), r.Next(kWidth), r.Next(kHeight)); break;
        case 2: sink.FilledRect(r.Next(kWidth), r.Next(kHeight), r.Next(100), r.Next(100)); break;
        case 3:
          sink.Curve(r.Next(kWidth), r.Next(kHeight), r.Next(kWidth), r.Next(kHeight),
                     r.Next(kWidth), r.Next(kHeight), r.Next(kWidth), r.Next(kHeight));
          break;
        case 4: sink.FillColor(r.Next(1), r.Next(1), r.Next(1)); break;
      }
    }
  }
}

long long FileSize(const std::string& path) {
  std::error_code ec;
  auto n = std::filesystem::file_size(path, ec);
  return ec ? -1 : static_cast<long long>(n);
}

// y down, device units = points.
struct Quillora {
  quillora::TPDFDocument doc;
  bool first = true;
  quillora::TPDFPage* p = nullptr;
  void BeginPage() {
    if (!first) doc.AddPage();
    first = false;
    p = doc.CurrentPage();
  }
  void StrokeColor(double r, double g, double b) { p->SetRGBStroke(r, g, b); }
  void FillColor(double r, double g, double b) { p->SetRGBFill(r, g, b); }
  void Line(double x1, double y1, double x2, double y2) {
    p->MoveTo(x1, y1);
    p->LineTo(x2, y2);
    p->Stroke();
  }
  void FilledRect(double x, double y, double w, double h) {
    p->Rectangle(x, y, x + w, y + h);
    p->Fill();
  }
  void Curve(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
             double y3) {
    p->MoveTo(x0, y0);
    p->CurveTo(x1, y1, x2, y2, x3, y3);
    p->Stroke();
  }
};

long long RunQuillora(const std::string& path, bool one_pass) {
  Quillora q;
  q.doc.SetFileName(path);
  q.doc.SetCompression(quillora::ctFlate);
  q.doc.SetOnePass(one_pass);
  q.doc.StartDocument();
  Workload(q);
  q.doc.FinishDocument();
  return FileSize(path);
}

struct Haru {
  HPDF_Doc pdf;
  HPDF_Page page = nullptr;
  void BeginPage() {
    page = HPDF_AddPage(pdf);
    HPDF_Page_SetWidth(page, kWidth);
    HPDF_Page_SetHeight(page, kHeight);
  }
  void StrokeColor(double r, double g, double b) { HPDF_Page_SetRGBStroke(page, r, g, b); }
  void FillColor(double r, double g, double b) { HPDF_Page_SetRGBFill(page, r, g, b); }
  void Line(double x1, double y1, double x2, double y2) {
    HPDF_Page_MoveTo(page, x1, kHeight - y1);
    HPDF_Page_LineTo(page, x2, kHeight - y2);
    HPDF_Page_Stroke(page);
  }
  void FilledRect(double x, double y, double w, double h) {
    HPDF_Page_Rectangle(page, x, kHeight - y - h, w, h);
    HPDF_Page_Fill(page);
  }
  void Curve(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
             double y3) {
    HPDF_Page_MoveTo(page, x0, kHeight - y0);
    HPDF_Page_CurveTo(page, x1, kHeight - y1, x2, kHeight - y2, x3, kHeight - y3);
    HPDF_Page_Stroke(page);
  }
};

long long RunHaru(const std::string& path) {
  Haru h;
  h.pdf = HPDF_New(nullptr, nullptr);
  if (!h.pdf) return -1;
  HPDF_SetCompressionMode(h.pdf, HPDF_COMP_ALL);
  Workload(h);
  if (HPDF_SaveToFile(h.pdf, path.c_str()) != HPDF_OK) return -1;
  HPDF_Free(h.pdf);
  return FileSize(path);
}

struct Cairo {
  cairo_surface_t* surface;
  cairo_t* cr;
  bool first = true;
  void BeginPage() {
    if (!first) cairo_show_page(cr);
    first = false;
  }
  void StrokeColor(double r, double g, double b) { stroke[0] = r, stroke[1] = g, stroke[2] = b; }
  void FillColor(double r, double g, double b) { fill[0] = r, fill[1] = g, fill[2] = b; }
  void Line(double x1, double y1, double x2, double y2) {
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    Stroke();
  }
  void FilledRect(double x, double y, double w, double h) {
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source_rgb(cr, fill[0], fill[1], fill[2]);
    cairo_fill(cr);
  }
  void Curve(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
             double y3) {
    cairo_move_to(cr, x0, y0);
    cairo_curve_to(cr, x1, y1, x2, y2, x3, y3);
    Stroke();
  }
  void Stroke() {
    cairo_set_source_rgb(cr, stroke[0], stroke[1], stroke[2]);
    cairo_stroke(cr);
  }
  double stroke[3] = {0, 0, 0}, fill[3] = {0, 0, 0};
};

long long RunCairo(const std::string& path) {
  Cairo c;
  c.surface = cairo_pdf_surface_create(path.c_str(), kWidth, kHeight);
  c.cr = cairo_create(c.surface);
  Workload(c);
  cairo_destroy(c.cr);
  cairo_surface_finish(c.surface);
  bool ok = cairo_surface_status(c.surface) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(c.surface);
  return ok ? FileSize(path) : -1;
}

}  // namespace

int main() {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "quillora-bench-peers";
  std::filesystem::create_directories(dir);
  struct Entry {
    const char* name;
    bench::RunStats stats;
  };
  Entry entries[] = {
      {"quillora", bench::RunInChild([&] { return RunQuillora((dir / "q.pdf").string(), false); })},
      {"quillora one-pass",
       bench::RunInChild([&] { return RunQuillora((dir / "q1.pdf").string(), true); })},
      {"libharu", bench::RunInChild([&] { return RunHaru((dir / "h.pdf").string()); })},
      {"cairo", bench::RunInChild([&] { return RunCairo((dir / "c.pdf").string()); })},
  };
  std::printf("%d pages x %d path and colour operators, Flate\n", kPages, kOperators);
  std::printf("%-18s %9s %11s %12s %10s %10s %10s\n", "writer", "wall s", "peak MiB", "file bytes",
              "time/ours", "mem/ours", "size/ours");
  const bench::RunStats& ours = entries[0].stats;
  for (const Entry& e : entries) {
    if (!e.stats.ok) {
      std::printf("%-18s failed\n", e.name);
      continue;
    }
    std::printf("%-18s %9.3f %11.1f %12lld %10.2f %10.2f %10.2f\n", e.name, e.stats.seconds,
                e.stats.peak_kib / 1024.0, e.stats.bytes, e.stats.seconds / ours.seconds,
                double(e.stats.peak_kib) / ours.peak_kib, double(e.stats.bytes) / ours.bytes);
  }
  std::filesystem::remove_all(dir);
  return 0;
}

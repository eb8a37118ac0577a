// One-pass mode keeps memory flat: 20,000 pages of 200 path operations,
// written in one-pass and in two-pass mode. Prints peak memory and pages
// per second of each.
#include <cstdio>
#include <filesystem>
#include <string>

#include "quillora/core/document.h"
#include "quillora/page/page.h"
#include "support/process_stats.h"

namespace {

long long Write(const std::string& path, bool one_pass, int pages) {
  quillora::TPDFDocument doc;
  doc.SetFileName(path);
  doc.SetCompression(quillora::ctFlate);
  doc.SetOnePass(one_pass);
  doc.StartDocument();
  for (int n = 0; n < pages; ++n) {
    if (n) doc.AddPage();
    quillora::TPDFPage& p = *doc.CurrentPage();
    for (int i = 0; i < 50; ++i) {
      double x = (n * 7 + i * 13) % 500, y = (n * 3 + i * 29) % 800;
      p.MoveTo(x, y);
      p.LineTo(x + 40, y + 10);
      p.CurveTo(x + 50, y + 20, x + 60, y + 5, x + 70, y + 30);
      p.Stroke();
    }
  }
  doc.FinishDocument();
  std::error_code ec;
  return static_cast<long long>(std::filesystem::file_size(path, ec));
}

}  // namespace

int main() {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "quillora-bench-onepass";
  std::filesystem::create_directories(dir);
  std::printf("%-10s %7s %9s %11s %12s %12s\n", "mode", "pages", "wall s", "peak MiB", "pages/s",
              "file bytes");
  for (int pages : {2000, 20000}) {
    for (bool one_pass : {true, false}) {
      std::string path = (dir / "out.pdf").string();
      bench::RunStats s = bench::RunInChild([&] { return Write(path, one_pass, pages); });
      std::printf("%-10s %7d %9.2f %11.1f %12.0f %12lld\n", one_pass ? "one-pass" : "two-pass",
                  pages, s.seconds, s.peak_kib / 1024.0, pages / s.seconds, s.bytes);
    }
  }
  std::filesystem::remove_all(dir);
  return 0;
}

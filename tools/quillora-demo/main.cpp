// Writes two demonstration files into a folder: a page of shapes, colours,
// dashes, arcs and a link, and a password-protected copy of it.
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "quillora/core/document.h"
#include "quillora/page/page.h"

using namespace quillora;

namespace {

void DrawShapes(TPDFPage& p) {
  // A row of filled squares in the primaries and their mixes.
  const long double colours[][3] = {{0.85L, 0.1L, 0.1L}, {0.95L, 0.6L, 0.1L}, {0.95L, 0.85L, 0.1L},
                                    {0.2L, 0.65L, 0.25L}, {0.15L, 0.4L, 0.8L}, {0.5L, 0.2L, 0.7L}};
  for (int i = 0; i < 6; ++i) {
    p.SetRGBFill(colours[i][0], colours[i][1], colours[i][2]);
    p.Rectangle(60 + i * 80, 60, 120 + i * 80, 120);
    p.Fill();
  }
  // Outlined shapes.
  p.SetGray(0);
  p.SetLineWidth(2);
  p.SetRGBStroke(0.1L, 0.1L, 0.4L);
  p.SetRGBFill(0.8L, 0.9L, 1);
  p.RoundRect(60, 160, 240, 260, 40, 40);
  p.FillAndStroke();
  p.Ellipse(280, 160, 520, 260);
  p.FillAndStroke();
  // Dashes of several patterns.
  const char* patterns[] = {"[2 2] 0", "[8 4] 0", "[12 4 2 4] 0", "[] 0"};
  p.SetLineCap(lcButtEnd);
  for (int i = 0; i < 4; ++i) {
    p.SetDash(patterns[i]);
    p.MoveTo(60, 300 + i * 20);
    p.LineTo(520, 300 + i * 20);
    p.Stroke();
  }
  // Arcs and a pie chart.
  p.SetLineWidth(3);
  p.SetRGBStroke(0.7L, 0.1L, 0.1L);
  p.Arc(60, 400, 200, 540, 200, 470, 60, 470);
  p.Stroke();
  p.ArcByAngles(220, 400, 360, 540, 45, 315);
  p.Stroke();
  const long double slices[][3] = {{0.9L, 0.3L, 0.3L}, {0.3L, 0.6L, 0.9L}, {0.4L, 0.8L, 0.4L}};
  const double pi = 3.14159265358979323846;
  double angle = 0;
  const double shares[] = {0.45, 0.3, 0.25};
  p.SetLineWidth(1);
  p.SetGrayStroke(1);
  for (int i = 0; i < 3; ++i) {
    double next = angle + shares[i] * 2 * pi;
    p.SetRGBFill(slices[i][0], slices[i][1], slices[i][2]);
    // GDI radials: counter-clockwise from the start point to the end point.
    p.Pie(380, 400, 520, 540, 450 + 100 * std::cos(angle), 470 - 100 * std::sin(angle),
          450 + 100 * std::cos(next), 470 - 100 * std::sin(next));
    p.FillAndStroke();
    angle = next;
  }
  // A clipped pattern of stripes inside a circle.
  p.SaveState();
  p.Ellipse(60, 580, 260, 780);
  p.Clip();
  p.NewPath();
  for (int i = 0; i < 20; ++i) {
    p.SetRGBFill(i % 2 ? 0.15L : 0.95L, 0.5L, i % 2 ? 0.9L : 0.2L);
    p.Rectangle(60 + i * 10, 580, 70 + i * 10, 780);
    p.Fill();
  }
  p.RestoreState();
  // A rotated square through the transformation matrix (page units).
  p.SaveState();
  p.Translate(400, 120);
  p.Rotate(30);
  p.SetRGBFill(0.2L, 0.2L, 0.2L);
  p.RectanglePage(-50, -50, 100, 100);
  p.Fill();
  p.RestoreState();
  // A link over the pie chart.
  p.AddUrlLink({380, 400, 520, 540}, "https://example.org/quillora");
}

void Write(const std::string& file, bool protect) {
  TPDFDocument doc;
  doc.SetFileName(file);
  doc.SetCompression(ctFlate);
  doc.DocumentInfo().SetTitle("Quillora demonstration");
  doc.DocumentInfo().SetSubject("Shapes, colours, dashes, arcs and a link");
  if (protect) {
    doc.SetProtectionEnabled(true);
    doc.SetProtectionKeyLength(kl128);
    doc.SetOwnerPassword("owner");
    doc.SetUserPassword("reader");
    doc.SetProtectionOptions({coPrint, coPrintHi, coCopyInformation});
  }
  doc.StartDocument();
  DrawShapes(*doc.CurrentPage());
  doc.AddPage();
  doc.CurrentPage()->SetOrientation(orLandscape);
  DrawShapes(*doc.CurrentPage());
  doc.FinishDocument();
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path folder = argc > 1 ? argv[1] : ".";
  try {
    std::filesystem::create_directories(folder);
    std::string plain = (folder / "quillora-demo.pdf").string();
    std::string protected_file = (folder / "quillora-demo-protected.pdf").string();
    Write(plain, false);
    Write(protected_file, true);
    std::printf("Wrote %s\nWrote %s (user password \"reader\", owner password \"owner\")\n",
                plain.c_str(), protected_file.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quillora-demo: %s\n", e.what());
    return 1;
  }
  return 0;
}

// Recording speed of the metafile canvas: lines, shapes, text with measured
// advances, bitmaps, and a text page like the export draws. Reports calls
// per second and metafile bytes per second.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "quillora/platform/metafile.h"
#include "quillora/platform/metafile_canvas.h"

using namespace quillora;

namespace {

void Report(benchmark::State& State, int64_t Calls, int64_t Bytes) {
  State.counters["calls/s"] =
      benchmark::Counter(static_cast<double>(Calls), benchmark::Counter::kIsRate);
  State.SetBytesProcessed(Bytes);
}

void BM_Lines(benchmark::State& State) {
  const int N = static_cast<int>(State.range(0));
  int64_t Calls = 0, Bytes = 0;
  for (auto _ : State) {
    TMetafile M;
    M.SetWidth(794);
    M.SetHeight(1123);
    TMetafileCanvas C(M);
    for (int I = 0; I < N; ++I) {
      if (I % 10 == 0) C.Pen().Color = RGB(I & 255, 0, 0);  // a new pen every ten lines
      C.MoveTo(I % 700, I % 1000);
      C.LineTo(I % 700 + 50, I % 1000 + 20);
    }
    C.Close();
    Calls += 2 * int64_t{N};
    Bytes += static_cast<int64_t>(M.Data().size());
  }
  Report(State, Calls, Bytes);
}
BENCHMARK(BM_Lines)->Arg(100000);

void BM_Shapes(benchmark::State& State) {
  const int N = static_cast<int>(State.range(0));
  int64_t Calls = 0, Bytes = 0;
  const TPoint Triangle[] = {{0, 0}, {40, 0}, {20, 30}, {5, 12}};
  for (auto _ : State) {
    TMetafile M;
    TMetafileCanvas C(M);
    for (int I = 0; I < N; ++I) {
      C.Brush().Color = RGB(0, I & 255, 0);
      const int X = I % 700, Y = I % 1000;
      switch (I % 4) {
        case 0:
          C.Rectangle(X, Y, X + 30, Y + 20);
          break;
        case 1:
          C.Ellipse(X, Y, X + 30, Y + 20);
          break;
        case 2:
          C.Polygon(Triangle);
          break;
        default:
          C.Pie(X, Y, X + 30, Y + 30, X + 30, Y, X, Y);
      }
    }
    C.Close();
    Calls += N;
    Bytes += static_cast<int64_t>(M.Data().size());
  }
  Report(State, Calls, Bytes);
}
BENCHMARK(BM_Shapes)->Arg(100000);

void BM_TextWithAdvances(benchmark::State& State) {
  const int N = static_cast<int>(State.range(0));
  const std::u16string Line =
      u"The quick brown fox jumps over the lazy dog, then writes ninety characters of text here.";
  int64_t Calls = 0, Bytes = 0;
  for (auto _ : State) {
    TMetafile M;
    TMetafileCanvas C(M);
    for (int I = 0; I < N; ++I) {
      if (I % 60 == 0) C.Font().Weight = (I / 60) % 2 ? 700 : 400;  // a font change per page
      C.TextOut(40, 40 + (I % 60) * 17, Line);
    }
    C.Close();
    Calls += N;
    Bytes += static_cast<int64_t>(M.Data().size());
  }
  Report(State, Calls, Bytes);
}
BENCHMARK(BM_TextWithAdvances)->Arg(6000);

void BM_Bitmaps(benchmark::State& State) {
  const int N = static_cast<int>(State.range(0));
  TBitmap B(64, 64, pf24bit);
  for (int Y = 0; Y < 64; ++Y)
    for (int X = 0; X < 64; ++X) B.SetPixel(X, Y, RGB(X * 4, Y * 4, 128));
  int64_t Calls = 0, Bytes = 0;
  for (auto _ : State) {
    TMetafile M;
    TMetafileCanvas C(M);
    for (int I = 0; I < N; ++I) C.StretchDIBits(I % 700, I % 1000, 128, 128, 0, 0, 64, 64, B);
    C.Close();
    Calls += N;
    Bytes += static_cast<int64_t>(M.Data().size());
  }
  Report(State, Calls, Bytes);
}
BENCHMARK(BM_Bitmaps)->Arg(2000);

// One exported text page: 60 lines of about 90 characters with a few font
// and colour changes, 20 rules, under a viewport origin.
void BM_TextPage(benchmark::State& State) {
  const std::u16string Line =
      u"Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor incidid.";
  int64_t Calls = 0, Bytes = 0;
  for (auto _ : State) {
    TMetafile M;
    M.SetWidth(794);
    M.SetHeight(1123);
    TMetafileCanvas C(M);
    C.SetViewportOrg(48, 64);
    C.SetBkMode(emf::TRANSPARENT);
    for (int I = 0; I < 60; ++I) {
      if (I % 15 == 0) {
        C.Font().Italic = !C.Font().Italic;
        C.SetTextColor(RGB(0, 0, I));
      }
      C.TextOut(0, I * 17, Line);
    }
    for (int I = 0; I < 20; ++I) {
      C.MoveTo(0, I * 50 + 15);
      C.LineTo(700, I * 50 + 15);
    }
    C.Close();
    Calls += 60 + 40;
    Bytes += static_cast<int64_t>(M.Data().size());
  }
  Report(State, Calls, Bytes);
  State.counters["pages/s"] =
      benchmark::Counter(static_cast<double>(State.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TextPage);

}  // namespace

BENCHMARK_MAIN();

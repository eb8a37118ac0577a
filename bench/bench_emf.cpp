// Converting a large metafile: emf2pdf against libemf2svg (EMF to SVG) and,
// where installed, Inkscape's PDF export, on the same file of about 200,000
// records of lines, shapes, text with advances and a few bitmaps. Each run is
// a child process of its own: wall time, peak memory and output size, with
// ratios to emf2pdf.
#include <emf2svg.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>
#include "quillora/platform/bitmap.h"
#include "quillora/platform/emf_format.h"
#include "quillora/platform/metafile.h"
#include "quillora/platform/metafile_canvas.h"

#include <chrono>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace quillora;

// The picture: one A4 page at 96 dpi, drawn over and over.
uint32_t Record(const fs::path& File, uint32_t Wanted) {
  TMetafile Metafile;
  Metafile.SetWidth(794);
  Metafile.SetHeight(1123);
  {
    TMetafileCanvas C(Metafile);
    std::mt19937 Rng(5);
    auto R = [&](int N) { return static_cast<int>(Rng() % N); };
    TBitmap Picture(64, 64, pf24bit);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) Picture.SetPixel(x, y, RGB(x * 4, y * 4, 128));
    const std::u16string Words[] = {u"The quick brown fox", u"jumps over the lazy dog",
                                    u"Metafile playback", u"\u041f\u0440\u0438\u0432\u0435\u0442"};
    C.Font().Name = "DejaVu Sans";
    C.SetBkMode(emf::TRANSPARENT);
    for (int i = 0; C.RecordedSize() < size_t{Wanted} * 49; ++i) {
      C.Pen().Color = RGB(R(256), R(256), R(256));
      C.Pen().Width = 1 + R(3);
      C.MoveTo(R(794), R(1123));
      C.LineTo(R(794), R(1123));
      const TPoint Line[] = {{R(794), R(1123)}, {R(794), R(1123)}, {R(794), R(1123)}};
      C.Polyline(Line);
      C.Brush().Color = RGB(R(256), R(256), R(256));
      const int X = R(700), Y = R(1000);
      C.Rectangle(X, Y, X + 20 + R(80), Y + 10 + R(80));
      C.Ellipse(Y % 700, X, Y % 700 + 30, X + 20);
      C.SetTextColor(RGB(0, 0, R(256)));
      C.Font().Height = -(10 + R(10));
      C.TextOut(R(600), R(1100), Words[i % 4]);
      if (i % 4000 == 0) C.StretchDraw(TRect{X, Y, X + 128, Y + 128}, Picture);
    }
    C.Close();
  }
  Metafile.SaveToFile(File.string());
  const std::string& Bytes = Metafile.Data();
  emf::TReader Reader(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size());
  return Reader.Header().Records;
}

// Runs a program and waits for it; its peak memory reaches the measuring
// child through the rusage of waited-for children.
long long Spawn(const std::vector<std::string>& Args, const fs::path& Output) {
  std::vector<char*> Argv;
  for (const std::string& A : Args) Argv.push_back(const_cast<char*>(A.c_str()));
  Argv.push_back(nullptr);
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_addopen(&Actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t Pid;
  if (posix_spawnp(&Pid, Argv[0], &Actions, nullptr, Argv.data(), environ) != 0) return -1;
  posix_spawn_file_actions_destroy(&Actions);
  int Status = 0;
  waitpid(Pid, &Status, 0);
  if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0) return -1;
  std::error_code E;
  const auto Size = fs::file_size(Output, E);
  return E ? -1 : static_cast<long long>(Size);
}

long long Emf2Svg(const fs::path& Input, const fs::path& Output) {
  std::ifstream In(Input, std::ios::binary);
  std::string Data((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  generatorOptions Options{};
  Options.nameSpace = const_cast<char*>("svg");
  Options.svgDelimiter = true;
  Options.emfplus = true;
  char* Out = nullptr;
  size_t Length = 0;
  if (!emf2svg(Data.data(), Data.size(), &Out, &Length, &Options) || !Out) return -1;
  std::ofstream(Output, std::ios::binary).write(Out, static_cast<std::streamsize>(Length));
  free(Out);
  return static_cast<long long>(Length);
}

struct TStats {
  double Wall = 0, Cpu = 0;
  long PeakKiB = 0;
  long long Bytes = -1;
  bool Ok = false;
};

// Runs Work in a child process: wall and CPU time (user and system, its
// waited-for children included), peak resident memory, and the byte count
// it reports. CPU time is the steadier figure on a busy machine.
template <typename F>
TStats RunChild(F&& Work) {
  TStats S;
  int Pipe[2];
  if (pipe(Pipe) != 0) return S;
  const auto Start = std::chrono::steady_clock::now();
  const pid_t Pid = fork();
  if (Pid == 0) {
    close(Pipe[0]);
    const long long Bytes = Work();
    const bool Sent = write(Pipe[1], &Bytes, sizeof Bytes) == sizeof Bytes;
    _exit(Sent && Bytes >= 0 ? 0 : 1);
  }
  close(Pipe[1]);
  if (read(Pipe[0], &S.Bytes, sizeof S.Bytes) != sizeof S.Bytes) S.Bytes = -1;
  close(Pipe[0]);
  int Status = 0;
  rusage U{};
  wait4(Pid, &Status, 0, &U);
  S.Wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  S.Cpu =
      U.ru_utime.tv_sec + U.ru_utime.tv_usec / 1e6 + U.ru_stime.tv_sec + U.ru_stime.tv_usec / 1e6;
  S.PeakKiB = U.ru_maxrss;
  S.Ok = WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
  return S;
}

bool Have(const char* Program) {
  return std::system((std::string("command -v ") + Program + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace

int main() {
  const fs::path Dir = fs::temp_directory_path() / ("bench_emf_" + std::to_string(getpid()));
  fs::create_directories(Dir);
  const fs::path Emf = Dir / "large.emf";
  const uint32_t Records = Record(Emf, 200000);
  const fs::path Tool =
      fs::canonical("/proc/self/exe").parent_path().parent_path() / "tools" / "emf2pdf" / "emf2pdf";
  std::printf("metafile: %u records, %.1f MB\n", Records, fs::file_size(Emf) / 1e6);

  struct Row {
    std::string Name;
    TStats Stats;
  };
  std::vector<Row> Rows;
  Rows.push_back({"emf2pdf (Quillora)", RunChild([&] {
                    return Spawn({Tool.string(), "-o", (Dir / "out.pdf").string(), Emf.string()},
                                 Dir / "out.pdf");
                  })});
  Rows.push_back({"emf2pdf --no-compress", RunChild([&] {
                    return Spawn(
                        {Tool.string(), "-n", "-o", (Dir / "raw.pdf").string(), Emf.string()},
                        Dir / "raw.pdf");
                  })});
  Rows.push_back({"libemf2svg (to SVG)", RunChild([&] { return Emf2Svg(Emf, Dir / "out.svg"); })});
  if (Have("inkscape"))
    Rows.push_back({"inkscape --export-type=pdf", RunChild([&] {
                      return Spawn(
                          {"inkscape", "--export-type=pdf",
                           "--export-filename=" + (Dir / "ink.pdf").string(), Emf.string()},
                          Dir / "ink.pdf");
                    })});
  else
    std::printf("inkscape: not installed, skipped\n");

  const TStats& Base = Rows[0].Stats;
  std::printf("%-28s %8s %8s %10s %14s %7s %7s %7s %7s\n", "converter", "wall s", "cpu s",
              "peak MiB", "output bytes", "wall x", "cpu x", "mem x", "size x");
  for (const Row& R : Rows) {
    const TStats& S = R.Stats;
    if (!S.Ok) {
      std::printf("%-28s failed\n", R.Name.c_str());
      continue;
    }
    std::printf("%-28s %8.3f %8.3f %10.1f %14lld %7.2f %7.2f %7.2f %7.2f\n", R.Name.c_str(), S.Wall,
                S.Cpu, S.PeakKiB / 1024.0, S.Bytes, S.Wall / Base.Wall, S.Cpu / Base.Cpu,
                static_cast<double>(S.PeakKiB) / Base.PeakKiB,
                static_cast<double>(S.Bytes) / Base.Bytes);
  }
  // BENCH_EMF_KEEP keeps the metafile and the outputs for a closer look.
  if (std::getenv("BENCH_EMF_KEEP"))
    std::printf("files kept in %s\n", Dir.c_str());
  else
    fs::remove_all(Dir);
  return Base.Ok ? 0 : 1;
}

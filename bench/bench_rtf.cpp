// Reading a 5 MB RTF document with formatted text, tables and pictures into a
// QTextDocument, against unrtf converting the same file to text, in one run.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTextDocument>
#include <algorithm>
#include <filesystem>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tollmark/io/document_io.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

QByteArray NoisePng(int size, quint32 seed) {
  QImage image(size, size, QImage::Format_RGB32);
  QRandomGenerator random(seed);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) image.setPixel(x, y, random.generate() | 0xFF000000u);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

// A Word-like document: styled paragraphs, a table every 20 paragraphs and a
// picture every 100, until `target` bytes.
QByteArray MakeDocument(qsizetype target) {
  QByteArray rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
      "{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fmodern\\fcharset204 Courier New;}}\n"
      "{\\colortbl;\\red0\\green0\\blue0;\\red200\\green0\\blue0;\\red0\\green0\\blue255;}\n"
      "{\\info{\\title Benchmark}{\\author bench_rtf}}\\viewkind4\\uc1\n";
  const QByteArray picture = NoisePng(48, 7).toHex();
  const char* words[] = {"lorem",       "ipsum",      "dolor",      "sit",   "amet",
                         "consectetur", "adipiscing", "elit",       "sed",   "do",
                         "eiusmod",     "tempor",     "incididunt", "labore"};
  int paragraph = 0;
  QRandomGenerator random(42);
  while (rtf.size() < target) {
    ++paragraph;
    if (paragraph % 20 == 0) {
      for (int row = 0; row < 4; ++row) {
        rtf += "\\trowd\\trgaph108\\trleft-108";
        for (int c = 1; c <= 4; ++c) {
          rtf += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10";
          if (row == 0) rtf += "\\clcbpat3";
          rtf += "\\cellx" + QByteArray::number(c * 2000);
        }
        rtf += "\n\\pard\\intbl\\plain\\f0\\fs20 ";
        for (int c = 0; c < 4; ++c) {
          rtf += words[random.bounded(14)];
          rtf += " \\b " + QByteArray::number(random.bounded(10000)) + "\\b0\\cell ";
        }
        rtf += "\\row\n";
      }
    }
    rtf += "\\pard\\plain\\sa120\\qj\\f1\\fs24 ";
    const int count = 40 + random.bounded(40);
    for (int w = 0; w < count; ++w) {
      switch (random.bounded(12)) {
        case 0:
          rtf += "{\\b ";
          rtf += words[random.bounded(14)];
          rtf += "} ";
          break;
        case 1:
          rtf += "{\\i\\cf2 ";
          rtf += words[random.bounded(14)];
          rtf += "} ";
          break;
        case 2:
          rtf += "caf\\'e9 ";
          break;
        case 3:
          rtf += "\\u1046?\\u1080?\\u1079?\\u1085?\\u1100? ";
          break;
        default:
          rtf += words[random.bounded(14)];
          rtf += ' ';
          break;
      }
    }
    if (paragraph % 100 == 0) {
      rtf += "{\\*\\shppict{\\pict\\pngblip\\picw48\\pich48\\picwgoal720\\pichgoal720\n";
      for (qsizetype i = 0; i < picture.size(); i += 128) rtf += picture.mid(i, 128) + "\n";
      rtf += "}}";
    }
    rtf += "\\par\n";
  }
  rtf += "}\n";
  return rtf;
}

// Runs in WorkDir: unrtf writes the document's pictures into its current
// folder.
double RunProcess(const std::vector<std::string>& args, const std::string& WorkDir) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, WorkDir.c_str());
  const auto start = Clock::now();
  pid_t pid;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  const QByteArray rtf = MakeDocument(5 * 1024 * 1024);
  const std::string path = "/tmp/bench_rtf_" + std::to_string(getpid()) + ".rtf";
  {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size()) return 1;
  }
  const double mb = rtf.size() / (1024.0 * 1024.0);
  const int runs = 5;

  std::vector<double> ours;
  qsizetype characters = 0;
  for (int i = 0; i < runs; ++i) {
    QTextDocument doc;
    const auto start = Clock::now();
    if (!tollmark::io::ReadRtf(rtf, doc)) return 1;
    ours.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    characters = doc.characterCount();
  }
  std::vector<double> write;
  for (int i = 0; i < 3; ++i) {
    QTextDocument doc;
    tollmark::io::ReadRtf(rtf, doc);
    const auto start = Clock::now();
    const QByteArray out = tollmark::io::WriteRtf(doc);
    write.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::vector<double> unrtf;
  const std::string scratch = path + ".d";
  std::filesystem::create_directories(scratch);
  for (int i = 0; i < runs; ++i) {
    const double t = RunProcess({"unrtf", "--text", path}, scratch);
    if (t > 0) unrtf.push_back(t);
  }
  std::filesystem::remove_all(scratch);
  std::remove(path.c_str());

  std::printf("document: %.2f MB of RTF, %lld characters read\n", mb,
              static_cast<long long>(characters));
  std::printf("%-34s %10s %10s\n", "reader", "median s", "MB/s");
  std::printf("%-34s %10.3f %10.1f\n", "tollmark ReadRtf (QTextDocument)", Median(ours),
              mb / Median(ours));
  if (unrtf.empty()) {
    std::printf("%-34s %10s\n", "unrtf --text", "not run (is unrtf installed?)");
  } else {
    std::printf("%-34s %10.3f %10.1f\n", "unrtf --text", Median(unrtf), mb / Median(unrtf));
    std::printf("ratio: tollmark is %.2fx the speed of unrtf\n", Median(unrtf) / Median(ours));
  }
  std::printf("%-34s %10.3f %10.1f\n", "tollmark WriteRtf", Median(write), mb / Median(write));
  return 0;
}

#include "support/pdf_tools.h"

#include <sys/wait.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace testing_support {

namespace {

fs::path TempRoot() {
  const char* env = std::getenv("QUILLORA_TEST_TMP");
  fs::path root = env ? fs::path(env) : fs::temp_directory_path() / "quillora-tests";
  fs::create_directories(root);
  return root;
}

}  // namespace

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'')
      q += "'\\''";
    else
      q += c;
  }
  return q + "'";
}

CommandResult Run(const std::string& command) {
  CommandResult result;
  fs::path err_file = FreshDir("stderr") / "err.txt";
  std::string full = command + " 2>" + Quote(err_file.string());
  FILE* pipe = popen(full.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot run: " + command);
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  int status = pclose(pipe);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = ReadFile(err_file);
  fs::remove_all(err_file.parent_path());
  return result;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

fs::path FreshDir(const std::string& name) {
  static std::atomic<int> counter{0};
  std::string base = name;
  if (base.empty()) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    base = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
    for (char& c : base)
      if (c == '/') c = '_';
  }
  fs::path dir = TempRoot() / (base + "-" + std::to_string(getpid()) + "-" +
                               std::to_string(counter++));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

std::string QpdfCheck(const fs::path& pdf, const std::string& password) {
  std::string cmd = "qpdf --check";
  if (!password.empty()) cmd += " --password=" + Quote(password);
  CommandResult r = Run(cmd + " " + Quote(pdf.string()));
  if (r.exit_code == 0 && r.err.empty()) return {};
  return "qpdf exit " + std::to_string(r.exit_code) + ": " + r.out + r.err;
}

std::string PdfToText(const fs::path& pdf, const std::string& password) {
  std::string cmd = "pdftotext -enc UTF-8";
  if (!password.empty()) cmd += " -upw " + Quote(password);
  CommandResult r = Run(cmd + " " + Quote(pdf.string()) + " -");
  return r.out;
}

Image ReadPnm(const fs::path& path) {
  std::string data = ReadFile(path);
  Image img;
  if (data.size() < 2 || data[0] != 'P' || (data[1] != '6' && data[1] != '5')) return img;
  bool gray = data[1] == '5';
  size_t pos = 2;
  int values[3];
  for (int& v : values) {
    // Skip whitespace and comments between header fields.
    while (pos < data.size()) {
      if (data[pos] == '#') {
        while (pos < data.size() && data[pos] != '\n') ++pos;
      } else if (isspace(static_cast<unsigned char>(data[pos]))) {
        ++pos;
      } else {
        break;
      }
    }
    v = 0;
    while (pos < data.size() && isdigit(static_cast<unsigned char>(data[pos])))
      v = v * 10 + (data[pos++] - '0');
  }
  ++pos;  // the single whitespace byte after maxval
  img.width = values[0];
  img.height = values[1];
  size_t pixels = static_cast<size_t>(img.width) * img.height;
  if (data.size() < pos + pixels * (gray ? 1 : 3)) return Image{};
  img.rgb.resize(pixels * 3);
  for (size_t i = 0; i < pixels; ++i) {
    for (int c = 0; c < 3; ++c)
      img.rgb[i * 3 + c] = static_cast<uint8_t>(data[pos + (gray ? i : i * 3 + c)]);
  }
  return img;
}

Image RenderPoppler(const fs::path& pdf, int page, int dpi, const std::string& password) {
  fs::path dir = FreshDir("render");
  std::string cmd = "pdftoppm -r " + std::to_string(dpi) + " -f " + std::to_string(page) +
                    " -l " + std::to_string(page) + " -singlefile";
  if (!password.empty()) cmd += " -upw " + Quote(password);
  Run(cmd + " " + Quote(pdf.string()) + " " + Quote((dir / "page").string()));
  Image img = ReadPnm(dir / "page.ppm");
  fs::remove_all(dir);
  return img;
}

Image RenderMupdf(const fs::path& pdf, int page, int dpi, const std::string& password) {
  fs::path dir = FreshDir("render");
  std::string cmd = "mutool draw -q -r " + std::to_string(dpi) + " -o " +
                    Quote((dir / "page.ppm").string());
  if (!password.empty()) cmd += " -p " + Quote(password);
  Run(cmd + " " + Quote(pdf.string()) + " " + std::to_string(page));
  Image img = ReadPnm(dir / "page.ppm");
  fs::remove_all(dir);
  return img;
}

bool HaveTool(const std::string& name) {
  return Run("command -v " + Quote(name) + " >/dev/null").exit_code == 0;
}

}  // namespace testing_support

// Helpers shared by the test binaries: temporary folders, running the
// independent PDF readers (qpdf, poppler, mupdf) and reading their output.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct CommandResult {
  int exit_code = -1;
  std::string out;  // stdout
  std::string err;  // stderr
};

// Runs a command through /bin/sh (test code only) and captures both streams.
CommandResult Run(const std::string& command);

// Quotes a path or argument for the shell.
std::string Quote(const std::string& s);

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// A fresh empty folder under the test temporary root, unique per test.
std::filesystem::path FreshDir(const std::string& name = "");

// Empty string when `qpdf --check` is clean (exit 0, no warnings); otherwise
// the reader's complaint.
std::string QpdfCheck(const std::filesystem::path& pdf, const std::string& password = "");

// Text extracted by pdftotext (-layout off, UTF-8).
std::string PdfToText(const std::filesystem::path& pdf, const std::string& password = "");

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // 3 bytes per pixel, rows top to bottom
  struct Pixel {
    uint8_t r, g, b;
  };
  Pixel At(int x, int y) const {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
  }
};

// Reads a binary PPM (P6) or PGM (P5) file into RGB.
Image ReadPnm(const std::filesystem::path& path);

// Renders one page (1-based) at `dpi` with pdftoppm or mutool draw.
Image RenderPoppler(const std::filesystem::path& pdf, int page, int dpi,
                    const std::string& password = "");
Image RenderMupdf(const std::filesystem::path& pdf, int page, int dpi,
                  const std::string& password = "");

// True when the command-line tool is on PATH (tests skip cleanly otherwise).
bool HaveTool(const std::string& name);

}  // namespace testing_support

// Recording helpers for the metafile tests: record a drawing, list its
// records, and have independent readers (libUEMF, libemf2svg) check it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "quillora/platform/emf_format.h"
#include "quillora/platform/metafile_canvas.h"
#include "support/pdf_tools.h"

namespace metafile_testing {

// One record as written: its type and whole bytes (header included).
struct Rec {
  uint32_t Type = 0;
  std::string Bytes;
  int32_t I32(size_t Offset) const;
  uint32_t U32(size_t Offset) const;
  uint16_t U16(size_t Offset) const;
  float F32(size_t Offset) const;
};

// Splits a metafile into its records (the header first, EOF last).
std::vector<Rec> Records(const std::string& Emf);

// The types of the records between the header and EOF.
std::vector<uint32_t> DrawingTypes(const std::string& Emf);

// Records a drawing on a canvas of Width x Height pixels and returns the
// finished metafile. Every recording is also checked record by record with
// libUEMF's safety checks and converted by libemf2svg; a complaint fails the
// calling test.
std::string Record(const std::function<void(quillora::TMetafileCanvas&)>& Draw, int Width = 200,
                   int Height = 100);

// Empty when libUEMF accepts every record and the header's counts match the
// data; otherwise what was wrong.
std::string UemfComplaint(const std::string& Emf);

// libemf2svg's SVG for the metafile; empty when it fails.
std::string EmfToSvg(const std::string& Emf);

// Renders SVG with rsvg-convert (through PDF, then pdftoppm at 96 dpi, rsvg-convert's own
// resolution, so one SVG unit is one pixel).
testing_support::Image RenderSvg(const std::string& Svg);

}  // namespace metafile_testing

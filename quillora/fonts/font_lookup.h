// Lookups of installed TrueType fonts by name, style and charset.
#pragma once

#include <string>

namespace quillora {

// Finds an installed TrueType family of Name in the nearest style: the wanted
// bold (1) and italic (2) bits, then without italic, then without bold, then
// plain, then the style of the family's first face. On success Name becomes
// the installed spelling (a metric-compatible alias keeps the requested
// spelling, so later requests find the same font) and Style the style found.
bool ResolveTrueTypeFont(std::string& Name, int& Style);

// Whether a TrueType face of that name serves the charset (1: any).
bool FontExists(const std::string& FaceName, int Charset);

// The first TrueType family that serves the charset (1: the default font
// charset), at most 31 characters; empty when none does.
std::string FindFontForCharset(int Charset);

// The installed sans-serif TrueType family to use when nothing else
// resolves; empty when the machine has no TrueType font.
std::string BestSansSerifFont();

}  // namespace quillora

#include "quillora/fonts/font_lookup.h"

#include "quillora/platform/codepage.h"
#include "quillora/platform/font_system.h"

namespace quillora {
namespace {

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

}  // namespace

bool ResolveTrueTypeFont(std::string& Name, int& Style) {
  auto faces = platform::EnumerateFaces(Name, platform::DEFAULT_CHARSET);
  if (faces.empty()) return false;
  auto matches = [&](int style) {
    for (const auto& f : faces)
      if (f.Italic == ((style & 2) != 0) && f.Bold() == ((style & 1) != 0)) return true;
    return false;
  };
  int wanted = Style & 3;
  int firstStyle = (faces[0].Bold() ? 1 : 0) | (faces[0].Italic ? 2 : 0);
  int found = -1;
  if (matches(wanted)) {
    found = wanted;
  } else {
    int attempt = wanted;
    if (wanted & 2) {
      attempt = wanted & ~2;
      if (matches(attempt)) found = attempt;
    }
    if (found < 0 && (wanted & 1)) {
      attempt &= ~1;
      if (matches(attempt)) found = attempt;
    }
    if (found < 0 && matches(0)) found = 0;
    if (found < 0) found = firstStyle;
  }
  if (Upper(faces[0].FaceName) == Upper(Name)) Name = faces[0].FaceName;
  Style = found;
  return true;
}

bool FontExists(const std::string& FaceName, int Charset) {
  if (FaceName.empty()) return false;
  return !platform::EnumerateFaces(FaceName, Charset).empty();
}

std::string FindFontForCharset(int Charset) {
  if (Charset == 1) Charset = platform::DefaultFontCharset();
  auto families = platform::FamiliesForCharset(Charset);
  if (families.empty()) return {};
  return families.front().substr(0, 31);
}

std::string BestSansSerifFont() {
  auto families = platform::FamiliesForCharset(platform::ANSI_CHARSET);
  if (families.empty()) families = platform::FamiliesForCharset(platform::DEFAULT_CHARSET);
  return families.empty() ? std::string() : families.front();
}

}  // namespace quillora

// Links detected in text placed without rotation.
#include <cmath>

#include "quillora/core/tokens.h"
#include "quillora/page/page.h"
#include "quillora/page/text_internal.h"

namespace quillora {

std::string LowBytes(std::u16string_view Text) {
  std::string bytes(Text.size(), '\0');
  for (size_t i = 0; i < Text.size(); ++i) bytes[i] = static_cast<char>(Text[i] & 0xFF);
  return bytes;
}

void DetectLinks(TPDFPage& Page, long double X, long double Y, std::string_view Text,
                 const TSpanWidth& Width) {
  std::string lower(Text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  static const char* const kPrefixes[] = {"http://", "ftp://", "mailto:"};
  bool any = false;
  for (const char* p : kPrefixes) any = any || lower.find(p) != std::string::npos;
  if (!any) return;
  const TTextState& t = Page.TextState();
  for (const char* prefix : kPrefixes) {
    size_t at = lower.find(prefix);
    while (at != std::string::npos) {
      if (at != 0 && Text[at - 1] != ' ') {
        at = lower.find(prefix, at + 1);
        continue;
      }
      size_t end = Text.find(' ', at);
      if (end == std::string_view::npos) end = Text.size();
      long double before = Width(0, at, false);
      long double url = Width(at, end, true);
      TRect r;
      r.Left = static_cast<int>(std::trunc(X + before));
      r.Right = static_cast<int>(std::trunc(X + before + url));
      r.Top = static_cast<int>(std::trunc(Y));
      r.Bottom =
          static_cast<int>(std::trunc(t.BaselineOrigin ? Y - t.FontSize * Page.Scale()
                                                       : Y + Page.AscentOffset() * Page.Scale()));
      Page.AddUrlLink(r, std::string(Text.substr(at, end - at)));
      if (end >= Text.size()) break;
      at = lower.find(prefix, end);
    }
  }
}

}  // namespace quillora

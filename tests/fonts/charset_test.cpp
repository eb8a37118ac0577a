// Windows charsets: the text output's code pages and the hex text of
// outline titles.
#include "quillora/core/charset.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace quillora {
namespace {

TEST(Charset, CodePagesOfTheTextOutput) {
  const std::pair<int, int> table[] = {
      {77, 10000}, {128, 932},  {129, 949},  {130, 1361}, {134, 936},  {136, 950},
      {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
      {204, 1251}, {222, 874},  {238, 1250}, {0, 1252},   {2, 1252},   {255, 1252}};
  for (auto [charset, codePage] : table) EXPECT_EQ(CharsetCodePage(charset), codePage) << charset;
  // Charset 1 is the default font charset of the locale.
  const char* saved = std::getenv("LC_ALL");
  std::string keep = saved ? saved : "";
  setenv("LC_ALL", "el_GR.UTF-8", 1);
  EXPECT_EQ(CharsetCodePage(1), 1253);
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(CharsetCodePage(1), 1252);
  if (saved)
    setenv("LC_ALL", keep.c_str(), 1);
  else
    unsetenv("LC_ALL");
  EXPECT_EQ(CharsetToUnicode("\xC6", 204), u"\u0416");
}

TEST(Charset, AnsiToUnicodeHex) {
  EXPECT_EQ(AnsiToUnicodeHex("A", 0), "FEFF0041");
  EXPECT_EQ(AnsiToUnicodeHex("", 0), "");
  EXPECT_EQ(AnsiToUnicodeHex("\x80", 0), "FEFF20AC");
  EXPECT_EQ(AnsiToUnicodeHex("\xC6", 204), "FEFF0416");
  EXPECT_EQ(AnsiToUnicodeHex("\x82\xA0", 128), "FEFF3042");
  // Its own shorter map: Vietnamese, Hebrew and Thai read as 1252.
  EXPECT_EQ(AnsiToUnicodeHex("\xE0", 177), "FEFF00E0");
  EXPECT_EQ(AnsiToUnicodeHex("\xC3", 163), "FEFF00C3");
}

}  // namespace
}  // namespace quillora

// Plays metafiles built record by record into a fresh page and returns the
// content lines the playback wrote.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "emf_builder.h"
#include "quillora/core/document.h"
#include "quillora/metafile/emw_parser.h"
#include "quillora/page/page.h"

namespace quillora::testing {

class PlaybackTest : public ::testing::Test {
 protected:
  // Resolution 72: one device unit is one point, so a logical unit of the
  // 96-dpi recording is 0.75 points and page y = 842 - device y.
  void SetUp() override {
    Doc.SetOutputStream(&Out);
    Doc.StartDocument();
  }
  void TearDown() override {
    if (Doc.Generating()) Doc.AbortDocument();
  }

  TPDFPage& Page() { return *Doc.CurrentPage(); }

  // The lines written by one playback, joined by '\n', without the line cap
  // and join every playback starts with.
  std::string Play(const TEmfBuilder& B) {
    const std::string Bytes = B.Bytes();
    const size_t Before = Page().ContentText().size();
    TEMWParser Parser(Page());
    Parser.SetMetafile(Bytes);
    Parser.PlayMetafile();
    std::string Text = Page().ContentText().substr(Before);
    std::string Lines;
    size_t Pos = 0;
    while (Pos < Text.size()) {
      size_t End = Text.find("\r\n", Pos);
      if (End == std::string::npos) End = Text.size();
      if (!Lines.empty()) Lines += '\n';
      Lines += Text.substr(Pos, End - Pos);
      Pos = End + 2;
    }
    const std::string Prefix = "2 J\n2 j";
    EXPECT_EQ(Lines.substr(0, Prefix.size()), Prefix);
    Lines.erase(0, std::min(Lines.size(), Prefix.size() + 1));
    return Lines;
  }

  TPDFDocument Doc;
  std::ostringstream Out;
};

}  // namespace quillora::testing

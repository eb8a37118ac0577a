// TMetafile: the finished bytes, the header fields, files, refusals.
#include "quillora/platform/metafile.h"

#include <gtest/gtest.h>

#include <cstring>

#include "metafile_fixture.h"
#include "quillora/core/exception.h"
#include "quillora/platform/metafile_canvas.h"

using namespace quillora;
using namespace testing_support;

namespace {

std::string Sample() {
  return metafile_testing::Record(
      [](TMetafileCanvas& C) {
        C.Rectangle(10, 20, 110, 70);
        C.TextOut(15, 25, u"Header");
      },
      400, 300);
}

void Poke32(std::string& S, size_t At, uint32_t V) {
  std::memcpy(S.data() + At, &V, 4);
}

TEST(Metafile, HeaderFieldsDescribeTheRecording) {
  TMetafile M;
  M.SetData(Sample());
  const emf::THeader H = M.Header();
  EXPECT_EQ(H.BoundsLeft, 10);
  EXPECT_EQ(H.BoundsTop, 20);
  EXPECT_EQ(H.BoundsRight, 109);
  EXPECT_EQ(H.BoundsBottom, 69);
  EXPECT_EQ(H.FrameLeft, 0);
  EXPECT_EQ(H.FrameRight, 10583);  // 400 pixels in 0.01 mm
  EXPECT_EQ(H.FrameBottom, 7938);
  EXPECT_EQ(H.Version, emf::ENHMETA_VERSION);
  EXPECT_EQ(H.Bytes, M.Data().size());
  EXPECT_EQ(H.Records, metafile_testing::Records(M.Data()).size());
  EXPECT_EQ(H.Handles, 4u);  // pen, brush, font and the reserved entry
  EXPECT_EQ(H.DeviceWidth, 1920);
  EXPECT_EQ(H.MillimetersWidth, 508);
  EXPECT_EQ(H.HeaderSize, 108u);
  // The picture size comes back from the frame.
  EXPECT_EQ(M.Width(), 400);
  EXPECT_EQ(M.Height(), 300);
}

TEST(Metafile, SavedFilesLoadBackByteForByte) {
  TMetafile M;
  M.SetData(Sample());
  const auto Dir = FreshDir();
  const std::string Path = (Dir / "page.emf").string();
  M.SaveToFile(Path);
  EXPECT_EQ(ReadFile(Path), M.Data());
  TMetafile Loaded;
  Loaded.LoadFromFile(Path);
  EXPECT_EQ(Loaded.Data(), M.Data());
  EXPECT_EQ(Loaded.Width(), 400);
}

TEST(Metafile, BrokenBytesAreRefusedAndLeaveTheMetafileAsItWas) {
  const std::string Good = Sample();
  struct Case {
    const char* Name;
    std::string Bytes;
    const char* Message;
  };
  std::string WrongType = Good, WrongSignature = Good, HugeHeader = Good, BadRecord = Good;
  Poke32(WrongType, 0, 2);
  Poke32(WrongSignature, emf::header::Signature, 0x12345678);
  Poke32(HugeHeader, 4, 1u << 30);
  Poke32(BadRecord, 108 + 4, 1u << 30);  // the first record after the header
  const Case Cases[] = {
      {"empty", "", "Not an enhanced metafile"},
      {"text",
       "Just some text, not a picture at all, long enough for a header maybe? "
       "Not really, but it is long enough to try the type field.",
       "Not an enhanced metafile"},
      {"wrong type", WrongType, "Not an enhanced metafile"},
      {"wrong signature", WrongSignature, "Not an enhanced metafile"},
      {"header larger than the data", HugeHeader, "Broken metafile header"},
      {"short header", Good.substr(0, 60), "Broken metafile header"},
      {"record past the end", BadRecord, "Broken metafile record"},
  };
  for (const Case& K : Cases) {
    TMetafile M;
    M.SetData(Good);
    try {
      M.SetData(K.Bytes);
      ADD_FAILURE() << K.Name << ": accepted";
    } catch (const TPDFException& E) {
      EXPECT_STREQ(E.what(), K.Message) << K.Name;
    }
    EXPECT_EQ(M.Data(), Good) << K.Name;
  }
}

TEST(Metafile, FileErrorsNameTheFile) {
  TMetafile M;
  EXPECT_THROW(M.Header(), TPDFException);
  EXPECT_THROW(M.SaveToFile((FreshDir() / "empty.emf").string()), TPDFException);
  try {
    M.LoadFromFile("/nonexistent/folder/picture.emf");
    ADD_FAILURE() << "loaded a missing file";
  } catch (const Exception& E) {
    EXPECT_NE(std::string(E.what()).find("/nonexistent/folder/picture.emf"), std::string::npos);
  }
  M.SetData(Sample());
  EXPECT_THROW(M.SaveToFile("/nonexistent/folder/out.emf"), Exception);
}

TEST(Metafile, SizesAreNeverNegative) {
  TMetafile M;
  M.SetWidth(-5);
  M.SetHeight(96);
  EXPECT_EQ(M.Width(), 0);
  EXPECT_EQ(M.MMHeight(), 2540);
  M.Clear();
  EXPECT_TRUE(M.Empty());
  EXPECT_EQ(M.Height(), 0);
}

}  // namespace
